#include "tests/effects/EffectsTestSupport.h"

#include "effects/EffectImpl.h"
#include "game/SpecialFX/CSpecialFXManager.h"
#include "game/SpecialFX/EffectTable.h"
#include "tools/formats/SampleEffects.h"

#include <set>

namespace {

using formats::effects::ESampleKind;

class SampleEffects : public test::EffectsTest {
protected:
    void writeAll()
    {
        for (const auto& [path, bytes] : formats::effects::sampleEffectFiles())
            dir.write(path, bytes);
    }
};

TEST_F(SampleEffects, EveryTableFileIsPlausible)
{
    const auto files = formats::effects::sampleEffectFiles();
    std::set<std::string> effects;
    for (const auto& [path, bytes] : files)
        if (path.ends_with(".beff") || path.ends_with(".eff")) {
            SCOPED_TRACE(path);
            effects.insert(path);
            beff::SFile f;
            std::string error;
            ASSERT_TRUE(beff::parse(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size(), f, error)) << error;
            ASSERT_FALSE(f.entries.empty());
            const ESampleKind kind = formats::effects::sampleKindOf(path);
            for (const auto& entry : f.entries) {
                const int lifetime = entry.emitter.block[4];
                if (kind == ESampleKind::Tail) {
                    EXPECT_EQ(lifetime, -1);
                    EXPECT_EQ(entry.emitter.particle.kind, 5);
                } else if (kind == ESampleKind::Burst || kind == ESampleKind::Sparks || kind == ESampleKind::Fireworks) {
                    EXPECT_GT(lifetime, 0);
                }
                if (kind == ESampleKind::Fireworks) {
                    EXPECT_EQ(entry.emitter.children.size(), 1u);
                }
            }
        }
    EXPECT_EQ(effects.size(), 125u);
    for (const char* name : g_chEffectFileName)
        EXPECT_EQ(effects.count(name), 1u) << name;
    for (const std::string& texture : formats::effects::sampleTextureNames())
        EXPECT_TRUE(std::any_of(files.begin(), files.end(), [&](const auto& f) { return f.first == texture; }));
    EXPECT_EQ(formats::effects::sampleKindOf("SFX/brickgreen_explode_normal.beff"), ESampleKind::Burst);
    EXPECT_EQ(formats::effects::sampleKindOf("SFX/brick_spark_normal.beff"), ESampleKind::Sparks);
    EXPECT_EQ(formats::effects::sampleKindOf("SFX/pad_tail_normal.beff"), ESampleKind::Tail);
    EXPECT_EQ(formats::effects::sampleKindOf("SFX/bonus_effect.beff"), ESampleKind::Glow);
    EXPECT_EQ(formats::effects::sampleKindOf("SFX/bigstart_fireworks.beff"), ESampleKind::Fireworks);
}

TEST_F(SampleEffects, PoolLoadsThemAll)
{
    writeAll();
    CSpecialFXManager manager(nullptr);
    testing::internal::CaptureStdout();
    manager.Load();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out.find("Effect not loaded"), std::string::npos);
    EXPECT_EQ(manager.GetLoadedSlotCount(), 394);
    for (int s = 0; s < SFX_EFFECT_SLOT_COUNT; ++s)
        if (EffectImpl* e = manager.GetSlot(s)) {
            EXPECT_FALSE(e->IsVisible());
            EXPECT_FLOAT_EQ(e->GetUniformScale(), 1.f);
            EXPECT_FALSE(e->GetEmitters().empty()) << s;
            for (IEmitter* em : e->GetEmitters())
                EXPECT_TRUE(em->GetParticleDesc()->GetTexture()) << e->GetName();
        }

    // Bursts finish, tails do not; both show particles when played.
    EffectImpl* burst = manager.GetEffect(9);
    EffectImpl* tail = manager.GetEffect(35);
    for (int frame = 0; frame < 120; ++frame) {
        now += 33;
        for (IEmitter* e : burst->GetEmitters())
            e->onAnimate(now);
        for (IEmitter* e : tail->GetEmitters())
            e->onAnimate(now);
        if (frame == 5) {
            EXPECT_GT(burst->GetEmitters().back()->GetAliveParticles(), 0);
            EXPECT_GT(tail->GetEmitters()[0]->GetAliveParticles(), 0);
        }
    }
    EXPECT_TRUE(burst->IsFinished());
    EXPECT_FALSE(tail->IsFinished());
}

}  // namespace

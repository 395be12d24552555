#include "tests/effects/EffectsTestSupport.h"

#include "effects/EffectImpl.h"
#include "game/SpecialFX/CSpecialFXManager.h"
#include "game/SpecialFX/EffectTable.h"

#include <set>

namespace {

// A one-emitter effect file that never ends (the pool then sees every instance busy), or ends
// after one frame.
std::string effectBytes(bool endless)
{
    std::string s("beff\3\0\0\0\1\0\0\0", 12);
    auto w = [&s](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            s.push_back(char(v >> (8 * i)));
    };
    w(0);  // emitter
    w(0);  // node id
    w(0);  // children
    for (std::uint32_t v : {0u, 0u, 2u, 0u, endless ? 0xFFFFFFFFu : 1u, 0u, 0u, 0u, 0u, 0u, 0u, 0u})
        w(v);
    for (int i = 0; i < 15; ++i)
        w(0), w(0);
    for (std::uint32_t v : {0u, endless ? 100u : 0u, 0u, 0u, 0u, 0u, 0u, 0u, 0u, 0u, 0u, 0u, 0u, 0u, 0u, 1u, 0u, 0u, 0u, 0u})
        w(v);
    w(0);  // texture
    for (int i = 0; i < 11; ++i)
        w(0), w(0);
    w(0);  // affectors
    return s;
}

class Manager : public test::EffectsTest {
protected:
    void writeAll(bool endless)
    {
        for (const char* name : g_chEffectFileName)
            dir.write(name, effectBytes(endless));
    }
    CSpecialFXManager manager{nullptr};
};

TEST_F(Manager, TableRanges)
{
    int slots = 0;
    std::set<int> owned;
    for (int t = 0; t < SFX_EFFECT_TYPE_COUNT; ++t) {
        const int b = GetEffectBeginIdx(t), e = GetEffectEndIdx(t);
        ASSERT_LE(b, e);
        for (int s = b; s <= e; ++s)
            EXPECT_TRUE(owned.insert(s).second) << "slot " << s << " shared by type " << t;
        if (IsEffectPreloaded(t))
            slots += e - b + 1;
    }
    EXPECT_EQ(slots, 394);
    EXPECT_EQ(owned.count(135) + owned.count(136) + owned.count(137) + owned.count(138), 0u);
    EXPECT_EQ(owned.size(), 436u);
    for (int t : {-1, 126}) {
        EXPECT_EQ(GetEffectBeginIdx(t), -1);
        EXPECT_EQ(GetEffectEndIdx(t), -1);
    }
    EXPECT_STREQ(g_chEffectFileName[102], "SFX/combo_0_disappear.eff");
    EXPECT_STREQ(g_chEffectFileName[39], "SFX/bigstart_fireworks.beff");
    EXPECT_EQ(GetEffectBeginIdx(38), 179);
    EXPECT_EQ(GetEffectEndIdx(73), 320);
}

TEST_F(Manager, FirstRequestLoadsItsSlot)
{
    writeAll(true);
    testing::internal::CaptureStdout();
    EffectImpl* e = manager.GetEffect(12);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("----Load Effect 12\r\n"), std::string::npos) << out;
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(manager.GetSlot(27), e);
    EXPECT_EQ(manager.GetCursor(12), 28);
    EXPECT_TRUE(e->IsVisible());
    EXPECT_TRUE(e->GetEmitters()[0]->m_active);
    EXPECT_STREQ(e->GetName(), "SFX/brick_spark_normal.beff");
    EXPECT_EQ(e->GetNodes()[0]->getParent(), sceneManager->getRootSceneNode());
    EXPECT_EQ(manager.GetEffect(-1), nullptr);
    EXPECT_EQ(manager.GetEffect(126), nullptr);
}

TEST_F(Manager, LoadFillsThePoolHidden)
{
    writeAll(true);
    testing::internal::CaptureStdout();
    manager.Load();
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(manager.GetLoadedSlotCount(), 394);
    for (int s = 0; s < SFX_EFFECT_SLOT_COUNT; ++s)
        if (EffectImpl* e = manager.GetSlot(s)) {
            EXPECT_FALSE(e->IsVisible());
            EXPECT_FLOAT_EQ(e->GetUniformScale(), 1.f);
        }
    for (int t = 0; t < SFX_EFFECT_TYPE_COUNT; ++t)
        EXPECT_EQ(manager.GetCursor(t), GetEffectBeginIdx(t));

    // Five quick requests of a 4-slot type: its slots in order, then the first again.
    std::vector<EffectImpl*> got;
    for (int i = 0; i < 5; ++i)
        got.push_back(manager.GetEffect(9));
    EXPECT_EQ(got, (std::vector<EffectImpl*>{manager.GetSlot(15), manager.GetSlot(16), manager.GetSlot(17),
                                             manager.GetSlot(18), manager.GetSlot(15)}));
    EXPECT_STREQ(manager.GetEffect(39)->GetName(), "SFX/bigstart_fireworks.beff");

    manager.Clear();
    EXPECT_EQ(manager.GetLoadedSlotCount(), 0);
    testing::internal::CaptureStdout();
    manager.GetEffect(9);
    testing::internal::GetCapturedStdout();
    EXPECT_NE(manager.GetSlot(15), nullptr);
}

TEST_F(Manager, FinishedInstancesAreReusedInPlace)
{
    writeAll(false);
    testing::internal::CaptureStdout();
    for (int i = 0; i < 4; ++i)
        manager.GetEffect(9);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(manager.GetCursor(9), 15);
    EffectImpl* first = manager.GetSlot(15);
    animate(first->GetEmitters()[0], 3, 33, false);
    ASSERT_TRUE(first->IsFinished());
    EXPECT_EQ(manager.GetEffect(9), first);
    EXPECT_EQ(manager.GetCursor(9), 15);  // a finished instance keeps the cursor on its slot
    EXPECT_FALSE(first->IsFinished());
}

TEST_F(Manager, MissingFiles)
{
    testing::internal::CaptureStdout();
    EffectImpl* e = manager.GetEffect(3);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("Effect not loaded 9"), std::string::npos) << out;
    ASSERT_NE(e, nullptr);  // an empty instance, finished, showing nothing
    EXPECT_TRUE(e->IsFinished());
    EXPECT_TRUE(e->GetNodes().empty());
    EXPECT_EQ(manager.CreateEffect(3), nullptr);
    EXPECT_EQ(manager.GetLoadedSlotCount(), 1);

    dir.write(g_chEffectFileName[4], effectBytes(true));
    std::unique_ptr<EffectImpl> own(manager.CreateEffect(4));
    ASSERT_NE(own, nullptr);
    EXPECT_TRUE(own->IsVisible());
    EXPECT_TRUE(own->GetEmitters()[0]->m_active);
    EXPECT_EQ(manager.GetLoadedSlotCount(), 1);
}

}  // namespace

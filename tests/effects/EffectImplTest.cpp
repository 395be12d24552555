#include "tests/effects/EffectsTestSupport.h"

#include "effects/EffectImpl.h"
#include "engine/scene/CEmptySceneNode.h"
#include "engine/scene/ISceneNodeAnimator.h"
#include "engine/scene/ITimelineController.h"
#include "tools/formats/BeffWriter.h"

namespace {

using formats::effects::constant;
using formats::effects::minimalEffect;
using formats::effects::writeBeff;
using pravik::core::vector3d;

// Scene-file nodes carry a uid; a scene's root reports "daer".
class UidNode : public pravik::scene::CEmptySceneNode {
public:
    explicit UidNode(std::string uid) : m_uid(std::move(uid)) {}
    const char* getUID() const override { return m_uid.c_str(); }

private:
    std::string m_uid;
};
class SceneRoot : public UidNode {
public:
    SceneRoot() : UidNode("root") {}
    pravik::scene::E_SCENE_NODE_TYPE getType() const override
    {
        return pravik::scene::E_SCENE_NODE_TYPE(pravik::scene::makeNodeTypeCode('d', 'a', 'e', 'r'));
    }
};

class Effect : public test::EffectsTest {
protected:
    Effect()
    {
        host.sceneMaker = [](const char*) -> pravik::scene::ISceneNode* {
            auto* root = new SceneRoot();
            auto* dummy = new UidNode("Dummy01");
            dummy->setPosition(vector3d<float>(0.f, 40.f, 0.f));
            root->addChild(dummy);
            dummy->drop();
            return root;
        };
    }
    std::unique_ptr<EffectImpl> load(const beff::SFile& file, const char* name = "SFX/test.beff")
    {
        dir.write(name, writeBeff(file));
        auto effect = std::make_unique<EffectImpl>();
        EXPECT_EQ(effect->LoadEffect(name), 1);
        return effect;
    }
    static beff::SEntry sceneEntry()
    {
        beff::SEntry s;
        s.kind = 1;
        s.scenePath = "SFX/dummy.bdae";
        return s;
    }
};

TEST_F(Effect, MinimalFileBuildsOneEmitter)
{
    auto effect = load(minimalEffect());
    EXPECT_STREQ(effect->GetName(), "SFX/test.beff");
    ASSERT_EQ(effect->GetEmitters().size(), 1u);
    ASSERT_EQ(effect->GetNodes().size(), 1u);
    IEmitter* e = effect->GetEmitters()[0];
    EXPECT_EQ(e->getParent(), sceneManager->getRootSceneNode());
    EXPECT_EQ(e->m_lifetime, 30);
    EXPECT_TRUE(e->m_orient);
    EXPECT_EQ(e->m_burstCount.getDataAtTime(0), 5.f);
    EXPECT_STREQ(e->GetParticleDesc()->GetTextureName(), "SFX/spark.tga");
    EXPECT_EQ(e->GetParticleDesc()->m_width.getFirstValue(), 8.f);
    EXPECT_FALSE(effect->IsLoop());
}

TEST_F(Effect, KeysLoadSortedOverTheDefault)
{
    beff::SFile file = minimalEffect();
    auto& red = file.entries[0].emitter.particle.colour[0];
    red.keys = {{10, 5}, {0, 7}};
    auto effect = load(file);
    const CKeyData<int>& t = effect->GetEmitters()[0]->GetParticleDesc()->m_red;
    ASSERT_EQ(t.getKeyCount(), 2);
    EXPECT_EQ(t.getKey(0).m_frame, 0);
    EXPECT_EQ(t.getKey(0).m_value, 7);
    EXPECT_EQ(t.getKey(1).m_frame, 10);
    EXPECT_EQ(t.getKey(1).m_value, 5);
}

TEST_F(Effect, EmittersHangUnderTheLatestScene)
{
    beff::SFile file;
    beff::SEntry early = minimalEffect().entries[0];
    early.emitter.nodeId = "dummy01";  // before any scene: stays top-level
    beff::SEntry late = early;
    late.emitter.children.push_back(minimalEffect().entries[0].emitter);
    late.emitter.children[0].nodeId = "dummy01";  // a child's id is ignored
    beff::SEntry missing = early;
    missing.emitter.nodeId = "nowhere";
    file.entries = {early, sceneEntry(), sceneEntry(), late, missing};
    auto effect = load(file);
    EXPECT_EQ(host.scenesAsked.size(), 2u);
    // Nodes: the early emitter, both scene roots, the emitter whose id was not found.
    ASSERT_EQ(effect->GetNodes().size(), 4u);
    ASSERT_EQ(effect->GetEmitters().size(), 4u);
    IEmitter* earlyEmitter = effect->GetEmitters()[0];
    IEmitter* child = effect->GetEmitters()[1];
    IEmitter* lateEmitter = effect->GetEmitters()[2];
    EXPECT_EQ(earlyEmitter->getParent(), sceneManager->getRootSceneNode());
    ASSERT_NE(lateEmitter->getParent(), nullptr);
    EXPECT_STREQ(lateEmitter->getParent()->getUID(), "Dummy01");
    EXPECT_EQ(lateEmitter->getParent()->getParent(), effect->GetNodes()[2]);  // the second scene
    EXPECT_EQ(child->getParent(), lateEmitter);
    EXPECT_EQ(effect->GetEmitters()[3]->getParent(), sceneManager->getRootSceneNode());

    // Emitters under scene nodes count for the finished test; sub-emitters do not.
    for (IEmitter* e : {earlyEmitter, effect->GetEmitters()[3]})
        e->m_lifetime = 0, e->m_startDelay = 0, e->GetParticleDesc()->m_life = 0;
    EXPECT_FALSE(effect->IsFinished());
    lateEmitter->m_lifetime = 0;
    lateEmitter->GetParticleDesc()->m_life = 0;
    EXPECT_TRUE(effect->IsFinished());
}

TEST_F(Effect, RefusedAndMissingFilesBuildNothing)
{
    EffectImpl missing;
    EXPECT_EQ(missing.LoadEffect("SFX/none.beff"), 0);
    dir.write("SFX/short.beff", "beff\3\0\0");
    EffectImpl shortFile;
    EXPECT_EQ(shortFile.LoadEffect("SFX/short.beff"), 0);
    std::string bad = writeBeff(minimalEffect());
    bad[4] = 4;
    dir.write("SFX/v4.beff", bad);
    EffectImpl v4;
    EXPECT_EQ(v4.LoadEffect("SFX/v4.beff"), 0);
    for (const EffectImpl* e : {&missing, &shortFile, &v4}) {
        EXPECT_TRUE(e->GetNodes().empty());
        EXPECT_TRUE(e->IsFinished());
        EXPECT_EQ(e->GetPosition(), vector3d<float>());
        EXPECT_EQ(e->GetScale(), vector3d<float>(1.f, 1.f, 1.f));
        EXPECT_EQ(e->GetRotate(), pravik::core::quaternion(0.f, 0.f, 0.f, 1.f));
        EXPECT_TRUE(e->GetBBox().isEmpty());
    }
    EXPECT_EQ(sceneManager->getRootSceneNode()->getChildren().size(), 1u);  // the camera only
}

TEST_F(Effect, UniformScale)
{
    beff::SFile file = minimalEffect();
    file.entries.insert(file.entries.begin(), sceneEntry());
    file.entries[1].emitter.block[0] = 1;
    file.entries[1].emitter.radius[0] = constant(2.f);
    file.entries[1].emitter.offset[1] = constant(1.f);
    auto effect = load(file);
    IEmitter* e = effect->GetEmitters()[0];
    effect->SetScale(vector3d<float>(3.f, 3.f, 3.f));
    EXPECT_FLOAT_EQ(e->m_radiusX.getFirstValue(), 6.f);
    EXPECT_FLOAT_EQ(e->m_offsetY.getFirstValue(), 3.f);
    EXPECT_FLOAT_EQ(e->m_radialSpeed.getFirstValue(), 150.f);
    EXPECT_EQ(e->getScale(), vector3d<float>(1.f, 1.f, 1.f));
    EXPECT_EQ(effect->GetNodes()[0]->getScale(), vector3d<float>(3.f, 3.f, 3.f));
    effect->SetScale(vector3d<float>(3.f, 3.f, 3.f));
    effect->SetScale(vector3d<float>(0.f, 0.f, 0.f));
    EXPECT_FLOAT_EQ(e->m_radiusX.getFirstValue(), 6.f);

    // The pool's way: the number only, then the vector: lengths times 1 / 0.03.
    auto pooled = load(minimalEffect(), "SFX/pooled.beff");
    pooled->SetScale(0.03f);
    pooled->SetScale(vector3d<float>(1.f, 1.f, 1.f));
    EXPECT_NEAR(pooled->GetEmitters()[0]->m_radialSpeed.getFirstValue(), 50.f / 0.03f, 0.01f);
    EXPECT_FLOAT_EQ(pooled->GetUniformScale(), 1.f);  // 3 x 0.3333333
}

TEST_F(Effect, PlacementVisibilityAndLifetime)
{
    beff::SFile file = minimalEffect();
    file.entries.push_back(minimalEffect().entries[0]);
    file.entries[1].emitter.block[4] = -1;
    auto effect = load(file);
    EXPECT_TRUE(effect->IsLoop());
    EXPECT_FALSE(effect->IsFinished());  // endless
    effect->SetPosition(vector3d<float>(5.f, 6.f, 0.f));
    for (auto* n : effect->GetNodes())
        EXPECT_EQ(n->getPosition(), vector3d<float>(5.f, 6.f, 0.f));
    effect->SetVisible(false);
    EXPECT_FALSE(effect->GetNodes()[1]->isVisible());
    effect->SetVisible(true);

    auto* anchor = new pravik::scene::CEmptySceneNode();
    sceneManager->getRootSceneNode()->addChild(anchor);
    effect->AttachToNode(nullptr);
    EXPECT_EQ(effect->GetParent(), nullptr);
    effect->AttachToNode(anchor);
    EXPECT_EQ(effect->GetParent(), anchor);
    EXPECT_EQ(effect->GetNodes()[0]->getParent(), anchor);
    effect->AttachToNode(nullptr);
    EXPECT_EQ(effect->GetParent(), anchor);

    effect->ResetAll();
    for (IEmitter* e : effect->GetEmitters())
        EXPECT_TRUE(e->m_active);
    effect->Pause();
    EXPECT_TRUE(effect->GetEmitters()[0]->IsPaused());
    effect->Resume();
    EXPECT_FALSE(effect->GetEmitters()[0]->IsPaused());
    effect.reset();
    EXPECT_EQ(anchor->getChildren().size(), 0u);
    anchor->remove();
    anchor->drop();
}

// A scene animation's clock as the instance sees it: the range it is given and where it jumps.
class RangeRecorder : public pravik::scene::ITimelineController {
public:
    int setClip(int) override { return 0; }
    int setClip(const char*) override { return -1; }
    int getClipIndex(const char*) const override { return -1; }
    void setRange(int start, int end, bool jump) override { calls.push_back({start, end, jump}); }
    int getRangeEnd() const override { return 1500; }
    // The rest of a full timeline, unused here.
    virtual int getClipCount() const { return 0; }
    virtual int getClipStart(int) const { return 0; }
    virtual int getClipEnd(int) const { return 0; }
    virtual int getClipLength(int) const { return 0; }
    virtual int getCurrentClipStart() const { return 0; }
    virtual int getCurrentClipEnd() const { return 0; }
    virtual int getCurrentClipLength() const { return 0; }
    virtual int getCurrentClipIndex() const { return 0; }
    virtual const char* getClipName(int) const { return nullptr; }
    virtual void setLoop(bool) {}
    virtual int getRangeStart() const { return 0; }
    struct Call {
        int start, end;
        bool jump;
        bool operator==(const Call& o) const { return start == o.start && end == o.end && jump == o.jump; }
    };
    std::vector<Call> calls;
};
class StillAnimator : public pravik::scene::ISceneNodeAnimator {
public:
    void animateNode(pravik::scene::ISceneNode*, unsigned) override {}
    ISceneNodeAnimator* createClone() const override { return nullptr; }
};

TEST_F(Effect, ResetRestartsSceneAnimationsFromZero)
{
    beff::SFile file = minimalEffect();
    file.entries.insert(file.entries.begin(), sceneEntry());
    auto effect = load(file);
    ASSERT_EQ(effect->GetNodes().size(), 2u);   // the scene root, then the top-level emitter
    pravik::scene::ISceneNode* root = effect->GetNodes()[0];
    auto* clock = new RangeRecorder;
    auto* animator = new StillAnimator;
    animator->setTimelineCtrl(clock);
    root->addAnimator(animator);
    auto* bare = new StillAnimator;   // no timeline: nothing to restart
    root->addAnimator(bare);
    effect->ResetAll();
    EXPECT_EQ(clock->calls, (std::vector<RangeRecorder::Call>{{0, 1500, true}}));
    EXPECT_TRUE(effect->GetEmitters()[0]->m_active);
    clock->drop();
    animator->drop();
    bare->drop();
}

TEST_F(Effect, DestroyingAnEmitterUnderItsOwnScene)
{
    beff::SFile file;
    beff::SEntry e = minimalEffect().entries[0];
    e.emitter.nodeId = "Dummy01";
    file.entries = {sceneEntry(), e};
    auto effect = load(file);
    ASSERT_EQ(effect->GetNodes().size(), 1u);
    EXPECT_STREQ(effect->GetEmitters()[0]->getParent()->getUID(), "Dummy01");
    effect.reset();  // scene first, then the emitter that hung under it
    EXPECT_EQ(sceneManager->getRootSceneNode()->getChildren().size(), 1u);
}

TEST_F(Effect, StripeColourAndPicking)
{
    beff::SFile file = minimalEffect();
    file.entries[0].emitter.particle.kind = 6;
    auto effect = load(file);
    effect->SetStripeColor(pravik::video::SColor(10, 20, 30, 128));
    const ParticleDesc& d = *effect->GetEmitters()[0]->GetParticleDesc();
    EXPECT_EQ(d.m_alpha.getFirstValue(), 128);
    EXPECT_EQ(d.m_red.getFirstValue(), 10);
    EXPECT_EQ(d.m_blue.getFirstValue(), 30);

    effect->SetPosition(vector3d<float>(0.f, 0.f, 0.f));
    effect->GetNodes()[0]->updateAbsolutePosition();
    vector3d<float> out(9.f, 9.f, 9.f);
    EXPECT_TRUE(effect->GetIntersectionWithLine({0.f, 0.f, 100.f}, {0.f, 0.f, -1.f}, out));
    EXPECT_EQ(out, vector3d<float>());
    out.set(9.f, 9.f, 9.f);
    EXPECT_FALSE(effect->GetIntersectionWithLine({50.f, 0.f, 100.f}, {0.f, 0.f, -1.f}, out));
    EXPECT_EQ(out, vector3d<float>(9.f, 9.f, 9.f));
}

}  // namespace

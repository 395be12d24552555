#include "engine/collada/CColladaDatabase.h"
#include "engine/collada/CRootSceneNode.h"
#include "engine/collada/CSceneNodeAnimator.h"
#include "tests/engine/collada/SceneFileTestSupport.h"
#include "engine/io/CAttributes.h"
#include "tools/formats/BresAnimation.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

using namespace pravik;
using namespace pravik::collada;
namespace bres = formats::bres;

namespace {

// Node "node1" moving along x: 0 at 0 ms, 5 at 500, 10 at 1000 (clip "idle" in two streamed
// segments), 30 at 3000 (clip "move", one resident segment). Events at 0, 500 (two names), 1000.
std::string animatedScene(bool streamed)
{
    bres::Writer w;
    bres::addVisualScene(w, "Scene01", {{"node1", {}}});
    auto seg = [](std::vector<std::int32_t> times, std::vector<float> xs) {
        std::vector<float> values;
        for (float x : xs)
            values.insert(values.end(), {x, 1.f, 2.f});
        return bres::keyData({bres::keyArray(times), bres::keyArray(values)});
    };
    bres::SAnimationsSpec spec;
    spec.animations = {{"node1", 1}};
    spec.clips = {{"idle", 0, 1000}, {"move", 1000, 3000}};
    spec.start = 0;
    spec.end = 3000;
    spec.segments = {{0, 500, seg({0, 500}, {0, 5}), streamed},
                     {500, 1000, seg({500, 1000}, {5, 10}), streamed},
                     {1000, 3000, seg({1000, 3000}, {10, 30}), false}};
    spec.events = {{0, {"begin"}}, {500, {"half", "step"}}, {1000, {"end"}}};
    return bres::finishAnimated(w, spec);
}

class SceneAnimator : public test::SceneFileFixture {
protected:
    CSceneNodeAnimator* animatorOf(CRootSceneNode* root)
    {
        for (scene::ISceneNodeAnimator* a : root->getAnimators())
            if (auto* s = dynamic_cast<CSceneNodeAnimator*>(a))
                return s;
        return nullptr;
    }
    static void count(const STriggeredEvent& e, void* self)
    {
        static_cast<std::vector<std::pair<std::string, int>>*>(self)->emplace_back(e.name, e.elapsed);
    }
    CAnimationStreamingManager streaming;
};

TEST_F(SceneAnimator, PlaysTheIdleClipThroughTheSceneManager)
{
    const std::map<std::string, int> keyTime = {{"begin", 0}, {"half", 500}, {"step", 500}, {"end", 1000}};
    for (bool streamed : {true, false}) {
        SCOPED_TRACE(streamed ? "streamed" : "resident");
        const std::string path = write(streamed ? "anim.bdae" : "resident.bdae", animatedScene(streamed));
        CRootSceneNode* root = CColladaDatabase::constructScene(driver.get(), path.c_str(), nullptr);
        ASSERT_NE(root, nullptr) << manager->getLastError();
        sceneManager->getRootSceneNode()->addChild(root);
        root->drop();  // the scene holds it
        CSceneNodeAnimator* animator = animatorOf(root);
        ASSERT_NE(animator, nullptr);
        scene::ISceneNode* node = root->getSceneNodeFromUID("node1");
        ASSERT_NE(node, nullptr);
        ASSERT_EQ(animator->getTargetCount(), 1);
        EXPECT_EQ(animator->getBinding(0).target, node);
        std::vector<std::pair<std::string, int>> events;
        animator->setEventsCallback(&SceneAnimator::count, &events);

        int wraps = 0;
        std::size_t seen = 0;
        for (int frame = 0; frame < 120; ++frame) {
            const int before = animator->getTimelineCtrl()->getCurrentTime();
            CAnimationBlock* prepared = animator->getCurrentBlock() ? animator->getCurrentBlock()->getNext() : nullptr;
            CAnimationBlock* previous = animator->getCurrentBlock();
            sceneManager->update(16.f);
            const int t = animator->getTimelineCtrl()->getCurrentTime();
            if (t < before)
                ++wraps;
            EXPECT_NEAR(node->getPosition().X, float(t) / 100.f, 1e-4f) << "frame " << frame;
            EXPECT_EQ(node->getPosition().Y, 1.f);
            EXPECT_LE(streaming.getRegistry().size(), 2u);
            ASSERT_TRUE(animator->getCurrentBlock());
            EXPECT_TRUE(animator->getCurrentBlock()->covers(t));
            EXPECT_NE(animator->getCurrentBlock()->getNext(), nullptr);  // the next one is prepared
            if (previous && animator->getCurrentBlock() != previous) {
                EXPECT_EQ(animator->getCurrentBlock(), prepared) << "frame " << frame;  // found through the links
            }
            // Elapsed: how long before this frame's time the key lies, across the wrap too.
            for (; seen < events.size(); ++seen) {
                const int key = keyTime.at(events[seen].first);
                EXPECT_EQ(events[seen].second, t >= key ? t - key : t + 1000 - key) << events[seen].first;
            }
        }
        EXPECT_EQ(wraps, 1);
        std::map<std::string, int> fired;
        for (const auto& e : events)
            ++fired[e.first];
        EXPECT_EQ(fired["begin"], 2);
        EXPECT_EQ(fired["half"], 2);
        EXPECT_EQ(fired["step"], 2);
        EXPECT_EQ(fired["end"], 1);
        for (std::size_t i = 0; i + 1 < events.size(); ++i)
            if (events[i].first == "end") {
                EXPECT_EQ(events[i + 1].first, "begin");  // the wrap fires the end, then the start
            }
        sceneManager->getRootSceneNode()->removeAll();
        EXPECT_TRUE(streaming.getRegistry().empty());
    }
}

TEST_F(SceneAnimator, ClipsBindingAndAttributes)
{
    const std::string path = write("anim.bdae", animatedScene(false));
    CRootSceneNode* root = CColladaDatabase::constructScene(driver.get(), path.c_str(), nullptr);
    ASSERT_NE(root, nullptr) << manager->getLastError();
    CSceneNodeAnimator* animator = animatorOf(root);
    ASSERT_NE(animator, nullptr);
    EXPECT_EQ(animator->getTimelineCtrl()->getCurrentClipIndex(), 0);
    EXPECT_EQ(animator->setAnimationClip("MOVE"), 1);
    root->onAnimate(0);
    root->onAnimate(1000);
    EXPECT_NEAR(root->getSceneNodeFromUID("node1")->getPosition().X, 20.f, 1e-4f);

    // Step mode applies the key at or before the time.
    animator->setInterpolationMode(CSceneNodeAnimator::EIM_STEP);
    root->onAnimate(1500);
    EXPECT_NEAR(root->getSceneNodeFromUID("node1")->getPosition().X, 10.f, 1e-4f);

    // A value computed into a caller buffer leaves the node alone.
    std::vector<float> buffer(std::size_t(animator->getTargetsSize()) / 4, -1.f);
    EXPECT_EQ(animator->getTargetsSize(), 12);
    animator->computeAnimationValues(1600, buffer.data());
    EXPECT_NEAR(buffer[0], 10.f, 1e-4f);

    // Compatibility: position X on the same target matches the position binding; scale does not.
    SChannelView x{"node1", 2, 0}, s{"node1", 10, 0}, other{"node2", 1, 0};
    EXPECT_EQ(animator->hasCompatibleTarget(x), 0);
    EXPECT_EQ(animator->hasCompatibleTarget(s), -1);
    EXPECT_EQ(animator->hasCompatibleTarget(other), -1);
    const auto* table = detail::compatibilityTable();
    EXPECT_TRUE(table[9].test(5));
    EXPECT_FALSE(table[9].test(10));
    EXPECT_TRUE(table[105].test(109));
    EXPECT_STREQ(detail::emitterParameterName(59), "SizeScale");
    EXPECT_EQ(detail::emitterParameterName(26), nullptr);

    // Bound once: a second onBind with the same node does not rebind.
    animator->setTarget(0, nullptr, nullptr);
    animator->onBind(root);
    EXPECT_EQ(animator->getBinding(0).target, nullptr);
    animator->onUnbindAll();
    EXPECT_EQ(animator->getBoundNode(), nullptr);
    animator->onBind(root);
    EXPECT_NE(animator->getBinding(0).target, nullptr);

    io::CAttributes attributes(nullptr);
    animator->serializeAttributes(&attributes);
    EXPECT_FLOAT_EQ(attributes.getFloat("End"), 3.f);
    EXPECT_FLOAT_EQ(attributes.getFloat("Length"), 3.f);
    root->drop();
}

// Targets a scene's root registers for the animation to find.
struct SMorphMesh : IMorphTargetWeights {
    float weights[3] = {1.f, 0.f, 0.f};  // the base, then two targets
    const char* getUID() const override { return "morphA"; }
    float* getTargetWeight(int t) override { return t >= 0 && t < 3 ? &weights[t] : nullptr; }
};
struct SParticles : IParticleSystemParameters {
    const char* uid;
    bool sizeCurve;
    float birthRate = 0.f, sizeScale[3] = {};
    SParticles(const char* id, bool curve) : uid(id), sizeCurve(curve) {}
    const char* getUID() const override { return uid; }
    void* getParticleSystemParameter(const char* name) override
    {
        return std::strcmp(name, "BirthRate") == 0 ? static_cast<void*>(&birthRate)
               : std::strcmp(name, "SizeScale") == 0 ? static_cast<void*>(sizeScale) : nullptr;
    }
    bool hasOverLifeCurve(E_SCALE scale) const override { return sizeCurve && scale == ES_SIZE; }
};

TEST_F(SceneAnimator, BindsEachChannelTypeToItsTarget)
{
    bres::Writer w;
    bres::addVisualScene(w, "Scene01", {{"node1", {}}, {"Dummy01", {}}});
    const std::vector<bres::SAnimationSpec> records = {
        {"Dummy01", 1},         {"node1", 6, 1, 4, 0, 6, 1},  {"node1", 7, 1, 4, 0, 6, 1},
        {"node1", 8, 1, 4, 0, 6, 1}, {"node1", 9, 1, 4, 0, 6, 1}, {"node1", 2, 1, 4, 0, 6, 1},
        {"morphA", 14, 1, 4, 0, 6, 1, 1, 1}, {"morphA", 14, 1, 4, 0, 6, 1, 1, 5}, {"morphB", 14, 1, 4, 0, 6, 1},
        {"SPARKS", 28, 1, 4, 0, 6, 1}, {"sparks", 59}, {"flare", 59}, {"none", 28, 1, 4, 0, 6, 1}};
    bres::SAnimationsSpec spec;
    spec.animations = records;
    spec.end = 100;
    spec.segments = {{0, 100, bres::keyData({bres::keyArray(std::vector<std::int32_t>{0}),
                                             bres::keyArray(std::vector<float>{1.f, 2.f, 3.f, 4.f})})}};
    const std::string path = write("bind.bdae", bres::finishAnimated(w, spec));
    CRootSceneNode* root = CColladaDatabase::constructScene(driver.get(), path.c_str(), nullptr);
    ASSERT_NE(root, nullptr) << manager->getLastError();
    CSceneNodeAnimator* animator = animatorOf(root);
    ASSERT_NE(animator, nullptr);
    ASSERT_EQ(animator->getTargetCount(), int(records.size()));

    SMorphMesh morph;
    SParticles sparks("Sparks", true), flare("flare", false);
    root->addMorphingMesh(&morph);
    root->addParticleSystem(&sparks);
    root->addParticleSystem(&flare);
    float kept[3] = {};
    animator->setTarget(10, kept, nullptr);  // the curve-driven scale keeps this
    animator->forceBind();
    scene::ISceneNode* node = root->getSceneNodeFromUID("node1");
    const void* expected[] = {nullptr,        nullptr,          nullptr,          nullptr, node,        node,
                              &morph.weights[2], nullptr,       nullptr,          &sparks.birthRate, kept,
                              flare.sizeScale, nullptr};
    for (int i = 0; i < animator->getTargetCount(); ++i)
        EXPECT_EQ(animator->getBinding(i).target, expected[i]) << "record " << i << " type " << records[i].channelType;

    // Applying writes the bound storage: the morph weight and the birth rate take key 0's value.
    root->onAnimate(0);
    EXPECT_EQ(morph.weights[2], 1.f);
    EXPECT_EQ(sparks.birthRate, 1.f);
    EXPECT_EQ(morph.weights[1], 0.f);

    // Morph channels are compatible by target and morph target number, whatever their type.
    EXPECT_EQ(animator->hasCompatibleTarget(SChannelView{"morphA", 14, 5}), 7);
    EXPECT_EQ(animator->hasCompatibleTarget(SChannelView{"morphA", 14, 2}), -1);
    root->removeMorphingMesh(&morph);
    root->removeParticleSystem(&sparks);
    root->removeParticleSystem(&flare);
    root->drop();
}

TEST_F(SceneAnimator, HostileStreamedSegmentsApplyNothing)
{
    std::string file = animatedScene(true);
    // Break the streamed key data at the end of the file: a descriptor count past its segment.
    const std::size_t trailingStart = file.size() - 2 * bres::keyData({bres::keyArray(std::vector<std::int32_t>{0, 0}),
                                                                     bres::keyArray(std::vector<float>(6, 0.f))})
                                                           .size();
    file[trailingStart] = char(0x7F);
    const std::string path = write("broken.bdae", file);
    CRootSceneNode* root = CColladaDatabase::constructScene(driver.get(), path.c_str(), nullptr);
    ASSERT_NE(root, nullptr) << manager->getLastError();
    scene::ISceneNode* node = root->getSceneNodeFromUID("node1");
    node->setPosition(core::vector3d<float>(7, 7, 7));
    root->onAnimate(0);
    root->onAnimate(100);
    EXPECT_EQ(node->getPosition(), core::vector3d<float>(7, 7, 7));
    root->drop();
}

} // namespace

#include "engine/scene/ISceneNode.h"

#include <gtest/gtest.h>

#include "engine/io/CAttributes.h"
#include "engine/io/SAttributeReadWriteOptions.h"
#include "engine/scene/CDummyTransformationSceneNode.h"
#include "engine/scene/CEmptySceneNode.h"
#include "tests/engine/scene/SceneTestSupport.h"

#include <cmath>

namespace pravik::scene {
namespace {

using core::quaternion;
using core::vector3d;

// Turns v the way the engine's matrices turn it: its rotation matrix is the transpose of the
// Hamilton one, so the plain form is q* (v, 0) q.
vector3d<float> rotate(const quaternion& q, const vector3d<float>& v)
{
    const quaternion r = q.getConjugate() * quaternion(v.X, v.Y, v.Z, 0.f) * q;
    return {r.X, r.Y, r.Z};
}

struct Placement {
    vector3d<float> position;
    quaternion rotation;
    vector3d<float> scale;
};

vector3d<float> place(const Placement& p, const vector3d<float>& v)
{
    return p.position + rotate(p.rotation, vector3d<float>(v.X * p.scale.X, v.Y * p.scale.Y, v.Z * p.scale.Z));
}

TEST(ISceneNode, NewNodeIsPlacedWithFlags0x721AndOneReference)
{
    CEmptySceneNode* node = new CEmptySceneNode(7);
    node->setPosition(1, 2, 3);
    node->updateAbsolutePosition();
    EXPECT_EQ(node->getAbsoluteTransformation().getTranslation(), vector3d<float>(1, 2, 3));
    EXPECT_EQ(node->getReferenceCount(), 1);
    node->drop();

    CEmptySceneNode fresh(1);
    EXPECT_EQ(fresh.getFlags(), 0x721u);
}

TEST(ISceneNode, MovingOneNodeRecomputesOnlyItsSubtree)
{
    // root - a - (b, c);  root - d
    CEmptySceneNode* root = new CEmptySceneNode();
    ISceneNode* a = new CEmptySceneNode();
    ISceneNode* b = new CEmptySceneNode();
    ISceneNode* c = new CEmptySceneNode();
    ISceneNode* d = new CEmptySceneNode();
    root->addChild(a);
    a->addChild(b);
    a->addChild(c);
    root->addChild(d);
    for (ISceneNode* n : {a, b, c, d}) n->drop();
    root->onAnimate(0);

    const struct { const char* why; ISceneNode* moved; unsigned absolute; } cases[] = {
        {"nothing moved", nullptr, 0}, {"leaf", b, 1}, {"inner node", a, 3}, {"root", root, 5}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        if (c.moved) c.moved->setPosition(vector3d<float>(1, 0, 0));
        ISceneNode::resetXFormDebugCounters();
        root->onAnimate(16);
        EXPECT_EQ(ISceneNode::AbsoluteUpdate, c.absolute);
        EXPECT_EQ(ISceneNode::RelativeTranslationUpdate, c.moved ? 1u : 0u);
        EXPECT_EQ(ISceneNode::RelativeRotationUpdate, 0u);
        EXPECT_EQ(ISceneNode::NodeCount, 5u);
        EXPECT_FALSE(root->getFlags() & ESNF_ABSOLUTE_CHANGED);
    }
    root->drop();
}

TEST(ISceneNode, ChainOfThreeMatchesThePlainProduct)
{
    const float s = std::sqrt(0.5f);
    const struct { const char* why; Placement levels[3]; } cases[] = {
        {"positions only", {{{1, 2, 3}, {}, {1, 1, 1}}, {{4, 5, 6}, {}, {1, 1, 1}}, {{-7, 8, 0}, {}, {1, 1, 1}}}},
        {"quarter turns", {{{0, 0, 5}, {0, 0, s, s}, {1, 1, 1}}, {{3, 0, 0}, {s, 0, 0, s}, {1, 1, 1}},
                           {{0, 1, 0}, {0, s, 0, s}, {1, 1, 1}}}},
        {"scales", {{{1, 0, 0}, {}, {2, 2, 2}}, {{0, 1, 0}, {}, {1, 3, 1}}, {{0, 0, 1}, {}, {1, 1, 0.5f}}}},
        {"mixed", {{{1, -2, 3}, quaternion(0.3f, 0.2f, 0.1f).normalize(), {1, 2, 1}},
                   {{-4, 0, 2}, quaternion(-0.5f, 1.f, 0.25f).normalize(), {0.5f, 0.5f, 3}},
                   {{2, 2, 2}, quaternion(1.2f, 0.f, -0.7f).normalize(), {1, 1, 2}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        ISceneNode* nodes[3];
        for (int i = 0; i < 3; ++i) {
            nodes[i] = new CEmptySceneNode();
            nodes[i]->setPosition(c.levels[i].position);
            nodes[i]->setRotation(c.levels[i].rotation);
            nodes[i]->setScale(c.levels[i].scale);
        }
        nodes[0]->addChild(nodes[1]);
        nodes[1]->addChild(nodes[2]);
        nodes[0]->onAnimate(0);
        for (const vector3d<float>& p : {vector3d<float>(0, 0, 0), vector3d<float>(1, 0, 0), vector3d<float>(0, 2, -1)}) {
            const vector3d<float> want = place(c.levels[0], place(c.levels[1], place(c.levels[2], p)));
            vector3d<float> got = p;
            nodes[2]->getAbsoluteTransformation().transformVect(got);
            EXPECT_NEAR(got.X, want.X, 1e-4f);
            EXPECT_NEAR(got.Y, want.Y, 1e-4f);
            EXPECT_NEAR(got.Z, want.Z, 1e-4f);
        }
        nodes[1]->drop();
        nodes[2]->drop();
        nodes[0]->drop();
    }
}

TEST(ISceneNode, RotationStoredAsEulerDegreesReadsBackAsAQuaternion)
{
    io::CAttributes store(nullptr);
    store.addVector3d("Rotation", vector3d<float>(0, 90, 0));
    CEmptySceneNode node;
    node.deserializeAttributes(&store);
    EXPECT_NEAR(node.getRotation().X, 0.f, 1e-6f);
    EXPECT_NEAR(node.getRotation().Y, 0.70710678f, 1e-6f);
    EXPECT_NEAR(node.getRotation().Z, 0.f, 1e-6f);
    EXPECT_NEAR(node.getRotation().W, 0.70710678f, 1e-6f);
}

TEST(ISceneNode, AttributesRoundTripWithCullingByItsRealValue)
{
    const struct { E_CULLING_TYPE culling; const char* name; } cases[] = {
        {EAC_OFF, "false"}, {EAC_BOX, "box"}, {EAC_FRUSTUM_BOX, "frustum_box"}, {EAC_FRUSTUM_BOX_3, "frustum_box_3"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CEmptySceneNode from(42);
        from.setName("Box");
        from.setPosition(vector3d<float>(1, 2, 3));
        from.setScale(vector3d<float>(2, 2, 2));
        from.setAutomaticCulling(c.culling);
        from.setRenderingLayer(5);
        io::CAttributes store(nullptr);
        from.serializeAttributes(&store);
        EXPECT_STREQ(store.getEnum("AutomaticCulling"), c.name);
        EXPECT_FALSE(store.existsAttribute("Rendering Layer"));
        CEmptySceneNode to(0);
        to.deserializeAttributes(&store);
        EXPECT_STREQ(to.getName(), "Box");
        EXPECT_EQ(to.getID(), 42);
        EXPECT_EQ(to.getAutomaticCulling(), c.culling);
        EXPECT_EQ(to.getAbsoluteTransformation().getTranslation(), vector3d<float>(1, 2, 3));
        EXPECT_EQ(to.getRenderingLayer(), 0);
    }
    io::SAttributeReadWriteOptions extended{io::EARWF_EXTENDED};
    CEmptySceneNode layered;
    layered.setRenderingLayer(3);
    layered.setCameraOffset(1.5f);
    io::CAttributes store(nullptr);
    layered.serializeAttributes(&store, &extended);
    CEmptySceneNode back;
    back.deserializeAttributes(&store, &extended);
    EXPECT_EQ(back.getRenderingLayer(), 3);
    EXPECT_EQ(back.getCameraOffset(), 1.5f);
}

TEST(ISceneNode, AbsoluteTransformationUnderASingularParentStaysDefined)
{
    CEmptySceneNode* parent = new CEmptySceneNode();
    ISceneNode* child = new CEmptySceneNode();
    parent->addChild(child);
    parent->setScale(vector3d<float>(0, 1, 1));
    parent->onAnimate(0);
    (void)child->getTransformedBoundingBox();
    core::CMatrix4<float> m;
    m.setTranslation(vector3d<float>(4, 5, 6));
    child->setAbsoluteTransformation(m);
    EXPECT_EQ(child->getPosition(), vector3d<float>(4, 5, 6));
    EXPECT_TRUE(std::isfinite(child->getRotation().W));
    // The cached world box follows at once.
    EXPECT_EQ(child->getTransformedBoundingBox().getCenter(), vector3d<float>(4, 5, 6));
    child->drop();
    parent->drop();
}

TEST(ISceneNode, ChildrenAnimatorsAndLookups)
{
    CEmptySceneNode* root = new CEmptySceneNode(1);
    ISceneNode* a = new CEmptySceneNode(2);
    ISceneNode* b = new CDummyTransformationSceneNode(3);
    a->setName("Light");
    root->addChild(a);
    root->addChild(b);
    root->addChild(a);  // moved to the end, count unchanged
    EXPECT_EQ(a->getReferenceCount(), 2);
    EXPECT_EQ(root->getChildren().back(), a);
    root->addChild(root);
    root->addChild(nullptr);
    EXPECT_EQ(root->getChildren().size(), 2u);

    EXPECT_EQ(root->getSceneNodeFromName("LIGHT"), a);
    EXPECT_EQ(root->getSceneNodeFromType(ESNT_DUMMY_TRANSFORMATION), b);
    EXPECT_EQ(root->getSceneNodeFromType(ESNT_ANY), root);
    std::vector<ISceneNode*> all;
    root->getSceneNodesFromType(ESNT_ANY, all);
    EXPECT_EQ(all, (std::vector<ISceneNode*>{root, b, a}));

    int runs = 0;
    auto* animator = new test::CallbackAnimator([&runs](ISceneNode*, unsigned) { ++runs; });
    a->addAnimator(animator);
    b->addAnimator(animator);
    a->addBindedAnimator(animator);
    a->addBindedAnimator(animator);
    EXPECT_EQ(animator->getReferenceCount(), 4);
    root->onAnimate(0);
    EXPECT_EQ(runs, 2);
    root->removeAnimator(animator, true);
    EXPECT_EQ(animator->getReferenceCount(), 2);
    EXPECT_EQ(animator->binds, 2);
    EXPECT_EQ(animator->unbinds, 2);

    // The clone copies children and animators, not the parent link.
    a->addAnimator(animator);
    ISceneNode* copy = root->clone();
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->getChildren().size(), 2u);
    EXPECT_STREQ(copy->getChildren().back()->getName(), "Light");
    EXPECT_EQ(copy->getChildren().back()->getAnimators().size(), 1u);
    copy->drop();

    a->drop();
    b->drop();
    root->drop();  // a's binding is released with it
    EXPECT_EQ(animator->getReferenceCount(), 1);
    EXPECT_EQ(animator->unbinds, 4);
    animator->drop();
}

TEST(ISceneNode, DummyTransformationDecomposesItsMatrix)
{
    CDummyTransformationSceneNode node;
    core::CMatrix4<float> m;
    m.setTranslation(vector3d<float>(5, 0, 0));
    node.setRelativeTransformationMatrix(m);
    EXPECT_EQ(node.getPosition(), vector3d<float>(5, 0, 0));
    EXPECT_EQ(node.getRotation(), quaternion(0, 0, 0, 1));
    EXPECT_EQ(node.getScale(), vector3d<float>(1, 1, 1));
    EXPECT_EQ(node.getRelativeTransformationMatrix(), m);
}

TEST(ISceneNode, LogTreeOfADeepChainKeepsItsLines)
{
    CEmptySceneNode* root = new CEmptySceneNode();
    ISceneNode* last = root;
    for (int i = 0; i < 400; ++i) {
        ISceneNode* n = new CEmptySceneNode();
        last->addChild(n);
        n->drop();
        last = n;
    }
    root->logTree(0, 0);  // indentation past the line buffer must not write beyond it
    root->drop();
}

}  // namespace
}  // namespace pravik::scene

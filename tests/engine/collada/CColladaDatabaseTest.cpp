#include "engine/collada/CColladaDatabase.h"

#include "engine/collada/CColladaFactory.h"
#include "engine/collada/CRootSceneNode.h"
#include "engine/collada/CSceneNode.h"
#include "engine/io/CAttributes.h"
#include "engine/scene/CColladaBinaryFileLoader.h"
#include "tests/engine/collada/SceneFileTestSupport.h"
#include "tools/formats/BresWriter.h"

#include <cstddef>

namespace pravik::collada {
namespace {

using formats::bres::SNodeSpec;
using formats::bres::Writer;

class CColladaDatabaseTest : public test::SceneFileFixture {};

scene::E_SCENE_NODE_TYPE makeTypeCode(const char* s)
{
    return scene::E_SCENE_NODE_TYPE(scene::makeNodeTypeCode(s[0], s[1], s[2], s[3]));
}

std::vector<std::string> childUIDs(const scene::ISceneNode* node)
{
    std::vector<std::string> out;
    for (const scene::ISceneNode* child : node->getChildren()) out.push_back(child->getUID());
    return out;
}

TEST_F(CColladaDatabaseTest, EffectSceneBuildsARootWithItsNode)
{
    const std::string path = write("effect.bdae", formats::bres::effectScene());
    CRootSceneNode* root = CColladaDatabase::constructScene(driver.get(), path.c_str(), nullptr);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->getType(), makeTypeCode("daer"));
    EXPECT_STREQ(root->getUID(), path.c_str());
    EXPECT_STREQ(root->getName(), "Scene01");
    EXPECT_TRUE(root->isPostLoaded());
    ASSERT_EQ(root->getChildren().size(), 1u);
    scene::ISceneNode* dummy = root->getChildren().front();
    EXPECT_EQ(dummy->getType(), makeTypeCode("daen"));
    EXPECT_STREQ(dummy->getUID(), "Dummy01");
    EXPECT_STREQ(dummy->getName(), "Dummy01");
    EXPECT_TRUE(dummy->isVisible());
    EXPECT_EQ(root->getSceneNodeFromUID("Dummy01"), dummy);
    // The built scene keeps the file cached; letting the root go unloads it.
    EXPECT_EQ(manager->getCachedCount(), 1u);
    root->drop();
    EXPECT_EQ(manager->getCachedCount(), 0u);
}

TEST_F(CColladaDatabaseTest, SceneManagerMeshLoaderAddsTheScene)
{
    const std::string path = write("x.bdae", formats::bres::effectScene());
    EXPECT_EQ(sceneManager->getMesh(path.c_str()), nullptr);
    scene::ISceneNode* root = sceneManager->getRootSceneNode()->getChildren().back();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->getType(), makeTypeCode("daer"));
    EXPECT_NE(sceneManager->getSceneNodeFromUID("Dummy01"), nullptr);
    scene::CColladaBinaryFileLoader loader(sceneManager, fileSystem);
    EXPECT_TRUE(loader.isALoadableFileExtension("a.bdae.zip"));
    EXPECT_FALSE(loader.isALoadableFileExtension("a.BDAE"));
}

// Two nodes with children; the second root node is placed and hidden.
std::string treeScene()
{
    Writer w;
    const auto nodes = formats::bres::addVisualScene(w, "Tree", {{"A", {{"A1", {}}, {"A2", {{"A2x", {}}}}}}, {"B", {}}});
    const uint32_t b = nodes.back();
    w.f32(b + offsetof(SNode, position), 10.f);
    w.f32(b + offsetof(SNode, scale) + 4, 2.f);
    w.u32(b + offsetof(SNode, visible), 0);
    w.str(b + offsetof(SNode, scopeId), "scope");
    const uint32_t property = w.alloc(4);
    w.str(property, "user text");
    w.ptr(b + offsetof(SNode, userProperty), property);
    return w.finish();
}

TEST_F(CColladaDatabaseTest, NodeTreesKeepOrderPlacementAndRecordFields)
{
    CColladaDatabase db(write("tree.bdae", treeScene()).c_str());
    ASSERT_TRUE(db.isValid()) << manager->getLastError();
    CRootSceneNode* root = db.constructScene(driver.get());
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(childUIDs(root), (std::vector<std::string>{"A", "B"}));
    scene::ISceneNode* a = root->getChildren().front();
    EXPECT_EQ(childUIDs(a), (std::vector<std::string>{"A1", "A2"}));
    EXPECT_EQ(childUIDs(a->getChildren().back()), (std::vector<std::string>{"A2x"}));
    auto* b = static_cast<CSceneNode*>(root->getChildren().back());
    EXPECT_EQ(b->getPosition(), core::vector3d<float>(10, 0, 0));
    EXPECT_EQ(b->getScale(), core::vector3d<float>(1, 2, 1));
    EXPECT_FALSE(b->isVisible());
    EXPECT_STREQ(b->getScopeID(), "scope");
    EXPECT_STREQ(b->getUserPropertyStr(), "user text");
    EXPECT_EQ(b->getAbsoluteTransformation().getTranslation(), core::vector3d<float>(10, 0, 0));
    // Put back to the record after being moved.
    b->setPosition(core::vector3d<float>(0, 5, 0));
    root->resetTransform(true);
    EXPECT_EQ(b->getPosition(), core::vector3d<float>(10, 0, 0));
    // Lookups.
    EXPECT_STREQ(db.str(db.getNode("A2x")->id), "A2x");
    EXPECT_EQ(db.getNode("missing"), nullptr);
    EXPECT_EQ(db.getNode("A1", *db.getNode("B")), nullptr);
    EXPECT_NE(db.getNode("A1", *db.getNode("A")), nullptr);
    unsigned mask = ELM_MATERIALS | ELM_VISUAL_SCENES;
    EXPECT_EQ(db.find("Tree", mask), db.getVisualScene(0));
    EXPECT_EQ(mask, unsigned(ELM_VISUAL_SCENES));
    mask = ELM_MATERIALS;
    EXPECT_EQ(db.find("Tree", mask), nullptr);
    EXPECT_EQ(db.getVisualScene(1), nullptr);
    EXPECT_EQ(db.getVisualScene(-1), nullptr);
    EXPECT_EQ(db.getMaterial(0), nullptr);
    // A single node with a root of its own.
    CRootSceneNode* single = db.constructNode(driver.get(), "A2");
    ASSERT_NE(single, nullptr);
    EXPECT_EQ(childUIDs(single), (std::vector<std::string>{"A2"}));
    single->drop();
    io::CAttributes attributes(nullptr);
    root->serializeAttributes(&attributes);
    EXPECT_STREQ(attributes.getString("Source").c_str(), db.getPath());
    root->drop();
}

// A child list that points back at its own node, and an instance list past the file.
TEST_F(CColladaDatabaseTest, CyclicAndOversizedRecordsBuildNothingTwice)
{
    Writer w;
    const auto nodes = formats::bres::addVisualScene(w, "Loop", {{"Self", {}}});
    w.vec(nodes[0] + offsetof(SNode, children), 1, nodes[0]);
    w.vec(nodes[0] + offsetof(SNode, instances), 100000, nodes[0]);
    const uint32_t scene = w.alloc(sizeof(SInstanceEntry));
    w.u32(scene, EIK_VISUAL_SCENE);
    w.ptr(scene + 4, nodes[0]);  // an instance record that is a node, url "Self"... read as an instance
    CColladaDatabase db(write("loop.bdae", w.finish()).c_str());
    CRootSceneNode* root = db.constructScene(driver.get());
    ASSERT_NE(root, nullptr);
    ASSERT_EQ(root->getChildren().size(), 1u);
    EXPECT_TRUE(root->getChildren().front()->getChildren().empty());
    EXPECT_EQ(db.getNode("nothing"), nullptr);
    root->drop();
}

// A chain of children far deeper than any scene: searched and built without running the
// stack out, cut at the depth bound.
TEST_F(CColladaDatabaseTest, DeepNodeChainsAreCutAtTheDepthBound)
{
    Writer w;
    uint32_t node = formats::bres::addVisualScene(w, "Deep", {{"N0", {}}})[0];
    constexpr int kChain = 200000;
    for (int i = 1; i < kChain; ++i) {
        const uint32_t child = w.newVec(node + offsetof(SNode, children), 1, sizeof(SNode));
        w.u32(child + offsetof(SNode, visible), 1);
        node = child;
    }
    w.str(node + offsetof(SNode, id), "Last");
    CColladaDatabase db(write("deep.bdae", w.finish()).c_str());
    ASSERT_TRUE(db.isValid()) << manager->getLastError();
    EXPECT_EQ(db.getNode("Last"), nullptr);
    CRootSceneNode* root = db.constructScene(driver.get());
    ASSERT_NE(root, nullptr);
    int depth = 0;
    for (scene::ISceneNode* n = root; !n->getChildren().empty(); n = n->getChildren().front()) ++depth;
    EXPECT_EQ(depth, CColladaDatabase::kMaxNodeDepth);
    root->drop();
}

TEST_F(CColladaDatabaseTest, EmptyOrForeignSceneEntriesBuildAnEmptyRoot)
{
    Writer w;
    const uint32_t entry = w.newVec(offsetof(SCollada, scene), 1, sizeof(SInstanceEntry));
    w.u32(entry, 3);
    CColladaDatabase db(write("none.bdae", w.finish()).c_str());
    CRootSceneNode* root = db.constructScene(driver.get());
    ASSERT_NE(root, nullptr);
    EXPECT_TRUE(root->getChildren().empty());
    root->drop();
    CColladaDatabase missing(dir.file("missing.bdae").c_str());
    EXPECT_FALSE(missing.isValid());
    EXPECT_EQ(missing.constructScene(driver.get()), nullptr);
    EXPECT_EQ(CColladaDatabase::constructScene(driver.get(), dir.file("missing.bdae").c_str(), nullptr), nullptr);
}

}  // namespace
}  // namespace pravik::collada

// Static meshes from geometry records, their nodes and what hostile mesh records build.

#include "engine/collada/CColladaDatabase.h"
#include "engine/collada/CMesh.h"
#include "engine/collada/CMeshSceneNode.h"
#include "engine/collada/CRootSceneNode.h"
#include "engine/scene/CMeshBuffer.h"
#include "engine/video/material/CMaterial.h"
#include "engine/video/material/CMaterialRenderer.h"
#include "tests/engine/collada/SceneFileTestSupport.h"
#include "tools/formats/BresWriter.h"

#include <cstddef>
#include <cstring>

namespace pravik::collada {
namespace {

using namespace formats::bres;

std::string floats(std::initializer_list<float> values)
{
    std::string out(values.size() * 4, '\0');
    std::memcpy(out.data(), values.begin(), out.size());
    return out;
}

// A quad of four vertices (position float3), one or more buffers over it.
SGeometrySpec quad(const std::string& id, unsigned buffers = 1)
{
    SGeometrySpec g;
    g.id = id;
    g.stride = 12;
    g.vertexCount = 4;
    g.attributes = {{0, 6, 3}};
    g.vertices = floats({-1, -1, 0, 1, -1, 0, 1, 1, 0, -1, 1, 0});
    for (unsigned b = 0; b < buffers; ++b) {
        SMeshBufferSpec s;
        s.highestIndex = 3;
        s.indices = {0, 1, 2, 0, 2, 3};
        g.buffers.push_back(s);
    }
    return g;
}

// Effects: 0 opaque, 1 blending; materials 0 and 1 on them.
void addTwoMaterials(Writer& w)
{
    SPassSpec opaque, blend;
    blend.wordB |= 1u << 19;
    addEffects(w, {{"Opaque", {{"Default", {opaque}}}, {}}, {"Blend", {{"Default", {blend}}}, {}}});
    SMaterialSpec a, b;
    a.id = "A";
    a.effect = 0;
    a.effectUrl = "#Opaque";
    b.id = "B";
    b.effect = 1;
    b.effectUrl = "#Blend";
    addMaterials(w, {a, b});
}

// Records what meshes register and in which pass.
class RecordingSceneManager : public scene::CSceneManager {
public:
    using CSceneManager::CSceneManager;
    bool registerNodeForRendering(scene::ISceneNode* node, const boost::intrusive_ptr<video::CMaterial>& material,
                                  void* data, scene::E_SCENE_NODE_RENDER_PASS pass, const core::vector3d<float>* position,
                                  int layer) override
    {
        if (node->getType() == ESNT_DAE_MESH)
            passes.push_back({material ? material->getMaterialRenderer()->getName() : "", int(pass), uintptr_t(data)});
        return CSceneManager::registerNodeForRendering(node, material, data, pass, position, layer);
    }
    struct SEntry {
        std::string renderer;
        int pass;
        uintptr_t data;
        bool operator==(const SEntry&) const = default;
    };
    std::vector<SEntry> passes;
};

class SceneFileMeshTest : public test::SceneFileFixture {};

TEST_F(SceneFileMeshTest, MeshesOfOneGeometryShareBuffersNotMaterials)
{
    Writer w;
    addGeometries(w, {quad("Quad", 2)});
    CColladaDatabase db(write("quad.bdae", w.finish()).c_str());
    auto first = db.constructGeometry(driver.get(), "Quad");
    auto second = db.constructGeometry(driver.get(), "Quad");
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->getType(), ECMT_STATIC);
    EXPECT_STREQ(first->getUID(), "Quad");
    ASSERT_EQ(first->getMeshBufferCount(), 2u);
    for (unsigned i = 0; i < 2; ++i) EXPECT_EQ(first->getMeshBuffer(i), second->getMeshBuffer(i));
    EXPECT_NE(first->getMeshBuffer(0), first->getMeshBuffer(1));
    // Both buffers of one record draw from one driver vertex buffer.
    EXPECT_EQ(first->getMeshBuffer(0)->VertexStreams->begin()->buffer, first->getMeshBuffer(1)->VertexStreams->begin()->buffer);
    auto buffer = first->getMeshBuffer(0);
    EXPECT_EQ(buffer->PrimitiveStream.Count, 6u);
    EXPECT_EQ(buffer->PrimitiveStream.VertexEnd, 4u);
    EXPECT_EQ(buffer->PrimitiveStream.IndexType, video::EIT_16BIT);
    EXPECT_EQ(buffer->PrimitiveStream.PrimitiveType, video::EPT_TRIANGLES);
    EXPECT_EQ(buffer->VertexStreams->getVertexCount(), 4u);
    // Without scale and offset the position entry is the identity and not in force.
    EXPECT_EQ(buffer->VertexStreams->getFlags(), 3u);
    EXPECT_EQ(buffer->VertexStreams->getScaleAndOffsets()[0].scale, core::vector3d<float>(1, 1, 1));
    EXPECT_EQ(buffer->VertexStreams->getScaleAndOffsets()[0].offset, core::vector3d<float>(0, 0, 0));
    auto material = video::CMaterial::allocate(driver->getMaterialRendererManager()->createPinkWireFrameMaterialRenderer("m"));
    first->setMaterial(0, material, nullptr);
    EXPECT_EQ(first->getMaterial(0), material);
    EXPECT_EQ(second->getMaterial(0), nullptr);
    first->setMaterial(7, material, nullptr);  // ignored
    EXPECT_EQ(first->getMaterial(7), nullptr);
    auto copy = first->clone();
    EXPECT_EQ(copy->getMeshBuffer(1), first->getMeshBuffer(1));
    EXPECT_STREQ(static_cast<IMesh*>(copy.get())->getUID(), "");
}

// Position, normal and texture coordinates interleaved in 32-byte vertices; position and
// texture coordinates carry scale and offset, the normal carries none.
TEST_F(SceneFileMeshTest, InterleavedRecordsGiveEveryStreamAndItsDequantisation)
{
    Writer w;
    SGeometrySpec g = quad("Box");
    g.stride = 32;
    g.vertices.assign(size_t(32) * g.vertexCount, '\0');
    g.attributes = {{0, 6, 3, {2, 2, 2, 1, 0, 0}}, {12, 6, 3}, {24, 1, 2, {0.5f, 0.25f, 1, 0, 0.5f, 0}}};
    g.buffers[0].normal = 1;
    g.buffers[0].texCoords[0] = 2;
    addGeometries(w, {g});
    CColladaDatabase db(write("box.bdae", w.finish()).c_str());
    auto mesh = db.constructGeometry(driver.get(), "Box");
    ASSERT_TRUE(mesh);
    const auto& set = *mesh->getMeshBuffer(0)->VertexStreams;
    const unsigned mask = (1u << video::EVA_POSITION) | (1u << video::EVA_TEXCOORD0) | (1u << video::EVA_NORMAL);
    EXPECT_EQ(set.getAttributeMask(), mask);
    EXPECT_EQ(set.getTexCoordSetCount(), 1u);
    EXPECT_EQ(set.getVertexCount(), 4u);
    // One buffer with client data (1 | 2); entries 0 and 1 of the table in force (4 << 0 | 4 << 1).
    EXPECT_EQ(set.getFlags(), 3u | 4u | 8u);
    ASSERT_EQ(set.getStreamCount(), 3u);
    const struct {
        unsigned attribute, offset, valueType, components;
    } kStreams[] = {{video::EVA_POSITION, 0, 6, 3}, {video::EVA_TEXCOORD0, 24, 1, 2}, {video::EVA_NORMAL, 12, 6, 3}};
    const video::SVertexStream* s = set.begin();
    for (const auto& e : kStreams) {
        SCOPED_TRACE(e.attribute);
        EXPECT_EQ(s->attribute, e.attribute);
        EXPECT_EQ(s->offset, e.offset);
        EXPECT_EQ(s->valueType, e.valueType);
        EXPECT_EQ(s->componentCount, e.components);
        EXPECT_EQ(s->stride, 32u);
        EXPECT_EQ(s->buffer, set.begin()->buffer);
        ++s;
    }
    ASSERT_TRUE(set.begin()->buffer);
    EXPECT_EQ(set.begin()->buffer->getSize(), 32u * 4u);
    const auto* table = set.getScaleAndOffsets();
    const float kTable[2][6] = {{2, 2, 2, 1, 0, 0}, {0.5f, 0.25f, 1, 0, 0.5f, 0}};
    for (int entry = 0; entry < 2; ++entry) {
        SCOPED_TRACE(entry);
        EXPECT_EQ(table[entry].scale, core::vector3d<float>(kTable[entry][0], kTable[entry][1], kTable[entry][2]));
        EXPECT_EQ(table[entry].offset, core::vector3d<float>(kTable[entry][3], kTable[entry][4], kTable[entry][5]));
    }
}

TEST_F(SceneFileMeshTest, HighestIndexChoosesTheIndexWidth)
{
    for (uint32_t highest : {65535u, 65536u}) {
        SCOPED_TRACE(highest);
        Writer w;
        SGeometrySpec g = quad("Big");
        g.vertexCount = highest + 1;
        g.vertices.assign(size_t(12) * g.vertexCount, '\0');
        g.buffers[0].highestIndex = highest;
        g.buffers[0].indices = {0, highest, 1};
        addGeometries(w, {g});
        CColladaDatabase db(write("big" + std::to_string(highest) + ".bdae", w.finish()).c_str());
        auto mesh = db.constructGeometry(driver.get(), "Big");
        ASSERT_TRUE(mesh);
        EXPECT_EQ(mesh->getMeshBuffer(0)->PrimitiveStream.IndexType, highest < 65536 ? video::EIT_16BIT : video::EIT_32BIT);
        EXPECT_EQ(mesh->getMeshBuffer(0)->PrimitiveStream.VertexEnd, highest + 1);
    }
}

TEST_F(SceneFileMeshTest, BuffersRegisterInThePassTheirMaterialAsks)
{
    stop();
    driver = test::makeNullDriver();
    auto* recording = new RecordingSceneManager(driver.get(), fileSystem);
    sceneManager = recording;
    manager = new CResFileManager(fileSystem, driver.get(), sceneManager);
    Writer w;
    addTwoMaterials(w);
    addGeometries(w, {quad("Quad", 2)});
    const auto nodes = addVisualScene(w, "S", {{"Holder", {}}});
    addGeometryInstance(w, nodes[0], "Quad", {0, 1});
    CRootSceneNode* root = CColladaDatabase::constructScene(driver.get(), write("scene.bdae", w.finish()).c_str(), nullptr);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->getMaterialCount(), 2u);
    scene::ISceneNode* holder = root->getChildren().front();
    ASSERT_EQ(holder->getChildren().size(), 1u);
    auto* meshNode = static_cast<CMeshSceneNode*>(holder->getChildren().front());
    EXPECT_EQ(meshNode->getType(), ESNT_DAE_MESH);
    EXPECT_EQ(meshNode->getMaterialCount(), 2u);
    meshNode->setAutomaticCulling(scene::EAC_OFF);
    sceneManager->getRootSceneNode()->addChild(root);
    root->drop();
    sceneManager->registerSceneNodes(sceneManager->getRootSceneNode());
    using E = RecordingSceneManager::SEntry;
    EXPECT_EQ(recording->passes, (std::vector<E>{{"Opaque", scene::ESNRP_SOLID, 1}, {"Blend", scene::ESNRP_TRANSPARENT, 2}}));
    recording->passes.clear();
    meshNode->setNodeHierarchyAsShadowCaster(true);
    sceneManager->registerSceneNodes(sceneManager->getRootSceneNode());
    EXPECT_EQ(recording->passes.size(), 4u);
    // The same material record in one scene is one material.
    EXPECT_EQ(meshNode->getMaterial(0), root->getMaterial(0u));
}

// Records a hostile file may hold: none of them builds a mesh or reads past the file.
TEST_F(SceneFileMeshTest, HostileMeshRecordsBuildNothing)
{
    struct Case {
        const char* why;
        void (*edit)(SGeometrySpec&);
    };
    const Case cases[] = {
        {"attribute index 20 of 3", [](SGeometrySpec& g) { g.buffers[0].texCoords[0] = 20; }},
        {"kind 7", [](SGeometrySpec& g) { g.buffers[0].kind = 7; }},
        {"index past the vertices", [](SGeometrySpec& g) { g.buffers[0].highestIndex = 9; }},
        {"index above the highest", [](SGeometrySpec& g) { g.buffers[0].indices[2] = 3000; }},
        {"33 buffers", [](SGeometrySpec& g) { g.buffers.resize(33, g.buffers[0]); }},
        {"attribute wider than the stride", [](SGeometrySpec& g) { g.attributes[0].offset = 8; }},
        {"unknown value type", [](SGeometrySpec& g) { g.attributes[0].valueType = 40; }},
        {"vertex data past the file", [](SGeometrySpec& g) { g.vertexCount = 100000; }},
    };
    int i = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        Writer w;
        SGeometrySpec g = quad("Bad");
        c.edit(g);
        addGeometries(w, {g});
        CColladaDatabase db(write("bad" + std::to_string(i++) + ".bdae", w.finish()).c_str());
        ASSERT_TRUE(db.isValid());
        EXPECT_FALSE(db.constructGeometry(driver.get(), "Bad"));
    }
    // Binding indices past the material library bind no material; a bind of type 40 is dropped.
    Writer w;
    SPassSpec pass;
    SBindSpec bind;
    bind.parameterType = 40;
    pass.binds = {bind};
    SParamSpec p;
    p.name = "x";
    p.type = EPT_FLOAT;
    p.bytes = floats({1});
    addEffects(w, {{"E", {{"Default", {pass}}}, {p}}});
    addGeometries(w, {quad("Quad")});
    const auto nodes = addVisualScene(w, "S", {{"Holder", {}}});
    addGeometryInstance(w, nodes[0], "Quad", {57});
    CColladaDatabase db(write("binding.bdae", w.finish()).c_str());
    CRootSceneNode* root = db.constructScene(driver.get());
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->getMaterialCount(), 0u);
    root->drop();
    EXPECT_TRUE(db.constructEffect(driver.get(), "E", nullptr));
    EXPECT_TRUE(log.logger().contains("invalid bind symbol"));
}

}  // namespace
}  // namespace pravik::collada

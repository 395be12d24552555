// Billboard nodes turning towards the camera and coronas glow quads, from scene-file records.

#include "engine/collada/CBillboardSceneNode.h"
#include "engine/collada/CColladaDatabase.h"
#include "engine/collada/CCoronasSceneNode.h"
#include "engine/collada/CRootSceneNode.h"
#include "engine/io/CAttributes.h"
#include "engine/scene/CCameraSceneNode.h"
#include "engine/video/material/CMaterialRenderer.h"
#include "tests/engine/collada/SceneFileTestSupport.h"
#include "tools/formats/BresWriter.h"

#include <cmath>
#include <cstddef>
#include <cstring>
#include <numbers>

namespace pravik::collada {
namespace {

using namespace formats::bres;
using vec3 = core::vector3d<float>;
constexpr float kPi = std::numbers::pi_v<float>;

std::string floats(std::initializer_list<float> values)
{
    std::string out(values.size() * 4, '\0');
    std::memcpy(out.data(), values.begin(), out.size());
    return out;
}

void expectNear(const vec3& got, const vec3& want, float tolerance = 1e-5f)
{
    EXPECT_NEAR(got.X, want.X, tolerance);
    EXPECT_NEAR(got.Y, want.Y, tolerance);
    EXPECT_NEAR(got.Z, want.Z, tolerance);
}

void writeVec3(Writer& w, uint32_t at, const vec3& v)
{
    w.f32(at, v.X);
    w.f32(at + 4, v.Y);
    w.f32(at + 8, v.Z);
}

vec3 rotated(const core::CMatrix4<float>& m, vec3 v)
{
    m.rotateVect(v);
    return v;
}

struct SBillboardSpec {
    uint32_t kind, mode;
    vec3 axis, up;
};

// Node "B" with a billboard record under "Holder"; optionally a triangle mesh with the given box below B.
std::string billboardScene(const SBillboardSpec& b, vec3 offset, const float* meshBox = nullptr)
{
    Writer w;
    if (meshBox) {
        SGeometrySpec g;
        g.id = "Tri";
        g.stride = 12;
        g.vertexCount = 3;
        g.attributes = {{0, 6, 3}};
        g.vertices = floats({0, 0, 0, 1, 0, 0, 0, 1, 0});
        SMeshBufferSpec s;
        s.highestIndex = 2;
        s.indices = {0, 1, 2};
        g.buffers = {s};
        std::memcpy(g.box, meshBox, sizeof g.box);
        addGeometries(w, {g});
    }
    const auto nodes = addVisualScene(w, "Scene", {{"Holder", {{"B", {}}}}});
    const uint32_t node = nodes[1];
    writeVec3(w, node + offsetof(SNode, position), offset);
    const uint32_t record = w.alloc(sizeof(SBillboard));
    w.u32(record, b.kind);
    w.u32(record + 4, b.mode);
    writeVec3(w, record + 8, b.axis);
    writeVec3(w, record + 20, b.up);
    w.ptr(node + offsetof(SNode, billboard), record);
    if (meshBox) addGeometryInstance(w, node, "Tri", {});
    return w.finish();
}

class SceneFileBillboardTest : public test::SceneFileFixture {
protected:
    // Builds the scene under the manager's root, the scene's holder at `parent`.
    CBillboardSceneNode* build(const std::string& bytes, vec3 parent = {0, 0, 0})
    {
        CColladaDatabase db(write("billboard" + std::to_string(files++) + ".bdae", bytes).c_str());
        CRootSceneNode* root = db.constructScene(driver.get());
        if (!root) return nullptr;
        sceneManager->getRootSceneNode()->addChild(root);
        root->drop();
        root->getSceneNodeFromName("Holder")->setPosition(parent);
        return dynamic_cast<CBillboardSceneNode*>(root->getSceneNodeFromName("B"));
    }
    scene::CCameraSceneNode* camera(vec3 at, vec3 target = {0, 0, 0})
    {
        auto* c = static_cast<scene::CCameraSceneNode*>(sceneManager->addSceneNode("camera"));
        c->setPosition(at);
        c->setTarget(target);
        c->updateAbsolutePosition();
        c->recalculateMatrices();
        sceneManager->setActiveCamera(c);
        return c;
    }
    void update() { sceneManager->getRootSceneNode()->updateAbsolutePosition(true); }

    int files = 0;
};

TEST_F(SceneFileBillboardTest, TurnsItsAxisTowardsTheCamera)
{
    const vec3 x(1, 0, 0), y(0, 1, 0), z(0, 0, 1);
    const struct {
        const char* why;
        SBillboardSpec record;
        vec3 parent, offset, eye;
        vec3 xImage, zImage, position;  // where the node's x and z axes and origin end up
    } cases[] = {
        {"about the up axis: a quarter turn, theta = -pi/2", {2, 0, z, y}, {0, 0, 0}, {0, 0, 0}, {1, 0, 0},
         {0, 0, -1}, x, {0, 0, 0}},
        {"free, facing the view plane of a camera on +z: the identity", {1, 2, z, y}, {0, 0, 0}, {0, 0, 0}, {0, 0, 10},
         x, z, {0, 0, 0}},
        {"free, facing the position of a camera on +x", {0, 0, z, y}, {0, 0, 0}, {0, 0, 0}, {10, 0, 0}, {0, 0, -1},
         x, {0, 0, 0}},
        {"turns about the parent: its own offset turns with it", {2, 0, z, y}, {5, 0, 0}, {0, 0, 2}, {15, 0, 0},
         {0, 0, -1}, x, {7, 0, 0}},
        {"axis and up parallel: collapses onto the parent", {1, 0, y, y}, {5, 0, 0}, {0, 0, 2}, {0, 0, 10},
         {0, 0, 0}, {0, 0, 0}, {5, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        CBillboardSceneNode* node = build(billboardScene(c.record, c.offset), c.parent);
        ASSERT_NE(node, nullptr);
        EXPECT_EQ(node->getType(), ESNT_DAE_NODE);
        camera(c.eye);
        update();
        const core::CMatrix4<float>& m = node->getAbsoluteTransformation();
        expectNear(rotated(m, x), c.xImage);
        expectNear(rotated(m, z), c.zImage);
        expectNear(node->getAbsolutePosition(), c.position);
        sceneManager->clear();
    }
}

TEST_F(SceneFileBillboardTest, WithoutCameraTheTransformationIsTheOrdinaryOne)
{
    CBillboardSceneNode* node = build(billboardScene({2, 0, {0, 0, 1}, {0, 1, 0}}, {0, 0, 2}), {5, 0, 0});
    ASSERT_NE(node, nullptr);
    update();
    EXPECT_TRUE(node->getAbsoluteTransformation().getTranslation() == vec3(5, 0, 2));
    expectNear(rotated(node->getAbsoluteTransformation(), {0, 0, 1}), {0, 0, 1});
}

TEST_F(SceneFileBillboardTest, ParentlessBillboardTurnsAboutTheOrigin)
{
    Writer w;
    const auto nodes = addVisualScene(w, "Scene", {{"B", {}}});
    const uint32_t record = w.alloc(sizeof(SBillboard));
    w.u32(record, 2);
    writeVec3(w, record + 8, {0, 0, 1});
    writeVec3(w, record + 20, {0, 1, 0});
    w.ptr(nodes[0] + offsetof(SNode, billboard), record);
    CColladaDatabase db(write("alone.bdae", w.finish()).c_str());
    auto* node = new CBillboardSceneNode(db, db.getVisualScene(0) ? &db.getResFile()->get(db.getVisualScene(0)->nodes)[0] : nullptr);
    node->setSceneManager(sceneManager);
    camera({1, 0, 0});
    node->updateAbsolutePosition();
    expectNear(rotated(node->getAbsoluteTransformation(), {0, 0, 1}), {1, 0, 0});
    expectNear(node->getAbsolutePosition(), {0, 0, 0});
    node->drop();
}

TEST_F(SceneFileBillboardTest, BoxesHoldEveryOrientation)
{
    const float mesh[6] = {-1, -2, -3, 1, 2, 3};
    const float b = std::sqrt(14.f);
    const struct {
        const char* why;
        SBillboardSpec record;
        core::aabbox3d<float> box;
    } cases[] = {
        {"about y: y stays", {2, 0, {0, 0, 1}, {0, 1, 0}}, {-b, -2, -b, b, 2, b}},
        {"about x: x stays", {2, 0, {0, 0, 1}, {1, 0, 0}}, {-1, -b, -b, 1, b, b}},
        {"about z: z stays", {2, 0, {1, 0, 0}, {0, 0, 1}}, {-b, -b, -3, b, b, 3}},
        {"about a slanted axis: the cube", {2, 0, {0, 0, 1}, {0, 1, 1}}, {-b, -b, -b, b, b, b}},
        {"free: the cube", {1, 0, {0, 0, 1}, {0, 1, 0}}, {-b, -b, -b, b, b, b}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        CBillboardSceneNode* node = build(billboardScene(c.record, {0, 0, 2}, mesh), {5, 0, 0});
        ASSERT_NE(node, nullptr);
        node->computeBoundingBox();
        expectNear(node->getBoundingBox().MinEdge, c.box.MinEdge);
        expectNear(node->getBoundingBox().MaxEdge, c.box.MaxEdge);
        // The world box is placed by the parent, not by the node's own offset or turn.
        camera({0, 0, 10});
        update();
        expectNear(node->getTransformedBoundingBox().MinEdge, c.box.MinEdge + vec3(5, 0, 0));
        expectNear(node->getTransformedBoundingBox().MaxEdge, c.box.MaxEdge + vec3(5, 0, 0));
        sceneManager->clear();
    }
}

// ---- coronas ----

// A null driver that keeps what a corona does to it.
class RecordingDriver : public video::CNullDriver {
public:
    RecordingDriver() : CNullDriver(static_cast<IDevice*>(nullptr)) {}
    video::E_COMPARE_FUNC getDepthFunc() const override { return depth; }
    void setDepthFunc(video::E_COMPARE_FUNC f) override
    {
        depth = f;
        ++depthChanges;
    }
    void draw(const boost::intrusive_ptr<video::CVertexStreams>& streams, const video::CPrimitiveStream& primitives,
              video::CDriverBinding** binding, const scene::CMeshBuffer* meshBuffer) override
    {
        draws.push_back({primitives.PrimitiveType, primitives.Count, depth, getTransform(video::ETS_WORLD).isIdentity()});
        CNullDriver::draw(streams, primitives, binding, meshBuffer);
    }
    struct SDraw {
        video::E_PRIMITIVE_TYPE type;
        unsigned count;
        video::E_COMPARE_FUNC depth;
        bool identityWorld;
    };
    video::E_COMPARE_FUNC depth = video::ECF_LEQUAL;
    int depthChanges = 0;
    std::vector<SDraw> draws;
};

struct SCoronasSpec {
    float width, height, speed, angle;
};

// Coronas "C0".. on node "Glow" at `at`, bound to material "Red" (or nothing).
std::string coronasScene(const std::vector<SCoronasSpec>& coronas, vec3 at = {0, 0, 0}, bool material = true)
{
    Writer w;
    if (material) {
        addEffects(w, {{"Plain", {{"Default", {SPassSpec{}}}}, {}}});
        SMaterialSpec red;
        red.id = "Red";
        red.effect = 0;
        red.effectUrl = "#Plain";
        addMaterials(w, {red});
    }
    const uint32_t records = w.newVec(offsetof(SCollada, coronas), uint32_t(coronas.size()), sizeof(SCoronas));
    for (size_t i = 0; i < coronas.size(); ++i) {
        const uint32_t r = records + uint32_t(i * sizeof(SCoronas));
        w.str(r, "C" + std::to_string(i));
        w.str(r + 4, "Corona" + std::to_string(i));
        w.f32(r + 8, coronas[i].width);
        w.f32(r + 12, coronas[i].height);
        w.f32(r + 16, coronas[i].speed);
        w.f32(r + 20, coronas[i].angle);
        w.f32(r + 24, 7.f);
        w.u8(r + 32, 1);
    }
    const auto nodes = addVisualScene(w, "Scene", {{"Glow", {}}});
    writeVec3(w, nodes[0] + offsetof(SNode, position), at);
    const uint32_t entries = w.newVec(nodes[0] + offsetof(SNode, instances), uint32_t(coronas.size()), 8);
    for (size_t i = 0; i < coronas.size(); ++i) {
        const uint32_t instance = w.alloc(sizeof(SInstance));
        w.u32(entries + uint32_t(8 * i), EIK_CORONAS);
        w.ptr(entries + uint32_t(8 * i) + 4, instance);
        w.str(instance + 4, "#C" + std::to_string(i));
        if (material) {
            const uint32_t binding = w.newVec(instance + offsetof(SInstance, materials), 1, sizeof(SInstanceMaterial));
            w.s32(binding + offsetof(SInstanceMaterial, materialIndex), 0);
        }
    }
    return w.finish();
}

class SceneFileCoronasTest : public test::SceneFileFixture {
protected:
    void SetUp() override
    {
        recording = new RecordingDriver;
        driver = boost::intrusive_ptr<video::CNullDriver>(recording, false);
        driver->initImplementationDependentData();
        fileSystem = new io::CFileSystem();
        sceneManager = new scene::CSceneManager(driver.get(), fileSystem);
        manager = new CResFileManager(fileSystem, driver.get(), sceneManager);
    }
    CRootSceneNode* build(const std::string& bytes)
    {
        CColladaDatabase db(write("coronas" + std::to_string(files++) + ".bdae", bytes).c_str());
        CRootSceneNode* root = db.constructScene(driver.get());
        if (!root) return nullptr;
        sceneManager->getRootSceneNode()->addChild(root);
        root->drop();
        root->updateAbsolutePosition(true);
        return root;
    }
    CCoronasSceneNode* corona(CRootSceneNode* root, int i)
    {
        std::vector<scene::ISceneNode*> found;
        root->getSceneNodesFromType(ESNT_CORONAS, found);
        return i < int(found.size()) ? static_cast<CCoronasSceneNode*>(found[size_t(i)]) : nullptr;
    }
    // A camera on +z looking at the origin; the driver's projection the identity unless perspective.
    scene::CCameraSceneNode* camera(float distance, bool perspective = false)
    {
        auto* c = static_cast<scene::CCameraSceneNode*>(sceneManager->addSceneNode("camera"));
        c->setPosition({0, 0, distance});
        c->setTarget({0, 0, 0});
        c->updateAbsolutePosition();
        c->recalculateMatrices();
        sceneManager->setActiveCamera(c);
        driver->setTransform(video::ETS_VIEW, c->getViewMatrix());
        driver->setTransform(video::ETS_PROJECTION, perspective ? c->getProjectionMatrix() : core::IdentityMatrix);
        return c;
    }

    RecordingDriver* recording = nullptr;
    int files = 0;
};

TEST_F(SceneFileCoronasTest, BuiltFromTheRecordWithTheInstancesMaterial)
{
    CRootSceneNode* root = build(coronasScene({{3, 0, 0.5f, 0.25f}}));
    ASSERT_NE(root, nullptr);
    CCoronasSceneNode* node = corona(root, 0);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->getType(), scene::E_SCENE_NODE_TYPE(scene::makeNodeTypeCode('c', 'r', 'n', 's')));
    EXPECT_STREQ(node->getName(), "Corona0");
    EXPECT_EQ(node->getParent(), root->getSceneNodeFromName("Glow"));
    EXPECT_EQ(node->getRoot(), root);
    EXPECT_EQ(node->getRotationSpeed(), 0.5f);
    EXPECT_EQ(node->getBaseAngle(), 0.25f);
    EXPECT_EQ(node->getSize(), core::dimension2d<float>(3, 0));  // a zero height stays zero
    EXPECT_EQ(node->getBoundingBox(), core::aabbox3d<float>(-1, -1, -1, 1, 1, 1));
    // The scene's one material for the record, shared with every other user.
    ASSERT_TRUE(node->getMaterial(0));
    EXPECT_EQ(node->getMaterial(0), root->hasMaterial("Red"));
    const float tc[4][2] = {{1, 1}, {1, 0}, {0, 1}, {0, 0}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(node->getVertices()[i].TCoords[0], tc[i][0]);
        EXPECT_EQ(node->getVertices()[i].TCoords[1], tc[i][1]);
        EXPECT_EQ(node->getVertices()[i].Color, video::SColor(255, 255, 255, 255));
    }
    node->setSize({0, 0});
    EXPECT_EQ(node->getSize(), core::dimension2d<float>(1, 1));
}

TEST_F(SceneFileCoronasTest, QuadSizeAndSpin)
{
    const vec3 h(6, 0, 0), v(0, 4, 0);  // 2 x width 3 along right, 2 x height 2 along up
    const struct {
        const char* why;
        SCoronasSpec record;
        float distance;
        vec3 right, up;  // where h and v end up
        const char* logged;
    } cases[] = {
        {"no spin", {3, 2, 0, 0}, 10, h, v, "0.000000\n"},
        {"base -pi/2 turns counter-clockwise like +pi/2", {3, 2, 0, -kPi / 2}, 10, {0, 6, 0}, {-4, 0, 0}, "-1.570796\n"},
        {"base +pi/2", {3, 2, 0, kPi / 2}, 10, {0, 6, 0}, {-4, 0, 0}, "1.570796\n"},
        {"speed 1 at 50 units: half a turn", {3, 2, 1, 0}, 50, -h, -v, "3.141593\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        CRootSceneNode* root = build(coronasScene({c.record}));
        ASSERT_NE(root, nullptr);
        CCoronasSceneNode* node = corona(root, 0);
        ASSERT_NE(node, nullptr);
        camera(c.distance);
        log.logger().clear();
        node->render(nullptr);
        // With the identity projection the centre is one unit behind the camera's near point.
        const vec3 m(0, 0, c.distance - 1);
        const CCoronasSceneNode::SVertex* q = node->getVertices();
        const float sides[4][2] = {{1, -1}, {1, 1}, {-1, -1}, {-1, 1}};  // right, up
        for (int i = 0; i < 4; ++i) {
            expectNear(q[i].Pos, m + c.right * sides[i][0] + c.up * sides[i][1], 2e-5f * c.distance);
            expectNear(q[i].Normal, {0, 0, 1});
        }
        ASSERT_EQ(log.logger().messages().size(), 1u);
        EXPECT_EQ(log.logger().messages()[0].text, c.logged);
        EXPECT_EQ(log.logger().messages()[0].level, ELL_INFORMATION);
        EXPECT_TRUE(recording->draws.empty());  // null render data draws nothing
        EXPECT_EQ(recording->depthChanges, 0);
        sceneManager->clear();
    }
}

TEST_F(SceneFileCoronasTest, PerspectiveCameraPutsTheQuadOnTheLineOfSight)
{
    CRootSceneNode* root = build(coronasScene({{1, 1, 0, 0}}, {30, 20, -400}));
    ASSERT_NE(root, nullptr);
    CCoronasSceneNode* node = corona(root, 0);
    ASSERT_NE(node, nullptr);
    scene::CCameraSceneNode* eye = camera(0, true);
    eye->setPosition({0, 0, 0});
    eye->setTarget({0, 0, -1});
    eye->setNearValue(1);
    eye->setFarValue(100000);
    eye->updateAbsolutePosition();
    eye->recalculateProjectionMatrix();
    eye->recalculateMatrices();
    driver->setTransform(video::ETS_VIEW, eye->getViewMatrix());
    driver->setTransform(video::ETS_PROJECTION, eye->getProjectionMatrix());
    node->render(nullptr);
    const CCoronasSceneNode::SVertex* q = node->getVertices();
    const vec3 centre = (q[0].Pos + q[1].Pos + q[2].Pos + q[3].Pos) * 0.25f;
    const vec3 sight = vec3(30, 20, -400).normalize();
    const vec3 towards = vec3(centre).normalize();
    expectNear(towards, sight, 2e-3f);
    EXPECT_NEAR(-centre.Z, 2.f, 0.05f);
}

TEST_F(SceneFileCoronasTest, DrawsOverEverythingAndRestoresTheDepthTest)
{
    CRootSceneNode* root = build(coronasScene({{1, 1, 0, 0}}));
    ASSERT_NE(root, nullptr);
    camera(10);
    recording->depth = video::ECF_LESS;
    sceneManager->drawAll();
    ASSERT_EQ(recording->draws.size(), 1u);
    EXPECT_EQ(recording->draws[0].type, video::EPT_TRIANGLE_STRIP);
    EXPECT_EQ(recording->draws[0].count, 4u);
    EXPECT_EQ(recording->draws[0].depth, video::ECF_ALWAYS);
    EXPECT_TRUE(recording->draws[0].identityWorld);
    EXPECT_EQ(recording->depth, video::ECF_LESS);

    // A blocking test that answers "blocked" keeps the node from registering.
    recording->draws.clear();
    vec3 start, end;
    corona(root, 0)->setBlockingTest([&](const vec3& a, const vec3& b) {
        start = a;
        end = b;
        return true;
    });
    sceneManager->drawAll();
    EXPECT_TRUE(recording->draws.empty());
    EXPECT_TRUE(start == vec3(0, 0, 0));
    EXPECT_TRUE(end == vec3(0, 0, 10));
}

TEST_F(SceneFileCoronasTest, AttributesAreSizeAndColourOnly)
{
    CRootSceneNode* root = build(coronasScene({{3, 2, 0, 0}}, {0, 0, 0}, false));
    ASSERT_NE(root, nullptr);
    CCoronasSceneNode* node = corona(root, 0);
    ASSERT_NE(node, nullptr);
    EXPECT_FALSE(node->getMaterial(0));  // no binding, no material

    boost::intrusive_ptr<io::CAttributes> in(new io::CAttributes(driver.get()), false);
    in->addFloat("Width", 0);
    in->addFloat("Height", 5);
    in->addColor("VColor", video::SColor(255, 255, 0, 0));
    node->deserializeAttributes(in.get());
    EXPECT_EQ(node->getSize(), core::dimension2d<float>(1, 5));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(node->getVertices()[i].Color, video::SColor(255, 255, 0, 0));

    boost::intrusive_ptr<io::CAttributes> out(new io::CAttributes(driver.get()), false);
    node->serializeAttributes(out.get());
    EXPECT_EQ(out->getAttributeCount(), 3);
    EXPECT_EQ(out->getFloat("Width"), 1.f);
    EXPECT_EQ(out->getFloat("Height"), 5.f);
    EXPECT_EQ(out->getColor("VColor"), video::SColor(255, 255, 0, 0));
    EXPECT_FALSE(out->existsAttribute("Name"));
}

TEST_F(SceneFileCoronasTest, RecordlessConstructorHasNoSpinAndNoRoot)
{
    auto* node = new CCoronasSceneNode(driver.get(), 7, {1, 2, 3}, nullptr, {4, 5}, video::SColor(255, 0, 255, 0));
    EXPECT_EQ(node->getID(), 7);
    EXPECT_TRUE(node->getPosition() == vec3(1, 2, 3));
    EXPECT_EQ(node->getRotationSpeed(), 0.f);
    EXPECT_EQ(node->getBaseAngle(), 0.f);
    EXPECT_EQ(node->getRoot(), nullptr);
    EXPECT_EQ(node->getSize(), core::dimension2d<float>(4, 5));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(node->getVertices()[i].Color, video::SColor(255, 0, 255, 0));
    node->drop();
}

TEST_F(SceneFileCoronasTest, HostileInstancesBuildNothingWrong)
{
    // A url naming no record, and a binding to a material index beyond the library.
    Writer w;
    const uint32_t records = w.newVec(offsetof(SCollada, coronas), 1, sizeof(SCoronas));
    w.str(records, "C0");
    const auto nodes = addVisualScene(w, "Scene", {{"Glow", {}}});
    const uint32_t entries = w.newVec(nodes[0] + offsetof(SNode, instances), 2, 8);
    const char* urls[2] = {"#Nothing", "#C0"};
    for (uint32_t i = 0; i < 2; ++i) {
        const uint32_t instance = w.alloc(sizeof(SInstance));
        w.u32(entries + 8 * i, EIK_CORONAS);
        w.ptr(entries + 8 * i + 4, instance);
        w.str(instance + 4, urls[i]);
        const uint32_t binding = w.newVec(instance + offsetof(SInstance, materials), 1, sizeof(SInstanceMaterial));
        w.s32(binding + offsetof(SInstanceMaterial, materialIndex), 9);
    }
    CRootSceneNode* root = build(w.finish());
    ASSERT_NE(root, nullptr);
    ASSERT_NE(corona(root, 0), nullptr);
    EXPECT_EQ(corona(root, 1), nullptr);
    EXPECT_FALSE(corona(root, 0)->getMaterial(0));
}

}  // namespace
}  // namespace pravik::collada

#include "engine/scene/CGeometryCreator.h"

#include <gtest/gtest.h>

#include "engine/scene/CMeshCache.h"
#include "engine/scene/IMeshSceneNode.h"
#include "engine/video/material/EVertexAttribute.h"
#include "tests/engine/scene/SceneTestSupport.h"

#include <functional>

namespace pravik::scene {
namespace {

using core::vector3d;
constexpr unsigned kMask = 0x60003;

struct SShape {
    unsigned vertices = 0, indices = 0;
    std::vector<vector3d<float>> positions, normals;
    std::vector<video::SColor> colors;
    std::vector<float> u;
    std::vector<unsigned short> index;
};

// Reads a generated mesh buffer back through its streams.
SShape readBack(const CMeshBuffer& b)
{
    SShape s;
    s.vertices = b.VertexStreams->getVertexCount();
    s.indices = b.PrimitiveStream.Count;
    auto* streams = const_cast<video::CVertexStreams*>(b.VertexStreams.get());
    const video::SVertexStream* p = streams->getStream(video::EVA_POSITION);
    const video::SVertexStream* n = streams->getStream(video::EVA_NORMAL);
    const video::SVertexStream* c = streams->getStream(video::EVA_COLOR0);
    const video::SVertexStream* t = streams->getStream(video::EVA_TEXCOORD0);
    const auto* data = static_cast<const unsigned char*>(p->buffer->getData());
    for (unsigned i = 0; i < s.vertices; ++i) {
        s.positions.push_back(*reinterpret_cast<const vector3d<float>*>(data + p->offset + i * p->stride));
        if (n && n->buffer) s.normals.push_back(*reinterpret_cast<const vector3d<float>*>(data + n->offset + i * n->stride));
        if (c && c->buffer) s.colors.push_back(*reinterpret_cast<const video::SColor*>(data + c->offset + i * c->stride));
        if (t && t->buffer) s.u.push_back(*reinterpret_cast<const float*>(data + t->offset + i * t->stride));
    }
    const auto* idx = static_cast<const unsigned short*>(b.PrimitiveStream.IndexBuffer->getData());
    s.index.assign(idx, idx + s.indices);
    return s;
}

class CGeometryCreatorTest : public test::SceneFixture {};

TEST_F(CGeometryCreatorTest, VertexAndIndexCounts)
{
    video::IVideoDriver* d = driver.get();
    const video::SColor white(255, 255, 255, 255);
    const struct {
        const char* why;
        std::function<boost::intrusive_ptr<CMesh>()> make;
        unsigned vertices, indices;
    } cases[] = {
        {"sphere 16 x 16", [d] { return createSphereMesh(kMask, d, 5, 16, 16); }, 274, 1536},
        {"sphere 0 x 0", [d] { return createSphereMesh(kMask, d, 5, 0, 0); }, 8, 24},
        {"sphere 200 x 200 gets 163 rows", [d] { return createSphereMesh(kMask, d, 5, 200, 200); }, 163 * 201 + 2,
         6 * 200 * 163},
        {"cube", [d] { return createCubeMesh(kMask, d, 1); }, 24, 36},
        {"plane", [d, white] { return createPlaneMesh(kMask, d, 2, white); }, 4, 6},
        {"cylinder t = 1, open", [d, white] { return createCylinderMesh(kMask, d, 1, 2, 1, white, false, 0); }, 5, 18},
        {"cylinder t = 1, closed", [d, white] { return createCylinderMesh(kMask, d, 1, 2, 1, white, true, 0); }, 6, 24},
        {"cone t = 8", [d, white] { return createConeMesh(kMask, d, 1, 2, 8, white, white, 0); }, 18, 96},
        {"hill plane 3 x 2",
         [d] { return createHillPlaneMesh(kMask, d, {1, 1}, {3, 2}, nullptr, nullptr, 0, {1, 1}, {1, 1}); }, 12, 36},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        boost::intrusive_ptr<CMesh> mesh = c.make();
        ASSERT_TRUE(mesh);
        ASSERT_EQ(mesh->getMeshBufferCount(), 1u);
        const SShape s = readBack(*mesh->getMeshBuffer(0));
        EXPECT_EQ(s.vertices, c.vertices);
        EXPECT_EQ(s.indices, c.indices);
        for (unsigned short i : s.index) ASSERT_LT(i, s.vertices);
    }
}

TEST_F(CGeometryCreatorTest, ShapesThatCannotBeBuiltGiveNoMesh)
{
    const video::SColor white(255, 255, 255, 255);
    EXPECT_FALSE(createConeMesh(kMask, driver.get(), 1, 1, 0, white, white, 0));
    EXPECT_FALSE(createCylinderMesh(kMask, driver.get(), 1, 1, 0, white, true, 0));
    EXPECT_FALSE(createCylinderMesh(kMask, driver.get(), 1, 1, 16384, white, true, 0));  // 65538 vertices
    EXPECT_FALSE(createSphereMesh(kMask, driver.get(), 1, 40000, 40000));               // adjusted to no columns
    EXPECT_FALSE(createHillPlaneMesh(kMask, driver.get(), {1, 1}, {255, 256}, nullptr, nullptr, 0, {1, 1}, {1, 1}));
    EXPECT_FALSE(createCubeMesh(kMask, nullptr, 1));
}

TEST_F(CGeometryCreatorTest, ShapeContents)
{
    const SShape cube = readBack(*createCubeMesh(kMask, driver.get(), 1)->getMeshBuffer(0));
    for (const auto& p : cube.positions) {
        EXPECT_EQ(std::fabs(p.X), 0.5f);
        EXPECT_EQ(std::fabs(p.Y), 0.5f);
        EXPECT_EQ(std::fabs(p.Z), 0.5f);
    }
    for (const auto& c : cube.colors) EXPECT_EQ(c, video::SColor(255, 255, 255, 255));
    // Each triangle's normal points the way of its winding, out of the cube.
    for (unsigned t = 0; t < 36; t += 3) {
        const vector3d<float> a = cube.positions[cube.index[t]], b = cube.positions[cube.index[t + 1]],
                              c = cube.positions[cube.index[t + 2]];
        EXPECT_GT((b - a).crossProduct(c - a).dotProduct(cube.normals[cube.index[t]]), 0.f);
    }

    const SShape plane = readBack(*createPlaneMesh(kMask, driver.get(), 2, video::SColor(1, 2, 3, 4))->getMeshBuffer(0));
    for (unsigned i = 0; i < 4; ++i) {
        EXPECT_EQ(std::fabs(plane.positions[i].X), 1.f);
        EXPECT_EQ(plane.positions[i].Y, 0.f);
        EXPECT_EQ(plane.normals[i], vector3d<float>(0, 1, 0));
        EXPECT_EQ(plane.colors[i], video::SColor(1, 2, 3, 4));
    }

    const SShape flat = readBack(
        *createHillPlaneMesh(kMask, driver.get(), {2, 2}, {2, 2}, nullptr, nullptr, 0, {0, 0}, {1, 1})->getMeshBuffer(0));
    for (const auto& n : flat.normals) EXPECT_EQ(n, vector3d<float>(0, -1, 0));  // the plane rule points down
    for (const auto& p : flat.positions) EXPECT_EQ(p.Y, 0.f);

    const SShape sphere = readBack(*createSphereMesh(kMask, driver.get(), 5, 16, 16)->getMeshBuffer(0));
    EXPECT_EQ(sphere.u[16], 1.f);            // the seam copy of row 0
    EXPECT_EQ(sphere.u[16 * 17], 0.5f);      // the top pole
    EXPECT_EQ(sphere.positions[16 * 17], vector3d<float>(0, 5, 0));
}

TEST_F(CGeometryCreatorTest, ArrowStandsItsConeOnTheCylinder)
{
    auto arrow = createArrowMesh(kMask, driver.get(), 4, 8, 10, 6, 0.5f, 1, video::SColor(255, 0, 0, 255),
                                 video::SColor(0, 255, 0, 255));
    ASSERT_TRUE(arrow);
    EXPECT_EQ(arrow->getMeshBufferCount(), 2u);
    EXPECT_NEAR(arrow->getBoundingBox().MinEdge.Y, 0.f, 1e-6f);
    EXPECT_NEAR(arrow->getBoundingBox().MaxEdge.Y, 10.f, 1e-6f);
    const SShape cone = readBack(*arrow->getMeshBuffer(1));
    EXPECT_EQ(cone.positions.back().Y, 6.f);  // the base centre sits on the cylinder
}

TEST_F(CGeometryCreatorTest, NamedSphereIsBuiltOnce)
{
    auto* cache = static_cast<CMeshCache*>(manager->getMeshCache());
    auto first = cache->addSphereMesh(kMask, "ball", 5, 8, 8);
    ASSERT_TRUE(first);
    EXPECT_EQ(cache->addSphereMesh(kMask, "ball", 1, 4, 4), first);
    EXPECT_EQ(cache->getMeshCount(), 1u);
    EXPECT_FALSE(cache->addSphereMesh(kMask, nullptr, 5, 8, 8));
}

TEST_F(CGeometryCreatorTest, FactoryCubeAndSphereNodes)
{
    const struct { const char* name; unsigned vertices; } cases[] = {{"cube", 24}, {"sphere", 274}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto* node = static_cast<IMeshSceneNode*>(manager->addSceneNode(c.name));
        ASSERT_NE(node, nullptr);
        ASSERT_TRUE(node->getMesh());
        EXPECT_EQ(node->getMesh()->getMeshBuffer(0)->VertexStreams->getVertexCount(), c.vertices);
        EXPECT_EQ(node->getMaterial(0), nullptr);
    }
    manager->addSceneNode("camera");
    manager->update(16);
    manager->drawAll();  // no material: drawn as nothing, without a crash
}

}  // namespace
}  // namespace pravik::scene

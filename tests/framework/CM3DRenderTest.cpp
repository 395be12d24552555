#include "framework/CM3DRender.h"
#include "framework/GLTextureName.h"
#include "framework/ScreenGeometry.h"

#include "engine/video/gl/CGLCallRecorder.h"
#include "tests/framework/FrameworkGLSupport.h"

#include <gtest/gtest.h>

#include <vector>

using pravik::video::CGLCallRecorder;
using pravik::video::ITexture;

namespace {

std::vector<M3DXVertex_XYZT> rectT(float x, float y, float w, float h)
{
    return {{x, y, 5, 0, 0}, {x + w, y, 5, 1, 0}, {x, y + h, 5, 0, 1}, {x + w, y + h, 5, 1, 1}};
}

std::vector<M3DXVertex_XYZD> rectD(float x, float y, float w, float h, unsigned char r, unsigned char g,
                                   unsigned char b)
{
    return {{x, y, 0, r, g, b, 255}, {x + w, y, 0, r, g, b, 255}, {x, y + h, 0, r, g, b, 255},
            {x + w, y + h, 0, r, g, b, 255}};
}

std::vector<M3DXVertex_XYZDT> particles(int n, float x, float y, float size)
{
    std::vector<M3DXVertex_XYZDT> v;
    for (int i = 0; i < n; ++i) {
        v.push_back({x - size, y - size, 0, 255, 255, 255, 255, 0, 0});
        v.push_back({x + size, y - size, 0, 255, 255, 255, 255, 1, 0});
        v.push_back({x - size, y + size, 0, 255, 255, 255, 255, 0, 1});
        v.push_back({x + size, y + size, 0, 255, 255, 255, 255, 1, 1});
    }
    return v;
}

struct CM3DRenderTest : test::FrameworkGL {
    void SetUp() override
    {
        test::FrameworkGL::SetUp();
        ScreenGeometry_SetMode(RESOLUTION_MODE_600X1024);
    }
    // Draws a 2D pass of textured quads, one per texture in order; answers the draw calls.
    size_t drawInOrder(CM3DRender& batcher, const std::vector<boost::intrusive_ptr<ITexture>>& order)
    {
        batcher.Begin2DRender();
        float x = 0;
        for (const auto& t : order) {
            batcher.SetTexture(t);
            batcher.m_nBlendMode = 1;
            EXPECT_EQ(batcher.Blt(rectT(x, 0, 10, 10).data()), 0);
            x += 10;
        }
        CGLCallRecorder calls;
        batcher.End2DRender();
        return calls.count("glDrawElements");
    }
};

} // namespace

TEST_F(CM3DRenderTest, RunsFollowTextureAndBlendChangesInCallOrder)
{
    CM3DRender batcher;
    auto a = solidTexture(255, 0, 0, "a"), b = solidTexture(0, 0, 255, "b");
    EXPECT_EQ(drawInOrder(batcher, {a, b, a, b}), 4u);
    EXPECT_EQ(batcher.CurrentRun(), 3);
    EXPECT_EQ(drawInOrder(batcher, {a, a, b, b}), 2u);
    EXPECT_EQ(batcher.CurrentRun(), 1);

    // A blend change alone opens a run; coloured quads ignore the texture.
    batcher.Begin2DRender();
    batcher.SetTexture(a);
    batcher.m_nBlendMode = 1;
    batcher.Blt(rectT(0, 0, 5, 5).data());
    batcher.m_nBlendMode = 2;
    batcher.Blt(rectT(0, 0, 5, 5).data());
    EXPECT_EQ(batcher.CurrentRun(), 1);
    batcher.SetTexture(b);
    batcher.Blt(rectD(0, 0, 5, 5, 1, 2, 3).data());
    batcher.SetTexture(a);
    batcher.Blt(rectD(0, 0, 5, 5, 1, 2, 3).data());
    EXPECT_EQ(batcher.CurrentRun(), 2);
    EXPECT_EQ(batcher.Run(2).count, 2);
    EXPECT_EQ(batcher.Run(2).texture, nullptr);
}

TEST_F(CM3DRenderTest, TheRunAfterTheLastIsRefusedWhileEarlierQuadsDraw)
{
    CM3DRender batcher;
    auto a = solidTexture(255, 0, 0, "a"), b = solidTexture(0, 0, 255, "b");
    batcher.Begin2DRender();
    for (int i = 0; i < CM3DRender::RUN_COUNT; ++i) {
        batcher.SetTexture(i % 2 ? b : a);
        ASSERT_EQ(batcher.Blt(rectT(float(i), 0, 1, 1).data()), 0) << i;
    }
    batcher.SetTexture(a);   // run 127 holds b: a needs a 129th run
    EXPECT_EQ(batcher.Blt(rectT(0, 0, 1, 1).data()), M3D_E_FAIL);
    batcher.SetTexture(b);   // still fits the last run
    EXPECT_EQ(batcher.Blt(rectT(0, 0, 1, 1).data()), 0);
    CGLCallRecorder calls;
    batcher.End2DRender();
    EXPECT_EQ(calls.count("glDrawElements"), 128u);
}

TEST_F(CM3DRenderTest, GroupsGrowByWholeStepsAndRefuseThe47thTexture)
{
    CM3DRender batcher;
    batcher.BeginScene();
    std::vector<boost::intrusive_ptr<ITexture>> textures;
    for (int i = 0; i < 47; ++i)
        textures.push_back(solidTexture(uint8_t(i), 0, 0, "p"));
    const auto block = particles(100, 0, 0, 1);
    batcher.m_nBlendMode = 2;
    EXPECT_EQ(batcher.Blt(block.data(), 100), M3D_E_FAIL);   // no texture yet
    batcher.SetTexture(textures[0]);
    ASSERT_EQ(batcher.Blt(block.data(), 100), 0);
    EXPECT_EQ(batcher.Group(1).buffers[2].capacity, 192);
    EXPECT_EQ(batcher.Group(1).buffers[2].count, 100);
    for (int i = 1; i < 46; ++i) {
        batcher.SetTexture(textures[size_t(i)]);
        ASSERT_EQ(batcher.Blt(block.data(), 1), 0) << i;
    }
    batcher.SetTexture(textures[46]);
    EXPECT_EQ(batcher.Blt(block.data(), 1), M3D_E_FAIL);
    batcher.SetTexture(textures[3]);   // a known texture still finds its group
    EXPECT_EQ(batcher.Blt(block.data(), 1), 0);
    EXPECT_EQ(batcher.Group(4).buffers[2].count, 2);

    CGLCallRecorder calls;
    batcher.Flsh3DRender();
    EXPECT_EQ(calls.count("glDrawElements"), 46u);
}

// A large first frame must not copy its storage once per 64 quads: capacities at least double,
// in whole steps, and every quad survives the moves.
TEST_F(CM3DRenderTest, StorageAtLeastDoublesAndKeepsEveryQuad)
{
    CM3DRender batcher;
    batcher.Begin2DRender();
    std::vector<int> runCapacities;
    for (int i = 0; i < 1100; ++i) {
        ASSERT_EQ(batcher.Blt(rectD(float(i), 0, 1, 1, 9, 9, 9).data()), 0);
        const int c = batcher.Run(0).capacity;
        if (runCapacities.empty() || runCapacities.back() != c)
            runCapacities.push_back(c);
    }
    EXPECT_EQ(runCapacities, (std::vector<int>{64, 128, 256, 512, 1024, 2048}));
    const auto* stored = reinterpret_cast<const M3DXVertex_XYZD*>(batcher.Run(0).storage);
    for (int i = 0; i < 1100; ++i)
        ASSERT_EQ(stored[4 * i + 3].x, float(i + 1)) << i;

    batcher.BeginScene();
    auto t = solidTexture(1, 2, 3, "t");
    batcher.SetTexture(t);
    const auto block = particles(100, 0, 0, 1);
    std::vector<int> groupCapacities;
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(batcher.Blt(block.data(), 100), 0);
        groupCapacities.push_back(batcher.Group(1).buffers[0].capacity);
    }
    EXPECT_EQ(groupCapacities, (std::vector<int>{192, 384, 384}));   // 64 + 128 steps, then doubled
}

TEST_F(CM3DRenderTest, LongRunsDrawInPiecesThatIndicesReach)
{
    CM3DRender batcher;
    batcher.Begin2DRender();
    const auto quad = rectD(0, 0, 1, 1, 9, 9, 9);
    for (int i = 0; i < 20000; ++i)
        ASSERT_EQ(batcher.Blt(quad.data()), 0);
    EXPECT_EQ(batcher.IndexQuads(), CM3DRender::MAX_DRAW_QUADS);
    CGLCallRecorder calls;
    batcher.End2DRender();
    EXPECT_EQ(calls.countLogged(CGLCallRecorder::format("glDrawElements", int(GL_TRIANGLES), 16384 * 6,
                                                        int(GL_UNSIGNED_SHORT), static_cast<const void*>(&quad))),
              1u);
    EXPECT_EQ(calls.countLogged(CGLCallRecorder::format("glDrawElements", int(GL_TRIANGLES), (20000 - 16384) * 6,
                                                        int(GL_UNSIGNED_SHORT), static_cast<const void*>(&quad))),
              1u);
}

TEST_F(CM3DRenderTest, PaintersOrderAndParticlesMovedByTheWorldMatrix)
{
    CM3DRender batcher;
    auto red = solidTexture(255, 0, 0, "red"), blue = solidTexture(0, 0, 255, "blue");
    batcher.BeginScene();
    batcher.Clear(0, 0, 0);
    batcher.Begin2DRender();
    batcher.m_nBlendMode = 0;
    batcher.SetTexture(red);
    batcher.Blt(rectT(100, 100, 100, 100).data());
    batcher.SetTexture(blue);
    batcher.Blt(rectT(150, 150, 100, 100).data());   // later: on top
    batcher.Blt(rectD(400, 100, 50, 50, 0, 255, 0).data());
    batcher.End2DRender();
    test::expectColour(120, 120, 255, 0, 0);
    test::expectColour(170, 170, 0, 0, 255);
    test::expectColour(420, 120, 0, 255, 0);
    test::expectColour(50, 50, 0, 0, 0);

    // The camera at half the screen height maps world units to pixels around the centre, y up.
    batcher.m_vCameraPos = {0, 0, 512};
    batcher.SetTexture(red);
    batcher.m_nBlendMode = 1;
    pravik::core::CMatrix4<float> world;
    world.setTranslation({-200, 300, 0});
    batcher.m_worldMatrix = world;
    const auto quad = particles(1, 0, 0, 10);
    ASSERT_EQ(batcher.Blt(quad.data(), 1), 0);
    batcher.m_worldMatrix.makeIdentity();
    batcher.Flsh3DRender();
    test::expectColour(300 - 200, 512 - 300, 255, 0, 0);
    test::expectColour(300, 512, 0, 0, 0);   // not drawn at the origin
}

TEST_F(CM3DRenderTest, ClearDividesBy256)
{
    CM3DRender batcher;
    CGLCallRecorder calls;
    batcher.Clear(42, 7, 42);
    EXPECT_EQ(calls.log().at(0), CGLCallRecorder::format("glClearColor", 0.1640625f, 0.02734375f, 0.1640625f, 1.0f));
}

TEST_F(CM3DRenderTest, ATextureGoneFromGLSkipsItsGroupButNotItsRun)
{
    CM3DRender batcher;
    auto gone = solidTexture(255, 0, 0, "gone");
    ASSERT_TRUE(gone->bind());
    GLuint name = GLTextureName(gone.get());
    ASSERT_NE(name, 0u);
    pravik::video::g_gl.glDeleteTextures(1, &name);

    batcher.BeginScene();
    batcher.SetTexture(gone);
    batcher.m_nBlendMode = 1;
    const auto quad = particles(1, 0, 0, 10);
    ASSERT_EQ(batcher.Blt(quad.data(), 1), 0);
    {
        CGLCallRecorder calls;
        batcher.Flsh3DRender();
        EXPECT_EQ(calls.count("glDrawElements"), 0u);
    }
    batcher.Begin2DRender();
    batcher.Blt(rectT(0, 0, 10, 10).data());
    CGLCallRecorder calls;
    batcher.End2DRender();
    EXPECT_EQ(calls.count("glDrawElements"), 1u);
    EXPECT_EQ(calls.count("glBindTexture"), 1u);   // only the restore at the end: drawn with what was bound
}

// The batcher binds its textures behind the driver's back: after either pass the driver binds
// its own texture again instead of trusting what it bound before.
TEST_F(CM3DRenderTest, TheDriverRebindsItsTextureAfterEitherPass)
{
    CM3DRender batcher;
    batcher.SetVideoDriver(m_driver);
    auto mine = solidTexture(0, 255, 0, "mine"), theirs = solidTexture(255, 0, 0, "theirs");
    for (int pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(pass);
        ASSERT_TRUE(m_driver->setTexture(0, mine.get(), pravik::video::ETT_2D));
        batcher.SetTexture(theirs);
        batcher.m_nBlendMode = 0;
        if (pass == 0) {
            batcher.Begin2DRender();
            batcher.Blt(rectT(0, 0, 10, 10).data());
            batcher.End2DRender();
        } else {
            batcher.BeginScene();
            ASSERT_EQ(batcher.Blt(particles(1, 0, 0, 10).data(), 1), 0);
            batcher.Flsh3DRender();
        }
        ASSERT_TRUE(m_driver->setTexture(0, mine.get(), pravik::video::ETT_2D));
        GLint bound = -1;
        pravik::video::g_gl.glActiveTexture(GL_TEXTURE0);
        pravik::video::g_gl.glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_NE(bound, 0);
        EXPECT_EQ(bound, GLint(GLTextureName(mine.get())));
    }
    batcher.SetVideoDriver(nullptr);
}

// Textures belong to their driver: a batcher that loses its driver holds none of them, so the
// driver may go first.
TEST_F(CM3DRenderTest, LosingTheDriverLetsGoOfItsTextures)
{
    CM3DRender batcher;
    batcher.SetVideoDriver(m_driver);
    auto spark = solidTexture(255, 255, 255, "spark");
    batcher.BeginScene();
    batcher.SetTexture(spark);
    ASSERT_EQ(batcher.Blt(particles(2, 0, 0, 10).data(), 2), 0);
    batcher.Begin2DRender();
    batcher.Blt(rectT(0, 0, 10, 10).data());
    const int held = spark->getReferenceCount();
    EXPECT_GT(held, 1);
    batcher.SetVideoDriver(nullptr);
    EXPECT_EQ(spark->getReferenceCount(), 1);
    for (int i = 0; i < CM3DRender::GROUP_COUNT; ++i)
        EXPECT_FALSE(batcher.Group(i).texture) << i;
    for (int i = 0; i < CM3DRender::RUN_COUNT; ++i)
        EXPECT_FALSE(batcher.Run(i).texture) << i;
    EXPECT_EQ(batcher.Blt(particles(1, 0, 0, 10).data(), 1), M3D_E_FAIL);   // no current texture either
}

#include "framework/CM3DRender.h"
#include "framework/ScreenGeometry.h"
#include "framework/ViDuz.h"

#include "engine/video/image/CImage.h"
#include "tests/framework/FrameworkGLSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using pravik::video::ITexture;
using pravik::video::SColor;

namespace {

struct ViDuzDrawTest : test::FrameworkGL {
    void SetUp() override
    {
        test::FrameworkGL::SetUp();
        ScreenGeometry_SetMode(RESOLUTION_MODE_600X1024);
        batcher.Begin2DRender();
    }
    void TearDown() override
    {
        ViDuz::EnableSoftwareRender(nullptr);
        ViDuz::SetClip(0, 0, 0, 0);
        ViDuz::SetColor(0xFFFFFFFFu);
        test::FrameworkGL::TearDown();
    }
    template <typename V>
    const V* quad(int run = 0) const
    {
        return reinterpret_cast<const V*>(batcher.Run(run).storage);
    }
    CM3DRender batcher;
};

} // namespace

TEST_F(ViDuzDrawTest, ColoursTakeAlphaZeroAsOpaqueUnlessAskedNotTo)
{
    ViDuz::SetColor(0x2A072Au);
    EXPECT_EQ(ViDuz::s_CurColor, SColor(42, 7, 42, 255));
    ViDuz::SetColorRGBA(0x2A072Au);
    EXPECT_EQ(ViDuz::s_CurColor, SColor(42, 7, 42, 0));
    ViDuz::SetColor(SColor(1, 2, 3, 0));
    EXPECT_EQ(ViDuz::s_CurColor, SColor(1, 2, 3, 255));
    ViDuz::SetColor(0x80102030u);
    EXPECT_EQ(ViDuz::s_CurColor, SColor(0x10, 0x20, 0x30, 0x80));
    ViDuz::SetClip(5, 6, 10, 20);
    EXPECT_EQ(ViDuz::GetClipX(), 5);
    EXPECT_EQ(ViDuz::GetClipY(), 6);
    EXPECT_EQ(ViDuz::GetClipWidth(), 10);
    EXPECT_EQ(ViDuz::GetClipHeight(), 20);
}

TEST_F(ViDuzDrawTest, OnlyRectanglesTouchingTheScreenAreSent)
{
    const struct {
        int x, y, w, h;
        bool sent;
    } kCases[] = {{-10, 0, 10, 5, true}, {-11, 0, 10, 5, false}, {0, -6, 5, 5, false}, {0, -5, 5, 5, true},
                  {599, 0, 5, 5, true},  {600, 0, 5, 5, false},  {0, 1023, 5, 5, true}, {0, 1024, 5, 5, false}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        batcher.Begin2DRender();
        ViDuz::FillRect(c.x, c.y, c.w, c.h);
        EXPECT_EQ(batcher.Run(0).count, c.sent ? 1 : 0);
    }
    batcher.Begin2DRender();
    ViDuz::DrawGradientRect(0, 0, 5, 5, SColor(1, 1, 1, 1), SColor(2, 2, 2, 2), 12);   // no such kind
    EXPECT_EQ(batcher.Run(0).count, 0);
}

TEST_F(ViDuzDrawTest, GradientKindsShowEachColourAtItsEdge)
{
    const SColor red(255, 0, 0, 255), blue(0, 0, 255, 255);
    // Kind, then the colour expected near the left, right, top and bottom edges (mid-span).
    const struct {
        int kind;
        SColor left, right, top, bottom;
    } kCases[] = {{4, blue, red, SColor(), SColor()},
                  {8, red, blue, SColor(), SColor()},
                  {16, SColor(), SColor(), blue, red},
                  {32, SColor(), SColor(), red, blue}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.kind);
        batcher.Clear(0, 0, 0);
        batcher.Begin2DRender();
        ViDuz::DrawGradientRect(100, 100, 256, 256, red, blue, c.kind);
        batcher.End2DRender();
        const bool horizontal = c.kind == 4 || c.kind == 8;
        const SColor first = horizontal ? c.left : c.top, last = horizontal ? c.right : c.bottom;
        const int x0 = horizontal ? 100 : 228, y0 = horizontal ? 228 : 100;
        const int x1 = horizontal ? 355 : 228, y1 = horizontal ? 228 : 355;
        test::expectColour(x0, y0, first.r, first.g, first.b, 3);
        test::expectColour(x1, y1, last.r, last.g, last.b, 3);
        test::expectColour(228, 228, 128, 0, 127, 3);   // half way across
    }
}

TEST_F(ViDuzDrawTest, FrameBarsLeaveTheFarCornerOpen)
{
    ViDuz::SetColor(0xFFFFFFu);
    batcher.Clear(0, 0, 0);
    ViDuz::DrawRectFrame(10, 10, 10, 10);
    batcher.End2DRender();
    test::expectColour(10, 10, 255, 255, 255);
    test::expectColour(21, 10, 255, 255, 255);
    test::expectColour(10, 21, 255, 255, 255);
    test::expectColour(20, 20, 0, 0, 0);   // the open 2x2 corner
    test::expectColour(21, 21, 0, 0, 0);
    test::expectColour(15, 15, 0, 0, 0);   // inside
}

TEST_F(ViDuzDrawTest, LinesAreBandsAcrossTheSegment)
{
    auto texture = solidTexture(255, 255, 255);
    ViDuz::DrawLine(texture.get(), 0, 0, 30, 40, 10);   // length 50: offsets (8, -6)
    const M3DXVertex_XYZT* v = quad<M3DXVertex_XYZT>();
    const float expected[4][4] = {{8, -6, 0, 0.01f}, {-8, 6, 1, 0.01f}, {38, 34, 0, 0.99f}, {22, 46, 1, 0.99f}};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_FLOAT_EQ(v[i].x, expected[i][0]);
        EXPECT_FLOAT_EQ(v[i].y, expected[i][1]);
        EXPECT_FLOAT_EQ(v[i].u, expected[i][2]);
        EXPECT_FLOAT_EQ(v[i].v, expected[i][3]);
    }
    EXPECT_EQ(batcher.Run(0).blend, 2);

    batcher.Begin2DRender();
    ViDuz::DrawLine(texture.get(), 7, 9, 7, 9, 10);   // a band of no area
    v = quad<M3DXVertex_XYZT>();
    for (int i = 0; i < 4; ++i) {
        EXPECT_FLOAT_EQ(v[i].x, 7);
        EXPECT_FLOAT_EQ(v[i].y, 9);
    }
    batcher.Begin2DRender();
    ViDuz::DrawLine(nullptr, 0, 0, 5, 5, 10);
    ViDuz::DrawLine(0, 0, 5, 5);   // no game line texture installed
    EXPECT_EQ(batcher.Run(0).count, 0);
}

TEST_F(ViDuzDrawTest, ImagesMapTheirTexels)
{
    auto texture = makeTexture(4, 8, std::vector<unsigned char>(4 * 8 * 4, 255));
    ViDuz::Draw2DImageFullScreen(texture.get(), 1);
    const M3DXVertex_XYZT* v = quad<M3DXVertex_XYZT>();
    EXPECT_FLOAT_EQ(v[3].x, 600);
    EXPECT_FLOAT_EQ(v[3].y, 1024);
    EXPECT_FLOAT_EQ(v[3].u, 0.5859375f);
    EXPECT_FLOAT_EQ(v[3].v, 1.0f);

    batcher.Begin2DRender();
    ViDuz::Draw2DImage(texture.get(), 10, 20, 100, 50, 1, 2, 2, 4);
    v = quad<M3DXVertex_XYZT>();
    EXPECT_FLOAT_EQ(v[0].u, 0.25f);
    EXPECT_FLOAT_EQ(v[0].v, 0.25f);
    EXPECT_FLOAT_EQ(v[3].u, 0.75f);
    EXPECT_FLOAT_EQ(v[3].v, 0.75f);
    EXPECT_FLOAT_EQ(v[3].x, 110);
    EXPECT_FLOAT_EQ(v[3].y, 70);
    EXPECT_EQ(batcher.Run(0).blend, 0);

    batcher.Begin2DRender();
    ViDuz::Draw2DImage(texture.get(), 10, 20);
    v = quad<M3DXVertex_XYZT>();
    EXPECT_FLOAT_EQ(v[0].x, 14);   // the far corner first
    EXPECT_FLOAT_EQ(v[0].y, 28);
    EXPECT_FLOAT_EQ(v[3].x, 10);
    EXPECT_FLOAT_EQ(v[3].u, 0);

    batcher.Begin2DRender();
    ViDuz::DrawImage(texture.get(), 0, 0, 10, 0, 0, 10, 10, 10, 77);
    const M3DXVertex_XYZDT* d = quad<M3DXVertex_XYZDT>();
    EXPECT_EQ(d[1].a, 77);
    EXPECT_FLOAT_EQ(d[1].u, 0.998f);
    EXPECT_FLOAT_EQ(d[1].v, 0.002f);
}

TEST_F(ViDuzDrawTest, SoftwareBlitCopiesOnlyInsideTheClip)
{
    pravik::video::STextureDesc desc;
    desc.format = pravik::video::EPF_R4G4B4A4;
    desc.width = 16;
    desc.height = 8;
    boost::intrusive_ptr<ITexture> buffer = m_driver->createTexture("soft", desc);
    ASSERT_TRUE(buffer);
    std::memset(buffer->lock(), 0xEE, 16 * 8 * 2);
    buffer->unlock();
    // A 4x2 image whose pixels name their column and row.
    auto image = boost::intrusive_ptr<pravik::video::CImage>(
        new pravik::video::CImage(pravik::video::EPF_R5G6B5, {4, 2}));
    auto* px = static_cast<uint16_t*>(image->getData());
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            px[y * 4 + x] = uint16_t(0x100 * y + x + 1);

    ViDuz::EnableSoftwareRender(buffer);
    ViDuz::SetClip(3, 0, 10, 8);
    ViDuz::Clear_Software(0);
    ViDuz::BitBlt_Software(image.get(), 1, 1, 0, 0, 4, 2, 0, false);   // starts two columns left of the clip
    const auto* out = static_cast<const uint16_t*>(buffer->lock());
    const std::vector<uint16_t> row1(out + 16, out + 32);
    const std::vector<uint16_t> row2(out + 32, out + 48);
    buffer->unlock();
    std::vector<uint16_t> want1(16, 0), want2(16, 0);
    want1[3] = 0x003, want1[4] = 0x004;
    want2[3] = 0x103, want2[4] = 0x104;
    EXPECT_EQ(row1, want1);
    EXPECT_EQ(row2, want2);
    EXPECT_EQ(ViDuz::s_SoftwareBitBltCount, 1);

    ViDuz::Clear_Software(0);
    ViDuz::BitBlt_Software(image.get(), 4, 0, 0, 0, 4, 2, 3, false);   // mirrored and flipped
    out = static_cast<const uint16_t*>(buffer->lock());
    EXPECT_EQ(out[4], 0x104);
    EXPECT_EQ(out[7], 0x101);
    EXPECT_EQ(out[16 + 4], 0x004);
    buffer->unlock();

    ViDuz::Clear_Software(0);
    ViDuz::BitBlt_Software(image.get(), 4, 0, 0, 0, 4, 2, 0, true);   // turned: 2 columns, 4 rows
    out = static_cast<const uint16_t*>(buffer->lock());
    EXPECT_EQ(out[0 * 16 + 4], 0x101);
    EXPECT_EQ(out[0 * 16 + 5], 0x001);
    EXPECT_EQ(out[3 * 16 + 4], 0x104);
    buffer->unlock();

    ViDuz::EnableSoftwareRender(nullptr);   // uploads and stops
    EXPECT_FALSE(ViDuz::GetSoftwareRenderBuffer());
    const int before = ViDuz::s_SoftwareBitBltCount;
    ViDuz::BitBlt_Software(image.get(), 0, 0, 0, 0, 4, 2, 0, false);
    EXPECT_EQ(ViDuz::s_SoftwareBitBltCount, before);
}

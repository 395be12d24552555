// Sprites painted through the real batcher into the game's 600x1024 surface on llvmpipe: a
// module of four coloured quadrants, plain, flipped each way and turned, lands with each
// quadrant where the corner table puts it; glyphs of both font kinds ink inside their boxes.

#include "engine/video/image/CImage.h"
#include "framework/CAISprite.h"
#include "framework/CBatchSpriteTarget.h"
#include "framework/CM3DRender.h"
#include "framework/CStringManager.h"
#include "framework/CZyFont.h"
#include "framework/GlyphTables.h"
#include "framework/CDataArray.h"
#include "framework/ScreenGeometry.h"
#include "framework/ViDuz.h"
#include "framework/ViDuzPlayer.h"
#include "tests/framework/FrameworkGLSupport.h"
#include "tests/framework/GameStub.h"
#include "tools/formats/FontSpriteWriter.h"
#include "tools/formats/GlyphSheet.h"
#include "tools/formats/SpriteWriter.h"
#include "tools/formats/TextRaster.h"

#include <gtest/gtest.h>

#include <array>

namespace fs = formats::sprites;

namespace {

using Rgb = std::array<int, 3>;
constexpr Rgb kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kYellow{255, 255, 0};

struct SpritePixels : test::FrameworkGL {
    void SetUp() override
    {
        test::FrameworkGL::SetUp();
        ScreenGeometry_SetMode(RESOLUTION_MODE_600X1024);
        ViDuz::SetClip(0, 0, 600, 1024);
        SetSpriteTarget(&target);
        CAISprite::m_pCurrentTexture = nullptr;
        batcher.BeginScene();
        batcher.Clear(0, 0, 0);
        batcher.Begin2DRender();
    }
    void TearDown() override
    {
        batcher.Begin2DRender();   // the runs and the batcher let their textures go before the driver
        batcher.SetTexture(nullptr);
        SetSpriteTarget(nullptr);
        ViDuz::SetClip(0, 0, 0, 0);
        CAISprite::m_pCurrentTexture = nullptr;
        test::FrameworkGL::TearDown();
    }
    // A 32 x 32 picture: red, green over blue, yellow.
    boost::intrusive_ptr<pravik::video::ITexture> quadrants()
    {
        std::vector<unsigned char> rgba;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const Rgb& c = y < 16 ? (x < 16 ? kRed : kGreen) : (x < 16 ? kBlue : kYellow);
                rgba.insert(rgba.end(), {uint8_t(c[0]), uint8_t(c[1]), uint8_t(c[2]), 255});
            }
        return makeTexture(32, 32, rgba, "quadrants");
    }
    void expectQuadrants(int x, int y, const Rgb (&c)[4])
    {
        const int at[4][2] = {{x + 8, y + 8}, {x + 24, y + 8}, {x + 8, y + 24}, {x + 24, y + 24}};
        for (int k = 0; k < 4; ++k)
            test::expectColour(at[k][0], at[k][1], c[k][0], c[k][1], c[k][2]);
    }

    test::GameStub game;
    CM3DRender batcher;
    CBatchSpriteTarget target;
};

}  // namespace

TEST_F(SpritePixels, QuadrantsFollowFlipsAndTheTurn)
{
    fs::Sprite f;
    f.addImageModule(0, 0, 0, 32, 32);
    f.addFrame({{0, 0, 0, 0}});
    f.addFrame({{0, 0, 0, ROT_90}});   // the module's own turn
    const auto bytes = fs::Write(f);
    CAISprite sprite;
    ASSERT_TRUE(sprite.Load(bytes.data(), bytes.size()));
    sprite.m_textures = {quadrants()};

    // Each case paints the 32 x 32 box at (x, 100): a flip paints leftwards / upwards of its point.
    const struct { int frame, flags, px, py; Rgb tl, tr, bl, br; } kCases[] = {
        {0, 0, 20, 100, kRed, kGreen, kBlue, kYellow},
        {0, FLIP_X, 102, 100, kGreen, kRed, kYellow, kBlue},
        {0, FLIP_Y, 120, 132, kBlue, kYellow, kRed, kGreen},
        {0, FLIP_X | FLIP_Y, 202, 132, kYellow, kBlue, kGreen, kRed},
        {1, 0, 220, 100, kBlue, kRed, kYellow, kGreen},   // clockwise
    };
    for (const auto& c : kCases)
        sprite.PaintFrame(c.frame, c.px, c.py, c.flags);
    batcher.End2DRender();
    const int left[] = {20, 70, 120, 170, 220};
    for (size_t i = 0; i < std::size(kCases); ++i) {
        SCOPED_TRACE(i);
        const Rgb colours[4] = {kCases[i].tl, kCases[i].tr, kCases[i].bl, kCases[i].br};
        expectQuadrants(left[i], 100, colours);
    }
    test::expectColour(60, 116, 0, 0, 0);   // nothing between the boxes
}

TEST_F(SpritePixels, TilesetFrameAtTheCameraOffset)
{
    ViDuzPlayer::Tileset_Init(600, 1024, 16, 16);
    CDataArray<unsigned char> tiles, flags;
    tiles.NewArray(100 * 100);
    const unsigned char header[4] = {100, 0, 100, 0};
    ViDuzPlayer::Tileset_LoadLayer(1, header, 0, tiles, flags, nullptr, 0, 0, 2, 2);
    ViDuzPlayer::Tileset_SetCamera(1, 40, 30);
    fs::Sprite f;
    f.addImageModule(0, 0, 0, 32, 32);
    f.addFrame({{0, 0, 0, 0}});
    const auto bytes = fs::Write(f);
    CAISprite sprite;
    ASSERT_TRUE(sprite.Load(bytes.data(), bytes.size()));
    sprite.m_textures = {quadrants()};
    ViDuzPlayer::Tileset_PaintSpriteFrame(1, &sprite, 0, 300, 400, 0, 0);
    batcher.End2DRender();
    const int x = 300 - 40, y = 400 + Display_Border_Top() - 30;
    expectQuadrants(x, y, {kRed, kGreen, kBlue, kYellow});
    test::expectColour(300 + 8, 400 + 8, 0, 0, 0);   // not at the layer point itself
    ViDuzPlayer::ReleaseStaticData();
}

TEST_F(SpritePixels, ASoftwareTargetTakesTheBrickImagesPixels)
{
    pravik::video::STextureDesc desc;
    desc.format = pravik::video::EPF_R4G4B4A4;
    desc.width = 16;
    desc.height = 8;
    boost::intrusive_ptr<pravik::video::ITexture> buffer = m_driver->createTexture("soft", desc);
    ASSERT_TRUE(buffer);
    // An 8 x 4 shared image whose pixels name their column and row.
    const auto saved = CAISprite::g_pImage;
    CAISprite::g_pImage = boost::intrusive_ptr<pravik::video::CImage>(
        new pravik::video::CImage(pravik::video::EPF_R5G6B5, {8, 4}));
    auto* px = static_cast<uint16_t*>(CAISprite::g_pImage->getData());
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            px[y * 8 + x] = uint16_t(0x100 * y + x + 1);

    fs::Sprite f;
    f.addImageModule(0, 2, 1, 3, 2);   // columns 2..4 of rows 1..2
    f.addFrame({{0, 0, 0, 0}});
    const auto bytes = fs::Write(f);
    CAISprite sprite;
    ASSERT_TRUE(sprite.Load(bytes.data(), bytes.size()));
    sprite.m_textures = {quadrants()};
    ViDuz::EnableSoftwareRender(buffer);
    ViDuz::Clear_Software(0);
    sprite.PaintFrame(0, 5, 3, 0);
    sprite.PaintFrame(0, 13, 6, FLIP_X);   // mirrored: lands on columns 10..12
    EXPECT_EQ(batcher.Run(0).count, 0);      // nothing for the batcher
    const auto* out = static_cast<const uint16_t*>(buffer->lock());
    EXPECT_EQ((std::vector<uint16_t>(out + 3 * 16 + 5, out + 3 * 16 + 8)), (std::vector<uint16_t>{0x103, 0x104, 0x105}));
    EXPECT_EQ((std::vector<uint16_t>(out + 4 * 16 + 5, out + 4 * 16 + 8)), (std::vector<uint16_t>{0x203, 0x204, 0x205}));
    EXPECT_EQ((std::vector<uint16_t>(out + 6 * 16 + 10, out + 6 * 16 + 13)), (std::vector<uint16_t>{0x105, 0x104, 0x103}));
    EXPECT_EQ(out[2 * 16 + 5], 0);
    buffer->unlock();
    ViDuz::EnableSoftwareRender(nullptr);
    CAISprite::g_pImage = saved;
}

namespace {

// Pixels with ink in a rectangle of the surface, and in the ring `margin` wide around it.
std::pair<int, int> inkInAndAround(int l, int t, int r, int b, int margin)
{
    int inside = 0, around = 0;
    for (int y = t - margin; y < b + margin; ++y)
        for (int x = l - margin; x < r + margin; ++x) {
            const auto p = test::pixel(x, y);
            const bool ink = p[0] + p[1] + p[2] > 60;
            (x >= l && x < r && y >= t && y < b ? inside : around) += ink;
        }
    return {inside, around};
}

}  // namespace

TEST_F(SpritePixels, LatinAndCJKTextInkStaysInItsMeasuredBox)
{
    // A DejaVu font sprite in slot 3 and a Chinese sheet of the sample glyph table.
    const formats::Typeface sans(formats::dejaVuSans()), cjk(formats::cjkFont());
    ASSERT_TRUE(sans.ok());
    ASSERT_TRUE(cjk.ok());
    const formats::fontsprites::Font latin = formats::fontsprites::Render(sans, 20);
    const auto bytes = fs::Write(latin.sprite);
    CAISprite font;
    ASSERT_TRUE(font.Load(bytes.data(), bytes.size()));
    font.LoadCharacterMap();
    font.m_textures = {makeTexture(latin.image.width(), latin.image.height(), latin.image.pixels(), "latin")};
    game.sprites[3] = &font;

    std::vector<uint32_t> codePoints;
    for (const SGlyphMapping& e : charMappingCN)
        codePoints.push_back(uint32_t(e.codePoint));
    const formats::glyphs::Sheet sheet = formats::glyphs::Render(cjk, codePoints, 16, 20, 22, 1024);
    const auto bin = formats::glyphs::WriteBin(sheet.metrics);
    auto* sheetFont = new CZyFontCS;
    ASSERT_TRUE(sheetFont->LoadMetrics(bin.data(), bin.size(), CZyFont::FONT_SMALL));
    sheetFont->m_styles[0].texture = makeTexture(sheet.image.width(), sheet.image.height(), sheet.image.pixels(), "cn");

    CStringManager strings;
    wchar_t latinText[] = L"Quendrax";
    const int latinWidth = strings.GetStringWidth(3, latinText);
    strings.DrawString(3, latinText, 40, 300, 0, false, -1, 255, 0, 100, 100, false, false, 0, false, true, false);
    strings.SetLanguage(5);
    strings.m_font = sheetFont;
    // Four ideographs of the table and a Latin letter, as the string tables hold them.
    wchar_t cjkText[] = {wchar_t(BinarySearch(charMappingCN, 962, 0x4E00)), wchar_t(BinarySearch(charMappingCN, 962, 0x4E09)),
                         wchar_t(BinarySearch(charMappingCN, 962, 0x4E2D)), wchar_t(BinarySearch(charMappingCN, 962, 'Q')), 0};
    const int cjkWidth = strings.GetStringWidth(3, cjkText);
    strings.DrawString(3, cjkText, 40, 500, 0, false, -1, 255, 0, 100, 100, false, false, 0, false, true, false);
    batcher.End2DRender();

    ASSERT_GT(latinWidth, 60);
    ASSERT_GT(cjkWidth, 40);
    const int latinHeight = font.m_moduleH[0];
    const auto [latinIn, latinAround] = inkInAndAround(40, 300, 40 + latinWidth, 300 + latinHeight, 6);
    EXPECT_GT(latinIn, latinWidth * latinHeight / 10);
    EXPECT_EQ(latinAround, 0);
    const auto [cjkIn, cjkAround] = inkInAndAround(40, 500, 40 + cjkWidth, 500 + 22, 6);
    EXPECT_GT(cjkIn, cjkWidth * 22 / 10);
    EXPECT_EQ(cjkAround, 0);
    strings.SetLanguage(0);
}

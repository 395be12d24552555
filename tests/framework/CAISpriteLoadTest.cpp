#include "engine/EngineServices.h"
#include "engine/video/CNullDriver.h"
#include "engine/video/CTextureManager.h"
#include "engine/video/ITexture.h"
#include "framework/CAISprite.h"
#include "framework/CZyFont.h"
#include "tools/formats/GlyphSheet.h"
#include "framework/ScreenGeometry.h"
#include "framework/ViDuz.h"
#include "tests/engine/video/ImageTestSupport.h"
#include "tests/framework/DataDir.h"
#include "tools/formats/PngWriter.h"
#include "tools/formats/SpriteWriter.h"

#include <gtest/gtest.h>

#include <string>

namespace fs = formats::sprites;

namespace {

// A sprite with every section: image, rect, gradient, line and marker modules, a nested frame,
// marker rects, both rect tables and an animation.
fs::Sprite fullSprite()
{
    fs::Sprite s;
    s.flags |= 0x2000 | 0x8000;
    s.addImageModule(0, 10, 20, 30, 40);
    fs::Module rect;
    rect.type = 0xFE; rect.colour = 0x80402010; rect.w = 5; rect.h = 6;
    fs::Module grad;
    grad.type = 0xF7; grad.colour = 1; grad.colour2 = 2; grad.direction = 3; grad.w = 7; grad.h = 8;
    fs::Module line;
    line.type = 0xF8; line.colour = 0xFF00FF00; line.w = 9; line.h = 10;
    fs::Module marker;
    marker.type = 0xFD; marker.w = 1; marker.h = 1;
    s.modules.insert(s.modules.end(), {rect, grad, line, marker});
    s.addFrame({{0, 1, 2, 0}, {4, -3, 7, 0}});
    s.addFrame({{0, 5, 5, 0x10}, {1, 0, 0, 1}});
    s.frames[0].markers = 1;
    s.markerRects = {1, 2, 3, 4};
    s.addAnim({{0, 2, 1, -1, 0}, {1, 3, 0, 0, 4}});
    return s;
}

struct Parsed {
    CAISprite sprite;
    explicit Parsed(const std::vector<uint8_t>& bytes, bool* ok)
    {
        const bool r = sprite.Load(bytes.data(), bytes.size(), "test");
        if (ok)
            *ok = r;
    }
};

bool empty(const CAISprite& s)
{
    return s.m_moduleCount == 0 && s.m_frameCount == 0 && s.m_fmoduleCount == 0 && s.m_aframeCount == 0 &&
           s.m_animCount == 0;
}

}  // namespace

TEST(CAISpriteFormat, ReadsEveryFlagAndVersion)
{
    // The whole result of a file with every section.
    CAISprite s;
    const auto bytes = fs::Write(fullSprite());
    ASSERT_TRUE(s.Load(bytes.data(), bytes.size()));
    EXPECT_EQ(s.m_moduleCount, 5);
    EXPECT_EQ(s.m_moduleX[0], 10); EXPECT_EQ(s.m_moduleY[0], 20);
    EXPECT_EQ(s.m_moduleW[0], 30); EXPECT_EQ(s.m_moduleH[0], 40);
    EXPECT_EQ(s.m_moduleKind[1], MODULE_RECT); EXPECT_EQ(s.m_moduleColor[1], 0x80402010u);
    EXPECT_EQ(s.m_moduleW[1], 5); EXPECT_EQ(s.m_moduleH[1], 6);
    EXPECT_EQ(s.m_moduleKind[2], MODULE_GRADIENT); EXPECT_EQ(s.m_moduleColor2[2], 2u);
    EXPECT_EQ(s.m_moduleDirection[2], 3);
    EXPECT_EQ(s.m_moduleKind[3], MODULE_LINE); EXPECT_EQ(s.m_moduleH[3], 10);
    EXPECT_EQ(s.m_moduleKind[4], MODULE_MARKER);
    EXPECT_EQ(s.m_frameCount, 2);
    EXPECT_EQ(s.m_fmoduleSize, 6);
    EXPECT_EQ(s.GetFModuleOffX(0, 1), -3);
    EXPECT_EQ(s.GetFModuleFlags(1, 0), 0x10);
    EXPECT_EQ(s.m_markerRects, (std::vector<int16_t>{1, 2, 3, 4}));
    EXPECT_EQ(s.m_markerStart, (std::vector<uint16_t>{0, 1, 1}));
    EXPECT_EQ(s.m_frameRects.size(), 8u);
    EXPECT_EQ(s.m_frameRects2.size(), 8u);
    EXPECT_EQ(s.m_animCount, 1);
    EXPECT_EQ(s.AFrame(0).dy, -1);
    EXPECT_EQ(s.AFrame(1).time, 3);
    EXPECT_EQ(s.GetAFrameFlag(0, 1), 4);

    // Record sizes by version, flag 0x400 and extension bit 0.
    const struct { const char* why; int16_t version; uint32_t clear; uint32_t ext; int size; } kSizes[] = {
        {"v3 6-byte", 0x03DF, 0, 0, 6},
        {"v3 4-byte", 0x03DF, 0x400, 0, 4},
        {"v4 with extension", 0x04DF, 0, 1, 12},
        {"v4 without extension", 0x04DF, 0, 0, 6},
        {"v4 extension, 4-byte base", 0x04DF, 0x400, 1, 10},
        {"v5 ignores extension words", 0x05DF, 0, 1, 6},
    };
    for (const auto& c : kSizes) {
        SCOPED_TRACE(c.why);
        fs::Sprite f;
        f.version = c.version;
        f.flags &= ~c.clear;
        f.ext = c.ext;
        f.addImageModule(0, 0, 0, 4, 4);
        f.addFrame({{0, 3, 4, 1, 7, 50, 200}});
        bool ok = false;
        Parsed pr(fs::Write(f), &ok);
        CAISprite& r = pr.sprite;
        ASSERT_TRUE(ok);
        EXPECT_EQ(r.m_fmoduleSize, c.size);
        const CAISprite::SFModule fm = r.FModule(0);
        EXPECT_EQ(fm.x, 3); EXPECT_EQ(fm.y, 4); EXPECT_EQ(fm.flags, 1);
        EXPECT_EQ(fm.extra, c.size >= 10 ? 7 : 0);
        EXPECT_EQ(fm.scaleX, c.size >= 10 ? 50 : 100);
        EXPECT_EQ(fm.scaleY, c.size >= 10 ? 200 : 100);
    }
}

TEST(CAISpriteFormat, ImageModuleFieldsByFlag)
{
    const struct { const char* why; uint32_t flags; int image, x, y; } kCases[] = {
        {"index byte, 16-bit x y", 0x1 | 0x4 | 0x20 | 0x10, 3, 300, -2},
        {"16-bit wins over 8-bit", 0x1 | 0x4 | 0x20 | 0x2 | 0x10, 3, 300, -2},
        {"8-bit x y", 0x1 | 0x4 | 0x2 | 0x10, 3, 44, 254},
        {"no x y", 0x1 | 0x4 | 0x10, 3, 0, 0},
        {"no index byte", 0x1 | 0x20 | 0x10, 0, 300, -2},
        {"small w h", 0x1 | 0x4 | 0x20, 3, 300, -2},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        fs::Sprite f;
        f.flags = c.flags;
        fs::Module m;
        m.image = 3; m.x = c.x; m.y = c.y; m.w = 200; m.h = 100;
        f.modules = {m, m};
        bool ok = false;
        Parsed ps(fs::Write(f), &ok);
        CAISprite& s = ps.sprite;
        ASSERT_TRUE(ok);
        ASSERT_EQ(s.m_moduleCount, 2);
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(s.m_moduleImage[i], c.image);
            EXPECT_EQ(s.m_moduleX[i], c.x);
            EXPECT_EQ(s.m_moduleY[i], c.y);
            EXPECT_EQ(s.m_moduleW[i], 200);
            EXPECT_EQ(s.m_moduleH[i], 100);
        }
    }
}

TEST(CAISpriteFormat, ShapePayloadsSkippedWithoutBigModules)
{
    fs::Sprite f;
    f.flags = 0x1 | 0x4 | 0x20;
    for (uint8_t type : {0xFF, 0xFE, 0xFD, 0xFC, 0xFB, 0xFA, 0xF9, 0xF8, 0xF7, 0x42}) {
        fs::Module m;
        m.type = type; m.colour = 0x11223344; m.w = 5; m.h = 6;
        f.modules.push_back(m);
    }
    f.addImageModule(2, 7, 8, 9, 10);   // still found after every skipped payload
    bool ok = false;
    Parsed ps(fs::Write(f), &ok);
        CAISprite& s = ps.sprite;
    ASSERT_TRUE(ok);
    const int kinds[] = {1, 2, 5, 3, 4, 6, 7, 8, 9, 0, 0};
    for (int i = 0; i < 11; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(s.m_moduleKind[i], kinds[i]);
        const bool arc = i == 5 || i == 6;  // arcs keep their payload either way
        EXPECT_EQ(s.m_moduleColor[i], arc ? 0x11223344u : 0u);
        if (i < 10) {
            EXPECT_EQ(s.m_moduleW[i], 0);
        }
    }
    EXPECT_EQ(s.m_moduleImage[10], 2);
    EXPECT_EQ(s.m_moduleH[10], 10);
}

TEST(CAISpriteFormat, NoFramesSkipsBothRectTables)
{
    fs::Sprite f;
    f.flags |= 0x2000;
    f.flags &= ~0x1000u;
    f.addImageModule(0, 0, 0, 1, 1);
    auto bytes = fs::Write(f);
    bool ok = false;
    Parsed ps(bytes, &ok);
        CAISprite& s = ps.sprite;
    EXPECT_TRUE(ok);
    EXPECT_EQ(s.m_frameCount, 0);
    EXPECT_TRUE(s.m_frameRects.empty());
}

TEST(CAISpriteFormat, RefusedFilesStayEmpty)
{
    const auto full = fs::Write(fullSprite());
    // Every truncation of a file with every section.
    for (size_t n = 0; n < full.size(); ++n) {
        SCOPED_TRACE(n);
        bool ok = true;
        Parsed ps(std::vector<uint8_t>(full.begin(), full.begin() + n), &ok);
        CAISprite& s = ps.sprite;
        EXPECT_FALSE(ok);
        EXPECT_TRUE(empty(s));
    }

    auto broken = [](auto edit) {
        fs::Sprite s = fullSprite();
        edit(s);
        return fs::Write(s);
    };
    const struct { const char* why; std::vector<uint8_t> bytes; } kCases[] = {
        {"unknown version", broken([](fs::Sprite& s) { s.version = 0x06DF; })},
        {"module index past the table", broken([](fs::Sprite& s) { s.fmodules[0].index = 5; })},
        {"module index bits 8-9", broken([](fs::Sprite& s) { s.fmodules[0].index = 0x100; })},
        {"nested frame past the table", broken([](fs::Sprite& s) { s.fmodules[2].index = 2; })},
        {"frame runs past the frame-modules", broken([](fs::Sprite& s) { s.frames[1].count = 3; })},
        {"frame starts past the frame-modules", broken([](fs::Sprite& s) { s.frames[0].first = 4; })},
        {"animation frame names no frame", broken([](fs::Sprite& s) { s.aframes[1].frame = 2; })},
        {"animation runs past its frames", broken([](fs::Sprite& s) { s.anims[0].count = 3; })},
        {"a frame nests itself", broken([](fs::Sprite& s) { s.fmodules[2].index = 1; })},
        {"two frames nest each other", broken([](fs::Sprite& s) {
             s.fmodules[0] = {1, 0, 0, 0x10};
         })},
        {"counts past the end", broken([](fs::Sprite& s) { s.aframes.resize(1); s.anims.clear(); s.flags &= ~0x10000u; }) },
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        std::vector<uint8_t> bytes = c.bytes;
        if (std::string(c.why) == "counts past the end") {
            bytes[6] = 0xFF;   // module count 0x??FF: far more modules than the file holds
            bytes[7] = 0x7F;
        }
        bool ok = true;
        test::LogCapture log;
        Parsed ps(bytes, &ok);
        CAISprite& s = ps.sprite;
        ASSERT_EQ(log.entries().size(), 1u);
        EXPECT_EQ(log.first().rfind("test: ", 0), 0u) << log.first();
        EXPECT_FALSE(ok);
        EXPECT_TRUE(empty(s));
    }
}

TEST(CAISpriteFolders, ByResolutionMode)
{
    const struct { int mode; const char* folder; const char* images; const char* F; int half, down; } kCases[] = {
        {2, "9", "balls", "9_P", 0, 0},    {2, "15", "x", "15_P", 0, 0}, {2, "2", "font01", "2", 0, 0},
        {2, "10", "x", "10", 0, 0},        {0, "9", "x", "9_S", 1, 0},   {0, "7", "x", "7", 1, 1},
        {3, "8", "x", "8", 1, 1},          {3, "15", "Bricks_Menu", "15", 1, 1},
        {3, "15", "map_icons", "15_S", 1, 0}, {3, "11", "x", "11_S", 1, 0}, {3, "9", "x", "9", 0, 0},
        {4, "9", "x", "9", 0, 0},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::to_string(c.mode) + " " + c.folder + " " + c.images);
        char F[64];
        int half = -1, down = -1;
        CAISprite::ChooseFolder(c.mode, c.images, c.folder, F, sizeof F, &half, &down);
        EXPECT_STREQ(F, c.F);
        EXPECT_EQ(half, c.half);
        EXPECT_EQ(down, c.down);
    }
}

namespace {

struct SpriteFiles : ::testing::Test {
    SpriteFiles()
    {
        driver = pravik::video::createNullDriver(nullptr);
        driver->drop();  // the intrusive pointer holds it
        driver->getTextureManager()->setFileSystem(data.fs.get());
        driver->setOption(0x10, false);  // the game makes its textures without mip levels
        scope = std::make_unique<CScopedResourceContext>(SResourceContext{data.fs.get(), driver.get()});
    }
    pravik::CEngineServicesScope services;  // outlives the driver
    test::DataDir data;
    boost::intrusive_ptr<pravik::video::CNullDriver> driver;
    std::unique_ptr<CScopedResourceContext> scope;
};

}  // namespace

TEST_F(SpriteFiles, LoadsFromThePackRowWithItsImages)
{
    fs::Sprite f;
    f.addImageModule(0, 0, 0, 4, 4);
    f.addFrame({{0, 0, 0, 0}});
    const uint32_t colours[4] = {0xFF0000FF, 0x00FF00FF, 0x0000FFFF, 0xFFFFFFFF};
    const auto png = formats::images::PngRGBA(16, 16, formats::images::QuadrantsRGBA(16, 16, colours));
    // Pack "9" row 1 "ball_trail" reads from "9_P" in mode 2.
    ASSERT_TRUE(fs::WriteFolder(data.root(), "9", "ball_trail", f, {{"ball_trail", png}}));
    ViDuz::Pack_Open("9");
    {
        CAISprite s(1, "9");
        EXPECT_EQ(s.m_frameCount, 1);
        ASSERT_EQ(s.m_imageCount, 1);
        ASSERT_TRUE(s.m_textures[0]);
        EXPECT_EQ(s.m_textures[0]->getWidth(), 16);
        EXPECT_EQ(s.m_textures[0]->getHeight(), 16);
        // Its vertex storage: position, texture coordinate and colour interleaved, 24 bytes.
        ASSERT_TRUE(s.m_vertices.streams);
        ASSERT_TRUE(s.m_vertices.buffer);
        EXPECT_EQ(s.m_vertices.stride, 24);
        const struct { unsigned attribute, offset, components; } kStreams[] = {
            {pravik::video::EVA_POSITION, 0, 3}, {pravik::video::EVA_TEXCOORD0, 12, 2}, {pravik::video::EVA_COLOR0, 20, 4}};
        for (const auto& k : kStreams) {
            const pravik::video::SVertexStream* v = s.m_vertices.streams->getStream(k.attribute);
            ASSERT_NE(v, s.m_vertices.streams->end()) << k.attribute;
            EXPECT_EQ(v->buffer, s.m_vertices.buffer);
            EXPECT_EQ(v->offset, k.offset);
            EXPECT_EQ(v->componentCount, k.components);
            EXPECT_EQ(v->stride, 24);
        }
    }
    // Image lists: every ';' adds a slot; names that find no file stay empty.
    const struct { const char* images; int count; int found; } kLists[] = {
        {"ball_trail", 1, 1}, {"ball_trail;missing;", 3, 1}, {"", 1, 0}, {";ball_trail", 2, 1}};
    for (const auto& c : kLists) {
        SCOPED_TRACE(c.images);
        CAISprite s;
        s.LoadSprite("ball_trail", c.images, "9");
        EXPECT_EQ(s.m_imageCount, c.count);
        int found = 0;
        for (const auto& t : s.m_textures)
            found += t != nullptr;
        EXPECT_EQ(found, c.found);
    }
    CAISprite missing;
    missing.LoadSprite("nothing", "ball_trail", "9");
    EXPECT_TRUE(empty(missing));
    ViDuz::Pack_Close();
}

TEST_F(SpriteFiles, GlyphFontsLoadTheirSheetsAndMetrics)
{
    ScreenGeometry_SetMode(RESOLUTION_MODE_600X1024);
    formats::glyphs::Metrics m;
    m.cellW = 20;
    m.cellH = 24;
    m.glyphs.assign(30, {0, 10});
    m.chars[uint8_t('|')] = 20;
    m.chars[uint8_t('\\')] = 21;
    m.chars[uint8_t('n')] = 22;
    const uint32_t colours[4] = {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
    const auto png = formats::images::PngRGBA(64, 64, formats::images::QuadrantsRGBA(64, 64, colours));
    for (const char* name : {"font_cn_small", "font_cn_large", "font_jp_small"}) {
        data.put(std::string("unicode_text_res/") + name + ".png", png);
        data.put(std::string("unicode_text_res/") + name + ".bin", formats::glyphs::WriteBin(m));
    }
    CZyFontCS cs;
    cs.Init();
    for (const auto& s : cs.m_styles) {
        ASSERT_TRUE(s.texture);
        EXPECT_EQ(s.texture->getWidth(), 64);
        EXPECT_EQ(s.count, 30);
        EXPECT_EQ(s.cellH, 24);
        EXPECT_EQ(s.cellH2, 23);   // lowered by one
    }
    EXPECT_EQ(cs.Glyph(0), 21);
    EXPECT_EQ(cs.Glyph(1), 22);
    EXPECT_EQ(cs.Glyph(2), 23);
    EXPECT_EQ(cs.m_vertices.stride, 24);
    // Japanese: its large sheet is missing, so that style has no picture and no metrics.
    CZyFontJP jp;
    jp.Init();
    EXPECT_TRUE(jp.m_styles[0].texture);
    EXPECT_EQ(jp.m_styles[0].cellH2, 24);
    EXPECT_FALSE(jp.m_styles[1].texture);
    EXPECT_EQ(jp.m_styles[1].count, 0);
    jp.SetStyle(1);
    EXPECT_EQ(jp.GetCharWidth(2), 0);
}

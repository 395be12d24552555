#include "tests/engine/gui/GuiTestSupport.h"

#include "engine/gui/BuiltInFont.h"
#include "engine/gui/IGUISpriteBank.h"
#include "tools/formats/BuiltInFont.h"

#include <cstring>

namespace test::gui {
namespace {

unsigned le(const unsigned char* p, int bytes)
{
    unsigned v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | p[i];
    return v;
}

TEST(BuiltInFontData, IsTheFourBitBitmapTheGeneratorWrites)
{
    const unsigned char* d = BuiltInFontData;
    EXPECT_EQ(d[0], 'B');
    EXPECT_EQ(d[1], 'M');
    const struct {
        const char* field;
        int offset, bytes;
        unsigned value;
    } fields[] = {{"file size", 2, 4, 8266},  {"pixel offset", 10, 4, 74}, {"info size", 14, 4, 40},
                  {"width", 18, 4, 128},      {"height", 22, 4, 128},      {"planes", 26, 2, 1},
                  {"bits", 28, 2, 4},         {"compression", 30, 4, 0},   {"image size", 34, 4, 8192},
                  {"palette colours", 46, 4, 5}};
    for (const auto& f : fields) {
        SCOPED_TRACE(f.field);
        EXPECT_EQ(le(d + f.offset, f.bytes), f.value);
    }
    const std::vector<std::uint8_t> generated = formats::builtinfont::build();
    ASSERT_EQ(generated.size(), size_t(BuiltInFontDataSize));
    EXPECT_EQ(std::memcmp(generated.data(), BuiltInFontData, BuiltInFontDataSize), 0)
        << "engine/gui/BuiltInFontData.cpp is stale: run quendrax-fontgen";
}

TEST_F(GuiTest, BuiltInFontGivesItsGlyphsAndTheSkinsIcons)
{
    auto* font = dynamic_cast<CGUIFont*>(env->getBuiltInFont());
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->getType(), EGFT_BITMAP);
    ASSERT_EQ(font->getAreas().size(), 247u);
    EXPECT_EQ(font->getMaxHeight(), 10);
    EXPECT_EQ(font->getAreaFromCharacter(wchar_t(278)), 246);
    EXPECT_EQ(font->getAreaFromCharacter(wchar_t(279)), 0);  // past the last glyph: the space

    // Every glyph sits where the generator put it.
    const std::vector<formats::builtinfont::SCell> cells = formats::builtinfont::layout();
    const std::vector<core::rect<int>>& rects = font->getSpriteBank()->getPositions();
    ASSERT_EQ(rects.size(), cells.size());
    for (size_t i = 0; i < cells.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(rects[i], core::rect<int>(cells[i].x, cells[i].y, cells[i].x + cells[i].width, cells[i].y + 10));
        EXPECT_EQ(font->getAreas()[i].width, cells[i].width);
    }

    // The skin takes the font and its sprite bank; its icons are the last 22 glyphs.
    IGUISkin* skin = env->getSkin();
    EXPECT_EQ(skin->getFont(), font);
    EXPECT_EQ(skin->getSpriteBank(), font->getSpriteBank());
    for (int icon = 0; icon < EGDI_COUNT; ++icon) {
        const unsigned sprite = skin->getIcon(EGUI_DEFAULT_ICON(icon));
        EXPECT_GE(sprite, 225u);
        EXPECT_LE(sprite, 246u);
        const wchar_t character = wchar_t(sprite + 32);
        EXPECT_EQ(font->getSpriteNoFromChar(&character), sprite);
    }
    driver->draws.clear();
    skin->drawIcon(nullptr, EGDI_WINDOW_CLOSE, {100, 100});
    ASSERT_EQ(driver->draws.size(), 1u);
    EXPECT_EQ(driver->draws[0].source, rects[227]);
    EXPECT_EQ(driver->draws[0].colors[0], video::SColor(0, 0, 0, 255));
    EXPECT_EQ(driver->draws[0].dest.getCenter().X, 100);
}

TEST_F(GuiTest, BuiltInFontIsLoadedWithTextureCommitOffAndLeavesTheOptionAsItWas)
{
    driver->setOption(0x2000, true);
    CGUIEnvironment* second = new CGUIEnvironment(fileSystem.get(), driver, nullptr);
    EXPECT_NE(second->getBuiltInFont(), nullptr);
    EXPECT_TRUE(driver->getOptions() & 0x2000);
    EXPECT_TRUE(driver->getOptions() & 0x10);
    second->drop();
}

}  // namespace
}  // namespace test::gui

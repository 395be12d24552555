// Text through FreeType: drawn text lands where it is measured, glyphs carry their metrics, and
// UTF-8 decoding survives broken input.

#include "tools/formats/TextRaster.h"

#include <gtest/gtest.h>

namespace {

using formats::Canvas;
using formats::Rgba;

TEST(TextRaster, DrawnTextFillsItsMeasuredBox)
{
    formats::Typeface face(formats::dejaVuSans(true));
    ASSERT_TRUE(face.ok());
    const formats::TextExtent e = face.measure("Quendrax", 32);
    EXPECT_GT(e.width, 100);
    EXPECT_GT(e.ascent, 18);
    EXPECT_GT(e.descent, 3);  // the 'Q' tail
    Canvas c(300, 60);
    EXPECT_EQ(face.draw(c, "Quendrax", 10, 40, 32, Rgba(255, 255, 0)), e.width);
    int x0 = 300, x1 = -1, y0 = 60, y1 = -1;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 300; ++x)
            if (c.at(x, y).a > 128) {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x);
                y0 = std::min(y0, y);
                y1 = std::max(y1, y);
                EXPECT_EQ(c.at(x, y).r, 255);
            }
    EXPECT_NEAR(x0, 10, 4);
    EXPECT_NEAR(x1, 10 + e.width, 6);
    EXPECT_NEAR(y0, 40 - e.ascent, 2);
    EXPECT_NEAR(y1, 40 + e.descent, 2);
}

TEST(TextRaster, GlyphsCarryMetricsAndCoverage)
{
    formats::Typeface face(formats::dejaVuSans());
    const formats::Glyph space = face.glyph(' ', 20), m = face.glyph('M', 20);
    EXPECT_GT(space.advance, 3);
    EXPECT_GT(m.image.width(), 8);
    EXPECT_GT(m.top, 10);
    EXPECT_GE(m.advance, m.image.width());
    formats::Typeface cjk(formats::cjkFont());
    EXPECT_TRUE(cjk.hasGlyph(0x52A0));   // 加
    EXPECT_TRUE(cjk.hasGlyph(0xB85C));   // 로
    EXPECT_FALSE(face.hasGlyph(0x52A0));
    formats::Typeface missing("/nonexistent.ttf");
    EXPECT_FALSE(missing.ok());
    EXPECT_EQ(missing.measure("abc", 12).width, 0);
}

TEST(TextRaster, Utf8Decoding)
{
    const struct {
        std::string text;
        std::vector<uint32_t> points;
    } cases[] = {
        {"a\xc3\xa9", {'a', 0xE9}},
        {"\xe5\x8a\xa0", {0x52A0}},
        {"\xf0\x9f\x98\x80", {0x1F600}},
        {"\xff" "a", {0xFFFD, 'a'}},
        {"\xe5\x8a", {0xFFFD}},  // cut short
    };
    for (const auto& c : cases) {
        std::vector<uint32_t> got;
        for (size_t at = 0; at < c.text.size();)
            got.push_back(formats::nextCodePoint(c.text, at));
        EXPECT_EQ(got, c.points) << c.text;
    }
}

}  // namespace

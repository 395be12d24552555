#include "tests/engine/gui/GuiTestSupport.h"

#include "engine/gui/CGUIStaticText.h"

namespace test::gui {
namespace {

using Lines = std::vector<core::stringw>;

class StaticTextTest : public GuiTest {
protected:
    // A word-wrapping text whose available width (rectangle width - 6) is w, in the fixture font.
    CGUIStaticText* text(const wchar_t* caption, int w, bool textured = false)
    {
        auto* t = static_cast<CGUIStaticText*>(env->addStaticText(caption, {0, 0, w + 6, 100}));
        t->setOverrideFont(fixtureFont(textured));
        return t;
    }
};

TEST_F(StaticTextTest, StartUpTextOfTheRenderDevice)
{
    IGUIStaticText* t = env->addStaticText(L"", {70, 70, 640, 960}, false, true, nullptr, -1, false);
    t->setOverrideColor(video::SColor(255, 0, 0, 255));
    EXPECT_EQ(t->getParent(), env);
    EXPECT_EQ(t->getRelativeRect(), core::rect<int>(70, 70, 640, 960));
    EXPECT_EQ(t->getOverrideColor(), video::SColor(255, 0, 0, 255));
    EXPECT_TRUE(t->isOverrideColorEnabled());
    EXPECT_STREQ(t->getText(), L"");
    EXPECT_EQ(static_cast<CGUIStaticText*>(t)->getBrokenText(), Lines{L""});
    EXPECT_EQ(static_cast<CGUIStaticText*>(t)->getBackgroundColor(), env->getSkin()->getColor(EGDC_3D_FACE));
    driver->draws.clear();
    env->drawAll();
    EXPECT_TRUE(driver->draws.empty());
}

TEST_F(StaticTextTest, WordWrapBreaksIntoLinesNarrowerThanTheWidth)
{
    // Letters are 6 wide, the space 3, the hyphen 4.
    const struct {
        const wchar_t* caption;
        int width;
        Lines lines;
    } cases[] = {
        {L"ab cd", 20, {L"ab", L"cd"}},
        {L"ab cd", 28, {L"ab cd"}},
        {L"ab cd", 27, {L"ab", L"cd"}},  // exactly the width breaks
        {L"well-known", 40, {L"well-", L"known"}},
        {L"abcdef gh", 20, {L"", L"abcdef", L"gh"}},
        {L"a\r\nb", 100, {L"a ", L"b"}},
        {L"ab\n", 100, {L"ab ", L""}},
        {L"ab\ncd", 100, {L"ab ", L"cd"}},
        {L"", 100, {L""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.caption << " in " << c.width);
        CGUIStaticText* t = text(c.caption, c.width);
        EXPECT_EQ(t->getBrokenText(), c.lines);
        EXPECT_STREQ(t->getText(), c.caption);  // the caption itself is never edited
        EXPECT_EQ(t->getTextHeight(), 10 * int(c.lines.size()));
        t->remove();
    }
}

TEST_F(StaticTextTest, SizesWithoutASkinOrFont)
{
    CGUIStaticText* t = text(L"ab cd", 100);
    EXPECT_EQ(t->getTextWidth(), 27);
    t->setWordWrap(false);
    EXPECT_EQ(t->getTextWidth(), 27);
    EXPECT_EQ(t->getTextHeight(), 10);
    env->setSkin(nullptr);
    EXPECT_EQ(t->getTextHeight(), 0);
    EXPECT_EQ(t->getTextWidth(), 27);  // the override font measures without a skin
    t->setOverrideFont(nullptr);
    EXPECT_EQ(t->getTextWidth(), 0);
}

TEST_F(StaticTextTest, EachWrappedLineIsAlignedOnItsOwn)
{
    CGUIStaticText* t = text(L"ab cdef", 20, true);
    t->setRelativePosition({100, 200, 126, 300});
    ASSERT_EQ(t->getBrokenText(), (Lines{L"ab", L"cdef"}));
    const struct {
        EGUI_ALIGNMENT h, v;
        int firstLineLeft[2];
        int top;
    } cases[] = {
        {EGUIA_UPPERLEFT, EGUIA_UPPERLEFT, {100, 100}, 200},
        {EGUIA_LOWERRIGHT, EGUIA_UPPERLEFT, {126 - 12, 126 - 24}, 200},
        {EGUIA_CENTER, EGUIA_UPPERLEFT, {100 + 7, 100 + 1}, 200},
        {EGUIA_UPPERLEFT, EGUIA_CENTER, {100, 100}, 250 - 10},
        {EGUIA_UPPERLEFT, EGUIA_LOWERRIGHT, {100, 100}, 300 - 20},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.h << " " << c.v);
        t->setTextAlignment(c.h, c.v);
        driver->draws.clear();
        t->draw();
        ASSERT_EQ(driver->draws.size(), 6u);
        EXPECT_EQ(driver->draws[0].dest.UpperLeftCorner, core::position2d<int>(c.firstLineLeft[0], c.top));
        EXPECT_EQ(driver->draws[2].dest.UpperLeftCorner, core::position2d<int>(c.firstLineLeft[1], c.top + 10));
        EXPECT_TRUE(driver->draws[0].clipped);
        EXPECT_EQ(driver->draws[0].colors[0], env->getSkin()->getColor(EGDC_BUTTON_TEXT));
    }
    t->setEnabled(false);
    driver->draws.clear();
    t->draw();
    EXPECT_EQ(driver->draws[0].colors[0], env->getSkin()->getColor(EGDC_GRAY_TEXT));
}

TEST_F(StaticTextTest, BackgroundAndBorderComeBeforeTheText)
{
    CGUIStaticText* t = text(L"ab", 100, true);
    t->setWordWrap(false);
    t->setDrawBorder(true);
    t->setBackgroundColor(video::SColor(1, 2, 3, 4));
    t->setOverrideColor(video::SColor(9, 9, 9, 255));
    driver->draws.clear();
    t->draw();
    // Background, four border lines, two glyphs moved right by the text distance.
    ASSERT_EQ(driver->draws.size(), 7u);
    EXPECT_EQ(driver->draws[0].dest, t->getAbsoluteRect());
    EXPECT_EQ(driver->draws[0].colors[0], video::SColor(1, 2, 3, 4));
    EXPECT_EQ(driver->draws[5].dest.UpperLeftCorner.X, env->getSkin()->getSize(EGDS_TEXT_DISTANCE_X));
    EXPECT_EQ(driver->draws[5].colors[0], video::SColor(9, 9, 9, 255));

    t->setVisible(false);
    driver->draws.clear();
    t->draw();
    EXPECT_TRUE(driver->draws.empty());
}

TEST_F(StaticTextTest, AttributesRoundTrip)
{
    CGUIStaticText* t = text(L"words", 100);
    t->setDrawBorder(true);
    t->setOverrideColor(video::SColor(5, 6, 7, 8));
    t->setTextAlignment(EGUIA_CENTER, EGUIA_LOWERRIGHT);
    boost::intrusive_ptr<io::IAttributes> attributes(fileSystem->createEmptyAttributes(nullptr), false);
    t->serializeAttributes(attributes.get());
    EXPECT_EQ(attributes->getAttributeCount(), 17 + 7);

    auto* copy = static_cast<CGUIStaticText*>(env->addStaticText(nullptr, {0, 0, 1, 1}, false, false));
    copy->deserializeAttributes(attributes.get());
    EXPECT_TRUE(copy->isDrawBorderEnabled());
    EXPECT_TRUE(copy->isWordWrapEnabled());
    EXPECT_TRUE(copy->isOverrideColorEnabled());
    EXPECT_EQ(copy->getOverrideColor(), video::SColor(5, 6, 7, 8));
    EXPECT_STREQ(copy->getText(), L"words");
}

}  // namespace
}  // namespace test::gui

#include "tests/engine/gui/GuiTestSupport.h"

#include "engine/gui/CGUISkin.h"
#include "engine/io/IAttributes.h"

namespace test::gui {
namespace {

using video::SColor;

class SkinTest : public GuiTest {
protected:
    boost::intrusive_ptr<CGUISkin> skin(EGUI_SKIN_TYPE type)
    {
        return boost::intrusive_ptr<CGUISkin>(new CGUISkin(type, driver), false);
    }
    // The fills since the last call, as (rectangle, upper-left colour, lower-right colour).
    struct Fill {
        core::rect<int> r;
        SColor upperLeft, lowerRight;
        bool operator==(const Fill& o) const { return r == o.r && upperLeft == o.upperLeft && lowerRight == o.lowerRight; }
    };
    std::vector<Fill> fills()
    {
        std::vector<Fill> out;
        for (const auto& d : driver->draws)
            out.push_back({d.dest, d.colors[0], d.colors[2]});
        driver->draws.clear();
        return out;
    }
};

TEST_F(SkinTest, DefaultsOfTheThreeLooks)
{
    const struct {
        EGUI_SKIN_TYPE type;
        int menuHeight, textX;
        SColor tooltipBackground, face;
    } cases[] = {
        {EGST_WINDOWS_CLASSIC, 30, 2, {255, 255, 225, 200}, {210, 210, 210, 101}},
        {EGST_WINDOWS_METALLIC, 30, 2, {255, 255, 225, 200}, {210, 210, 210, 101}},
        {EGST_BURNING, 48, 3, {203, 210, 217, 192}, {203, 210, 217, 192}},
        {EGST_UNKNOWN, 48, 3, {203, 210, 217, 192}, {203, 210, 217, 192}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.type));
        auto s = skin(c.type);
        EXPECT_EQ(s->getType(), c.type);
        EXPECT_EQ(s->getSize(EGDS_MENU_HEIGHT), c.menuHeight);
        EXPECT_EQ(s->getSize(EGDS_TEXT_DISTANCE_X), c.textX);
        EXPECT_EQ(s->getColor(EGDC_TOOLTIP_BACKGROUND), c.tooltipBackground);
        EXPECT_EQ(s->getColor(EGDC_3D_FACE), c.face);
        EXPECT_EQ(s->getIcon(EGDI_WINDOW_RESIZE), 242u);
        EXPECT_EQ(s->getIcon(EGDI_MENU_MORE), 232u);
        EXPECT_STREQ(s->getDefaultText(EGDT_WINDOW_RESTORE), L"Restore");
    }
    auto s = skin(EGST_WINDOWS_CLASSIC);
    EXPECT_STREQ(s->getDefaultText(EGUI_DEFAULT_TEXT(8)), L"OK");
    s->setDefaultText(EGUI_DEFAULT_TEXT(8), L"changed");
    EXPECT_STREQ(s->getDefaultText(EGDT_MESSAGE_BOX_OKAY), L"OK");
    EXPECT_EQ(s->getSize(EGUI_DEFAULT_SIZE(10)), 0);
    EXPECT_EQ(s->getIcon(EGUI_DEFAULT_ICON(23)), 0u);
    EXPECT_EQ(s->getColor(EGUI_DEFAULT_COLOR(21)), SColor());
    s->setColor(EGUI_DEFAULT_COLOR(21), SColor(1, 1, 1, 1));  // ignored, like every other slot outside
}

TEST_F(SkinTest, FontsFallBackToTheDefaultAndKeepTheirReference)
{
    auto s = skin(EGST_WINDOWS_CLASSIC);
    IGUIFont* builtIn = env->getBuiltInFont();
    s->setFont(builtIn);
    EXPECT_EQ(s->getFont(EGDF_MENU), builtIn);
    EXPECT_EQ(s->getFont(EGUI_DEFAULT_FONT(7)), builtIn);
    CGUIFont* own = fixtureFont();
    own->grab();
    s->setFont(own, EGDF_TOOLTIP);
    own->drop();
    s->setFont(own, EGDF_TOOLTIP);  // the font the slot holds: still alive
    EXPECT_EQ(s->getFont(EGDF_TOOLTIP), own);
    EXPECT_EQ(own->getReferenceCount(), 2);
}

TEST_F(SkinTest, PanesAreDrawnFromFilledRectangles)
{
    auto metallic = skin(EGST_WINDOWS_METALLIC);
    const SColor dark = metallic->getColor(EGDC_3D_DARK_SHADOW), light = metallic->getColor(EGDC_3D_HIGHLIGHT),
                 shadow = metallic->getColor(EGDC_3D_SHADOW), face = metallic->getColor(EGDC_3D_FACE);
    metallic->draw3DButtonPaneStandard(nullptr, {0, 0, 10, 10});
    EXPECT_EQ(fills(), (std::vector<Fill>{{{0, 0, 10, 10}, dark, dark},
                                          {{0, 0, 9, 9}, light, light},
                                          {{1, 1, 9, 9}, shadow, shadow},
                                          {{1, 1, 8, 8}, face, CGUISkin::mix(face, dark, 0.6f)}}));
    skin(EGST_WINDOWS_CLASSIC)->draw3DButtonPaneStandard(nullptr, {0, 0, 10, 10});
    EXPECT_EQ(fills().back(), (Fill{{1, 1, 8, 8}, face, face}));

    // Not flat: the innermost rectangle takes the pane colour even without the fill flag.
    const SColor pane(9, 8, 7, 6);
    metallic->draw3DSunkenPane(nullptr, pane, false, false, {0, 0, 20, 20});
    std::vector<Fill> sunken = fills();
    ASSERT_EQ(sunken.size(), 4u);
    EXPECT_EQ(sunken.back(), (Fill{{2, 2, 18, 18}, pane, pane}));

    EXPECT_EQ(metallic->draw3DWindowBackground(nullptr, false, SColor(), {0, 0, 200, 100}), core::rect<int>(2, 2, 198, 19));
    EXPECT_EQ(fills().size(), 7u);
    EXPECT_EQ(metallic->draw3DWindowBackground(nullptr, true, SColor(200, 0, 0, 255), {0, 0, 200, 100}),
              core::rect<int>(2, 2, 198, 19));
    const Fill title = fills().back();
    EXPECT_EQ(title.r, core::rect<int>(2, 2, 198, 19));
    EXPECT_EQ(title.upperLeft, SColor(200, 0, 0, 255));
    EXPECT_EQ(title.lowerRight, SColor(40, 0, 0, 255));  // 0.8 of the way to black

    metallic->draw3DTabBody(nullptr, true, false, {0, 0, 100, 100});
    EXPECT_EQ(fills().front().r, core::rect<int>(0, 32, 1, 100));  // the button height 30 + 2 below the top

    CGUISkin bare(EGST_WINDOWS_CLASSIC, nullptr);
    EXPECT_EQ(bare.draw3DWindowBackground(nullptr, true, SColor(), {1, 2, 3, 4}), core::rect<int>(1, 2, 3, 4));
}

TEST_F(SkinTest, AttributesRoundTripAndAnEmptySetClearsEverything)
{
    auto original = skin(EGST_BURNING);
    original->setColor(EGDC_WINDOW, SColor(1, 2, 3, 4));
    original->setSize(EGDS_BUTTON_WIDTH, 77);
    original->setDefaultText(EGDT_MESSAGE_BOX_NO, L"Nein");
    original->setIcon(EGDI_FILE, 12);
    boost::intrusive_ptr<io::IAttributes> attributes(fileSystem->createEmptyAttributes(nullptr), false);
    original->serializeAttributes(attributes.get());
    EXPECT_EQ(attributes->getAttributeCount(), 21 + 10 + 8 + 23);
    EXPECT_STREQ(attributes->getAttributeName(0), "3DDarkShadow");

    auto copy = skin(EGST_WINDOWS_CLASSIC);
    copy->deserializeAttributes(attributes.get());
    for (int i = 0; i < EGDC_COUNT; ++i)
        EXPECT_EQ(copy->getColor(EGUI_DEFAULT_COLOR(i)), original->getColor(EGUI_DEFAULT_COLOR(i))) << i;
    EXPECT_EQ(copy->getSize(EGDS_BUTTON_WIDTH), 77);
    EXPECT_EQ(copy->getSize(EGDS_MENU_HEIGHT), 48);
    EXPECT_STREQ(copy->getDefaultText(EGDT_MESSAGE_BOX_NO), L"Nein");
    EXPECT_EQ(copy->getIcon(EGDI_FILE), 12u);
    EXPECT_EQ(copy->getType(), EGST_WINDOWS_CLASSIC);

    attributes->clear();
    copy->deserializeAttributes(attributes.get());
    EXPECT_EQ(copy->getColor(EGDC_3D_FACE), SColor(0, 0, 0, 0));
    EXPECT_EQ(copy->getSize(EGDS_BUTTON_HEIGHT), 0);
    EXPECT_STREQ(copy->getDefaultText(EGDT_MESSAGE_BOX_OKAY), L"");
    EXPECT_EQ(copy->getIcon(EGDI_EXPAND), 0u);
}

}  // namespace
}  // namespace test::gui

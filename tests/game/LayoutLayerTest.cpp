// UI layout layers: the item format with its broken forms, the two copies and the accessors.
#include "framework/ViDuz.h"
#include "game/CAITouchObj.h"
#include "tests/framework/DataDir.h"
#include "tests/game/GameTestSupport.h"
#include "tools/formats/LayoutLayerWriter.h"
#include "tools/formats/PackFolderWriter.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using formats::layers::Element;
using formats::layers::SetValue;

struct LayoutLayers : ::testing::Test {
    LayoutLayers()
    {
        ViDuz::Pack_Close();
        CAIGame::InitGameLayers();
        CAIGame::s_first_intoConfirm = false;
    }
    ~LayoutLayers() override { ViDuz::Pack_Close(); }

    void write(int layer, const std::vector<uint8_t>& bytes)
    {
        ASSERT_TRUE(formats::packs::WriteItem(data.root(), "14", layer, bytes));
    }
    // Every live value of a layer, element by element.
    static std::vector<std::vector<int>> live(int layer)
    {
        std::vector<std::vector<int>> out;
        const auto& l = CAIGame::m_gameData.data[layer];
        for (int e = 0; e < l.length; ++e)
            out.emplace_back(l.data[e].data, l.data[e].data + l.data[e].length);
        return out;
    }
    static std::vector<std::vector<int>> clean(int layer)
    {
        std::vector<std::vector<int>> out;
        const auto& l = CAIGame::m_gameDataClean.data[layer];
        for (int e = 0; e < l.length; ++e)
            out.emplace_back(l.data[e].data, l.data[e].data + l.data[e].length);
        return out;
    }

    test::GameFixture f;
    test::DataDir data;
};

Element make(int16_t kind, int16_t id, std::vector<int16_t> values)
{
    Element e;
    e.kind = kind;
    e.id = id;
    e.x = int16_t(10 * id);
    e.y = int16_t(-id);
    e.values = std::move(values);
    return e;
}

TEST_F(LayoutLayers, ElementsAreReadWholeAndAnimationModesRewritten)
{
    const std::vector<uint8_t> bytes = formats::layers::Write({
        make(4, 1, {}),
        make(2, 2, {7, 8, 9}),
        make(1, 3, {11, -3, 5}),     // played once, bit 0x400
        make(1, 4, {11, -2, 6}),     // played once, bit 0x200
        make(1, 5, {11, -1, 2}),     // any other mode: value 7 kept
        make(1, 6, {11, -3, -1}),    // no animation: untouched
        make(2, 7, {0, -3, 5}),      // not a graphic: untouched
    });
    EXPECT_EQ(bytes.size(), 10u + 16u + 5 * 16u);
    write(3, bytes);
    CAIGame::LoadGameLayer(3, 1);
    const std::vector<std::vector<int>> want = {
        {4, 1, 10, -1, 0},
        {2, 2, 20, -2, 3, 7, 8, 9},
        {1, 3, 30, -3, 3, 11, 0, 0x405},
        {1, 4, 40, -4, 3, 11, 0, 0x206},
        {1, 5, 50, -5, 3, 11, 0, 2},
        {1, 6, 60, -6, 3, 11, -3, -1},
        {2, 7, 70, -7, 3, 0, -3, 5},
    };
    EXPECT_EQ(clean(3), want);
    EXPECT_EQ(live(3), want);
    EXPECT_EQ(CAIGame::GetGameLayerElementCount(3), 7);
    EXPECT_EQ(ViDuz::m_szCurrentOpenPackName[0], '\0');   // opened and closed around the load
}

TEST_F(LayoutLayers, BrokenElementsEndTheLayer)
{
    Element negative = make(1, 9, {1, 2});
    negative.n = -1;
    Element past = make(1, 9, {1, 2});
    past.n = 3;
    Element backward = make(1, 9, {});
    backward.n = -5;
    const Element good = make(2, 1, {5});
    const struct {
        const char* name;
        std::vector<uint8_t> bytes;
        int elements;
    } cases[] = {
        {"negative n", formats::layers::Write({good, negative, good}), 1},
        {"n past the end", formats::layers::Write({good, good, past}), 2},
        {"n of -5", formats::layers::Write({backward, good}), 0},
        {"trailing bytes", [&] {
             auto b = formats::layers::Write({good});
             b.insert(b.end(), {1, 0, 2, 0, 3});
             return b;
         }(), 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CAIGame::FreeGameLayer(5, 0);
        write(5, c.bytes);
        CAIGame::LoadGameLayer(5, 1);
        ASSERT_EQ(CAIGame::GetGameLayerElementCount(5), c.elements);
        for (int e = 0; e < c.elements; ++e)
            EXPECT_EQ(live(5)[size_t(e)], (std::vector<int>{2, 1, 10, -1, 1, 5}));
    }
}

TEST_F(LayoutLayers, MissingItemsLeaveTheLayerEmpty)
{
    CAIGame::LoadGameLayer(12, 1);
    EXPECT_FALSE(CAIGame::IsGameLayerLoaded(12));
    EXPECT_EQ(CAIGame::GetParamValue(12, 0, 0), 0);
}

TEST_F(LayoutLayers, LiveCopyChangesAndResetsWhileThePristineStays)
{
    write(0, formats::layers::Write({make(2, 1, {0, 0, 0, 0, 0, 0}), make(1, 2, {3, 0, -1, 0, 0, 0})}));
    CAIGame::LoadGameLayer(0, 1);
    CAIGame::SetParamValue(0, 1, 2, 700);
    CAIGame::SetGraphItemVisibility(0, 1, 1);
    CAIGame::SetParamValue(0, 0, 8, 4);        // a text area's highlight with no touch object
    EXPECT_EQ(CAIGame::GetParamValue(0, 1, 2), 700);
    EXPECT_TRUE(CAIGame::GetParamBooleanValue(0, 1, 10));
    EXPECT_EQ(CAIGame::GetParamValue(0, 0, 8), 10);
    EXPECT_EQ(clean(0)[1][2], 20);

    // Loading again only restores the live copy.
    CAIGame::LoadGameLayer(0, 0);
    EXPECT_EQ(live(0), clean(0));

    // Keeping the live copy frees the pristine one only.
    CAIGame::SetParamValue(0, 1, 2, 5);
    CAIGame::FreeGameLayer(0, 1);
    EXPECT_FALSE(CAIGame::IsGameLayerLoaded(0));
    EXPECT_EQ(CAIGame::GetParamValue(0, 1, 2), 5);
    CAIGame::FreeGameLayer(0, 0);
    EXPECT_EQ(CAIGame::GetGameLayerElementCount(0), 0);
}

TEST_F(LayoutLayers, HighlightStyleAndConfirmRule)
{
    write(1, formats::layers::Write({make(2, 1, {0, 0, 0, 0, 0, 0}), make(1, 2, {0, 0, 0, 0})}));
    CAIGame::LoadGameLayer(1, 1);
    CAITouchObj touch;
    const struct {
        bool confirm;
        CAITouchObj* obj;
        int cursor, selection, element, index, value, stored, highlight;
    } cases[] = {
        {false, nullptr, 0, 0, 0, 8, 4, 10, -1},
        {false, &touch, 3, 3, 0, 8, 4, 4, -1},
        {false, &touch, 2, 3, 0, 8, 4, 10, -1},
        {false, nullptr, 0, 0, 0, 8, 5, 5, -1},
        {false, nullptr, 0, 0, 1, 8, 4, 4, -1},     // not a text area
        {true, nullptr, 0, 0, 0, 8, 4, 4, 23},      // confirming: stored as given
    };
    for (const auto& c : cases) {
        CAIGame::s_first_intoConfirm = c.confirm;
        CAIGame::s_curObj = c.obj;
        CAITouchObj::_list_cursor_id = c.cursor;
        CAIGame::s_menuSelection = c.selection;
        CAIGame::s_frame_HL_id = -1;
        CAIGame::SetParamValue(1, c.element, c.index, c.value);
        EXPECT_EQ(CAIGame::GetParamValue(1, c.element, c.index), c.stored);
        EXPECT_EQ(CAIGame::s_frame_HL_id, c.highlight);
    }
    CAIGame::s_curObj = nullptr;
}

TEST_F(LayoutLayers, NumbersOutsideTheLayerReadZeroAndDropWrites)
{
    write(2, formats::layers::Write({make(1, 1, {4, 0, -1})}));
    CAIGame::LoadGameLayer(2, 1);
    const std::vector<int> before = live(2)[0];
    const struct {
        int layer, element, index;
    } cases[] = {{-1, 0, 2}, {38, 0, 2}, {2, 1, 2}, {2, -1, 2}, {2, 0, 8}, {2, 0, 17}, {2, 0, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.layer << " " << c.element << " " << c.index);
        EXPECT_EQ(CAIGame::GetParamValue(c.layer, c.element, c.index), 0);
        CAIGame::SetParamValue(c.layer, c.element, c.index, 99);
        CAIGame::SetGraphItemVisibility(c.layer, c.element, 1);
    }
    EXPECT_EQ(live(2)[0], before);
    CAIGame::LoadGameLayer(40, 1);
    CAIGame::FreeGameLayer(-3, 0);
    CAIGame::ResetLayerData(99);
}

TEST_F(LayoutLayers, InitAndTransitionTime)
{
    CAIGame::s_game_currentFrameNB = 41;
    CAIGame::InitGameLayers();
    ASSERT_EQ(CAIGame::m_gameUpdateAnimsLastFrame.length, 38);
    for (int i = 0; i < 38; ++i)
        EXPECT_EQ(CAIGame::m_gameUpdateAnimsLastFrame.data[i], 40);
    EXPECT_EQ(CAIGame::m_spritesGUI.length, 39);
    EXPECT_EQ(CAIGame::s_menu_box_reveal_time, 500);

    CAIGame::s_genericTimer = 0;
    CAIGame::ResetMenuTransitionTime(50);
    EXPECT_EQ(CAIGame::s_menu_box_reveal_time, 250);
    EXPECT_EQ(CAIGame::s_genericTimer, 0);
    CAIGame::s_genericTimer = 3;
    CAIGame::ResetMenuTransitionTime(120);
    EXPECT_EQ(CAIGame::s_menu_box_reveal_time, 600);
    EXPECT_EQ(CAIGame::s_genericTimer, 600);
}

}  // namespace

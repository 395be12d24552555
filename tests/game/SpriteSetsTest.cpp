// Sprite sets: slot loading keeps an occupied slot, the background and foreground sets follow
// their request masks or the location's picture, and the GUI slots follow the loaded layout
// layers under the configuration of layer 37.
#include "framework/ViDuz.h"
#include "tests/framework/DataDir.h"
#include "tests/game/GameTestSupport.h"
#include "tools/formats/LayoutLayerWriter.h"
#include "tools/formats/PackFolderWriter.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

namespace layers = formats::layers;

std::vector<int> occupied(int first, int last)
{
    std::vector<int> out;
    for (int slot = first; slot <= last; ++slot)
        if (CAIGame::_sprites[slot])
            out.push_back(slot);
    return out;
}

struct SpriteSets : ::testing::Test {
    SpriteSets() { ViDuz::Pack_Close(); }
    ~SpriteSets() override { ViDuz::Pack_Close(); }
    // The current location's row of the location table, with `value` in `column`.
    static void locationStat(int column, int value)
    {
        CAIGame::_location_stats.NewArray(1);
        CAIGame::_location_stats.data[0].NewArray(8);
        CAIGame::_location_stats.data[0].data[column] = value;
        CAIGame::_currentPlace = 0;
    }
    test::GameFixture f;
    test::DataDir data;
};

TEST_F(SpriteSets, AnOccupiedSlotKeepsItsSprite)
{
    CAIGame::LoadSprite(20, 3, "9");
    CAISprite* first = CAIGame::_sprites[20];
    ASSERT_NE(first, nullptr);
    CAIGame::LoadSprite(20, 7, "9");
    EXPECT_EQ(CAIGame::GetSprite(20, 8, "9"), first);
    CAIGame::FreeSprite(20);
    EXPECT_EQ(CAIGame::_sprites[20], nullptr);
    CAIGame::UnloadSprite(20);   // an empty slot stays empty
    CAIGame::UnloadSprite(-1);
    CAIGame::UnloadSprite(116);
    EXPECT_NE(CAIGame::GetSprite(20, 8, "9"), nullptr);
}

TEST_F(SpriteSets, BackgroundFollowsTheModeAndTheLocation)
{
    const struct {
        const char* why;
        int mode, picture, requests;
        std::vector<int> loaded;
        int maskAfterRelease;
    } rows[] = {
        {"the location's picture", 0, 5, 0, {99}, 0},
        {"picture 3 is picture 0", 0, 3, 0, {94}, 0},
        {"above 7 is 7", 1, 9, 0x5, {101}, 0x5},
        {"requests in mode 7", 7, 2, 0x5, {94, 96}, 0},
        {"requests in mode 10", 10, 2, 0x80, {101}, 0},
        {"no requests, nothing", 9, 2, 0, {}, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.why);
        CAIGame::_game_mode = uint8_t(row.mode);
        locationStat(0, row.picture);
        CAIGame::s_backgroundDataRequests = row.requests;
        CAIGame::Background_LoadSprites(true);
        EXPECT_EQ(occupied(94, 101), row.loaded);
        EXPECT_EQ(CAIGame::s_backgroundDataRequests, row.requests);   // loading leaves the mask
        CAIGame::Background_ReleaseSprites();
        EXPECT_EQ(occupied(94, 101), std::vector<int>{});
        EXPECT_EQ(CAIGame::s_backgroundDataRequests, row.maskAfterRelease);
    }
}

TEST_F(SpriteSets, ForegroundFollowsItsRequests)
{
    CAIGame::s_foregroundDataRequests = 0x1 | 0x4 | 0x800;
    CAIGame::Foreground_LoadSprites(true);
    EXPECT_EQ(occupied(102, 113), (std::vector<int>{102, 104, 113}));
    EXPECT_EQ(CAIGame::s_foregroundDataRequests, 0x805);
    CAIGame::Foreground_ReleaseSprites();
    EXPECT_EQ(occupied(102, 113), std::vector<int>{});
    EXPECT_EQ(CAIGame::s_foregroundDataRequests, 0);
}

TEST_F(SpriteSets, LocationAndInLevelSetsComeAndGo)
{
    CAIGame::LoadLocationSpecificSprites();
    EXPECT_EQ(occupied(26, 28), (std::vector<int>{26, 27, 28}));
    EXPECT_EQ(occupied(63, 64), (std::vector<int>{63, 64}));
    CAIGame::ClearLocationSpecificSprites();
    EXPECT_EQ(occupied(0, 115), std::vector<int>{});

    for (int step = 45; step <= 50; ++step)
        CAIGame::LoadIngameSpriteGroup(step);
    const std::vector<int> inLevel = {11, 18, 24, 29, 30, 31, 33, 36, 38, 39, 41, 43, 47,
                                      48, 55, 56, 58, 59, 62, 65, 66, 68, 69, 115};
    EXPECT_EQ(occupied(0, 115), inLevel);
    CAIGame::ClearIngameSprites();
    EXPECT_EQ(occupied(0, 115), std::vector<int>{39});   // step 49's other sprite stays
    EXPECT_EQ(CAIGame::m_bHadReleaseInLoading[0], 1);
}

// Layer 5 names GUI slots; layer 37 says which may load (value 6) and which are kept (value 7).
struct GuiSprites : SpriteSets {
    GuiSprites()
    {
        CAIGame::InitGameLayers();
        std::vector<layers::Element> config(134);
        for (auto& e : config)
            e.kind = 4;
        for (int base : {59, 95})
            for (int j : {1, 2, 3, 4, 17, 26, 38}) {
                layers::SetValue(config[size_t(base + j)], 6, 1);
                layers::SetValue(config[size_t(base + j)], 8, 0);
            }
        layers::SetValue(config[95 + 17], 7, 2);
        std::vector<layers::Element> screen;
        for (int slot : {1, 2, 3, 4, 14, 17, 38, 50, -1}) {
            layers::Element e;
            layers::SetValue(e, 5, int16_t(slot));
            screen.push_back(e);
        }
        layers::Element text;   // a text area naming slot 20 needs nothing
        text.kind = 2;
        layers::SetValue(text, 5, 20);
        screen.push_back(text);
        EXPECT_TRUE(formats::packs::WriteItem(data.root(), "14", 37, layers::Write(config)));
        EXPECT_TRUE(formats::packs::WriteItem(data.root(), "14", 5, layers::Write(screen)));
        CAIGame::LoadGameLayer(37, 1);
        CAIGame::LoadGameLayer(5, 1);
    }
    static CAISprite*& gui(int j) { return CAIGame::m_spritesGUI.data[j]; }
    static std::vector<int> held()
    {
        std::vector<int> out;
        for (int j = 0; j < CAIGame::m_spritesGUI.length; ++j)
            if (gui(j))
                out.push_back(j);
        return out;
    }
};

TEST_F(GuiSprites, FollowTheLayersAndTheirConfiguration)
{
    for (int j : {5, 14, 17, 20})
        gui(j) = new CAISprite;
    CAISprite* kept = gui(17);
    CAIGame::LoadOrFreeSpritesGUI();
    // 1-3 loaded; 4 is its screen's, 38 never, 14 not allowed, 5 and 20 not named: released;
    // 17 kept as it was; 29 the touch sprite.
    EXPECT_EQ(held(), (std::vector<int>{1, 2, 3, 17, 29}));
    EXPECT_EQ(gui(17), kept);
    ASSERT_NE(CAIGame::s_touchSpr, nullptr);
    ASSERT_NE(CAIGame::s_touchAni, nullptr);
    EXPECT_EQ(CAIGame::s_touchAni->GetSprite(), CAIGame::s_touchSpr);

    // Again: the held slots stay as they are. Slot 4 stays wanted and empty, so the touch
    // sprite is made anew each time; its player must follow it.
    CAISprite* one = gui(1);
    CAIGame::LoadOrFreeSpritesGUI();
    EXPECT_EQ(held(), (std::vector<int>{1, 2, 3, 17, 29}));
    EXPECT_EQ(gui(1), one);
    ASSERT_NE(CAIGame::s_touchSpr, nullptr);
    EXPECT_EQ(CAIGame::s_touchAni->GetSprite(), CAIGame::s_touchSpr);
}

TEST_F(GuiSprites, InLevelTheLocationsSpriteIsLoadedAgain)
{
    locationStat(4, 3);
    CAIGame::s_loadingType = 2;
    gui(26) = new CAISprite;
    CAISprite* old = gui(26);
    old->grab();
    CAIGame::LoadOrFreeSpritesGUI();
    EXPECT_NE(gui(26), nullptr);
    EXPECT_NE(gui(26), old);
    old->drop();
    EXPECT_EQ(CAIGame::GetParamValue(37, 59 + 26, 8), 8);
    EXPECT_EQ(held(), (std::vector<int>{1, 2, 3, 17, 26, 29}));   // in level, 17 is not kept but loaded
}

}  // namespace

// The animation step of layout layers: graphic elements advance by the frame's time through
// their sprite's frame durations, once a frame; played-once animations stop at their last frame.
#include "framework/ViDuz.h"
#include "tests/framework/DataDir.h"
#include "tests/game/GameTestSupport.h"
#include "tools/formats/LayoutLayerWriter.h"
#include "tools/formats/PackFolderWriter.h"
#include "tools/formats/SpriteWriter.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

namespace layers = formats::layers;

layers::Element graphic(int slot, int anim, int mode = 0)
{
    layers::Element e;
    layers::SetValue(e, 5, int16_t(slot));
    layers::SetValue(e, 6, int16_t(mode));
    layers::SetValue(e, 7, int16_t(anim));
    layers::SetValue(e, 13, 0);
    return e;
}

TEST(LayerAnims, FramesAdvanceByTheirDurationsOnceAFrame)
{
    test::GameFixture f;
    test::DataDir data;
    ViDuz::Pack_Close();
    CAIGame::InitGameLayers();
    // Animation 0: three frames of 33, 66 and 33 ms.
    formats::sprites::Sprite s;
    s.addImageModule(0, 0, 0, 4, 4);
    for (int i = 0; i < 3; ++i)
        s.addFrame({{0, 0, 0, 0}});
    s.addAnim({{0, 1}, {1, 2}, {2, 1}});
    const std::vector<uint8_t> bytes = formats::sprites::Write(s);
    for (int slot : {0, 11}) {
        CAIGame::m_spritesGUI.data[slot] = new CAISprite;
        ASSERT_TRUE(CAIGame::m_spritesGUI.data[slot]->Load(bytes.data(), bytes.size()));
    }
    ASSERT_TRUE(formats::packs::WriteItem(
        data.root(), "14", 6,
        layers::Write({graphic(0, 0), graphic(0, 0, -2), graphic(11, 0), graphic(5, 0), graphic(0, -1)})));
    CAIGame::LoadGameLayer(6, 1);
    ViDuz::Pack_Close();
    ASSERT_EQ(CAIGame::GetParamValue(6, 1, 7), 0x200);

    // (frame, time) of the looping and the played-once element after each 20 ms frame.
    using FT = std::pair<int, int>;
    const struct {
        FT loop, once;
        int onceOver;
    } frames[] = {
        {{0, 20}, {0, 20}, 0}, {{1, 0}, {1, 0}, 0},  {{1, 20}, {1, 20}, 0}, {{1, 40}, {1, 40}, 0},
        {{1, 60}, {1, 60}, 0}, {{2, 0}, {2, 0}, 0},  {{2, 20}, {2, 20}, 1}, {{0, 0}, {2, 40}, 1},
    };
    CAIGame::_timeElapsed = 20;
    for (size_t i = 0; i < std::size(frames); ++i) {
        SCOPED_TRACE(i);
        ++CAIGame::s_game_currentFrameNB;
        CAIGame::UpdateGameLayerAnims(6);
        CAIGame::UpdateGameLayerAnims(6);   // the same frame: nothing more
        EXPECT_EQ(FT(CAIGame::GetParamValue(6, 0, 6), CAIGame::GetParamValue(6, 0, 13)), frames[i].loop);
        EXPECT_EQ(FT(CAIGame::GetParamValue(6, 1, 6), CAIGame::GetParamValue(6, 1, 13)), frames[i].once);
        EXPECT_EQ(CAIGame::GetParamValue(6, 1, 12), frames[i].onceOver);
    }
    EXPECT_EQ(CAIGame::GetParamValue(6, 2, 6), 0);      // the touch sprite's slot keeps its frame
    EXPECT_EQ(CAIGame::GetParamValue(6, 2, 13), 160);
    for (int e : {3, 4})                                // no sprite, no animation: untouched
        EXPECT_EQ(CAIGame::GetParamValue(6, e, 13), 0) << e;
    CAIGame::UpdateGameLayerAnims(-1);                  // outside the layers: nothing
    CAIGame::UpdateGameLayerAnims(38);
}

}  // namespace

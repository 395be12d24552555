#include "framework/CAISprite.h"
#include "framework/ScreenGeometry.h"
#include "framework/ViDuzPlayer.h"
#include "tests/framework/GameStub.h"
#include "tests/framework/RecordingTarget.h"
#include "tests/framework/SizedTexture.h"
#include "tools/formats/SpriteWriter.h"

#include <gtest/gtest.h>

namespace fs = formats::sprites;

namespace {

// Five frames; animation 0: frames 0, 1 of 2 units (66 ms); animation 1: five frames of 1 unit;
// animation 2: two frames of 1 unit.
struct Player : ::testing::Test {
    Player()
    {
        fs::Sprite f;
        f.addImageModule(0, 0, 0, 4, 4);
        for (int i = 0; i < 5; ++i)
            f.addFrame({{0, i, 0, 0}});
        f.addAnim({{0, 2}, {1, 2}});
        f.addAnim({{0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 1}});
        f.addAnim({{0, 1}, {1, 1}});
        const auto bytes = fs::Write(f);
        EXPECT_TRUE(sprite.Load(bytes.data(), bytes.size()));
        player.SetSprite(&sprite);
    }
    test::GameStub game;
    CAISprite sprite;
    ViDuzPlayer player;
};

}  // namespace

TEST_F(Player, TimingLoopsAndFrames)
{
    player.SetAnim(0, -1);
    std::vector<int> frames;
    for (int i = 0; i < 4; ++i) {
        player.Update(50);
        frames.push_back(player.GetFrame());
    }
    EXPECT_EQ(frames, (std::vector<int>{0, 0, 1, 0}));   // the frame changes on the third update

    player.SetAnim(2, 2);
    frames.clear();
    std::vector<bool> over;
    for (int i = 0; i < 6; ++i) {
        frames.push_back(player.GetFrame());
        over.push_back(player.IsAnimOver());
        player.Update(33);
    }
    EXPECT_EQ(frames, (std::vector<int>{0, 0, 1, 0, 1, 1}));
    EXPECT_EQ(over, (std::vector<bool>{false, false, false, false, false, true}));

    player.SetAnim(1, 1);
    EXPECT_EQ(player.SetFrame(5), 0);
    EXPECT_EQ(player.SetFrame(7), 2);
    player.SetAnim(1, 1);                 // still playing: no change
    EXPECT_EQ(player.GetFrame(), 2);
    player.SetAnim(1, 1, 1);              // restart
    EXPECT_EQ(player.GetFrame(), 0);
    EXPECT_EQ(player.GetNbFrame(), 5);

    ViDuzPlayer empty;
    EXPECT_EQ(empty.SetFrame(3), 0);
    EXPECT_FALSE(empty.IsAnimOver());
    EXPECT_EQ(empty.GetNbFrame(), 0);
    ViDuzPlayer noAnim;
    noAnim.SetSprite(&sprite);
    EXPECT_EQ(noAnim.SetFrame(3), -1);
    EXPECT_TRUE(noAnim.IsAnimOver());
    EXPECT_EQ(noAnim.GetNbFrame(), -1);
}

TEST_F(Player, EndlessZeroTimeLoopStops)
{
    fs::Sprite f;
    f.addImageModule(0, 0, 0, 4, 4);
    f.addFrame({{0, 0, 0, 0}});
    f.addAnim({{0, 0}, {0, 0}});
    const auto bytes = fs::Write(f);
    CAISprite zero;
    ASSERT_TRUE(zero.Load(bytes.data(), bytes.size()));
    ViDuzPlayer p;
    p.SetSprite(&zero);
    p.SetAnim(0, -1);
    p.Update(16);   // returns
    p.Update(16);
    EXPECT_FALSE(p.IsAnimOver());
}

TEST(Tileset, InitLayersAndCameras)
{
    ViDuzPlayer::Tileset_Init(600, 1024, 24, 24);
    const CDataArray<int>& t = ViDuzPlayer::s_TilesetInfo;
    EXPECT_EQ(t.data[2], 16); EXPECT_EQ(t.data[3], 4); EXPECT_EQ(t.data[4], 15);
    EXPECT_EQ(t.data[5], 16); EXPECT_EQ(t.data[6], 4); EXPECT_EQ(t.data[7], 15);

    CDataArray<unsigned char> tiles, flags;
    tiles.NewArray(62 * 80);
    const unsigned char header[4] = {62, 0, 80, 0};   // 992 x 1280 pixels
    ViDuzPlayer::Tileset_LoadLayer(0, header, 0, tiles, flags, nullptr, 0, 0, 0, 0);
    const int* L = ViDuzPlayer::s_TilesetLayerInfo.data[0].data;
    EXPECT_EQ(L[7], 624);
    EXPECT_EQ(L[8], 1040);
    EXPECT_TRUE(ViDuzPlayer::isFlag(0, ViDuzPlayer::LAYER_BUFFERED | ViDuzPlayer::LAYER_CLAMP_X));

    // A clamped layer 992 pixels wide under a 600-pixel view stops one pixel short.
    const struct { int x; int expect; } kCamera[] = {{-5, 0}, {0, 0}, {391, 391}, {392, 391}, {5000, 391}};
    for (const auto& c : kCamera) {
        SCOPED_TRACE(c.x);
        ViDuzPlayer::Tileset_SetCamera(0, c.x, 0);
        EXPECT_EQ(ViDuzPlayer::Tileset_GetCameraX(0), c.expect);   // 992 - 600 - 1
    }
    EXPECT_EQ(ViDuzPlayer::Tileset_GetCameraX(4), -1);
    EXPECT_EQ(ViDuzPlayer::Tileset_GetCameraX(2), -1);   // not loaded
    ViDuzPlayer::Tileset_Destroy(0);
    EXPECT_EQ(ViDuzPlayer::Tileset_GetCameraX(0), -1);
    ViDuzPlayer::ReleaseStaticData();
}

TEST(Tileset, PaintSpriteFrameAtTheCameraOffset)
{
    test::GameStub game;
    test::RecordingTarget rec;
    ViDuzPlayer::Tileset_Init(600, 1024, 16, 16);
    CDataArray<unsigned char> tiles, flags;
    tiles.NewArray(100 * 100);
    const unsigned char header[4] = {100, 0, 100, 0};
    ViDuzPlayer::Tileset_LoadLayer(1, header, 0, tiles, flags, nullptr, 0, 0, 2, 2);
    ViDuzPlayer::Tileset_SetCamera(1, 40, 30);

    fs::Sprite f;
    f.addImageModule(0, 0, 0, 8, 8);
    f.addFrame({{0, 5, 6, 0}});
    const auto bytes = fs::Write(f);
    CAISprite sprite;
    ASSERT_TRUE(sprite.Load(bytes.data(), bytes.size()));
    sprite.m_textures = {test::SizedTexture::make(16, 16)};
    CAISprite::m_pCurrentTexture = nullptr;
    ViDuzPlayer::Tileset_PaintSpriteFrame(1, &sprite, 0, 100, 200, 0, 0);
    ASSERT_EQ(rec.quads.size(), 1u);
    EXPECT_EQ(rec.quads[0].left(), 100 - 40 + 5);
    EXPECT_EQ(rec.quads[0].top(), 200 + Display_Border_Top() - 30 + 6);
    ViDuzPlayer::ReleaseStaticData();
}

#include "framework/CGame.h"
#include "framework/CTouchPad.h"
#include "framework/GameInterface.h"
#include "framework/ScreenGeometry.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(CGame, ResolutionModesAndTouchScaling)
{
    CGame game;
    const struct {
        int mode;
        int window[2], logic[2], offset[2];
        int in[2], scaled[2];
    } kCases[] = {
        {2, {600, 1024}, {600, 1024}, {-20, 32}, {599, 1023}, {319, 479}},
        {1, {640, 960}, {640, 960}, {0, 0}, {639, 959}, {319, 479}},
        {4, {480, 800}, {640, 1067}, {0, 53}, {479, 799}, {319, 479}},
        {0, {320, 480}, {640, 960}, {0, 0}, {300, 400}, {300, 400}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.mode);
        game.SetResolutionMode(c.mode);
        EXPECT_EQ(game.GetWindowWidth(), c.window[0]);
        EXPECT_EQ(game.GetWindowHeigh(), c.window[1]);
        EXPECT_EQ(CGame::GetLogicWidth(), c.logic[0]);
        EXPECT_EQ(CGame::GetLogicHeigh(), c.logic[1]);
        EXPECT_EQ(CGame::GetLogicWidthOffset(), c.offset[0]);
        EXPECT_EQ(CGame::GetLogicHeighOffset(), c.offset[1]);
        int x = c.in[0], y = c.in[1];
        game.TranslateMousePositionTo480Size(&x, &y);
        EXPECT_EQ(x, c.scaled[0]);
        EXPECT_EQ(y, c.scaled[1]);
    }
    game.SetResolutionMode(2);
    EXPECT_EQ(X_BRICK3_TOUCH, 335);
    EXPECT_EQ(H_BRICK1_TOUCH, 168);
    game.SetAnimateInterval(1);
    EXPECT_EQ(game.GetFrameInterval(), 16);
}

TEST(CGame, ConfigurationLines)
{
    test::TempDir dir;
    std::string text = "first@hello^world\nno marker here\nends@\n@^^\n";
    text += std::string(300, 'y') + "@long\n";   // past the line buffer: the read stops there
    text += "after@never\n";
    const std::string path = dir.write("AndroidDevConfig.bin", text);
    CGame game;
    game.ReadConfigFile(path.c_str());
    EXPECT_STREQ(game.ConfigEntry(0), "hello world");
    EXPECT_STREQ(game.ConfigEntry(1), "");
    EXPECT_STREQ(game.ConfigEntry(2), "");
    EXPECT_STREQ(game.ConfigEntry(3), "  ");
    for (int line = 4; line < CGame::CONFIG_LINES; ++line)
        EXPECT_STREQ(game.ConfigEntry(line), "") << line;

    CGame untouched;
    untouched.ReadConfigFile(dir.file("missing.bin").c_str());
    for (int line = 0; line < CGame::CONFIG_LINES; ++line)
        EXPECT_STREQ(untouched.ConfigEntry(line), "");
}

TEST(CGame, VersionTextIsTerminated)
{
    CGame game;
    char out[16];
    std::memset(out, 'Z', sizeof out);
    game.GetVersion(out);
    EXPECT_STREQ(out, "1.0.2");
}

namespace {
struct SCamera : IGameInterface {
    int CameraX() override { return 100 << 8; }
    int CameraY() override { return 50 << 8; }
    bool HasProtagonistRacket() override { return racket; }
    bool racket = false;
};
} // namespace

TEST(CGame, ScreenConversionsAndRacketPosition)
{
    CGame game;
    game.SetResolutionMode(2);
    SCamera camera;
    SetGameInterface(&camera);
    EXPECT_EQ(LOGX_2_SCR(400 << 8), 400 - 100 + 21 - 300);
    EXPECT_EQ(LOGY_2_SCR(200 << 8), 512 - (200 - 50 + 94));
    pravik::core::vector3d<float> v{-1, -1, -1};
    EXPECT_FALSE(game.GetCurRacketPos(0, v));
    EXPECT_EQ(v.X, -1);
    camera.racket = true;
    EXPECT_FALSE(game.GetCurRacketPos(1, v));
    EXPECT_TRUE(game.GetCurRacketPos(0, v));
    EXPECT_EQ(v.X, 100);
    EXPECT_EQ(v.Y, 50);
    SetGameInterface(nullptr);
}

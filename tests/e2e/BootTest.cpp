// The whole program on the sample data, headless, driven by an input script: it starts, runs its
// frames and leaves cleanly, writing the shot the script asks for; damaged data (a truncated
// sprite, a missing sound archive, an empty table, a broken picture) never crashes it: it runs or
// exits with a reason.

#include "engine/io/CMemoryReadFile.h"
#include "engine/video/image/CImageLoaderPng.h"
#include "tests/e2e/GameRun.h"
#include "tests/support/TempDir.h"
#include "tests/tools/ToolRun.h"
#include "tests/tools/quendrax-data/SampleData.h"
#include "tools/formats/PackFolderWriter.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

using test::GameRun;
using test::play;

std::string sampleData()
{
    std::string why;
    const std::string root = test::sampleDataRoot(&why);
    EXPECT_FALSE(root.empty()) << why;
    return root;
}

TEST(E2E, BootsOnTheSampleDataAndWritesTheShot)
{
    const std::string root = sampleData();
    ASSERT_FALSE(root.empty());
    test::TempDir dir;
    // A copy: the run may write beside its data, and the shared copy stays as built.
    fs::copy(fs::path(root) / "app", dir.path() / "app", fs::copy_options::recursive);
    const GameRun r = play(dir.path(), "90 shot " + dir.file("shot.png") + "\n100 exit\n");
    ASSERT_FALSE(r.signalled) << r.err;
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string shot = test::readFile(dir.file("shot.png"));
    ASSERT_FALSE(shot.empty());
    pravik::io::CMemoryReadFile file(const_cast<char*>(shot.data()), int32_t(shot.size()), "shot.png", false);
    pravik::video::CImageLoaderPng png;
    const pravik::video::CImagePtr image = png.loadImage(&file);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->getDimension().Width, 600);
    EXPECT_EQ(image->getDimension().Height, 1024);
    EXPECT_NE(r.trace.find("100 exit"), std::string::npos) << r.trace;
}

// The boot path: logo with the initial loading for over 3 s, splash with the system loading,
// a tap, the main menu; the first launch (on a French device) saves twice with French as the
// language, the next launch not at all.
TEST(E2E, BootsThroughLogoAndSplashToTheMainMenu)
{
    const std::string root = sampleData();
    ASSERT_FALSE(root.empty());
    test::TempDir dir;
    fs::copy(fs::path(root) / "app", dir.path() / "app", fs::copy_options::recursive);
    const std::string script = "205 touch 1 300 512\n206 release 1 300 512\n260 touch 1 300 512\n"
                               "261 release 1 300 512\n270 exit\n";
    GameRun r = play(dir.path(), script, "LANG=fr_FR.UTF-8");
    ASSERT_FALSE(r.signalled) << r.err;
    EXPECT_EQ(r.status, 0) << r.err;
    std::istringstream lines(r.trace);
    std::string line, loads1, loads8;
    int logoFrame = -1, splashFrame = -1, menuFrame = -1, saves = 0, music = -1, tapSound = -1;
    while (std::getline(lines, line)) {
        std::istringstream in(line);
        int frame = 0;
        std::string what, a, b;
        in >> frame >> what >> a >> b;
        if (what == "state" && a == "1" && b == "2") logoFrame = frame;
        if (what == "state" && a == "2" && b == "5") splashFrame = frame;
        if (what == "state" && a == "5" && b == "26") menuFrame = frame;
        if (what == "load" && a == "1") loads1 += b + " ";
        if (what == "load" && a == "8") loads8 += b + " ";
        if (what == "save") ++saves;
        if (what == "music" && a == "1" && music < 0) music = frame;
        if (what == "sound" && a == "60") tapSound = frame;
    }
    EXPECT_NE(r.trace.find("state -1 1"), std::string::npos) << r.trace;
    EXPECT_EQ(loads1, "0 4 5 3 10 32 27 2 33 ");
    EXPECT_EQ(loads8, "57 58 59 60 61 62 63 64 65 66 67 6 9 11 32 16 18 17 19 20 26 21 28 33 ");
    ASSERT_GT(logoFrame, 0);
    EXPECT_GE(splashFrame - logoFrame, 188);   // over 3000 ms at 16 ms a frame
    EXPECT_GT(menuFrame, 260) << "a tap before the splash's loading ends does nothing";
    EXPECT_EQ(tapSound, 261);
    EXPECT_EQ(music, splashFrame + 1);
    EXPECT_EQ(saves, 2);
    const std::string save = test::readFile((dir.path() / "data/wzt5.sav").string());
    ASSERT_EQ(save.size(), 2000u);
    EXPECT_EQ(save[1], 1) << "the language";

    r = play(dir.path(), "20 exit\n", "LANG=fr_FR.UTF-8");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.trace.find("save"), std::string::npos) << r.trace;
}

// Without a layout layer, the splash picture's item and a global table the boot goes on to the
// main menu; what they would have filled stays empty.
TEST(E2E, MissingItemsStillReachTheMainMenu)
{
    const std::string root = sampleData();
    ASSERT_FALSE(root.empty());
    test::TempDir dir;
    fs::copy(fs::path(root) / "app", dir.path() / "app", fs::copy_options::recursive);
    for (const auto& [pack, row] : {std::pair{"14", 37}, {"15", 2}, {"16", 1}}) {
        const std::string item = formats::packs::ItemPath(pack, row);
        ASSERT_FALSE(item.empty()) << pack << " " << row;
        // A sprite item lives in the pack's picture folder as a sprite and its image.
        const fs::path data = dir.path() / "app/native/data";
        const fs::path sprite = data / (std::string(pack) + "_P") / fs::path(item).filename();
        int removed = 0;
        for (const fs::path& p : {data / item, fs::path(sprite.string() + ".bsprite"), fs::path(sprite.string() + ".png")})
            removed += fs::remove(p);
        ASSERT_GT(removed, 0) << item;
    }
    const GameRun r = play(dir.path(), "205 touch 1 300 512\n206 release 1 300 512\n260 touch 1 300 512\n"
                                       "261 release 1 300 512\n300 exit\n");
    ASSERT_FALSE(r.signalled) << r.err;
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.trace.find("state 5 26"), std::string::npos) << r.trace;
}

TEST(E2E, DamagedDataNeverCrashes)
{
    const std::string root = sampleData();
    ASSERT_FALSE(root.empty());
    const struct {
        const char* name;
        const char* path;  // in the data folder
        int keep;          // bytes kept; -1 removes the file
    } damages[] = {
        {"truncated splash sprite", "15_P/MMSplash.bsprite", 40},
        {"truncated logo sprite", "4/tessivar_logo.bsprite", 7},
        {"no sound archive", "3.bar", -1},
        {"empty cosine table", "1/COS.ARRAY", 0},
        {"broken picture", "15_P/MMSplash.png", 100},
        {"no logo picture", "4/tessivar_logo.png", -1},
    };
    for (const auto& d : damages) {
        SCOPED_TRACE(d.name);
        test::TempDir dir;
        fs::copy(fs::path(root) / "app", dir.path() / "app", fs::copy_options::recursive);
        const fs::path target = dir.path() / "app/native/data" / d.path;
        ASSERT_TRUE(fs::exists(target));
        if (d.keep < 0)
            fs::remove(target);
        else
            fs::resize_file(target, uintmax_t(d.keep));
        const GameRun r = play(dir.path(), "60 exit\n");
        EXPECT_FALSE(r.signalled) << r.err;
        // It runs to the end of the script, or stops with a reason on its error output.
        if (r.status != 0) {
            EXPECT_FALSE(r.err.empty());
        }
    }
}


// The boot screens' pixels: under the logo its frame 0 centred on black; under the splash the
// loading bar in 0xFFF5EC89 at y = 934 from x = 45, done x 510 / 23 pixels long.
TEST(E2E, LogoAndLoadingBarPixels)
{
    const std::string root = sampleData();
    ASSERT_FALSE(root.empty());
    test::TempDir dir;
    fs::copy(fs::path(root) / "app", dir.path() / "app", fs::copy_options::recursive);
    const int splashShot = 214;
    const GameRun r = play(dir.path(), "60 shot " + dir.file("logo.png") + "\n" + std::to_string(splashShot) +
                                           " shot " + dir.file("splash.png") + "\n220 exit\n");
    ASSERT_FALSE(r.signalled) << r.err;
    ASSERT_EQ(r.status, 0) << r.err;
    auto load = [&dir](const char* name) {
        const std::string bytes = test::readFile(dir.file(name));
        pravik::io::CMemoryReadFile file(const_cast<char*>(bytes.data()), int32_t(bytes.size()), name, false);
        return pravik::video::CImageLoaderPng().loadImage(&file);
    };

    const pravik::video::CImagePtr logo = load("logo.png");
    ASSERT_TRUE(logo);
    int left = 600, right = -1, top = 1024, bottom = -1;
    for (int y = 0; y < 1024; ++y)
        for (int x = 0; x < 600; ++x) {
            const pravik::video::SColor c = logo->getPixel(unsigned(x), unsigned(y));
            if (c.getRed() + c.getGreen() + c.getBlue() > 30) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
        }
    ASSERT_GE(right, left) << "the logo shows nothing";
    EXPECT_NEAR((left + right) / 2, 300, 4);    // centred
    EXPECT_NEAR((top + bottom) / 2, 512, 16);
    EXPECT_GT(left, 20);                        // on black
    EXPECT_GT(top, 100);

    // Steps done when the shot's frame painted: those traced up to that frame.
    std::istringstream lines(r.trace);
    std::string line;
    int done = 0;
    while (std::getline(lines, line)) {
        std::istringstream in(line);
        int frame = 0;
        std::string what, type;
        if (in >> frame >> what >> type && what == "load" && type == "8" && frame <= splashShot)
            ++done;
    }
    ASSERT_GT(done, 0);
    ASSERT_LT(done, 23);
    const pravik::video::CImagePtr splash = load("splash.png");
    ASSERT_TRUE(splash);
    const int length = done * 510 / 23;
    auto isBar = [&splash](int x, int y) {
        const pravik::video::SColor c = splash->getPixel(unsigned(x), unsigned(y));
        return std::abs(int(c.getRed()) - 0xF5) <= 2 && std::abs(int(c.getGreen()) - 0xEC) <= 2 &&
               std::abs(int(c.getBlue()) - 0x89) <= 2;
    };
    for (int y = 934; y < 943; ++y) {
        EXPECT_FALSE(isBar(44, y)) << y;
        for (int x = 45; x < 45 + length; ++x)
            ASSERT_TRUE(isBar(x, y)) << x << "," << y;
        EXPECT_FALSE(isBar(45 + length, y)) << y;
    }
    EXPECT_FALSE(isBar(100, 933));
    EXPECT_FALSE(isBar(100, 943));
}

}  // namespace

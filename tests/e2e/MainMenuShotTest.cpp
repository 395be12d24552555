// The main menu on the sample data, headless: booted by a script to the settled menu, its shot
// is probed where the menu draws (title, the three bricks with their captions, both link buttons,
// the two icons, the sky behind), with the sample data's palette. A menu that paints black, or
// leaves out a piece, fails a probe.

#include "engine/io/CMemoryReadFile.h"
#include "engine/video/image/CImageLoaderPng.h"
#include "tests/e2e/GameRun.h"
#include "tests/support/TempDir.h"
#include "tests/tools/quendrax-data/SampleData.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

namespace fs = std::filesystem;
using pravik::video::SColor;

struct Rgb {
    int r, g, b;
};

// Colours of the builder's palette as the menu shows them.
constexpr Rgb kTitleYellow{250, 210, 60};
constexpr Rgb kBrick0{250, 210, 60};    // yellow
constexpr Rgb kBrick1{128, 219, 232};   // light cyan
constexpr Rgb kBrick2{249, 192, 137};   // light orange
constexpr Rgb kStoreOrange{245, 140, 40};
constexpr Rgb kOnlineCyan{48, 160, 176};
constexpr Rgb kIconSky{70, 130, 220};

struct Region {
    int x, y, w, h;
};

class Shot {
public:
    explicit Shot(const std::string& png)
    {
        pravik::io::CMemoryReadFile file(const_cast<char*>(png.data()), int32_t(png.size()), "shot.png", false);
        pravik::video::CImageLoaderPng loader;
        m_image = loader.loadImage(&file);
    }
    bool valid() const { return m_image != nullptr; }

    // Pixels of the region within `tolerance` of the colour on every channel.
    int count(Region r, Rgb c, int tolerance = 30) const
    {
        int n = 0;
        for (int y = r.y; y < r.y + r.h; ++y)
            for (int x = r.x; x < r.x + r.w; ++x) {
                const SColor p = m_image->getPixel(unsigned(x), unsigned(y));
                if (std::abs(p.getRed() - c.r) <= tolerance && std::abs(p.getGreen() - c.g) <= tolerance &&
                    std::abs(p.getBlue() - c.b) <= tolerance)
                    ++n;
            }
        return n;
    }
    // Pixels of the caption font's red.
    int red(Region r) const
    {
        int n = 0;
        for (int y = r.y; y < r.y + r.h; ++y)
            for (int x = r.x; x < r.x + r.w; ++x) {
                const SColor p = m_image->getPixel(unsigned(x), unsigned(y));
                if (p.getRed() > 170 && p.getGreen() < 90 && p.getBlue() < 90)
                    ++n;
            }
        return n;
    }
    SColor at(int x, int y) const { return m_image->getPixel(unsigned(x), unsigned(y)); }

private:
    pravik::video::CImagePtr m_image;
};

TEST(E2EMainMenu, SettledMenuShowsEveryPiece)
{
    std::string why;
    const std::string root = test::sampleDataRoot(&why);
    ASSERT_FALSE(root.empty()) << why;
    test::TempDir dir;
    fs::copy(fs::path(root) / "app", dir.path() / "app", fs::copy_options::recursive);
    // Through the logo and the splash (two taps), then well past the menu's enter animations.
    const std::string script = "205 touch 1 300 512\n206 release 1 300 512\n260 touch 1 300 512\n"
                               "261 release 1 300 512\n420 shot " + dir.file("menu.png") + "\n421 exit\n";
    const test::GameRun r = test::play(dir.path(), script);
    ASSERT_FALSE(r.signalled) << r.err;
    ASSERT_EQ(r.status, 0) << r.err;
    ASSERT_NE(r.trace.find("state 5 26"), std::string::npos) << r.trace;
    const Shot shot(test::readFile(dir.file("menu.png")));
    ASSERT_TRUE(shot.valid());

    // The title, high in the middle, starting below the online button's corner (134 x 132).
    EXPECT_GT(shot.count({60, 140, 480, 100}, kTitleYellow), 4000);
    int titleTop = -1;
    for (int y = 0; y < 300 && titleTop < 0; ++y)
        if (shot.count({140, y, 320, 1}, kTitleYellow) > 0)
            titleTop = y;
    EXPECT_GE(titleTop, 132);

    // Each brick fills most of its touch rectangle and carries its caption.
    const struct {
        const char* why;
        Region touch;
        Rgb face;
    } bricks[] = {
        {"world map", {32, 582, 225, 168}, kBrick0},
        {"extras", {328, 570, 245, 156}, kBrick1},
        {"shop", {315, 736, 291, 193}, kBrick2},
    };
    for (const auto& b : bricks) {
        SCOPED_TRACE(b.why);
        const int area = b.touch.w * b.touch.h;
        EXPECT_GT(shot.count(b.touch, b.face), area / 3);
        EXPECT_GT(shot.red(b.touch), 150);   // the caption's letters
    }

    // The link buttons: online at the top left, the store at the top right; the two icons
    // centred on (56, 968) and (158, 968); the sky elsewhere (blue over red and green).
    EXPECT_GT(shot.count({0, 0, 120, 80}, kOnlineCyan), 3000);
    EXPECT_GT(shot.count({480, 4, 110, 60}, kStoreOrange), 2000);
    for (const int x : {56, 158}) {
        SCOPED_TRACE(x);
        EXPECT_GT(shot.count({x - 40, 928, 80, 80}, kIconSky, 45), 500);   // a shaded disc; the wall beside has < 50
    }
    for (const auto& [x, y] : {std::pair{300, 40}, {560, 380}, {20, 520}}) {
        SCOPED_TRACE(x);
        const SColor p = shot.at(x, y);
        EXPECT_GT(p.getBlue(), p.getRed() + 20);
        EXPECT_GT(p.getBlue(), p.getGreen());
    }
}

}  // namespace

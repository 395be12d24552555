// The GUI drawn by a GL ES device into a 600x1024 llvmpipe pbuffer: static texts in the built-in
// font and in DejaVu Sans, found again by their colours in the frame read back.

#include "engine/IDevice.h"
#include "engine/video/gl/COpenGLESDriver.h"
#include "engine/video/C2DDriver.h"
#include "engine/video/material/CMaterial.h"
#include "engine/gui/CGUIStaticText.h"
#include "engine/gui/CGUITTFont.h"
#include "engine/gui/IGUIEnvironment.h"
#include "engine/video/gl/GLDispatch.h"
#include "engine/video/material/CMaterialRendererManager.h"
#include "tests/engine/gui/GL2DMaterials.h"
#include "tests/engine/video/GLTestContext.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace test::gui {
namespace {

using namespace pravik;
using namespace pravik::gui;
using video::SColor;

const char* const DejaVu = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const SColor Background(10, 20, 60, 255);

struct Box {
    int left = 1 << 20, top = 1 << 20, right = -1, bottom = -1;  // right and bottom exclusive
    int count = 0;
};

class Frame {
public:
    Frame() : m_pixels(600 * 1024 * 4)
    {
        video::g_gl.glFinish();
        video::g_gl.glReadPixels(0, 0, 600, 1024, GL_RGBA, GL_UNSIGNED_BYTE, m_pixels.data());
    }
    // Screen coordinates: (0, 0) is the upper-left corner.
    SColor at(int x, int y) const
    {
        const unsigned char* p = &m_pixels[(size_t(1023 - y) * 600 + size_t(x)) * 4];
        return {p[0], p[1], p[2], p[3]};
    }
    Box find(const std::function<bool(SColor)>& match, core::rect<int> area = {0, 0, 600, 1024}) const
    {
        Box b;
        for (int y = std::max(area.UpperLeftCorner.Y, 0); y < std::min(area.LowerRightCorner.Y, 1024); ++y)
            for (int x = std::max(area.UpperLeftCorner.X, 0); x < std::min(area.LowerRightCorner.X, 600); ++x)
                if (match(at(x, y))) {
                    b.left = std::min(b.left, x);
                    b.top = std::min(b.top, y);
                    b.right = std::max(b.right, x + 1);
                    b.bottom = std::max(b.bottom, y + 1);
                    ++b.count;
                }
        return b;
    }

private:
    std::vector<unsigned char> m_pixels;
};

bool near(SColor a, SColor b, int tolerance = 40)
{
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

// Anti-aliased yellow border, partly covered pixels included.
bool yellowish(SColor c) { return c.r > 90 && c.r > c.b + 60; }

// Anti-aliased green ink over the background, partly covered pixels included.
bool greenish(SColor c) { return c.g > 90 && c.g > c.r + 60 && c.g > c.b + 40; }

class GuiPixels : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(context.ok());
        video::CMaterialRendererManager::setBuiltInBuilder(&buildGL2DMaterialTypes);
        SCreationParameters parameters;
        parameters.DriverType = video::EDT_OGLES1;
        device = boost::intrusive_ptr<IDevice>(createDeviceEx(parameters), false);
        ASSERT_TRUE(device);
        env = device->getGUIEnvironment();
        ASSERT_TRUE(env);
        driver = device->getVideoDriver();
        auto* gl = dynamic_cast<video::COpenGLESDriver*>(driver);
        ASSERT_TRUE(gl);
        gl->setSubmitDraws(true);  // the driver only sets draws up unless asked
    }
    void TearDown() override
    {
        device.reset();
        video::CMaterialRendererManager::setBuiltInBuilder(nullptr);
    }
    void drawFrame()
    {
        driver->setClearColor(Background);
        driver->clearBuffers(1);
        driver->beginScene();
        driver->beginScene2D();
        env->drawAll();
        driver->endScene2D();
        driver->endScene();
    }
    IGUIStaticText* text(const wchar_t* caption, core::rect<int> r, SColor color, bool wrap = false)
    {
        IGUIStaticText* t = env->addStaticText(caption, r, false, wrap);
        t->setOverrideColor(color);
        return t;
    }

    video::test::GLTestContext context{600, 1024};
    boost::intrusive_ptr<IDevice> device;
    pravik::gui::IGUIEnvironment* env = nullptr;
    video::IVideoDriver* driver = nullptr;
};

TEST_F(GuiPixels, BuiltInFontTextLandsWhereItIsMeasured)
{
    const SColor red(255, 40, 40, 255), blue(60, 140, 255, 255);
    const core::rect<int> at(50, 50, 400, 100);
    text(L"Hello GUI", at, red);
    IGUIStaticText* wrapped = text(L"one two three four", {50, 300, 50 + 6 + 40, 400}, blue, true);
    drawFrame();
    const Frame frame;

    const core::dimension2d<int> dim = env->getBuiltInFont()->getDimension(L"Hello GUI");
    const Box box = frame.find([&](SColor c) { return near(c, red); });
    ASSERT_GT(box.count, 50);
    EXPECT_NEAR(box.left, at.UpperLeftCorner.X, 2);
    EXPECT_NEAR(box.top, at.UpperLeftCorner.Y, 2);
    EXPECT_NEAR(box.right, at.UpperLeftCorner.X + dim.Width, 2);
    EXPECT_NEAR(box.bottom, at.UpperLeftCorner.Y + dim.Height, 2);
    EXPECT_EQ(frame.at(40, 40), Background);
    EXPECT_EQ(frame.at(450, 75), Background);

    // Wrapped lines stack at the line height: each band of 10 rows holds one line's ink.
    const auto& lines = static_cast<CGUIStaticText*>(wrapped)->getBrokenText();
    ASSERT_GE(lines.size(), 3u);
    for (size_t i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(i);
        const int top = 300 + 10 * int(i);
        const Box line = frame.find([&](SColor c) { return near(c, blue); }, {50, top, 150, top + 10});
        EXPECT_GT(line.count, 5);
        EXPECT_NEAR(line.top, top + 2, 2);
    }
    EXPECT_EQ(frame.find([&](SColor c) { return near(c, blue); }, {0, 300 + 10 * int(lines.size()), 600, 1024}).count, 0);
}

TEST_F(GuiPixels, TrueTypeTextAndItsBorder)
{
    const SColor green(40, 255, 40, 255), yellow(255, 230, 0, 255);
    pravik::gui::IGUITTFont* font = env->getTTFont(DejaVu, 20);
    ASSERT_NE(font, nullptr);
    const core::rect<int> plainAt(40, 500, 560, 540);
    text(L"HELLO WORLD", plainAt, green)->setOverrideFont(font);

    // A second font of the same face and size, with a border of its own.
    boost::intrusive_ptr<pravik::gui::CGUITTFace> face(new pravik::gui::CGUITTFace(), false);
    ASSERT_TRUE(face->load(DejaVu));
    boost::intrusive_ptr<pravik::gui::CGUITTFont> bordered(new pravik::gui::CGUITTFont(driver), false);
    ASSERT_TRUE(bordered->attach(face.get(), 20, 0, SColor()));
    bordered->setBorder(8, yellow);
    const core::rect<int> borderAt(40, 700, 560, 740);
    text(L"HELLO", borderAt, green)->setOverrideFont(bordered.get());

    drawFrame();
    const Frame frame;

    const core::dimension2d<int> dim = font->getDimension(L"HELLO WORLD");
    const Box box = frame.find(greenish, {0, 480, 600, 600});
    ASSERT_GT(box.count, 100);
    EXPECT_NEAR(box.left, plainAt.UpperLeftCorner.X, 2);
    EXPECT_NEAR(box.right, plainAt.UpperLeftCorner.X + dim.Width, 2);
    EXPECT_NEAR(box.bottom, plainAt.UpperLeftCorner.Y + dim.Height, 2);  // capitals sit on the baseline
    EXPECT_GE(box.top, plainAt.UpperLeftCorner.Y);
    EXPECT_EQ(frame.find(yellowish, {0, 480, 600, 600}).count, 0);
    EXPECT_EQ(frame.at(20, 520), Background);

    // The border colour rings the glyphs: left, right, above and below the text's ink.
    const Box ink = frame.find(greenish, {0, 680, 600, 780});
    const Box ring = frame.find(yellowish, {0, 680, 600, 780});
    ASSERT_GT(ink.count, 50);
    ASSERT_GT(ring.count, 50);
    EXPECT_LT(ring.left, ink.left);
    EXPECT_GT(ring.right, ink.right);
    EXPECT_LT(ring.top, ink.top);
    EXPECT_GT(ring.bottom, ink.bottom);
}

}  // namespace
}  // namespace test::gui

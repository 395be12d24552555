// The GUI's drawAll of 1,000 static texts of 20 characters in the built-in font on llvmpipe,
// against one hand-written glDrawArrays of the same 20,000 glyph quads from client arrays.
// Counters: GL draws per frame (counted outside the timed loop). Time: CPU time per frame up
// to glFinish.

#include <benchmark/benchmark.h>

#include <vector>

#include "bench/HeadlessGL.h"
#include "engine/EngineServices.h"
#include "engine/core/ProcessBuffer.h"
#include "engine/gui/CGUIEnvironment.h"
#include "engine/gui/CGUIFont.h"
#include "engine/gui/IGUISpriteBank.h"
#include "engine/gui/IGUIStaticText.h"
#include "engine/io/CFileSystem.h"
#include "engine/video/C2DDriver.h"
#include "engine/video/ITexture.h"
#include "engine/video/gl/CGLCallRecorder.h"
#include "engine/video/gl/COpenGLESDriver.h"
#include "engine/video/gl/COpenGLESDriver_resources.h"
#include "engine/video/material/CMaterial.h"
#include "tests/engine/gui/GL2DMaterials.h"

using namespace pravik;
using namespace pravik::video;

namespace {

constexpr int Texts = 1000;
constexpr int Characters = 20;

const wchar_t* textOf(int i)
{
    static const wchar_t* const samples[] = {L"Quendrax bricks 0123", L"The quick brown fox!", L"Level 42: high score",
                                             L"Menu, options, sound"};
    return samples[i % 4];
}

struct SGui {
    CEngineServicesScope services;  // outlives the driver
    COpenGLESDriver* driver = nullptr;
    C2DDriver* drawer = nullptr;
    boost::intrusive_ptr<io::IFileSystem> fileSystem;
    gui::CGUIEnvironment* env = nullptr;

    SGui()
    {
        core::setProcessBufferHeapSize(0x10000);
        if (!bench::headlessGL())
            return;
        CMaterialRendererManager::setBuiltInBuilder(&test::gui::buildGL2DMaterialTypes);
        driver = createOpenGLES1Driver(nullptr, {600, 1024});
        if (!driver)
            return;
        driver->setSubmitDraws(true);
        drawer = new C2DDriver(driver);
        driver->set2DDriver(drawer);
        fileSystem = new io::CFileSystem();
        env = new gui::CGUIEnvironment(fileSystem.get(), driver, nullptr);
        for (int i = 0; i < Texts; ++i) {
            const int x = (i % 5) * 120, y = (i / 5) * 5 % 1000;
            env->addStaticText(textOf(i), {x, y, x + 120, y + 12}, false, false)->setOverrideColor(SColor(255, 255, 255, 255));
        }
    }
    ~SGui()
    {
        if (env)
            env->drop();
        if (driver) {
            driver->set2DDriver(nullptr);
            drawer->drop();
            driver->drop();
        }
        CMaterialRendererManager::setBuiltInBuilder(nullptr);
    }
    void frame()
    {
        driver->beginScene();
        driver->beginScene2D();
        env->drawAll();
        driver->endScene2D();
        driver->endScene();
        g_gl.glFinish();
    }
};

SGui& gui()
{
    static SGui s;
    return s;
}

void BM_GuiDrawAllStaticTexts(benchmark::State& state)
{
    SGui& g = gui();
    if (!g.env) {
        state.SkipWithError("no GL ES context or driver");
        return;
    }
    g.frame();
    size_t draws = 0;
    {
        CGLCallRecorder recorder(false);
        g.frame();
        draws = recorder.count("glDrawArrays") + recorder.count("glDrawElements");
    }
    for (auto _ : state)
        g.frame();
    state.counters["gl_draws_per_frame"] = double(draws);
    state.counters["glyphs_per_frame"] = double(Texts * Characters);
}
BENCHMARK(BM_GuiDrawAllStaticTexts)->Unit(benchmark::kMillisecond);

// The same glyph quads as triangles in one client-array draw with the font's texture.
void BM_GuiHandWrittenGlyphQuads(benchmark::State& state)
{
    SGui& g = gui();
    if (!g.env) {
        state.SkipWithError("no GL ES context or driver");
        return;
    }
    auto* font = static_cast<gui::CGUIFont*>(g.env->getBuiltInFont());
    gui::IGUISpriteBank* bank = font->getSpriteBank();
    const boost::intrusive_ptr<ITexture> texture = bank->getTexture(0);
    const float tw = float(texture->getWidth()), th = float(texture->getHeight());
    std::vector<float> positions, coordinates;
    std::vector<unsigned char> colors;
    for (int i = 0; i < Texts; ++i) {
        float x = float((i % 5) * 120), y = float((i / 5) * 5 % 1000);
        for (const wchar_t* c = textOf(i); *c; ++c) {
            const auto& area = font->getAreas()[size_t(font->getAreaFromCharacter(*c))];
            const core::rect<int>& r = bank->getPositions()[bank->getSprites()[area.spriteno].Frames[0].rectangleNumber];
            const float w = float(r.getWidth()), h = float(r.getHeight());
            const float corners[6][2] = {{0, 0}, {w, 0}, {0, h}, {0, h}, {w, 0}, {w, h}};
            for (const auto& k : corners) {
                positions.insert(positions.end(), {x + k[0], y + k[1], 0.f});
                coordinates.insert(coordinates.end(), {(float(r.UpperLeftCorner.X) + k[0]) / tw,
                                                       (float(r.UpperLeftCorner.Y) + k[1]) / th});
                colors.insert(colors.end(), {255, 255, 255, 255});
            }
            x += w;
        }
    }
    const GLsizei vertices = GLsizei(positions.size() / 3);
    // GL state as the driver leaves it for 2D: reset the bits the hand-written draw relies on.
    g.driver->restoreShadowState();
    auto frame = [&] {
        g_gl.glMatrixMode(GL_PROJECTION);
        const GLfloat ortho[16] = {2.f / 600.f, 0, 0, 0, 0, -2.f / 1024.f, 0, 0, 0, 0, -1.f, 0, -1.f, 1.f, 0, 1.f};
        g_gl.glLoadMatrixf(ortho);
        g_gl.glMatrixMode(GL_MODELVIEW);
        g_gl.glLoadIdentity();
        g_gl.glDisable(GL_DEPTH_TEST);
        g_gl.glEnable(GL_BLEND);
        g_gl.glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        g_gl.glEnable(GL_TEXTURE_2D);
        g_gl.glBindTexture(GL_TEXTURE_2D, static_cast<COpenGLESDriver::CTexture*>(texture.get())->getGLName());
        g_gl.glEnableClientState(GL_VERTEX_ARRAY);
        g_gl.glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        g_gl.glEnableClientState(GL_COLOR_ARRAY);
        g_gl.glVertexPointer(3, GL_FLOAT, 0, positions.data());
        g_gl.glTexCoordPointer(2, GL_FLOAT, 0, coordinates.data());
        g_gl.glColorPointer(4, GL_UNSIGNED_BYTE, 0, colors.data());
        g_gl.glDrawArrays(GL_TRIANGLES, 0, vertices);
        g_gl.glFinish();
    };
    frame();
    for (auto _ : state)
        frame();
    g.driver->restoreShadowState();
    state.counters["gl_draws_per_frame"] = 1;
    state.counters["glyphs_per_frame"] = double(vertices / 6);
}
BENCHMARK(BM_GuiHandWrittenGlyphQuads)->Unit(benchmark::kMillisecond);

}  // namespace

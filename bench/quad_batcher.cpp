// 10,000 textured quads a frame through the quad batcher on llvmpipe (600x1024): as 100 runs
// over 4 textures (the 2D pass) and as 200 particle blocks over 8 textures (the group pass),
// beside a hand-written loop that copies the same quads into one client array and issues one
// glDrawElements per texture change. The "Counted" variants replace glDrawElements with a
// counter, leaving the CPU work alone; the others end each frame with glFinish.
// Counters: draws per frame.

#include <benchmark/benchmark.h>

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <cstring>
#include <vector>

#include "engine/core/ProcessBuffer.h"
#include "engine/video/gl/COpenGLESDriver.h"
#include "engine/video/gl/GLDispatch.h"
#include "framework/CM3DRender.h"
#include "framework/GLTextureName.h"
#include "framework/ScreenGeometry.h"

using namespace pravik;
using namespace pravik::video;

namespace {

constexpr int kQuads = 10000;

struct SContext {
    bool ok = false;
    COpenGLESDriver* driver = nullptr;
    std::vector<boost::intrusive_ptr<ITexture>> textures;
    SContext()
    {
        EGLDisplay display = eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr))
            return;
        const EGLint attributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_ES_BIT,
                                     EGL_RED_SIZE, 8, EGL_NONE};
        EGLConfig config;
        EGLint n = 0;
        if (!eglChooseConfig(display, attributes, &config, 1, &n) || n < 1)
            return;
        eglBindAPI(EGL_OPENGL_ES_API);
        const EGLint version[] = {EGL_CONTEXT_CLIENT_VERSION, 1, EGL_NONE};
        const EGLint size[] = {EGL_WIDTH, 600, EGL_HEIGHT, 1024, EGL_NONE};
        EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, version);
        EGLSurface surface = eglCreatePbufferSurface(display, config, size);
        if (!eglMakeCurrent(display, surface, surface, context) || !loadGLDispatch())
            return;
        core::setProcessBufferHeapSize(0x10000);
        driver = createOpenGLES1Driver(nullptr, {600, 1024});
        for (int i = 0; i < 8; ++i) {
            STextureDesc desc;
            desc.format = EPF_R8G8B8A8;
            desc.width = 16;
            desc.height = 16;
            auto t = driver->createTexture("bench", desc);
            std::memset(t->map(EBMA_CLIENT_WRITE), 0x80 + i, 16 * 16 * 4);
            t->unmap();
            t->bind();
            textures.push_back(t);
        }
        ScreenGeometry_SetMode(RESOLUTION_MODE_600X1024);
        ok = driver != nullptr;
    }
};

SContext& context()
{
    static SContext c;
    return c;
}

std::vector<M3DXVertex_XYZDT> makeQuads()
{
    std::vector<M3DXVertex_XYZDT> v(size_t(kQuads) * 4);
    for (int q = 0; q < kQuads; ++q) {
        const float x = float(q % 60) * 10, y = float(q / 60 % 100) * 10;
        M3DXVertex_XYZDT* c = &v[size_t(q) * 4];
        c[0] = {x, y, 0, 255, 255, 255, 255, 0, 0};
        c[1] = {x + 8, y, 0, 255, 255, 255, 255, 1, 0};
        c[2] = {x, y + 8, 0, 255, 255, 255, 255, 0, 1};
        c[3] = {x + 8, y + 8, 0, 255, 255, 255, 255, 1, 1};
    }
    return v;
}

size_t g_draws = 0;
void GL_APIENTRY countDraw(GLenum, GLsizei, GLenum, const void*)
{
    ++g_draws;
}

// Swaps glDrawElements for the counter while it lives when counted is set.
struct SDrawHook {
    decltype(g_gl.glDrawElements) saved = g_gl.glDrawElements;
    explicit SDrawHook(bool counted)
    {
        g_draws = 0;
        if (counted)
            g_gl.glDrawElements = countDraw;
    }
    ~SDrawHook() { g_gl.glDrawElements = saved; }
};

void finish(bool counted)
{
    if (!counted)
        g_gl.glFinish();
}

void BM_Batcher2DRuns(benchmark::State& state)
{
    const bool counted = state.range(0);
    if (!context().ok)
        return state.SkipWithError("no headless GL");
    const auto quads = makeQuads();
    CM3DRender batcher;
    size_t draws = 0;
    for (auto _ : state) {
        SDrawHook hook(counted);
        batcher.Begin2DRender();
        batcher.m_nBlendMode = 1;
        for (int run = 0; run < 100; ++run) {
            batcher.SetTexture(context().textures[size_t(run % 4)]);
            for (int q = 0; q < kQuads / 100; ++q)
                batcher.Blt(&quads[size_t(run * (kQuads / 100) + q) * 4]);
        }
        batcher.End2DRender();
        finish(counted);
        draws = counted ? g_draws : 100;
    }
    state.counters["draws"] = double(draws);
}
BENCHMARK(BM_Batcher2DRuns)->Arg(0)->Arg(1)->ArgName("counted");

void BM_BatcherParticleGroups(benchmark::State& state)
{
    const bool counted = state.range(0);
    if (!context().ok)
        return state.SkipWithError("no headless GL");
    const auto quads = makeQuads();
    CM3DRender batcher;
    batcher.m_vCameraPos = {0, 0, 512};   // as the render device places it
    size_t draws = 0;
    for (auto _ : state) {
        SDrawHook hook(counted);
        batcher.BeginScene();
        batcher.m_nBlendMode = 1;
        for (int block = 0; block < 200; ++block) {
            batcher.SetTexture(context().textures[size_t(block % 8)]);
            batcher.Blt(&quads[size_t(block * (kQuads / 200)) * 4], kQuads / 200);
        }
        batcher.Flsh3DRender();
        finish(counted);
        draws = counted ? g_draws : 8;
    }
    state.counters["draws"] = double(draws);
}
BENCHMARK(BM_BatcherParticleGroups)->Arg(0)->Arg(1)->ArgName("counted");

// The peer: the same quads written quad by quad into one client array (as a painter emits them),
// one draw per texture change.
void handLoop(benchmark::State& state, int changes, int perChange)
{
    const bool counted = state.range(0);
    if (!context().ok)
        return state.SkipWithError("no headless GL");
    const auto quads = makeQuads();
    std::vector<M3DXVertex_XYZDT> array(quads.size());
    std::vector<uint16_t> indices(size_t(perChange) * 6);
    for (int i = 0; i < perChange; ++i) {
        const uint16_t v = uint16_t(4 * i);
        const uint16_t q[6] = {v, uint16_t(v + 1), uint16_t(v + 2), uint16_t(v + 2), uint16_t(v + 1), uint16_t(v + 3)};
        std::memcpy(&indices[size_t(i) * 6], q, sizeof q);
    }
    const int textures = changes == 200 ? 8 : 4;
    // The batcher's projections: the 2D pass's top-left ortho, or the group pass's camera.
    core::CMatrix4<float> projection(core::EM4CONST_NOTHING), view;
    if (changes == 100) {
        projection[0] = 2.f / 600, projection[5] = -2.f / 1024, projection[10] = -1.f;
        projection[12] = -1.f, projection[13] = 1.f, projection[15] = 1.f;
    } else {
        projection = core::buildProjectionMatrixPerspectiveFov(1.5707964f, 600.f / 1024.f, 1.f, 10000.f);
        CM3DRender::fixUpProjectionMatrix(projection);
        view = core::buildCameraLookAtMatrix<float>({0, 0, 512}, {0, 0, 0}, {0, 1, 0});
    }
    g_gl.glMatrixMode(GL_PROJECTION);
    g_gl.glLoadMatrixf(projection.pointer());
    g_gl.glMatrixMode(GL_MODELVIEW);
    g_gl.glLoadMatrixf(view.pointer());
    g_gl.glDisable(GL_DEPTH_TEST);
    g_gl.glDisable(GL_CULL_FACE);
    size_t draws = 0;
    for (auto _ : state) {
        SDrawHook hook(counted);
        for (int q = 0; q < kQuads; ++q) {
            M3DXVertex_XYZDT* out = &array[size_t(q) * 4];
            std::memcpy(out, &quads[size_t(q) * 4], 4 * sizeof(M3DXVertex_XYZDT));
            out[0].z = out[1].z = out[2].z = out[3].z = 0.f;
        }
        benchmark::ClobberMemory();
        g_gl.glEnable(GL_TEXTURE_2D);
        g_gl.glEnable(GL_BLEND);
        g_gl.glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        g_gl.glEnableClientState(GL_VERTEX_ARRAY);
        g_gl.glEnableClientState(GL_COLOR_ARRAY);
        g_gl.glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        for (int c = 0; c < changes; ++c) {
            g_gl.glBindTexture(GL_TEXTURE_2D, GLTextureName(context().textures[size_t(c % textures)].get()));
            const M3DXVertex_XYZDT* base = &array[size_t(c * perChange) * 4];
            g_gl.glVertexPointer(3, GL_FLOAT, 24, base);
            g_gl.glColorPointer(4, GL_UNSIGNED_BYTE, 24, &base->r);
            g_gl.glTexCoordPointer(2, GL_FLOAT, 24, &base->u);
            g_gl.glDrawElements(GL_TRIANGLES, perChange * 6, GL_UNSIGNED_SHORT, indices.data());
        }
        finish(counted);
        draws = counted ? g_draws : size_t(changes);
    }
    state.counters["draws"] = double(draws);
}

void BM_HandLoop100Changes(benchmark::State& state)
{
    handLoop(state, 100, kQuads / 100);
}
BENCHMARK(BM_HandLoop100Changes)->Arg(0)->Arg(1)->ArgName("counted");

void BM_HandLoop200Changes(benchmark::State& state)
{
    handLoop(state, 200, kQuads / 200);
}
BENCHMARK(BM_HandLoop200Changes)->Arg(0)->Arg(1)->ArgName("counted");

} // namespace

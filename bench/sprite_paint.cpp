// 5,000 module paints a frame through CAISprite::PaintFrame (flips, the turn, scale and a clip
// that cuts a part of them) into the quad batcher, beside the same quads, recorded once, handed
// to CM3DRender::Blt directly. Only the CPU side: the 2D pass is opened, filled and not drawn.
// Counters: quads per frame.

#include <benchmark/benchmark.h>

#include "framework/CAISprite.h"
#include "framework/CBatchSpriteTarget.h"
#include "framework/CM3DRender.h"
#include "framework/ScreenGeometry.h"
#include "framework/ViDuz.h"
#include "tests/framework/RecordingTarget.h"
#include "tests/framework/SizedTexture.h"
#include "tools/formats/SpriteWriter.h"

#include <vector>

namespace {

namespace fs = formats::sprites;

constexpr int kPaints = 100;   // frames of 50 modules

// A frame of 50 modules of a 256 x 256 image, each with its own flips and turn.
struct SSprite {
    CAISprite sprite;
    boost::intrusive_ptr<pravik::video::ITexture> texture{test::SizedTexture::make(256, 256)};
    SSprite()
    {
        fs::Sprite f;
        std::vector<fs::FModule> fms;
        for (int i = 0; i < 50; ++i) {
            f.addImageModule(0, (i * 16) % 224, (i * 24) % 224, 16 + i % 16, 12 + i % 20);
            fms.push_back({i, (i % 10) * 24, (i / 10) * 30, i % 8});
        }
        f.addFrame(fms);
        const auto bytes = fs::Write(f);
        sprite.Load(bytes.data(), bytes.size());
        sprite.m_textures = {texture};
    }
    // Paints the 100 frames of one batch; positions run past the clip on every side.
    void paint()
    {
        for (int p = 0; p < kPaints; ++p) {
            const int x = -40 + (p % 10) * 64, y = -40 + (p / 10) * 110;
            const int scale = p % 3 == 0 ? 150 : p % 3 == 1 ? 100 : 75;
            sprite.PaintFrame(0, x, y, p & 3, 0, 0, 255, 0, scale, scale, nullptr, -1);
        }
    }
};

int quadsIn(const CM3DRender& batcher)
{
    int n = 0;
    for (int r = 0; r <= batcher.CurrentRun(); ++r)
        n += batcher.Run(r).count;
    return n;
}

SSprite& shared()
{
    static SSprite s;
    return s;
}

void setUp()
{
    ScreenGeometry_SetMode(RESOLUTION_MODE_600X1024);
    ViDuz::SetClip(20, 30, 560, 980);
}

void BM_SpritePaintFrame(benchmark::State& state)
{
    setUp();
    SSprite& s = shared();
    CM3DRender batcher;
    CBatchSpriteTarget target;
    SetSpriteTarget(&target);
    for (auto _ : state) {
        batcher.Begin2DRender();
        CAISprite::m_pCurrentTexture = nullptr;
        s.paint();
        benchmark::DoNotOptimize(batcher.Run(0).count);
    }
    state.counters["quads"] = double(quadsIn(batcher));
    SetSpriteTarget(nullptr);
}
BENCHMARK(BM_SpritePaintFrame);

void BM_SpriteQuadsBltDirect(benchmark::State& state)
{
    setUp();
    SSprite& s = shared();
    std::vector<M3DXVertex_XYZT> quads;
    {
        test::RecordingTarget rec;
        CBatchSpriteTarget().GetClip(rec.clip);   // the same clip as the painted variant
        CAISprite::m_pCurrentTexture = nullptr;
        s.paint();
        for (const auto& q : rec.quads)
            for (const auto& v : q.v)
                quads.push_back({v.x, v.y, v.z, v.u, v.v});
    }
    CM3DRender batcher;
    const int n = int(quads.size() / 4);
    for (auto _ : state) {
        batcher.Begin2DRender();
        batcher.SetTexture(s.texture);
        batcher.m_nBlendMode = 1;
        for (int q = 0; q < n; ++q)
            batcher.Blt(&quads[size_t(q) * 4]);
        benchmark::DoNotOptimize(batcher.Run(0).count);
    }
    state.counters["quads"] = double(quadsIn(batcher));
}
BENCHMARK(BM_SpriteQuadsBltDirect);

}  // namespace

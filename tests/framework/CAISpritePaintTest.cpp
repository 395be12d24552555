#include "engine/video/ITexture.h"
#include "framework/CAISprite.h"
#include "framework/CBatchSpriteTarget.h"
#include "framework/CM3DRender.h"
#include "framework/ViDuz.h"
#include "tests/framework/GameStub.h"
#include "tests/framework/RecordingTarget.h"
#include "tests/framework/SizedTexture.h"
#include "tools/formats/SpriteWriter.h"

#include <gtest/gtest.h>

namespace fs = formats::sprites;

namespace {

// One 256x128 texture; module 0 is (10, 20, 30, 40).
struct Paint : ::testing::Test {
    Paint()
    {
        texture = test::SizedTexture::make(256, 128);
        CAISprite::m_pCurrentTexture = nullptr;
    }
    void load(const fs::Sprite& f)
    {
        const auto bytes = fs::Write(f);
        ASSERT_TRUE(sprite.Load(bytes.data(), bytes.size()));
        sprite.m_textures = {texture};
        sprite.m_imageCount = 1;
    }
    static fs::Sprite oneModule(int fmFlags = 0, int fx = 0, int fy = 0)
    {
        fs::Sprite f;
        f.addImageModule(0, 10, 20, 30, 40);
        f.addFrame({{0, fx, fy, fmFlags}});
        return f;
    }
    const test::RecordingTarget::Quad& only() const
    {
        EXPECT_EQ(rec.quads.size(), 1u);
        return rec.quads.back();
    }
    // Texel of a quad corner (0 RB, 1 RT, 2 LB, 3 LT) in texel units.
    float U(const test::RecordingTarget::Quad& q, int k) const { return q.v[size_t(k)].u * 256.f * (sprite.m_halfTexel ? 2 : 1); }
    float V(const test::RecordingTarget::Quad& q, int k) const { return q.v[size_t(k)].v * 128.f * (sprite.m_halfTexel ? 2 : 1); }

    boost::intrusive_ptr<pravik::video::ITexture> texture;
    test::GameStub game;
    test::RecordingTarget rec;
    CAISprite sprite;
};

}  // namespace

TEST_F(Paint, ModuleBoxTexelsAndScale)
{
    load(oneModule());
    const struct { const char* why; int scale; int half; float l, t, r, b; } kCases[] = {
        {"plain", 100, 0, 100, 200, 130, 240},
        {"scale 50", 50, 0, 108, 210, 123, 230},
        {"scale 150", 150, 0, 93, 190, 138, 250},
        {"half texel", 100, 1, 100, 200, 130, 240},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        rec.quads.clear();
        sprite.m_halfTexel = c.half;
        sprite.PaintFrame(0, 100, 200, 0, 0, 0, 255, 0, c.scale, c.scale, nullptr, -1);
        const auto& q = only();
        EXPECT_EQ(q.kind, EQK_TEXTURED);
        EXPECT_EQ(q.left(), c.l); EXPECT_EQ(q.top(), c.t); EXPECT_EQ(q.right(), c.r); EXPECT_EQ(q.bottom(), c.b);
        EXPECT_EQ(q.texture, texture.get());
        // The whole module rectangle whatever the scale: u 10..40, v 20..60 texels.
        const float d = c.half ? 2.f : 1.f;
        EXPECT_FLOAT_EQ(q.v[3].u, 10.f / (256 * d)); EXPECT_FLOAT_EQ(q.v[0].u, 40.f / (256 * d));
        EXPECT_FLOAT_EQ(q.v[3].v, 20.f / (128 * d)); EXPECT_FLOAT_EQ(q.v[0].v, 60.f / (128 * d));
    }
}

TEST_F(Paint, RotationAndFrameOrigin)
{
    // The frame-module's own rotate bit: the box turns, top-left takes texel (left, bottom).
    load(oneModule(ROT_90));
    sprite.PaintFrame(0, 100, 200, 0);
    {
        const auto& q = only();
        EXPECT_EQ(q.left(), 100); EXPECT_EQ(q.right(), 140); EXPECT_EQ(q.top(), 200); EXPECT_EQ(q.bottom(), 230);
        EXPECT_EQ(U(q, 3), 10); EXPECT_EQ(V(q, 3), 60);
    }
    // Rotated by the caller about the frame origin (100, 200), module at (110, 220).
    rec.quads.clear();
    load(oneModule(0, 10, 20));
    sprite.PaintFrame(0, 100, 200, ROT_90);
    const auto& q = only();
    EXPECT_EQ(q.left(), 40); EXPECT_EQ(q.right(), 80); EXPECT_EQ(q.top(), 210); EXPECT_EQ(q.bottom(), 240);
}

TEST_F(Paint, Clipping)
{
    load(oneModule());
    const struct { int clip[4]; bool drawn; float l, t, r, b, u0, u1, v0, v1; } kCases[] = {
        {{110, 210, 120, 230}, true, 110, 210, 120, 230, 20, 30, 30, 50},
        {{130, 0, 600, 1024}, true, 130, 200, 130, 240, 40, 40, 20, 60},   // zero width
        {{131, 0, 600, 1024}, false, 0, 0, 0, 0, 0, 0, 0, 0},
        {{0, 0, 99, 1024}, false, 0, 0, 0, 0, 0, 0, 0, 0},
        {{0, 241, 600, 1024}, false, 0, 0, 0, 0, 0, 0, 0, 0},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.clip[0]);
        rec.quads.clear();
        std::copy(c.clip, c.clip + 4, rec.clip);
        sprite.PaintFrame(0, 100, 200, 0);
        ASSERT_EQ(rec.quads.size(), c.drawn ? 1u : 0u);
        if (!c.drawn)
            continue;
        const auto& q = rec.quads[0];
        EXPECT_EQ(q.left(), c.l); EXPECT_EQ(q.top(), c.t); EXPECT_EQ(q.right(), c.r); EXPECT_EQ(q.bottom(), c.b);
        EXPECT_EQ(U(q, 3), c.u0); EXPECT_EQ(U(q, 0), c.u1); EXPECT_EQ(V(q, 3), c.v0); EXPECT_EQ(V(q, 0), c.v1);
    }
}

TEST_F(Paint, CornerTable)
{
    // Screen corner <- texel corner for E & 7 (the caller's flags, G = 0) and the G & 7 == 7
    // exchange of rows 1/2 and 5/6. Corners LT, RT, LB, RB as (u, v).
    const float L = 10, R = 40, T = 20, B = 60;
    struct C { float u, v; };
    const C LT{L, T}, RT{R, T}, LB{L, B}, RB{R, B};
    const C rows[8][4] = {{LT, RT, LB, RB}, {RT, LT, RB, LB}, {LB, RB, LT, RT}, {RB, LB, RT, LT},
                          {LB, LT, RB, RT}, {RB, RT, LB, LT}, {LT, LB, RT, RB}, {RT, RB, LT, LB}};
    {
        for (int e = 0; e < 8; ++e) {
            SCOPED_TRACE(e);
            rec.quads.clear();
            load(oneModule());
            sprite.m_frameOriginX = sprite.m_frameOriginY = 300;   // the turn's pivot
            sprite.PaintModule(0, 300, 300, e, 0, 100, 100, 255, nullptr, -1);   // direct: E given
            ASSERT_EQ(rec.quads.size(), 1u);
            const auto& q = rec.quads[0];
            const C expect[4] = {rows[e][3], rows[e][1], rows[e][2], rows[e][0]};   // RB, RT, LB, LT
            for (int k = 0; k < 4; ++k) {
                EXPECT_EQ(U(q, k), expect[k].u) << k;
                EXPECT_EQ(V(q, k), expect[k].v) << k;
            }
        }
    }
    // Through a frame-module with G & 7 == 7 and caller flags f: E = f ^ 7, and rows 1/2 and
    // 5/6 exchange.
    const int swapped[8] = {0, 2, 1, 3, 4, 6, 5, 7};
    for (int f = 0; f < 8; ++f) {
        SCOPED_TRACE(f);
        rec.quads.clear();
        load(oneModule(7));
        sprite.PaintFrame(0, 300, 300, f);
        ASSERT_EQ(rec.quads.size(), 1u);
        const int row = swapped[f ^ 7];
        const auto& q = rec.quads[0];
        const C expect[4] = {rows[row][3], rows[row][1], rows[row][2], rows[row][0]};
        for (int k = 0; k < 4; ++k) {
            EXPECT_EQ(U(q, k), expect[k].u) << k;
            EXPECT_EQ(V(q, k), expect[k].v) << k;
        }
    }
}

TEST_F(Paint, BlendingAndBrickImages)
{
    fs::Sprite f;
    f.addImageModule(0, 10, 20, 30, 40);
    f.addImageModule(0, 0, 0, 8, 8);
    f.addFrame({{0, 0, 0, 0}, {1, 50, 0, 0}});
    load(f);
    // Blending goes off only for a plain quad of module 0 while the game turns it off.
    game.dontUseAlphaBlend = true;
    sprite.PaintFrame(0, 100, 200, 0);
    sprite.PaintFrame(0, 100, 200, 0, 0, 0, 128, 0, 100, 100, nullptr, -1);
    ASSERT_EQ(rec.quads.size(), 4u);
    EXPECT_FALSE(rec.quads[0].blend);
    EXPECT_TRUE(rec.quads[1].blend);
    EXPECT_TRUE(rec.quads[2].blend);
    EXPECT_TRUE(rec.quads[3].blend);

    // The brick slots in palette 9 paint image 1 at image 0's size; 300 x 100 divides inexactly.
    boost::intrusive_ptr<pravik::video::ITexture> wide = test::SizedTexture::make(300, 100);
    boost::intrusive_ptr<pravik::video::ITexture> white = test::SizedTexture::make(64, 64);
    sprite.m_textures = {wide, white};
    sprite.m_palette = 9;
    const struct { int slot; pravik::video::ITexture* texture; } kCases[] = {
        {27, white.get()}, {28, white.get()}, {-1, wide.get()}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.slot);
        game.sprites[27] = game.sprites[28] = nullptr;
        if (c.slot >= 0)
            game.sprites[c.slot] = &sprite;
        rec.quads.clear();
        sprite.PaintFrame(0, 100, 200, 0);
        ASSERT_EQ(rec.quads.size(), 2u);
        const auto& q = rec.quads[0];
        EXPECT_EQ(q.texture, c.texture);
        EXPECT_EQ(rec.quads[1].texture, c.texture);
        EXPECT_EQ(q.v[3].u, 10.f / 300.f);
        EXPECT_EQ(q.v[0].u, 40.f / 300.f);
        EXPECT_EQ(q.v[0].v, 60.f / 100.f);
    }
}

TEST_F(Paint, OpacityPaletteAndShapes)
{
    load(oneModule());
    const struct { int alpha, palette; EQuadKind kind; uint8_t r, g, b, a; } kCases[] = {
        {255, -1, EQK_TEXTURED, 0, 0, 0, 0},
        {128, -1, EQK_COLOURED_TEXTURED, 255, 255, 255, 128},
        {255, 12, EQK_COLOURED_TEXTURED, 230, 60, 180, 255},
        {200, -5, EQK_COLOURED_TEXTURED, 255, 0, 0, 200},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.palette);
        rec.quads.clear();
        sprite.PaintFrame(0, 100, 200, 0, 0, 0, c.alpha, 0, 100, 100, nullptr, c.palette);
        const auto& q = only();
        EXPECT_EQ(q.kind, c.kind);
        if (c.kind != EQK_TEXTURED) {
            EXPECT_EQ(q.v[0].r, c.r); EXPECT_EQ(q.v[0].g, c.g); EXPECT_EQ(q.v[0].b, c.b); EXPECT_EQ(q.v[0].a, c.a);
        }
    }

    fs::Sprite f;
    fs::Module grad;
    grad.type = 0xF7; grad.colour = 0xFF112233; grad.colour2 = 0xFF445566; grad.direction = 1; grad.w = 8; grad.h = 9;
    fs::Module rect;
    rect.type = 0xFE; rect.colour = 0x80302010; rect.w = 5; rect.h = 7;
    f.modules = {grad, rect};
    f.addFrame({});
    load(f);
    sprite.PaintModule(0, 1, 2, FLIP_X, 0, 100, 100, 255, nullptr, -1);
    sprite.PaintModule(0, 1, 2, ROT_90, 0, 100, 100, 255, nullptr, -1);
    ASSERT_EQ(rec.gradients.size(), 2u);
    EXPECT_EQ(rec.gradients[0].c1, 0xFF445566u);   // swapped by the flip
    EXPECT_EQ(rec.gradients[0].kind, 8);
    EXPECT_EQ(rec.gradients[1].c1, 0xFF112233u);
    EXPECT_EQ(rec.gradients[1].kind, 32);
    rec.quads.clear();
    sprite.PaintModule(1, 10, 20, ROT_90, 0, 100, 100, 255, nullptr, -1);
    const auto& q = only();
    EXPECT_EQ(q.kind, EQK_COLOURED);
    EXPECT_EQ(q.v[0].x, 10); EXPECT_EQ(q.v[0].y, 20);
    EXPECT_EQ(q.v[3].x, 17); EXPECT_EQ(q.v[3].y, 25);   // W and H swapped: 7 x 5
    EXPECT_EQ(q.v[0].r, 0x10); EXPECT_EQ(q.v[0].a, 0x80);
    // A frame with no frame-modules paints nothing and has the empty box.
    rec.quads.clear();
    sprite.PaintFrame(0, 5, 5, 0);
    EXPECT_TRUE(rec.quads.empty());
    int r[4] = {9, 9, 9, 9};
    sprite.GetFrameRect(r, 0, 0, 0, 0);
    EXPECT_EQ(r[0], 0); EXPECT_EQ(r[1], 0); EXPECT_EQ(r[2], 0); EXPECT_EQ(r[3], 0);
}

// The batcher target takes the paint's quads in place; what lands in the batcher's runs is what
// a recording target is handed: texture, blending, vertex form, every field, z 0.
TEST_F(Paint, TheBatcherGetsTheQuadsTheTargetIsHanded)
{
    fs::Sprite f;
    f.addImageModule(0, 10, 20, 30, 40);
    f.addImageModule(1, 0, 0, 8, 8);
    f.addFrame({{0, 0, 0, 0}, {1, 50, 0, ROT_90}, {0, 5, 60, 7}, {1, 70, 10, FLIP_X}, {0, 90, 5, 0}});
    load(f);
    boost::intrusive_ptr<pravik::video::ITexture> small = test::SizedTexture::make(64, 64);
    sprite.m_textures = {texture, small};
    game.dontUseAlphaBlend = true;
    int savedClip[4];
    std::copy(ViDuz::s_CurClip, ViDuz::s_CurClip + 4, savedClip);
    const struct { int flags, scale, alpha, palette, clip[4]; } kCases[] = {
        {0, 100, 255, -1, {0, 0, 599, 1023}},
        {3, 150, 255, -1, {20, 120, 90, 205}},
        {4, 75, 128, -1, {0, 0, 599, 1023}},
        {5, 100, 255, 4, {0, 0, 599, 1023}},
        {6, 100, 255, -1, {0, 0, 599, 1023}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.flags);
        rec.quads.clear();
        std::copy(c.clip, c.clip + 4, rec.clip);
        sprite.PaintFrame(0, 100, 200, c.flags, 0, 0, c.alpha, 0, c.scale, c.scale, nullptr, c.palette);
        ASSERT_GE(rec.quads.size(), 3u);

        CM3DRender batcher;
        CBatchSpriteTarget target;
        ViDuz::SetClip(c.clip[0], c.clip[1], c.clip[2] - c.clip[0] + 1, c.clip[3] - c.clip[1] + 1);
        SetSpriteTarget(&target);
        batcher.Begin2DRender();
        sprite.PaintFrame(0, 100, 200, c.flags, 0, 0, c.alpha, 0, c.scale, c.scale, nullptr, c.palette);
        SetSpriteTarget(&rec);

        size_t k = 0;
        for (int r = 0; r <= batcher.CurrentRun(); ++r) {
            const auto& run = batcher.Run(r);
            for (int i = 0; i < run.count; ++i, ++k) {
                ASSERT_LT(k, rec.quads.size());
                const auto& q = rec.quads[k];
                EXPECT_EQ(run.texture.get(), q.texture) << k;
                EXPECT_EQ(run.blend, q.blend ? 1 : 0) << k;
                const bool coloured = q.kind == EQK_COLOURED_TEXTURED;
                EXPECT_EQ(run.format, coloured ? M3DX_FVF_XYZDT : M3DX_FVF_XYZT) << k;
                for (int j = 0; j < 4; ++j) {
                    M3DXVertex_XYZDT v;
                    if (coloured) {
                        v = reinterpret_cast<const M3DXVertex_XYZDT*>(run.storage)[4 * i + j];
                    } else {
                        const auto t = reinterpret_cast<const M3DXVertex_XYZT*>(run.storage)[4 * i + j];
                        v = {t.x, t.y, t.z, 255, 255, 255, 255, t.u, t.v};
                    }
                    const auto& e = q.v[size_t(j)];
                    EXPECT_EQ(v.x, e.x); EXPECT_EQ(v.y, e.y); EXPECT_EQ(v.z, 0.f);
                    EXPECT_EQ(v.u, e.u); EXPECT_EQ(v.v, e.v);
                    EXPECT_EQ(v.r, e.r); EXPECT_EQ(v.g, e.g); EXPECT_EQ(v.b, e.b); EXPECT_EQ(v.a, e.a);
                }
            }
        }
        EXPECT_EQ(k, rec.quads.size());
    }
    std::copy(savedClip, savedClip + 4, ViDuz::s_CurClip);
}

#pragma once
// A sprite target that keeps every quad and shape it is handed, installed for its lifetime.

#include "framework/ISpriteTarget.h"

#include <array>
#include <vector>

namespace test {

struct RecordingTarget : ISpriteTarget {
    struct Quad {
        EQuadKind kind;
        std::array<M3DXVertex_XYZDT, 4> v;
        pravik::video::ITexture* texture;
        bool blend;
        float left() const { return v[3].x; }
        float top() const { return v[3].y; }
        float right() const { return v[0].x; }
        float bottom() const { return v[0].y; }
    };
    struct Gradient { int x, y, w, h; uint32_t c1, c2; int kind; };
    struct Line { int x0, y0, x1, y1; uint8_t r, g, b, a; };

    RecordingTarget() { SetSpriteTarget(this); }
    ~RecordingTarget() override { SetSpriteTarget(nullptr); }

    void SetTexture(pravik::video::ITexture* t) override { texture = t; }
    void SetAlphaBlend(bool on) override { blend = on; }
    void Blt(EQuadKind kind, const M3DXVertex_XYZDT q[4]) override
    {
        quads.push_back({kind, {q[0], q[1], q[2], q[3]}, texture, blend});
    }
    void DrawGradientRect(int x, int y, int w, int h, uint32_t c1, uint32_t c2, int kind) override
    {
        gradients.push_back({x, y, w, h, c1, c2, kind});
    }
    void SetColor(uint8_t r, uint8_t g, uint8_t b, uint8_t a) override { colour = {r, g, b, a}; }
    void DrawLine(int x0, int y0, int x1, int y1) override
    {
        lines.push_back({x0, y0, x1, y1, colour[0], colour[1], colour[2], colour[3]});
    }
    void GetClip(int c[4]) override { for (int i = 0; i < 4; ++i) c[i] = clip[i]; }

    int clip[4] = {0, 0, 600, 1024};
    pravik::video::ITexture* texture = nullptr;
    bool blend = true;
    std::array<uint8_t, 4> colour{};
    std::vector<Quad> quads;
    std::vector<Gradient> gradients;
    std::vector<Line> lines;
};

}  // namespace test

// Where sprite painting sends its quads and shapes: the quad batcher and the 2D drawing API
// behind one small interface, so painting can be recorded in tests. Quads are four
// M3DXVertex_XYZDT in the batcher's order; the kind says which vertex form the batcher takes
// (textured, coloured, or both).
#pragma once

#include "framework/M3DXVertex.h"

#include <cstdint>

namespace pravik::video {
class ITexture;
}
class CM3DRender;

enum EQuadKind { EQK_TEXTURED, EQK_COLOURED, EQK_COLOURED_TEXTURED };

class ISpriteTarget {
public:
    virtual ~ISpriteTarget() = default;
    virtual void SetTexture(pravik::video::ITexture* texture) = 0;  // the batcher's current texture
    virtual void SetAlphaBlend(bool on) = 0;
    virtual void Blt(EQuadKind kind, const M3DXVertex_XYZDT quad[4]) = 0;
    virtual void DrawGradientRect(int x, int y, int w, int h, uint32_t c1, uint32_t c2, int kind) = 0;
    virtual void SetColor(uint8_t r, uint8_t g, uint8_t b, uint8_t a) = 0;
    virtual void DrawLine(int x0, int y0, int x1, int y1) = 0;
    virtual void GetClip(int clip[4]) = 0;   // {left, top, right, bottom}, inclusive
    // An image module's quad with the texture and blending it needs, in one call: plain
    // (EQK_TEXTURED) or coloured (EQK_COLOURED_TEXTURED).
    virtual void BltImage(pravik::video::ITexture* texture, bool blend, const M3DXVertex_XYZT quad[4]);
    virtual void BltImage(pravik::video::ITexture* texture, bool blend, const M3DXVertex_XYZDT quad[4]);
    // A batcher whose BltImage is CBatchSpriteTarget::BltInto, so a paint may hand its image
    // quads straight to it; null (the default) sends every quad through BltImage.
    virtual CM3DRender* Batcher() { return nullptr; }
};

ISpriteTarget* SpriteTarget();                // null: painting draws nothing
void SetSpriteTarget(ISpriteTarget* target);  // not owned

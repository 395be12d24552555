// The sprite painter's real target: quads into the quad batcher, shapes through the 2D drawing
// API. The render device installs it for its lifetime.
#pragma once

#include "framework/ISpriteTarget.h"

class CBatchSpriteTarget : public ISpriteTarget {
public:
    void SetTexture(pravik::video::ITexture* texture) override;
    void SetAlphaBlend(bool on) override;
    void Blt(EQuadKind kind, const M3DXVertex_XYZDT quad[4]) override;
    void DrawGradientRect(int x, int y, int w, int h, uint32_t c1, uint32_t c2, int kind) override;
    void SetColor(uint8_t r, uint8_t g, uint8_t b, uint8_t a) override;
    void DrawLine(int x0, int y0, int x1, int y1) override;
    void GetClip(int clip[4]) override;
    void BltImage(pravik::video::ITexture* texture, bool blend, const M3DXVertex_XYZT quad[4]) override;
    void BltImage(pravik::video::ITexture* texture, bool blend, const M3DXVertex_XYZDT quad[4]) override;
};

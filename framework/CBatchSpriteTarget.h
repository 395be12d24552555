// The sprite painter's real target: quads into the quad batcher, shapes through the 2D drawing
// API. The render device installs it for its lifetime.
#pragma once

#include "framework/CM3DRender.h"
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
    CM3DRender* Batcher() override { return CM3DRender::GetM3DRender(); }

    // An image quad into the batcher with its texture and blending (a counted texture pointer
    // only when the texture changes); fill(V out[4]) writes the quad, in place when it can.
    template <typename V, typename Fill>
    [[gnu::always_inline]] static void BltInto(CM3DRender* b, pravik::video::ITexture* texture, bool blend,
                                               const Fill& fill)
    {
        if (b->CurrentTexture() != texture)
            b->SetTexture(boost::intrusive_ptr<pravik::video::ITexture>(texture));
        b->m_nBlendMode = blend ? 1 : 0;
        if (V* out = b->ReserveQuad<V>()) {
            fill(out);
            return;
        }
        V q[4];
        fill(q);
        b->Blt(q);
    }
};

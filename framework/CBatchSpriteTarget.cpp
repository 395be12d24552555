#include "framework/CBatchSpriteTarget.h"

#include "framework/CM3DRender.h"
#include "framework/M3DXVertex.h"
#include "framework/ViDuz.h"

void CBatchSpriteTarget::SetTexture(pravik::video::ITexture* texture)
{
    if (CM3DRender* b = CM3DRender::GetM3DRender())
        b->SetTexture(boost::intrusive_ptr<pravik::video::ITexture>(texture));
}

void CBatchSpriteTarget::SetAlphaBlend(bool on)
{
    if (CM3DRender* b = CM3DRender::GetM3DRender())
        b->m_nBlendMode = on ? 1 : 0;
}

namespace {

void bltInto(CM3DRender* b, EQuadKind kind, const M3DXVertex_XYZDT quad[4])
{
    switch (kind) {
    case EQK_TEXTURED: {
        M3DXVertex_XYZT q[4];
        for (int i = 0; i < 4; ++i)
            q[i] = {quad[i].x, quad[i].y, quad[i].z, quad[i].u, quad[i].v};
        b->Blt(q);
        break;
    }
    case EQK_COLOURED: {
        M3DXVertex_XYZD q[4];
        for (int i = 0; i < 4; ++i)
            q[i] = {quad[i].x, quad[i].y, quad[i].z, quad[i].r, quad[i].g, quad[i].b, quad[i].a};
        b->Blt(q);
        break;
    }
    case EQK_COLOURED_TEXTURED: b->Blt(quad); break;
    }
}

}  // namespace

void CBatchSpriteTarget::Blt(EQuadKind kind, const M3DXVertex_XYZDT quad[4])
{
    if (CM3DRender* b = CM3DRender::GetM3DRender())
        bltInto(b, kind, quad);
}

namespace {

template <typename V>
void copyQuad(V* out, const V* quad)
{
    for (int k = 0; k < 4; ++k) {
        out[k] = quad[k];
        out[k].z = 0.f;
    }
}

}  // namespace

void CBatchSpriteTarget::BltImage(pravik::video::ITexture* texture, bool blend, const M3DXVertex_XYZT quad[4])
{
    if (CM3DRender* b = CM3DRender::GetM3DRender())
        BltInto<M3DXVertex_XYZT>(b, texture, blend, [&](M3DXVertex_XYZT* out) { copyQuad(out, quad); });
}

void CBatchSpriteTarget::BltImage(pravik::video::ITexture* texture, bool blend, const M3DXVertex_XYZDT quad[4])
{
    if (CM3DRender* b = CM3DRender::GetM3DRender())
        BltInto<M3DXVertex_XYZDT>(b, texture, blend, [&](M3DXVertex_XYZDT* out) { copyQuad(out, quad); });
}

void CBatchSpriteTarget::DrawGradientRect(int x, int y, int w, int h, uint32_t c1, uint32_t c2, int kind)
{
    const int a = int(c1), b = int(c2);
    ViDuz::DrawGradientRect(x, y, w, h, a, b, kind);
}

void CBatchSpriteTarget::SetColor(uint8_t r, uint8_t g, uint8_t b, uint8_t a)
{
    ViDuz::SetColorRGBA(unsigned(a) << 24 | unsigned(r) << 16 | unsigned(g) << 8 | b);
}

void CBatchSpriteTarget::DrawLine(int x0, int y0, int x1, int y1) { ViDuz::DrawLine(x0, y0, x1, y1); }

void CBatchSpriteTarget::GetClip(int clip[4])
{
    clip[0] = ViDuz::s_CurClip[0];
    clip[1] = ViDuz::s_CurClip[1];
    clip[2] = ViDuz::s_CurClip[2] - 1;
    clip[3] = ViDuz::s_CurClip[3] - 1;
}

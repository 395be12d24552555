// Sprite painting: frames, frame-modules (nested frames), animation frames and modules, with
// flips, a 90-degree turn, per-axis scale, opacity, palette colours and the current clip. One
// quad per image module goes to the sprite target; records are decoded from the raw bytes.

#include "framework/CAISprite.h"

#include "engine/video/ITexture.h"
#include "framework/GameInterface.h"
#include "framework/ISpriteTarget.h"
#include "framework/ScreenGeometry.h"
#include "framework/ViDuz.h"

#include <algorithm>

static ISpriteTarget* g_spriteTarget = nullptr;
ISpriteTarget* SpriteTarget() { return g_spriteTarget; }
void SetSpriteTarget(ISpriteTarget* target) { g_spriteTarget = target; }

namespace {

// Screen corner <- texture corner, by E & 7: {top-left, top-right, bottom-left, bottom-right},
// each 0 LT, 1 RT, 2 LB, 3 RB.
enum { LT, RT, LB, RB };
const uint8_t kCorners[8][4] = {
    {LT, RT, LB, RB}, {RT, LT, RB, LB}, {LB, RB, LT, RT}, {RB, LB, RT, LT},
    {LB, LT, RB, RT}, {RB, RT, LB, LT}, {LT, LB, RT, RB}, {RT, RB, LT, LB}};

int sign(float v) { return v > 0 ? 1 : v < 0 ? -1 : 0; }

struct STexel {
    float u, v;
};

// Moves corner a toward corner b by d texels along the axis between them.
void pull(STexel& a, const STexel& b, int d)
{
    a.u += float(d * sign(b.u - a.u));
    a.v += float(d * sign(b.v - a.v));
}

}  // namespace

void CAISprite::PaintFrame(int frame, int x, int y, int flags)
{
    PaintFrame(frame, x, y, flags, 0, 0, 255, 0, 100, 100, nullptr, -1);
}

void CAISprite::PaintFrame(int frame, int x, int y, int flags, int hx, int hy, int alpha, int extra, int scaleX,
                           int scaleY, EXT_DRAW_INFO* info, int palette)
{
    if (frame < 0 || frame >= m_frameCount)
        return;
    m_curFrame = frame;
    m_frameOriginX = x;
    m_frameOriginY = y;
    const int n = m_frameFmCount[frame];
    for (int i = 0; i < n; ++i) {
        m_curFModule = i;
        PaintFModule(frame, i, x, y, flags, hx, hy, alpha, extra, scaleX, scaleY, info, palette);
    }
}

void CAISprite::PaintAFrame(int anim, int aframe, int x, int y, int flags, int hx, int hy, int alpha, int extra,
                            int scaleX, int scaleY, EXT_DRAW_INFO* info)
{
    if (anim < 0 || anim >= m_animCount || aframe < 0 || aframe >= m_animFrameCount[anim])
        return;
    m_curAnim = anim;
    m_curAFrame = aframe;
    const SAFrame af = AFrame(m_animFirst[anim] + aframe);
    m_lastAFrameDX = af.dx;
    m_lastAFrameDY = af.dy;
    const int ox = flags & FLIP_X ? hx + af.dx : hx - af.dx;
    const int oy = flags & FLIP_Y ? hy + af.dy : hy - af.dy;
    m_curFrame = af.frame;
    m_frameOriginX = x - ox;
    m_frameOriginY = y - oy;
    const int n = m_frameFmCount[af.frame];
    for (int i = 0; i < n; ++i) {
        m_curFModule = i;
        PaintFModule(af.frame, i, x - ox, y - oy, flags ^ (af.flags & 0x0F), ox, oy, alpha, extra, scaleX, scaleY,
                     info, -1);
    }
}

void CAISprite::PaintFModule(int frame, int i, int x, int y, int flags, int hx, int hy, int alpha, int extra,
                             int scaleX, int scaleY, EXT_DRAW_INFO* info, int palette)
{
    if (frame < 0 || frame >= m_frameCount || i < 0 || i >= m_frameFmCount[frame])
        return;
    const SFModule fm = FModule(m_frameFirst[frame] + i);
    int px = flags & FLIP_X ? x - fm.x : x + fm.x;
    int py = flags & FLIP_Y ? y - fm.y : y + fm.y;
    const int E = flags ^ (fm.flags & 0x0F);

    if (fm.flags & FM_NESTED) {
        const int savedFrame = m_curFrame, savedX = m_frameOriginX, savedY = m_frameOriginY;
        m_curFrame = fm.index;
        m_frameOriginX = px;
        m_frameOriginY = py;
        const int n = m_frameFmCount[fm.index];
        for (int j = 0; j < n; ++j)
            PaintFModule(fm.index, j, px, py, E, hx, hy, alpha, extra, scaleX, scaleY, info, palette);
        m_curFrame = savedFrame;
        m_frameOriginX = savedX;
        m_frameOriginY = savedY;
        return;
    }

    const int w = m_moduleW[fm.index], h = m_moduleH[fm.index];
    if (fm.flags & ROT_90) {
        if (flags & FLIP_X)
            px -= h;
        if (flags & FLIP_Y)
            py -= w;
        m_rotCompX = flags & FLIP_X;
        m_rotCompY = flags & FLIP_Y;
    } else {
        if (flags & FLIP_X)
            px -= w;
        if (flags & FLIP_Y)
            py -= h;
        m_rotCompX = m_rotCompY = false;
    }
    if (m_fmoduleSize >= 10) {
        extra += fm.extra;
        scaleX = scaleX * fm.scaleX / 100;
        scaleY = scaleY * fm.scaleY / 100;
    }
    m_curFModuleFlags = fm.flags;
    PaintModule(fm.index, px, py, E, extra, scaleX, scaleY, alpha, info, palette);
    m_curFModuleFlags = 0;
}

void CAISprite::PaintModule(int module, int x, int y, int flags, int, int scaleX, int scaleY, int alpha,
                            EXT_DRAW_INFO* info, int palette)
{
    ISpriteTarget* target = SpriteTarget();
    if (module < 0 || module >= m_moduleCount)
        return;
    const int kind = m_moduleKind[module];
    const int mw = m_moduleW[module], mh = m_moduleH[module];
    const int E = flags;
    const int G = m_curFModuleFlags;

    if (kind == MODULE_RECT || kind == MODULE_GRADIENT) {
        if (!target || mw < 1 || mh < 1 || x >= Screen_Width() || y >= Screen_Height() || x + mw < 0 || y + mh < 0)
            return;
        const uint32_t c = m_moduleColor[module];
        if (kind == MODULE_RECT) {
            const int W = E & ROT_90 ? mh : mw, H = E & ROT_90 ? mw : mh;
            M3DXVertex_XYZDT q[4];
            const int xs[4] = {x, x + W, x, x + W}, ys[4] = {y, y, y + H, y + H};
            for (int k = 0; k < 4; ++k) {
                q[k].x = float(xs[k]);
                q[k].y = float(ys[k]);
                q[k].r = uint8_t(c);
                q[k].g = uint8_t(c >> 8);
                q[k].b = uint8_t(c >> 16);
                q[k].a = uint8_t(c >> 24);
            }
            target->SetAlphaBlend(true);
            target->Blt(EQK_COLOURED, q);
            return;
        }
        uint32_t c1 = c, c2 = m_moduleColor2.empty() ? 0 : m_moduleColor2[module];
        const int dir = m_moduleDirection.empty() ? 0 : m_moduleDirection[module];
        if (((E & FLIP_X) && (dir == 0 || dir == 1)) || ((E & FLIP_Y) && (dir == 2 || dir == 3)))
            std::swap(c1, c2);
        int gk = dir == 0 ? 4 : dir == 1 ? 8 : dir == 2 ? 16 : 32;
        if (E & ROT_90)
            gk = gk == 4 ? 16 : gk == 8 ? 32 : gk == 16 ? 8 : 4;
        target->DrawGradientRect(x, y, mw, mh, c1, c2, gk);
        return;
    }
    if (kind != MODULE_IMAGE || m_textures.empty())
        return;

    // 1. Image, with the white-brick exchange of the two brick sprite slots.
    size_t image = m_moduleImage[module];
    size_t sizeImage = image;
    if (m_palette == 9 && (GameInterface().Sprite(27) == this || GameInterface().Sprite(28) == this)) {
        image = 1;
        sizeImage = 0;
    }
    if (image >= m_textures.size() || !m_textures[image] || sizeImage >= m_textures.size() ||
        !m_textures[sizeImage])
        return;
    pravik::video::ITexture* texture = m_textures[image].get();

    // 2. A software target takes the module's pixels from the shared brick image instead.
    if (ViDuz::s_pSoftwareRenderBuffer) {
        ViDuz::BitBlt_Software(g_pImage.get(), x, y, m_moduleX[module], m_moduleY[module], mw, mh, E,
                               (G & ROT_90) || info);
        return;
    }

    // 3. Visibility.
    if (!target || mw < 1 || mh < 1 || x >= Screen_Width() || y >= Screen_Height())
        return;

    // 4. Scale about the unscaled box's centre.
    int W = mw, H = mh;
    if (scaleX != 100 || scaleY != 100) {
        W = scaleX * mw / 100;
        H = scaleY * mh / 100;
        x -= (W - mw) >> 1;
        y -= (H - mh) >> 1;
    }

    // 5. Screen box.
    int L, T, R, B;
    if (!(E & ROT_90)) {
        L = x; R = x + W; T = y; B = y + H;
    } else if (G & ROT_90) {
        if ((E & 3) == FLIP_Y && m_rotCompY) {
            L = x + W - H; R = x + W;
        } else {
            L = x; R = x + H;
        }
        T = y; B = y + W;
    } else {
        int qx = m_frameOriginX, qy = m_frameOriginY;
        bool animRot = false;
        if (m_curAnim >= 0 && m_curAnim < m_animCount && m_curAFrame >= 0 &&
            m_curAFrame < m_animFrameCount[m_curAnim])
            animRot = AFrame(m_animFirst[m_curAnim] + m_curAFrame).flags & ROT_90;
        if (!animRot) {
            const int s = (E & 3) == 3 || (E & 3) == 2 ? 1 : -1;
            qx += s * m_lastAFrameDX;
            qy += s * m_lastAFrameDY;
        }
        L = qx + qy - y - H; R = qx + qy - y;
        T = qy + (x - qx); B = T + W;
    }

    // 6. Corners.
    const float u0 = m_moduleX[module], v0 = m_moduleY[module];
    const STexel corner[4] = {{u0, v0}, {u0 + mw, v0}, {u0, v0 + mh}, {u0 + mw, v0 + mh}};
    int row = E & 7;
    if ((G & 7) == 7) {
        static const int kSwap[8] = {0, 2, 1, 3, 4, 6, 5, 7};
        row = kSwap[row];
    }
    STexel tl = corner[kCorners[row][0]], tr = corner[kCorners[row][1]];
    STexel bl = corner[kCorners[row][2]], br = corner[kCorners[row][3]];

    // 7. Clip, moving texels one per clipped pixel.
    int clip[4];
    target->GetClip(clip);
    if (L > clip[2] || R < clip[0] || T > clip[3] || B < clip[1])
        return;
    if (L < clip[0]) {
        const int d = clip[0] - L;
        pull(tl, tr, d); pull(bl, br, d);
        L = clip[0];
    }
    if (R > clip[2]) {
        const int d = R - clip[2];
        pull(tr, tl, d); pull(br, bl, d);
        R = clip[2];
    }
    if (T < clip[1]) {
        const int d = clip[1] - T;
        pull(tl, bl, d); pull(tr, br, d);
        T = clip[1];
    }
    if (B > clip[3]) {
        const int d = B - clip[3];
        pull(bl, tl, d); pull(br, tr, d);
        B = clip[3];
    }

    // 8-10. The quad: (right, bottom), (right, top), (left, bottom), (left, top).
    const pravik::video::ITexture* sized = m_textures[sizeImage].get();
    const float tw = float(sized->getWidth() * (m_halfTexel ? 2 : 1));
    const float th = float(sized->getHeight() * (m_halfTexel ? 2 : 1));
    const bool plain = alpha == 255 && palette == -1;
    uint8_t colour[4] = {255, 255, 255, uint8_t(alpha)};
    if (palette != -1) {
        const int p = std::clamp(palette, 0, int(COLOR_COUNT) - 1);
        std::copy(ColorsDefinedForFont[p], ColorsDefinedForFont[p] + 3, colour);
    }
    M3DXVertex_XYZDT q[4];
    auto vertex = [&](M3DXVertex_XYZDT& v, int x, int y, STexel t) {
        v.x = float(x);
        v.y = float(y);
        v.z = 0.f;
        v.u = t.u / tw;
        v.v = t.v / th;
        v.r = colour[0]; v.g = colour[1]; v.b = colour[2]; v.a = colour[3];
    };
    vertex(q[0], R, B, br);
    vertex(q[1], R, T, tr);
    vertex(q[2], L, B, bl);
    vertex(q[3], L, T, tl);

    // 11. Texture and blending, then the quad.
    // Always handed on: other painters (ViDuz's images) and the batcher's flush change its
    // texture behind the sprites' back, and the batcher itself skips a texture it already has.
    m_pCurrentTexture = texture;
    target->SetTexture(texture);
    target->SetAlphaBlend(!(plain && module == 0 && GameInterface().DontUseAlphaBlend()));
    target->Blt(plain ? EQK_TEXTURED : EQK_COLOURED_TEXTURED, q);
}

void CAISprite::PaintModule_Line(int module, int x, int y, int flags, int, int, int, int, EXT_DRAW_INFO*, int)
{
    ISpriteTarget* target = SpriteTarget();
    if (!target || module < 0 || module >= m_moduleCount || m_moduleKind[module] != MODULE_LINE)
        return;
    const uint32_t c = m_moduleColor[module];  // 0xAARRGGBB
    target->SetColor(uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), uint8_t(c >> 24));
    const int w = m_moduleW[module], h = m_moduleH[module];
    if (flags & FLIP_X)
        target->DrawLine(x + w, y, x, y + h);
    else if (flags & FLIP_Y)
        target->DrawLine(x, y + h, x + w, y);
    else
        target->DrawLine(x, y, x + w, y + h);
}

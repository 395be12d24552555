// Sprite painting: frames, frame-modules (nested frames), animation frames and modules, with
// flips, a 90-degree turn, per-axis scale, opacity, palette colours and the current clip. One
// quad per image module goes to the sprite target; records are decoded from the raw bytes.
// What every module of one paint shares (target, clip, screen size, the brick exchange) is read
// once when the paint starts, and each quad reaches the target in one call.

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

void ISpriteTarget::BltImage(pravik::video::ITexture* texture, bool blend, const M3DXVertex_XYZT quad[4])
{
    M3DXVertex_XYZDT q[4];
    for (int k = 0; k < 4; ++k) {
        q[k].x = quad[k].x, q[k].y = quad[k].y, q[k].z = quad[k].z, q[k].u = quad[k].u, q[k].v = quad[k].v;
        q[k].r = q[k].g = q[k].b = q[k].a = 255;
    }
    SetTexture(texture);
    SetAlphaBlend(blend);
    Blt(EQK_TEXTURED, q);
}

void ISpriteTarget::BltImage(pravik::video::ITexture* texture, bool blend, const M3DXVertex_XYZDT quad[4])
{
    SetTexture(texture);
    SetAlphaBlend(blend);
    Blt(EQK_COLOURED_TEXTURED, quad);
}

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

// texel / size, by a reciprocal when the size is a power of two (the same float then).
struct STexelScale {
    float size = 1.f, inverse = 1.f;
    bool exact = true;
    void set(int n)
    {
        size = float(n);
        inverse = 1.f / size;
        exact = n > 0 && (n & (n - 1)) == 0;
    }
    [[gnu::always_inline]] void apply(float t[4]) const
    {
        if (exact) {
            t[0] *= inverse, t[1] *= inverse, t[2] *= inverse, t[3] *= inverse;
        } else {
            t[0] /= size, t[1] /= size, t[2] /= size, t[3] /= size;
        }
    }
};

// Moves corner a toward corner b by d texels along the axis between them.
void pull(STexel& a, const STexel& b, int d)
{
    a.u += float(d * sign(b.u - a.u));
    a.v += float(d * sign(b.v - a.v));
}

}  // namespace

struct CAISprite::SPaintContext {
    ISpriteTarget* target = nullptr;
    int clip[4] = {};
    int screenW = 0, screenH = 0;
    bool software = false;     // a software render buffer takes the modules
    bool brickWhite = false;   // a brick sprite slot in palette 9 paints image 1 at image 0's size
    mutable const pravik::video::ITexture* scaled = nullptr;   // the texture su and sv belong to
    mutable STexelScale su, sv;
};

// Installs a context for the paint it opens; nested paints reuse the outer one.
struct CAISprite::SPaintScope {
    explicit SPaintScope(CAISprite& s) : sprite(s), outer(!s.m_paint)
    {
        if (outer) {
            sprite.MakePaintContext(ctx);
            sprite.m_paint = &ctx;
        }
    }
    ~SPaintScope()
    {
        if (outer)
            sprite.m_paint = nullptr;
    }
    SPaintScope(const SPaintScope&) = delete;
    SPaintScope& operator=(const SPaintScope&) = delete;
    CAISprite& sprite;
    SPaintContext ctx;
    const bool outer;
};

void CAISprite::MakePaintContext(SPaintContext& ctx) const
{
    ctx.target = SpriteTarget();
    if (ctx.target)
        ctx.target->GetClip(ctx.clip);
    ctx.screenW = Screen_Width();
    ctx.screenH = Screen_Height();
    ctx.software = bool(ViDuz::s_pSoftwareRenderBuffer);
    ctx.brickWhite = m_palette == 9 && (GameInterface().Sprite(27) == this || GameInterface().Sprite(28) == this);
}

void CAISprite::PaintFModule(int frame, int i, int x, int y, int flags, int hx, int hy, int alpha, int extra,
                             int scaleX, int scaleY, EXT_DRAW_INFO* info, int palette)
{
    if (frame < 0 || frame >= m_frameCount || i < 0 || i >= m_frameFmCount[frame])
        return;
    paintFModule(frame, i, x, y, flags, hx, hy, alpha, extra, scaleX, scaleY, info, palette);
}

// The frame loops call this copy in place: a call of thirteen arguments costs about as much
// as the work of a frame-module.
inline __attribute__((always_inline)) void CAISprite::paintFModule(int frame, int i, int x, int y, int flags,
                                                                  int hx, int hy, int alpha, int extra,
                                                                  int scaleX, int scaleY, EXT_DRAW_INFO* info,
                                                                  int palette)
{
    const SFModule fm = FModule(m_frameFirst[frame] + i);
    int px = flags & FLIP_X ? x - fm.x : x + fm.x;
    int py = flags & FLIP_Y ? y - fm.y : y + fm.y;
    const int E = flags ^ (fm.flags & 0x0F);

    if (fm.flags & FM_NESTED) {
        const SPaintScope scope(*this);
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

void CAISprite::PaintFrame(int frame, int x, int y, int flags)
{
    PaintFrame(frame, x, y, flags, 0, 0, 255, 0, 100, 100, nullptr, -1);
}

void CAISprite::PaintFrame(int frame, int x, int y, int flags, int hx, int hy, int alpha, int extra, int scaleX,
                           int scaleY, EXT_DRAW_INFO* info, int palette)
{
    if (frame < 0 || frame >= m_frameCount)
        return;
    const SPaintScope scope(*this);
    m_curFrame = frame;
    m_frameOriginX = x;
    m_frameOriginY = y;
    const int n = m_frameFmCount[frame];
    for (int i = 0; i < n; ++i) {
        m_curFModule = i;
        paintFModule(frame, i, x, y, flags, hx, hy, alpha, extra, scaleX, scaleY, info, palette);
    }
}

void CAISprite::PaintAFrame(int anim, int aframe, int x, int y, int flags, int hx, int hy, int alpha, int extra,
                            int scaleX, int scaleY, EXT_DRAW_INFO* info)
{
    if (anim < 0 || anim >= m_animCount || aframe < 0 || aframe >= m_animFrameCount[anim])
        return;
    const SPaintScope scope(*this);
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
        paintFModule(af.frame, i, x - ox, y - oy, flags ^ (af.flags & 0x0F), ox, oy, alpha, extra, scaleX, scaleY,
                     info, -1);
    }
}

void CAISprite::PaintModule(int module, int x, int y, int flags, int, int scaleX, int scaleY, int alpha,
                            EXT_DRAW_INFO* info, int palette)
{
    if (module < 0 || module >= m_moduleCount)
        return;
    if (!m_paint) {   // a module painted on its own
        const SPaintScope scope(*this);
        CAISprite::PaintModule(module, x, y, flags, 0, scaleX, scaleY, alpha, info, palette);
        return;
    }
    const SPaintContext& ctx = *m_paint;
    ISpriteTarget* target = ctx.target;
    const int kind = m_moduleKind[module];
    const int mw = m_moduleW[module], mh = m_moduleH[module];
    const int E = flags;
    const int G = m_curFModuleFlags;

    if (kind == MODULE_RECT || kind == MODULE_GRADIENT) {
        if (!target || mw < 1 || mh < 1 || x >= ctx.screenW || y >= ctx.screenH || x + mw < 0 || y + mh < 0)
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
    if (ctx.brickWhite) {
        image = 1;
        sizeImage = 0;
    }
    if (image >= m_textures.size() || !m_textures[image] || sizeImage >= m_textures.size() ||
        !m_textures[sizeImage])
        return;
    pravik::video::ITexture* texture = m_textures[image].get();

    // 2. A software target takes the module's pixels from the shared brick image instead.
    if (ctx.software) {
        ViDuz::BitBlt_Software(g_pImage.get(), x, y, m_moduleX[module], m_moduleY[module], mw, mh, E,
                               (G & ROT_90) || info);
        return;
    }

    // 3. Visibility.
    if (!target || mw < 1 || mh < 1 || x >= ctx.screenW || y >= ctx.screenH)
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

    // 7 (first the cheap refusal). Wholly outside the clip: nothing.
    const int* clip = ctx.clip;
    if (L > clip[2] || R < clip[0] || T > clip[3] || B < clip[1])
        return;

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
    if (ctx.scaled != sized) {
        ctx.scaled = sized;
        ctx.su.set(sized->getWidth() * (m_halfTexel ? 2 : 1));
        ctx.sv.set(sized->getHeight() * (m_halfTexel ? 2 : 1));
    }
    float u[4] = {br.u, tr.u, bl.u, tl.u}, v[4] = {br.v, tr.v, bl.v, tl.v};
    ctx.su.apply(u);
    ctx.sv.apply(v);
    const float fl = float(L), ft = float(T), fr = float(R), fb = float(B);
    const bool plain = alpha == 255 && palette == -1;
    // Blending stays on except for a plain quad of module 0 while the game turns it off.
    // The texture is always handed on: other painters (ViDuz's images) and the batcher's
    // flush change it behind the sprites' back; the target skips one it already has.
    m_pCurrentTexture = texture;
    if (plain) {
        const M3DXVertex_XYZT q[4] = {{fr, fb, 0.f, u[0], v[0]},
                                      {fr, ft, 0.f, u[1], v[1]},
                                      {fl, fb, 0.f, u[2], v[2]},
                                      {fl, ft, 0.f, u[3], v[3]}};
        target->BltImage(texture, !(module == 0 && GameInterface().DontUseAlphaBlend()), q);
        return;
    }
    uint8_t c[4] = {255, 255, 255, uint8_t(alpha)};
    if (palette != -1) {
        const int p = std::clamp(palette, 0, int(COLOR_COUNT) - 1);
        std::copy(ColorsDefinedForFont[p], ColorsDefinedForFont[p] + 3, c);
    }
    const M3DXVertex_XYZDT q[4] = {{fr, fb, 0.f, c[0], c[1], c[2], c[3], u[0], v[0]},
                                   {fr, ft, 0.f, c[0], c[1], c[2], c[3], u[1], v[1]},
                                   {fl, fb, 0.f, c[0], c[1], c[2], c[3], u[2], v[2]},
                                   {fl, ft, 0.f, c[0], c[1], c[2], c[3], u[3], v[3]}};
    target->BltImage(texture, true, q);
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

// Sprite painting: frames, frame-modules (nested frames), animation frames and modules, with
// flips, a 90-degree turn, per-axis scale, opacity, palette colours and the current clip. One
// quad per image module goes to the sprite target; records are decoded from the raw bytes.
// What every module of one paint shares (target, clip, screen size, the brick exchange, the
// batcher) is read once when the paint starts; the record form is resolved once per frame, and
// a quad is written straight into the batcher's run when it joins it.

#include "framework/CAISprite.h"

#include "engine/video/ITexture.h"
#include "framework/CBatchSpriteTarget.h"
#include "framework/CM3DRender.h"
#include "framework/GameInterface.h"
#include "framework/ISpriteTarget.h"
#include "framework/ScreenGeometry.h"
#include "framework/ViDuz.h"

#include <algorithm>
#include <bit>
#include <cstring>

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

static_assert(std::endian::native == std::endian::little, "frame-module records are read with native loads");

template <typename T>
[[gnu::always_inline]] inline T load(const uint8_t* p)
{
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// A frame-module record of Size bytes (4 or 6, plus 6 with the extension) in fixed-size loads;
// the loader has checked every record of the sprite.
template <int Size>
[[gnu::always_inline]] inline CAISprite::SFModule decodeFModule(const uint8_t* p)
{
    constexpr bool wide = Size == 6 || Size == 12;
    constexpr int base = wide ? 6 : 4;
    CAISprite::SFModule r;
    if constexpr (wide) {
        r.x = load<int16_t>(p + 1);
        r.y = load<int16_t>(p + 3);
        r.flags = p[5];
    } else {
        const uint32_t w = load<uint32_t>(p);
        r.x = int(w >> 8 & 0xFF);
        r.y = int(w >> 16 & 0xFF);
        r.flags = int(w >> 24);
    }
    r.index = p[0] | (r.flags & 0xC0) << 2;
    if constexpr (Size > base) {
        r.extra = load<int16_t>(p + base);
        r.scaleX = load<int16_t>(p + base + 2);
        r.scaleY = load<int16_t>(p + base + 4);
    } else {
        r.extra = 0;
        r.scaleX = r.scaleY = 100;
    }
    return r;
}

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
    [[gnu::always_inline]] void apply(float& a, float& b) const
    {
        if (exact) {
            a *= inverse, b *= inverse;
        } else {
            a /= size, b /= size;
        }
    }
};

// An image quad to the batcher, written in place when it can be, else through the target.
template <typename V, typename Context, typename Fill>
[[gnu::always_inline]] inline void sendQuad(const Context& ctx, pravik::video::ITexture* texture, bool blend,
                                            const Fill& fill)
{
    if (ctx.batcher) {
        CBatchSpriteTarget::BltInto<V>(ctx.batcher, texture, blend, fill);
        return;
    }
    V q[4];
    fill(q);
    ctx.target->BltImage(texture, blend, q);
}

// Moves texel a toward texel b by d, one texel per clipped pixel.
[[gnu::always_inline]] inline void pull(int& a, int b, int d)
{
    a += d * ((b > a) - (b < a));
}

}  // namespace

struct CAISprite::SPaintContext {
    ISpriteTarget* target = nullptr;
    CM3DRender* batcher = nullptr;   // takes image quads directly; null: they go through the target
    int clip[4] = {};
    int screenW = 0, screenH = 0;
    bool software = false;     // a software render buffer takes the modules
    bool brickWhite = false;   // a brick sprite slot in palette 9 paints image 1 at image 0's size
    bool opaqueModule0 = false;   // the game turns blending off for plain quads of module 0
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
    if (ctx.target) {
        ctx.target->GetClip(ctx.clip);
        ctx.batcher = ctx.target->Batcher();
    }
    ctx.screenW = Screen_Width();
    ctx.screenH = Screen_Height();
    ctx.software = bool(ViDuz::s_pSoftwareRenderBuffer);
    ctx.brickWhite = m_palette == 9 && (GameInterface().Sprite(27) == this || GameInterface().Sprite(28) == this);
    ctx.opaqueModule0 = GameInterface().DontUseAlphaBlend();
}

void CAISprite::PaintFModule(int frame, int i, int x, int y, int flags, int hx, int hy, int alpha, int extra,
                             int scaleX, int scaleY, EXT_DRAW_INFO* info, int palette)
{
    if (frame < 0 || frame >= m_frameCount || i < 0 || i >= m_frameFmCount[frame])
        return;
    const SPaintScope scope(*this);
    const SPaintArgs a{hx, hy, alpha, extra, scaleX, scaleY, info, palette};
    switch (m_fmoduleSize) {
    case 4: paintFModules<4>(frame, i, i + 1, x, y, flags, a, false); break;
    case 6: paintFModules<6>(frame, i, i + 1, x, y, flags, a, false); break;
    case 10: paintFModules<10>(frame, i, i + 1, x, y, flags, a, false); break;
    default: paintFModules<12>(frame, i, i + 1, x, y, flags, a, false); break;
    }
}

// Frame-modules [begin, end) of a frame whose origin is (x, y), with the record form resolved
// once for the loop; `current` keeps the current frame-module index up to date.
template <int Size>
void CAISprite::paintFModules(int frame, int begin, int end, int x, int y, int flags, const SPaintArgs& a,
                              bool current)
{
    const uint8_t* p = m_fmodules.data() + (size_t(m_frameFirst[frame]) + size_t(begin)) * Size;
    for (int i = begin; i < end; ++i, p += Size) {
        if (current)
            m_curFModule = i;
        const SFModule fm = decodeFModule<Size>(p);
        int px = flags & FLIP_X ? x - fm.x : x + fm.x;
        int py = flags & FLIP_Y ? y - fm.y : y + fm.y;
        const int E = flags ^ (fm.flags & 0x0F);
        if (fm.flags & FM_NESTED) {
            paintNested(fm.index, px, py, E, a);
            continue;
        }
        const int w = m_moduleW[fm.index], h = m_moduleH[fm.index];
        const bool turned = fm.flags & ROT_90;
        if (flags & FLIP_X)
            px -= turned ? h : w;
        if (flags & FLIP_Y)
            py -= turned ? w : h;
        m_rotCompX = turned && (flags & FLIP_X);
        m_rotCompY = turned && (flags & FLIP_Y);
        int extra = a.extra, scaleX = a.scaleX, scaleY = a.scaleY;
        if constexpr (Size >= 10) {
            extra += fm.extra;
            scaleX = scaleX * fm.scaleX / 100;
            scaleY = scaleY * fm.scaleY / 100;
        }
        (void)extra;   // handed down, not used by module painting
        m_curFModuleFlags = fm.flags;
        // PaintModule is final: this is its body, its checks made here.
        if (fm.index < m_moduleCount)
            paintModule(fm.index, px, py, E, scaleX, scaleY, a.alpha, a.info, a.palette);
        m_curFModuleFlags = 0;
    }
}

void CAISprite::paintFrameModules(int frame, int x, int y, int flags, const SPaintArgs& a, bool current)
{
    const int n = m_frameFmCount[frame];
    switch (m_fmoduleSize) {
    case 4: paintFModules<4>(frame, 0, n, x, y, flags, a, current); break;
    case 6: paintFModules<6>(frame, 0, n, x, y, flags, a, current); break;
    case 10: paintFModules<10>(frame, 0, n, x, y, flags, a, current); break;
    default: paintFModules<12>(frame, 0, n, x, y, flags, a, current); break;
    }
}

// A nested frame at (px, py): the current frame and origin are the outer frame's again after it.
[[gnu::noinline, gnu::cold]] void CAISprite::paintNested(int frame, int px, int py, int flags, const SPaintArgs& a)
{
    const int savedFrame = m_curFrame, savedX = m_frameOriginX, savedY = m_frameOriginY;
    m_curFrame = frame;
    m_frameOriginX = px;
    m_frameOriginY = py;
    paintFrameModules(frame, px, py, flags, a, false);
    m_curFrame = savedFrame;
    m_frameOriginX = savedX;
    m_frameOriginY = savedY;
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
    paintFrameModules(frame, x, y, flags, {hx, hy, alpha, extra, scaleX, scaleY, info, palette}, true);
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
    paintFrameModules(af.frame, x - ox, y - oy, flags ^ (af.flags & 0x0F),
                      {ox, oy, alpha, extra, scaleX, scaleY, info, -1}, true);
}

void CAISprite::PaintModule(int module, int x, int y, int flags, int, int scaleX, int scaleY, int alpha,
                            EXT_DRAW_INFO* info, int palette)
{
    if (module < 0 || module >= m_moduleCount)
        return;
    const SPaintScope scope(*this);   // a module painted on its own opens its own paint
    paintModule(module, x, y, flags, scaleX, scaleY, alpha, info, palette);
}

// Rectangles and gradients; the other shapes draw nothing here.
[[gnu::noinline, gnu::cold]] void CAISprite::paintShape(int module, int x, int y, int E)
{
    const SPaintContext& ctx = *m_paint;
    ISpriteTarget* target = ctx.target;
    const int kind = m_moduleKind[module];
    const int mw = m_moduleW[module], mh = m_moduleH[module];
    if (kind != MODULE_RECT && kind != MODULE_GRADIENT)
        return;
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
}

// The turned box of a module whose frame-module has no rotate bit of its own: the unturned box
// (x, y, W, H) turns clockwise about the frame origin, moved by the last animation offset unless
// the current animation frame turns by itself.
[[gnu::noinline, gnu::cold]] void CAISprite::turnedBox(int x, int y, int W, int H, int E, int box[4]) const
{
    int qx = m_frameOriginX, qy = m_frameOriginY;
    bool animRot = false;
    if (m_curAnim >= 0 && m_curAnim < m_animCount && m_curAFrame >= 0 && m_curAFrame < m_animFrameCount[m_curAnim])
        animRot = AFrame(m_animFirst[m_curAnim] + m_curAFrame).flags & ROT_90;
    if (!animRot) {
        const int s = (E & 3) == 3 || (E & 3) == 2 ? 1 : -1;
        qx += s * m_lastAFrameDX;
        qy += s * m_lastAFrameDY;
    }
    box[0] = qx + qy - y - H;
    box[2] = qx + qy - y;
    box[1] = qy + (x - qx);
    box[3] = box[1] + W;
}

// A module of a running paint (m_paint set, index checked).
inline __attribute__((always_inline)) void CAISprite::paintModule(int module, int x, int y, int E, int scaleX,
                                                                 int scaleY, int alpha, EXT_DRAW_INFO* info,
                                                                 int palette)
{
    if (m_moduleKind[module] != MODULE_IMAGE) {
        paintShape(module, x, y, E);
        return;
    }
    const SPaintContext& ctx = *m_paint;
    const size_t images = m_textures.size();

    // 1. Image, with the white-brick exchange of the two brick sprite slots.
    size_t image = m_moduleImage[module];
    size_t sizeImage = image;
    if (ctx.brickWhite) {
        image = 1;
        sizeImage = 0;
    }
    if (image >= images || sizeImage >= images)
        return;
    pravik::video::ITexture* texture = m_textures[image].get();
    const pravik::video::ITexture* sized = m_textures[sizeImage].get();
    if (!texture || !sized)
        return;
    const int G = m_curFModuleFlags;
    const int mw = m_moduleW[module], mh = m_moduleH[module];

    // 2. A software target takes the module's pixels from the shared brick image instead.
    if (ctx.software) {
        ViDuz::BitBlt_Software(g_pImage.get(), x, y, m_moduleX[module], m_moduleY[module], mw, mh, E,
                               (G & ROT_90) || info);
        return;
    }

    // 3. Visibility.
    if (!ctx.target || mw < 1 || mh < 1 || x >= ctx.screenW || y >= ctx.screenH)
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
        L = (E & 3) == FLIP_Y && m_rotCompY ? x + W - H : x;
        R = L + H;
        T = y; B = y + W;
    } else {
        int box[4];
        turnedBox(x, y, W, H, E, box);
        L = box[0]; T = box[1]; R = box[2]; B = box[3];
    }

    // 7 (first the cheap refusal). Wholly outside the clip: nothing.
    const int* clip = ctx.clip;
    if (L > clip[2] || R < clip[0] || T > clip[3] || B < clip[1])
        return;

    // 6. Corners, as the texel span along each screen axis: rows 0-3 put u across and v down,
    // rows 4-7 v across and u down; the row's bits say which spans run backwards. G & 7 == 7
    // exchanges rows 1/2 and 5/6.
    int row = E & 7;
    if ((G & 7) == 7 && ((row ^ row >> 1) & 1))
        row ^= 3;
    const int u0 = m_moduleX[module], v0 = m_moduleY[module];
    const bool turned = row & 4;
    int a0 = turned ? v0 : u0, a1 = a0 + (turned ? mh : mw);   // across: left, right edge
    int d0 = turned ? u0 : v0, d1 = d0 + (turned ? mw : mh);   // down: top, bottom edge
    if (turned ? !(row & 2) : (row & 1))
        std::swap(a0, a1);
    if (row & (turned ? 1 : 2))
        std::swap(d0, d1);

    // 7. Clip, moving texels one per clipped pixel.
    if (L < clip[0]) {
        pull(a0, a1, clip[0] - L);
        L = clip[0];
    }
    if (R > clip[2]) {
        pull(a1, a0, R - clip[2]);
        R = clip[2];
    }
    if (T < clip[1]) {
        pull(d0, d1, clip[1] - T);
        T = clip[1];
    }
    if (B > clip[3]) {
        pull(d1, d0, B - clip[3]);
        B = clip[3];
    }

    // 8. Texel to texture coordinates.
    if (ctx.scaled != sized) {
        ctx.scaled = sized;
        ctx.su.set(sized->getWidth() * (m_halfTexel ? 2 : 1));
        ctx.sv.set(sized->getHeight() * (m_halfTexel ? 2 : 1));
    }
    float fa0 = float(a0), fa1 = float(a1), fd0 = float(d0), fd1 = float(d1);
    (turned ? ctx.sv : ctx.su).apply(fa0, fa1);
    (turned ? ctx.su : ctx.sv).apply(fd0, fd1);
    // Per corner (right, bottom), (right, top), (left, bottom), (left, top): u and v.
    float u[4], v[4];
    if (!turned) {
        u[0] = fa1, u[1] = fa1, u[2] = fa0, u[3] = fa0;
        v[0] = fd1, v[1] = fd0, v[2] = fd1, v[3] = fd0;
    } else {
        u[0] = fd1, u[1] = fd0, u[2] = fd1, u[3] = fd0;
        v[0] = fa1, v[1] = fa1, v[2] = fa0, v[3] = fa0;
    }

    // 9-11. The quad: (right, bottom), (right, top), (left, bottom), (left, top).
    const float fl = float(L), ft = float(T), fr = float(R), fb = float(B);
    // Blending stays on except for a plain quad of module 0 while the game turns it off.
    // The texture is always handed on: other painters (ViDuz's images) and the batcher's
    // flush change it behind the sprites' back; the target skips one it already has.
    m_pCurrentTexture = texture;
    if (alpha == 255 && palette == -1) {
        const auto fill = [&](M3DXVertex_XYZT* q) __attribute__((always_inline)) {
            q[0] = {fr, fb, 0.f, u[0], v[0]};
            q[1] = {fr, ft, 0.f, u[1], v[1]};
            q[2] = {fl, fb, 0.f, u[2], v[2]};
            q[3] = {fl, ft, 0.f, u[3], v[3]};
        };
        sendQuad<M3DXVertex_XYZT>(ctx, texture, !(module == 0 && ctx.opaqueModule0), fill);
        return;
    }
    uint8_t c[4] = {255, 255, 255, uint8_t(alpha)};
    if (palette != -1) {
        const int p = std::clamp(palette, 0, int(COLOR_COUNT) - 1);
        std::copy(ColorsDefinedForFont[p], ColorsDefinedForFont[p] + 3, c);
    }
    const auto fill = [&](M3DXVertex_XYZDT* q) __attribute__((always_inline)) {
        q[0] = {fr, fb, 0.f, c[0], c[1], c[2], c[3], u[0], v[0]};
        q[1] = {fr, ft, 0.f, c[0], c[1], c[2], c[3], u[1], v[1]};
        q[2] = {fl, fb, 0.f, c[0], c[1], c[2], c[3], u[2], v[2]};
        q[3] = {fl, ft, 0.f, c[0], c[1], c[2], c[3], u[3], v[3]};
    };
    sendQuad<M3DXVertex_XYZDT>(ctx, texture, true, fill);
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

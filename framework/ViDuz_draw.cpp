#include "framework/ViDuz.h"

#include "framework/CM3DRender.h"
#include "framework/GLTextureName.h"
#include "framework/GameInterface.h"
#include "framework/ScreenGeometry.h"

#include "engine/video/ITexture.h"
#include "engine/video/gl/GLDispatch.h"
#include "engine/video/image/CImage.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using pravik::video::CImage;
using pravik::video::g_gl;
using pravik::video::ITexture;
using pravik::video::SColor;

SColor ViDuz::s_CurColor(255, 255, 255, 255);
int ViDuz::s_CurClip[4] = {0, 0, 0, 0};
boost::intrusive_ptr<ITexture> ViDuz::s_pSoftwareRenderBuffer;
int ViDuz::s_SoftwareBitBltCount = 0;

const SColor COLOR_ALPHA_0_PERCENT(255, 255, 255, 0);
const SColor COLOR_ALPHA_10_PERCENT(255, 255, 255, 26);
const SColor COLOR_ALPHA_20_PERCENT(255, 255, 255, 52);
const SColor COLOR_ALPHA_40_PERCENT(255, 255, 255, 102);
const SColor COLOR_ALPHA_50_PERCENT(255, 255, 255, 128);
const SColor COLOR_ALPHA_60_PERCENT(255, 255, 255, 153);
const SColor COLOR_ALPHA_80_PERCENT(255, 255, 255, 205);
const SColor COLOR_ALPHA_100_PERCENT(255, 255, 255, 255);
namespace {

SColor fromArgb(unsigned argb)
{
    return SColor(uint8_t(argb >> 16), uint8_t(argb >> 8), uint8_t(argb), uint8_t(argb >> 24));
}

CM3DRender* batcher()
{
    return CM3DRender::GetM3DRender();
}

M3DXVertex_XYZD coloured(float x, float y, const SColor& c)
{
    return {x, y, 0.f, c.r, c.g, c.b, c.a};
}

} // namespace

void ViDuz::SetColor(unsigned int argb)
{
    s_CurColor = fromArgb(argb);
    if (s_CurColor.a == 0)
        s_CurColor.a = 255;
}

void ViDuz::SetColor(SColor color)
{
    s_CurColor = color;
    if (s_CurColor.a == 0)
        s_CurColor.a = 255;
}

void ViDuz::SetColorRGBA(unsigned int argb)
{
    s_CurColor = fromArgb(argb);
}

void ViDuz::SetClip(int x, int y, int w, int h)
{
    s_CurClip[0] = x;
    s_CurClip[1] = y;
    s_CurClip[2] = x + w;
    s_CurClip[3] = y + h;
}

void ViDuz::DrawGradientRect(int x, int y, int w, int h, const SColor& c1, const SColor& c2, int kind)
{
    if (x >= Screen_Width() || y >= Screen_Height() || x + w < 0 || y + h < 0)
        return;
    const SColor* corners[4];   // top-left, top-right, bottom-left, bottom-right
    switch (kind) {
    case 4: corners[0] = &c2, corners[1] = &c1, corners[2] = &c2, corners[3] = &c1; break;
    case 8: corners[0] = &c1, corners[1] = &c2, corners[2] = &c1, corners[3] = &c2; break;
    case 16: corners[0] = &c2, corners[1] = &c2, corners[2] = &c1, corners[3] = &c1; break;
    case 32: corners[0] = &c1, corners[1] = &c1, corners[2] = &c2, corners[3] = &c2; break;
    default: return;
    }
    CM3DRender* b = batcher();
    if (!b)
        return;
    const float fx = float(x), fy = float(y), fr = float(x + w), fb = float(y + h);
    const M3DXVertex_XYZD quad[4] = {coloured(fx, fy, *corners[0]), coloured(fr, fy, *corners[1]),
                                     coloured(fx, fb, *corners[2]), coloured(fr, fb, *corners[3])};
    b->m_nBlendMode = 1;
    b->Blt(quad);
}

void ViDuz::DrawGradientRect(int x, int y, int w, int h, const int& argb1, const int& argb2, int kind)
{
    DrawGradientRect(x, y, w, h, fromArgb(unsigned(argb1)), fromArgb(unsigned(argb2)), kind);
}

void ViDuz::FillRect(int x, int y, int w, int h)
{
    DrawGradientRect(x, y, w, h, s_CurColor, s_CurColor, 16);
}

void ViDuz::DrawRectFrame(int x, int y, int w, int h)
{
    FillRect(x, y, w, 2);
    FillRect(x, y + h, w, 2);
    FillRect(x, y, 2, h);
    FillRect(x + w, y, 2, h);
}

void ViDuz::FillTrapezoidal(int x0, int y0, int x1, int y1, int x2, int y2, int x3, int y3)
{
    CM3DRender* b = batcher();
    if (!b)
        return;
    const M3DXVertex_XYZD quad[4] = {coloured(float(x0), float(y0), s_CurColor), coloured(float(x1), float(y1), s_CurColor),
                                     coloured(float(x2), float(y2), s_CurColor), coloured(float(x3), float(y3), s_CurColor)};
    b->m_nBlendMode = 1;
    b->Blt(quad);
}

void ViDuz::DrawLine(ITexture* texture, int x0, int y0, int x1, int y1, int halfWidth)
{
    CM3DRender* b = batcher();
    if (!texture || !b)
        return;
    const float dx = float(x1 - x0), dy = float(y1 - y0);
    const float length = std::sqrt(dx * dx + dy * dy);
    // Equal end points: a band of no area (and no division by zero).
    const int ox = length > 0 ? int(dy * float(halfWidth) / length) : 0;
    const int oy = length > 0 ? int(-dx * float(halfWidth) / length) : 0;
    const M3DXVertex_XYZT quad[4] = {{float(x0 + ox), float(y0 + oy), 0.f, 0.f, 0.01f},
                                     {float(x0 - ox), float(y0 - oy), 0.f, 1.f, 0.01f},
                                     {float(x1 + ox), float(y1 + oy), 0.f, 0.f, 0.99f},
                                     {float(x1 - ox), float(y1 - oy), 0.f, 1.f, 0.99f}};
    b->SetTexture(texture);
    b->m_nBlendMode = 2;
    b->Blt(quad);
}

void ViDuz::DrawLine(int x0, int y0, int x1, int y1)
{
    DrawLine(GameInterface().LockLineTexture(), x0, y0, x1, y1, 10);
}

void ViDuz::Draw2DImage(ITexture* texture, int x, int y)
{
    CM3DRender* b = batcher();
    if (!texture || !b)
        return;
    const float l = float(x), t = float(y), r = float(x + texture->getWidth()), bt = float(y + texture->getHeight());
    const M3DXVertex_XYZT quad[4] = {{r, bt, 0.f, 1.f, 1.f}, {r, t, 0.f, 1.f, 0.f}, {l, bt, 0.f, 0.f, 1.f}, {l, t, 0.f, 0.f, 0.f}};
    b->SetTexture(texture);
    b->m_nBlendMode = 1;
    b->Blt(quad);
}

void ViDuz::Draw2DImage(ITexture* texture, int x, int y, int w, int h, int sx, int sy, int sw, int sh)
{
    CM3DRender* b = batcher();
    if (!texture || !b || texture->getWidth() <= 0 || texture->getHeight() <= 0)
        return;
    const float tw = float(texture->getWidth()), th = float(texture->getHeight());
    const float u0 = float(sx) / tw, u1 = float(sx + sw) / tw, v0 = float(sy) / th, v1 = float(sy + sh) / th;
    const float l = float(x), t = float(y), r = float(x + w), bt = float(y + h);
    const M3DXVertex_XYZT quad[4] = {{l, t, 0.f, u0, v0}, {r, t, 0.f, u1, v0}, {l, bt, 0.f, u0, v1}, {r, bt, 0.f, u1, v1}};
    b->SetTexture(texture);
    b->m_nBlendMode = 0;
    b->Blt(quad);
}

void ViDuz::DrawImage(ITexture* texture, int x0, int y0, int x1, int y1, int x2, int y2, int x3, int y3,
                      unsigned char alpha)
{
    CM3DRender* b = batcher();
    if (!texture || !b)
        return;
    const float lo = 0.002f, hi = 0.998f;
    const M3DXVertex_XYZDT quad[4] = {{float(x0), float(y0), 0.f, 255, 255, 255, alpha, lo, lo},
                                      {float(x1), float(y1), 0.f, 255, 255, 255, alpha, hi, lo},
                                      {float(x2), float(y2), 0.f, 255, 255, 255, alpha, lo, hi},
                                      {float(x3), float(y3), 0.f, 255, 255, 255, alpha, hi, hi}};
    b->SetTexture(texture);
    b->m_nBlendMode = 1;
    b->Blt(quad);
}

void ViDuz::Draw2DImageFullScreen(ITexture* texture, int blendMode)
{
    CM3DRender* b = batcher();
    if (!texture || !b)
        return;
    const float w = float(Screen_Width()), h = float(Screen_Height());
    const float u = w / 1024.f, v = h / 1024.f;
    const M3DXVertex_XYZT quad[4] = {{0, 0, 0, 0, 0}, {w, 0, 0, u, 0}, {0, h, 0, 0, v}, {w, h, 0, u, v}};
    b->SetTexture(texture);
    b->m_nBlendMode = blendMode;
    b->Blt(quad);
}

void ViDuz::FlushTextureData(ITexture* texture)
{
    if (texture)
        texture->bind(false);
}

void ViDuz::EnableSoftwareRender(const boost::intrusive_ptr<ITexture>& texture)
{
    if (texture) {
        s_pSoftwareRenderBuffer = texture;
        return;
    }
    ITexture* buffer = s_pSoftwareRenderBuffer.get();
    if (!buffer)
        return;
    unsigned name = GLTextureName(buffer);
    if (!name || !g_gl.glIsTexture(name)) {
        g_gl.glGenTextures(1, &name);
        SetGLTextureName(buffer, name);
    }
    g_gl.glEnable(GL_TEXTURE_2D);
    g_gl.glBindTexture(GL_TEXTURE_2D, name);
    if (const void* pixels = buffer->lock()) {
        g_gl.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, buffer->getWidth(), buffer->getHeight(), 0, GL_RGBA,
                          GL_UNSIGNED_SHORT_4_4_4_4, pixels);
        buffer->unlock();
    }
    s_pSoftwareRenderBuffer = nullptr;
}

void ViDuz::Clear_Software(int)
{
    ITexture* buffer = s_pSoftwareRenderBuffer.get();
    if (!buffer || buffer->getPixelFormat() != pravik::video::EPF_R4G4B4A4)
        return;
    if (void* pixels = buffer->lock()) {
        std::memset(pixels, 0, std::size_t(buffer->getWidth()) * std::size_t(buffer->getHeight()) * 2);
        buffer->unlock();
    }
    s_SoftwareBitBltCount = 0;
}

namespace {

struct SBlitTarget {
    uint16_t* pixels = nullptr;
    int width = 0;
    int limit[4] = {0, 0, 0, 0};   // left, top, right, bottom (exclusive)
};

// The limit is the clip within the screen, and never past the buffer itself.
bool blitTarget(ITexture* buffer, SBlitTarget& t)
{
    t.width = buffer->getWidth();
    t.limit[0] = std::max(ViDuz::s_CurClip[0], 0);
    t.limit[1] = std::max(ViDuz::s_CurClip[1], 0);
    t.limit[2] = std::min({ViDuz::s_CurClip[2], Screen_Width(), buffer->getWidth()});
    t.limit[3] = std::min({ViDuz::s_CurClip[3], Screen_Height(), 1024, buffer->getHeight()});
    if (t.limit[0] >= t.limit[2] || t.limit[1] >= t.limit[3])
        return false;
    t.pixels = static_cast<uint16_t*>(buffer->lock());
    return t.pixels != nullptr;
}

// The image's pixels as 16-bit rows; null when its rows are too short to hold 16-bit pixels.
const uint16_t* sourceRows(const CImage* image, int& width, int& height, int& rowUnits)
{
    const auto size = image->getDimension();
    width = size.Width;
    height = size.Height;
    rowUnits = int(image->getPitch() / 2);
    if (width <= 0 || height <= 0 || rowUnits < width || !image->getData())
        return nullptr;
    return static_cast<const uint16_t*>(image->getData());
}

} // namespace

void ViDuz::BitBlt_Software(const CImage* image, int x, int y, int sx, int sy, int w, int h, int flags, bool rotate)
{
    ITexture* buffer = s_pSoftwareRenderBuffer.get();
    if (!buffer || !image)
        return;
    if (rotate) {
        BitBlt_Software_Rotate90(image, x, y, sx, sy, w, h, flags);
        return;
    }
    ++s_SoftwareBitBltCount;
    int iw, ih, rowUnits;
    const uint16_t* src = sourceRows(image, iw, ih, rowUnits);
    if (!src || w <= 0 || h <= 0)
        return;
    SBlitTarget t;
    if (!blitTarget(buffer, t))
        return;
    if (!(x < t.limit[2] && y < t.limit[3] && x + w >= t.limit[0] && y + h >= t.limit[1]) ||
        !(-w < sx && sx < iw && -h < sy && sy < ih)) {
        buffer->unlock();
        return;
    }
    // The span: inside the limit, and reading only inside the image; both origins move together.
    int dx0 = std::max(x, t.limit[0]), dy0 = std::max(y, t.limit[1]);
    int dx1 = std::min(x + w, t.limit[2]), dy1 = std::min(y + h, t.limit[3]);
    dx0 = std::max(dx0, x - sx);
    dy0 = std::max(dy0, y - sy);
    dx1 = std::min(dx1, x - sx + iw);
    dy1 = std::min(dy1, y - sy + ih);
    const int spanW = dx1 - dx0, spanH = dy1 - dy0;
    if (spanW > 0 && spanH > 0) {
        const int srcX = sx + (dx0 - x), srcY = sy + (dy0 - y);
        const bool mirror = flags & 1, flip = flags & 2;
        for (int row = 0; row < spanH; ++row) {
            const uint16_t* s = src + std::size_t(srcY + (flip ? spanH - 1 - row : row)) * std::size_t(rowUnits) + srcX;
            uint16_t* d = t.pixels + std::size_t(dy0 + row) * std::size_t(t.width) + dx0;
            if (!mirror) {
                std::memcpy(d, s, std::size_t(spanW) * 2);
            } else {
                for (int i = 0; i < spanW; ++i)
                    d[i] = s[spanW - 1 - i];
            }
        }
    }
    buffer->unlock();
}

void ViDuz::BitBlt_Software_Rotate90(const CImage* image, int x, int y, int sx, int sy, int w, int h, int flags)
{
    ITexture* buffer = s_pSoftwareRenderBuffer.get();
    if (!buffer || !image)
        return;
    ++s_SoftwareBitBltCount;
    int iw, ih, rowUnits;
    const uint16_t* src = sourceRows(image, iw, ih, rowUnits);
    if (!src)
        return;
    SBlitTarget t;
    if (!blitTarget(buffer, t))
        return;
    const bool mirror = flags & 1, flip = flags & 2;
    for (int i = 0; i < w; ++i) {
        for (int j = 0; j < h; ++j) {
            const int col = mirror ? sx + w - 1 - i : sx + i;
            const int row = flip ? sy + j : sy + h - 1 - j;
            const int dx = x + j, dy = y + i;
            if (col < 0 || col >= iw || row < 0 || row >= ih)
                continue;
            if (dx < t.limit[0] || dx >= t.limit[2] || dy < t.limit[1] || dy >= t.limit[3])
                continue;
            t.pixels[std::size_t(dy) * std::size_t(t.width) + dx] = src[std::size_t(row) * std::size_t(rowUnits) + col];
        }
    }
    buffer->unlock();
}

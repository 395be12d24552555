// Sprite queries: frame bounding boxes, markers, a module's position inside a frame, and the
// record accessors. Every index is checked against its table; outside it the answer is 0.

#include "framework/CAISprite.h"

#include <algorithm>

namespace {

struct SBox {
    int minX = 0, minY = 0, maxX = 0, maxY = 0;  // starts at the origin
    void add(int l, int t, int r, int b)
    {
        minX = std::min(minX, l); minY = std::min(minY, t);
        maxX = std::max(maxX, r); maxY = std::max(maxY, b);
    }
};

}  // namespace

static SBox frameBox(const CAISprite& s, int frame, int flags)
{
    SBox box;
    const int first = s.FrameFirstFModule(frame), n = s.FrameFModuleCount(frame);
    for (int k = first; k < first + n; ++k) {
        const CAISprite::SFModule fm = s.FModule(k);
        if (fm.flags & FM_NESTED) {
            const int c = flags ^ fm.flags;
            SBox sub = frameBox(s, fm.index, c);
            int l = sub.minX, r = sub.maxX, t = sub.minY, b = sub.maxY;
            if (c & FLIP_X) { l = -sub.maxX; r = -sub.minX; }
            if (c & FLIP_Y) { t = -sub.maxY; b = -sub.minY; }
            box.add(fm.x + l, fm.y + t, fm.x + r, fm.y + b);
        } else {
            int w = s.m_moduleW[fm.index], h = s.m_moduleH[fm.index];
            if (fm.flags & ROT_90)
                std::swap(w, h);
            box.add(fm.x, fm.y, fm.x + w, fm.y + h);
        }
    }
    return box;
}

void CAISprite::GetFrameRect(int* rect, int frame, int x, int y, int flags)
{
    const SBox box = frame >= 0 && frame < m_frameCount ? frameBox(*this, frame, flags) : SBox();
    rect[0] = flags & FLIP_X ? x - box.maxX : x + box.minX;
    rect[1] = flags & FLIP_Y ? y - box.maxY : y + box.minY;
    rect[2] = rect[0] + (box.maxX - box.minX);
    rect[3] = rect[1] + (box.maxY - box.minY);
}

int CAISprite::GetNumFrameMarkers(int frame, int module)
{
    int n = 0;
    const int first = FrameFirstFModule(frame), count = FrameFModuleCount(frame);
    for (int k = first; k < first + count; ++k) {
        const SFModule fm = FModule(k);
        if (!(fm.flags & FM_NESTED) && m_moduleKind[fm.index] == MODULE_MARKER && (module == -1 || fm.index == module))
            ++n;
    }
    return n;
}

int* CAISprite::GetFrameMarkers(int frame, int* out, int capacity, int mode, int module)
{
    const int n = GetNumFrameMarkers(frame, module);
    const int need = (mode & 1 ? 4 * n : 2 * n) + (mode >= 2 ? 1 : 0);
    if (n < 1 || !out || capacity < need)
        return nullptr;
    int* p = out;
    if (mode >= 2) {
        *p++ = n;
        mode -= 2;
    }
    const int first = FrameFirstFModule(frame), count = FrameFModuleCount(frame);
    for (int k = first; k < first + count; ++k) {
        const SFModule fm = FModule(k);
        if (fm.flags & FM_NESTED || m_moduleKind[fm.index] != MODULE_MARKER || (module != -1 && fm.index != module))
            continue;
        *p++ = fm.x;
        *p++ = fm.y;
        if (mode & 1) {
            *p++ = fm.index;
            *p++ = k - first;
        }
    }
    return out;
}

int CAISprite::GetFrameMarkers(int frame, int* out)
{
    const int first = FrameFirstFModule(frame), count = FrameFModuleCount(frame);
    for (int i = 0; i < count; ++i) {
        const SFModule fm = FModule(first + i);
        out[2 * i] = fm.x;
        out[2 * i + 1] = fm.y;
    }
    return count;
}

void CAISprite::GetFrameMarkers(int frame, pravik::core::position2d<int>* out, unsigned n)
{
    const int first = FrameFirstFModule(frame);
    const unsigned count = std::min(n, unsigned(FrameFModuleCount(frame)));
    for (unsigned i = 0; i < count; ++i) {
        const SFModule fm = FModule(first + int(i));
        out[i] = pravik::core::position2d<int>(fm.x, fm.y);
    }
}

void CAISprite::GetFrameMarkers(int frame, pravik::core::rect<int>* out, unsigned n)
{
    const int first = FrameFirstFModule(frame), count = FrameFModuleCount(frame);
    auto at = [&](int i, bool y) {
        if (i >= count)
            return 0;
        const SFModule fm = FModule(first + i);
        return y ? fm.y : fm.x;
    };
    for (unsigned i = 0; i < n; ++i) {
        const int a = int(2 * i), b = int(2 * i + 1);
        out[i] = pravik::core::rect<int>(at(a, false), at(a, true), at(a, false) + at(b, false),
                                         at(a, true) + at(b, true));
    }
}

int CAISprite::PaintAFrame_ForModulePosFind(int module, int* x, int* y, int anim, int aframe, int ax, int ay,
                                            int flags, int hx, int hy, EXT_DRAW_INFO* info)
{
    if (anim < 0 || anim >= m_animCount || aframe < 0 || aframe >= m_animFrameCount[anim])
        return 0;
    const SAFrame af = AFrame(m_animFirst[anim] + aframe);
    m_lastAFrameDX = af.dx;
    m_lastAFrameDY = af.dy;
    if (info) {
        info->offsetX += float(af.dx);
        info->offsetY += float(af.dy);
    } else {
        hx = flags & FLIP_X ? hx + af.dx : hx - af.dx;
        hy = flags & FLIP_Y ? hy + af.dy : hy - af.dy;
    }
    return PaintFrame_ForModulePosFind(module, x, y, af.frame, ax - hx, ay - hy, flags ^ (af.flags & 0x0F));
}

int CAISprite::PaintFrame_ForModulePosFind(int module, int* x, int* y, int frame, int ox, int oy, int flags)
{
    if (frame < 0 || frame >= m_frameCount)
        return 0;
    m_curFrame = frame;
    m_frameOriginX = ox;
    m_frameOriginY = oy;
    for (int i = 0; i < m_frameFmCount[frame]; ++i)
        if (PaintFModule_ForModulePosFind(module, x, y, frame, i, ox, oy, flags))
            return 1;
    return 0;
}

int CAISprite::PaintFModule_ForModulePosFind(int module, int* x, int* y, int frame, int i, int ox, int oy,
                                             int flags)
{
    if (i < 0 || i >= FrameFModuleCount(frame))
        return 0;
    const SFModule fm = FModule(FrameFirstFModule(frame) + i);
    if (fm.flags & FM_NESTED || fm.index != module)
        return 0;
    *x = flags & FLIP_X ? ox - fm.x - m_moduleW[module] : ox + fm.x;
    *y = flags & FLIP_Y ? oy - fm.y - m_moduleH[module] : oy + fm.y;
    return 1;
}

int CAISprite::GetFModuleOff(int frame, int i) const { return (FrameFirstFModule(frame) + i) * m_fmoduleSize; }
int CAISprite::GetFModuleOffX(int frame, int i) const { return FModule(FrameFirstFModule(frame) + i).x; }
int CAISprite::GetFModuleOffY(int frame, int i) const { return FModule(FrameFirstFModule(frame) + i).y; }
int CAISprite::GetFModuleFlags(int frame, int i) const { return FModule(FrameFirstFModule(frame) + i).flags; }
int CAISprite::GetFModuleIndex(int k) const { return FModule(k).index; }
int CAISprite::GetFModuleOffX(int k) const { return FModule(k).x; }
int CAISprite::GetFModuleOffY(int k) const { return FModule(k).y; }
int CAISprite::GetFModuleFlags(int k) const { return FModule(k).flags; }

int CAISprite::GetAFrameFlag(int anim, int aframe) const
{
    if (anim < 0 || anim >= m_animCount || aframe < 0 || aframe >= m_animFrameCount[anim])
        return 0;
    return AFrame(m_animFirst[anim] + aframe).flags & 0x0F;
}

int CAISprite::CaliberatePositionIn320Mode(float v)
{
    const int i = int(v);
    return i & 1 ? i + 1 : i;
}

// Painters of the layout layers' graphics and filled and gradient rectangles with their slide-in
// offsets, the touch rectangle of a graphic element and the panel background.
// Element values are read through the bounded accessors: a value past an element's end reads 0,
// and a sprite slot, font or layer out of range draws nothing.
#include <algorithm>
#include <cstdint>

#include "engine/video/SColor.h"
#include "framework/CGame.h"
#include "framework/ScreenGeometry.h"
#include "framework/ViDuz.h"
#include "framework/WideFormat.h"
#include "framework/WideString.h"
#include "game/CAIGame.h"
#include "game/LayoutPaint.h"

using namespace layout_paint;

namespace {

enum { KIND_GRAPH = 1, KIND_RECT = 4, KIND_GRADIENT = 5 };
constexpr int kTouchSpriteIndex = 11;

int CleanValue(int layer, int element, int index)
{
    auto& clean = CAIGame::m_gameDataClean;
    if (layer < 0 || layer >= clean.length || element < 0 || element >= clean.data[layer].length)
        return 0;
    const CDataArray<int16_t>& e = clean.data[layer].data[element];
    return index >= 0 && index < e.length ? e.data[index] : 0;
}

CAISprite* GraphSprite(int index)
{
    return index == kTouchSpriteIndex ? CAIGame::s_touchSpr : CAIGame::GetGUISprite(index);
}

void FullScreenClip() { ViDuz::SetClip(0, 0, Screen_Width(), Screen_Height()); }



}  // namespace

// ---- Graphics and rectangles

void CAIGame::PaintGraphItem(int layer, int element, unsigned char, int dx, int dy)
{
    CAISprite* sprite = GraphSprite(V(layer, element, 5));
    if (!sprite)
        return;
    const SSlide s = Slide(V(layer, element, 14), V(layer, element, 15), V(layer, element, 16), V(layer, element, 17));
    dx += s.dx, dy += s.dy;
    const int x = V(layer, element, 2), y = V(layer, element, 3);
    const int anim = V(layer, element, 7);
    int frame = V(layer, element, 6);

    bool clipped = false;
    if (V(layer, element, 18) > 0 && frame >= 0 && frame < sprite->m_frameCount) {
        int rect[4];
        sprite->GetFrameRect(rect, frame, x + dx, y + dy, 0);
        int top = rect[1];
        const int height = rect[3] - rect[1];
        if (V(layer, element, 19) == 0 && s.u > 0)
            top += height * s.r / s.u;   // uncovered from the bottom up while it slides
        ViDuz::SetClip(rect[0], top, rect[2] - rect[0], rect[3] - top);
        clipped = true;
    }
    const int savedPalette = sprite->m_palette;
    if (V(layer, element, 9) == 1)
        sprite->m_palette = V(layer, element, 8);

    const int px = x + dx + CGame::GetLogicWidthOffset(), py = y + dy;
    if (anim < 0) {
        sprite->PaintFrame(frame, px, py, 0);
    } else {
        bool draw = true;
        if (V(layer, element, 21) != -2) {
            const int key = CleanValue(layer, element, 7) + s_genericCounter;
            if (V(layer, element, 21) != key) {
                SetParamValue(layer, element, 21, key);
                SetParamValue(layer, element, 6, 0);
                SetParamValue(layer, element, 13, 0);
                frame = 0;
            }
        }
        if ((anim & 0x400) && V(layer, element, 12))
            draw = false;
        if (draw)
            sprite->PaintAFrame(anim & ~0x600, frame, px, py, 0, 0, 0, 255, 0, 100, 100, nullptr);
    }
    sprite->m_palette = savedPalette;
    if (clipped)
        FullScreenClip();
}

void CAIGame::PaintGraphItem(int layer, int element) { PaintGraphItem(layer, element, 0, 0, element == 1 ? 65 : 0); }

void CAIGame::PaintRectItem(int layer, int element, int dx, int dy)
{
    const int alpha = V(layer, element, 7) & 0xFF;
    if (alpha == 0)
        return;
    const unsigned r = V(layer, element, 8) & 0xFF, g = V(layer, element, 9) & 0xFF, b = V(layer, element, 10) & 0xFF;
    ViDuz::SetColorRGBA(unsigned(alpha) << 24 | r << 16 | g << 8 | b);
    ViDuz::FillRect(V(layer, element, 2) + dx + CGame::GetLogicWidthOffset(), V(layer, element, 3) + dy,
                    V(layer, element, 5), V(layer, element, 6));
}

void CAIGame::PaintGradientRectItem(int layer, int element, int dx, int dy)
{
    auto colour = [&](int a) {
        return pravik::video::SColor(V(layer, element, a) & 0xFF, V(layer, element, a + 1) & 0xFF,
                                     V(layer, element, a + 2) & 0xFF, V(layer, element, a + 3) & 0xFF);
    };
    int kind = 16;
    switch (V(layer, element, 8)) {
    case 1: kind = 32; break;
    case 2: kind = 4; break;
    case 3: kind = 8; break;
    default: break;
    }
    ViDuz::DrawGradientRect(V(layer, element, 2) + dx + CGame::GetLogicWidthOffset(), V(layer, element, 3) + dy,
                            V(layer, element, 5), V(layer, element, 6) + 100, colour(9), colour(13), kind);
}

void CAIGame::PaintAllVisibleItems(int layer, unsigned char, int dx, int dy)
{
    const int n = GetGameLayerElementCount(layer);
    for (int e = 0; e < n; ++e) {
        switch (V(layer, e, 0)) {
        case KIND_GRAPH:
            if (V(layer, e, 10))
                PaintGraphItem(layer, e, 0, dx, dy);
            break;
        case KIND_RECT:
            if (V(layer, e, 11))
                PaintRectItem(layer, e, dx, dy);
            break;
        case KIND_GRADIENT:
            if (V(layer, e, 7))
                PaintGradientRectItem(layer, e, dx, dy);
            break;
        default: break;
        }
    }
}

void CAIGame::PaintAllVisibleItems(int layer) { PaintAllVisibleItems(layer, 0, 0, 0); }

int CAIGame::GetGraphItemRectTouch(int* rect, int layer, int element)
{
    const int x = V(layer, element, 2) + CGame::GetLogicWidthOffset();
    rect[0] = x, rect[1] = V(layer, element, 3), rect[2] = rect[3] = 0;
    CAISprite* sprite = GraphSprite(V(layer, element, 5));
    if (!sprite)
        return x;
    int frame = V(layer, element, 6);
    const int anim = V(layer, element, 7) & ~0x600;
    if (V(layer, element, 7) >= 0 && frame < 0 && sprite->AnimAFrameCount(anim) > 0)
        frame = sprite->AFrame(sprite->AnimFirstAFrame(anim)).frame;
    int r[4];
    sprite->GetFrameRect(r, frame, 0, 0, 0);
    rect[2] = r[2] - r[0], rect[3] = r[3] - r[1];
    return x;
}

// ---- Panels and fonts

void CAIGame::PaintNewRectBG(int x, int y, int w, int h)
{
    if (!_sprites[108]) {
        ViDuz::Pack_Open("15");
        _sprites[108] = new CAISprite(24, ViDuz::m_szCurrentOpenPackName);
    }
    CAISprite* panel = _sprites[108];
    const SSavedClip clip;
    ViDuz::SetClip(x, y - 50, w, h + 47);
    panel->PaintFrame(1, 0, y, 0);
    ViDuz::SetClip(x, y + h - 3, w, 3);
    panel->PaintFrame(0, 0, y + h - 3, 0);
    clip.restore();
}

bool CAIGame::IsUsingSmallResource() { return ScreenGeometry_Mode() == RESOLUTION_MODE_320X480; }

int CAIGame::GetTotalStars()
{
    return int(std::count_if(std::begin(_stars_status), std::end(_stars_status), [](uint8_t s) { return s != 0; }));
}



// Text areas of the layout layers (one line, wrapped page, or scrolling through their box) and
// the end-of-level statistic labels.
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

CAISprite* Font(int font) { return font >= 0 && font < 6 ? CAIGame::s_gameFonts[font] : nullptr; }


wchar_t* Text(int id)
{
    CStringManager* strings = CAIGame::GetStringManager();
    return strings ? strings->GetString(id) : nullptr;
}

}  // namespace

// ---- Text areas

void CAIGame::PaintTextArea(wchar_t* text, int x, int y, int w, int h, int valign, int halign, int font, int palette,
                            bool wrap, COLOR_NAME colour)
{
    CAISprite* f = Font(font);
    if (!text || !f)
        return;
    int anchor = 0;
    switch (valign) {
    case 0: anchor |= 16; break;
    case 1: anchor |= 2, y += h / 2; break;
    case 2: anchor |= 32, y += h; break;
    default: y = 0; break;   // drawn at 0, as the layouts have always had it
    }
    x += CGame::GetLogicWidthOffset();
    switch (halign) {
    case 0: anchor |= 4; break;
    case 1: anchor |= 1, x += w / 2; break;
    case 2: anchor |= 8, x += w; break;
    default: x = 0; break;
    }
    const int savedPalette = f->m_palette;
    if (palette >= 0)
        f->m_palette = palette;
    if (wrap) {
        const SWrapResult lines = f->WraptextB(text, w, h, false);
        f->DrawPageB(text, lines, x, y, 0, lines.lines, anchor, colour);
    } else {
        f->DrawString(text, x, y, anchor, colour);
    }
    f->m_palette = savedPalette;
}

void CAIGame::PaintTextAreaItem(wchar_t* text, int layer, int element, unsigned char, int dx, int dy, COLOR_NAME colour)
{
    if (!text)
        return;
    const SSlide s = Slide(V(layer, element, 13), V(layer, element, 14), V(layer, element, 15), V(layer, element, 16));
    dx += s.dx, dy += s.dy;
    const int x = V(layer, element, 2), y = V(layer, element, 3);
    const int w = V(layer, element, 5), h = V(layer, element, 6);
    const int font = V(layer, element, 7);
    const SSavedClip clip;
    int halign = V(layer, element, 9), tx = x + dx;
    const int mode = V(layer, element, 12);
    if (mode == 1) {
        ViDuz::SetClip(x + dx, y + dy, w, h);
        if (CAISprite* f = Font(font)) {
            const int width = f->GetStringWidth(text);
            if (width > w) {
                const int t = std::max(0, s_scrollingTime);
                halign = 0;
                tx += w - (w + t * 50 / 1000) % (w + width + 50);
            }
        }
    }
    PaintTextArea(text, tx, y + dy, w, h, V(layer, element, 10), halign, font, V(layer, element, 8), mode == 2,
                  colour);
    clip.restore();
}

void CAIGame::PaintTextAreaItem(wchar_t* text, int layer, int element, int dx, int dy)
{
    PaintTextAreaItem(text, layer, element, 0, dx, dy, COLOR_NAME(-1));
}
void CAIGame::PaintTextAreaItem(wchar_t* text, int layer, int element) { PaintTextAreaItem(text, layer, element, 0, 0); }
void CAIGame::PaintTextAreaItem(int id, int layer, int element, unsigned char u, int dx, int dy, COLOR_NAME colour)
{
    PaintTextAreaItem(Text(id), layer, element, u, dx, dy, colour);
}
void CAIGame::PaintTextAreaItem(int id, int layer, int element, int dx, int dy)
{
    PaintTextAreaItem(Text(id), layer, element, dx, dy);
}
void CAIGame::PaintTextAreaItem(int id, int layer, int element) { PaintTextAreaItem(Text(id), layer, element); }

// ---- End-of-level statistics

void CAIGame::GetEndLevelStatisticLeftSide(int line, wchar_t* out)
{
    if (!out)
        return;
    out[0] = 0;
    wchar_t time[16];
    switch (line) {
    case 0: droid_wcscpy(out, Text(825)); break;
    case 1: WSPRINTFW(out, L"%s %d", Text(826), s_totalNumberOfBricks - s_bricksLeft); break;
    case 2: WSPRINTFW(out, L"%s %d", Text(827), s_bricksLeft); break;
    case 3:
        ConvertTime(s_gameTimeLeft, 1, time);
        WSPRINTFW(out, L"%s %s", Text(828), time);
        break;
    case 4: break;
    case 5: WSPRINTFW(out, L"%s %d", Text(829), s_ballsCollected); break;
    case 6: WSPRINTFW(out, L" ERROR MISSING STAT"); break;
    case 7: break;
    default: WSPRINTFW(out, L" ERROR MISSING STAT"); break;
    }
}

void CAIGame::GetEndLevelStatisticLeftSideBoss(int line, wchar_t* out)
{
    if (!out)
        return;
    out[0] = 0;
    wchar_t time[16];
    switch (line) {
    case 0: droid_wcscpy(out, Text(825)); break;
    case 1:
        ConvertTime(s_gameTimeLeft, 1, time);
        WSPRINTFW(out, L"%s %s", Text(828), time);
        break;
    case 2:
    case 5: break;
    case 3: WSPRINTFW(out, L"%s %d", Text(829), s_ballsCollected); break;
    default: WSPRINTFW(out, L" ERROR MISSING STAT"); break;
    }
}

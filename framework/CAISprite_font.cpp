// A font sprite's text calls: forwarded to the controller's string manager under the sprite's
// font id, so the language picks the bitmap font or the glyph font. Without a string manager
// (none made yet) they draw nothing and measure 0. Also the font-frame helpers of the sprite's own tables.

#include "framework/CAISprite.h"

#include "framework/CStringManager.h"

namespace {

CStringManager* strings() { return CStringManager::Instance(); }

}  // namespace

void CAISprite::DrawString(wchar_t* text, int x, int y, int anchor, COLOR_NAME colour)
{
    if (CStringManager* m = strings())
        m->DrawString(m_fontId, text, x, y, anchor, false, colour, 255, 0, 100, 100, false, false, 0, false, true,
                      false);
}

void CAISprite::DrawString(wchar_t* text, int x, int y, int anchor, int, int alpha, int, int scaleX, int scaleY, bool,
                           bool, int angle, bool shrink, bool forward, bool tight, COLOR_NAME colour)
{
    if (CStringManager* m = strings())
        m->DrawString(m_fontId, text, x, y, anchor, false, colour, alpha, 0, scaleX, scaleY, false, false, angle,
                      shrink, forward, tight);
}

int CAISprite::GetStringWidth(wchar_t* text)
{
    CStringManager* m = strings();
    return m ? m->GetStringWidth(m_fontId, text) : 0;
}

SWrapResult CAISprite::WraptextB(wchar_t* text, int width, int, bool)
{
    CStringManager* m = strings();
    return m ? m->WrapText(m_fontId, text, width) : SWrapResult{0, 0, 0};
}

void CAISprite::DrawPageB(wchar_t* text, const short* wrap, int x, int y, int, int, int anchor, COLOR_NAME colour)
{
    if (CStringManager* m = strings())
        m->DrawPage(m_fontId, text, x, y, anchor, wrap ? wrap[2] : 0, colour, false, false);
}

void CAISprite::DrawPageB(wchar_t* text, const short* wrap, int x, int y, int first, int count, int anchor, int,
                          COLOR_NAME colour)
{
    DrawPageB(text, wrap, x, y, first, count, anchor, colour);
}

void CAISprite::DrawPageB(wchar_t* text, const SWrapResult& wrap, int x, int y, int first, int count, int anchor,
                          COLOR_NAME colour)
{
    const short w[3] = {wrap.lines, wrap.unused, wrap.width};
    DrawPageB(text, w, x, y, first, count, anchor, colour);
}

int CAISprite::GetPageHeight(int fontId, wchar_t* text, int width)
{
    CStringManager* m = strings();
    if (!m)
        return 0;
    const int height = m_moduleCount ? m_moduleH[0] : 0;
    return m->WrapText(fontId, text, width).lines * (height + m_lineGap);
}

void CAISprite::DrawStringOrChars(char*, const char* text, int x, int y, int anchor)
{
    if (!text)
        return;
    wchar_t wide[10] = {};
    int n = 0;
    while (n < 9 && text[n]) {
        wide[n] = wchar_t(static_cast<unsigned char>(text[n]));
        ++n;
    }
    if (CStringManager* m = strings())
        m->ChangeWCharToIndex(wide, 0, n);
    DrawString(wide, x, y, anchor, COLOR_NAME(-1));
}

void CAISprite::MapLowercaseToUpper(int& c)
{
    if (c >= 'a' && c <= 'z')
        c -= 'a' - 'A';
}

void CAISprite::ChangeLowercaseAccentCharToUpper(int& c)
{
    // à á â ã ä, è é ê ë, ì í î ï, ñ, ò ó ô õ ö, ù ú û ü: Latin-1 capitals sit 0x20 lower.
    if ((c >= 0xE0 && c <= 0xE4) || (c >= 0xE8 && c <= 0xEF) || (c >= 0xF1 && c <= 0xF6) || (c >= 0xF9 && c <= 0xFC))
        c -= 0x20;
}

int CAISprite::GetCharFrame(wchar_t c) const
{
    if (!m_charMap)
        return 0;
    const unsigned code = unsigned(c);
    return m_charMap[code < 256 ? code : unsigned(' ')];
}

int CAISprite::GetCharacterWidth(wchar_t c, wchar_t next) const
{
    if (c == L'\n' || (c == L'\\' && next == L'n'))
        return 0;
    const int frame = GetCharFrame(c);
    return frame < m_frameCount && size_t(frame) * 4 + 3 < m_frameRects.size() ? m_frameRects[size_t(frame) * 4 + 2]
                                                                                 : 0;
}

int CAISprite::GetFontFrameWidth(int frame) const
{
    if (frame < 0 || frame >= m_frameCount)
        return 0;
    const size_t at = size_t(frame) * 4 + 2;
    const int second = at < m_frameRects2.size() ? m_frameRects2[at] : 0;
    return second != 0 ? second : at < m_frameRects.size() ? m_frameRects[at] : 0;
}

int CAISprite::GetFontFrameLeft(int frame) const
{
    if (frame < 0 || frame >= m_frameCount)
        return 0;
    const size_t at = size_t(frame) * 4;
    return at < m_frameRects2.size() ? m_frameRects2[at] : 0;
}

void CAISprite::FontAddSpace(int& x, int extra) const { x += extra + (m_moduleCount ? m_moduleW[0] : 0); }

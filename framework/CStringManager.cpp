#include "framework/CStringManager.h"

#include "framework/CAISprite.h"
#include "framework/CZyFont.h"
#include "framework/GameInterface.h"
#include "framework/GlyphTables.h"
#include "framework/ViDuz.h"

#include <algorithm>
#include <iterator>
#include <vector>


const char* const LANGUAGE_CODES[LANGUAGE_COUNT] = {"en", "fr", "de", "it", "sp", "cn", "jp", "ko", "br"};
const char* const SMALL_FONT_STRING_FILES[LANGUAGE_COUNT] = {
    "EN/iphone_wzt5_en.lang", "EN/iphone_wzt5_fr.lang", "EN/iphone_wzt5_de.lang",
    "EN/iphone_wzt5_it.lang", "EN/iphone_wzt5_sp.lang", "EN/iphone_wzt5_cn.lang",
    "EN/iphone_wzt5_jp.lang", "EN/iphone_wzt5_ko.lang", "EN/iphone_wzt5_br.lang"};
const char* const BIG_FONT_STRING_FILES[LANGUAGE_COUNT] = {
    "EN/iphone_wzt5_big_en.lang", "EN/iphone_wzt5_big_fr.lang", "EN/iphone_wzt5_big_de.lang",
    "EN/iphone_wzt5_big_it.lang", "EN/iphone_wzt5_big_sp.lang", "EN/iphone_wzt5_big_cn.lang",
    "EN/iphone_wzt5_big_jp.lang", "EN/iphone_wzt5_big_ko.lang", "EN/iphone_wzt5_big_br.lang"};

static wchar_t g_emptyText[1] = {0};

static CStringManager* g_instance = nullptr;

CStringManager::CStringManager() { g_instance = this; }

CStringManager* CStringManager::Instance() { return g_instance; }

CStringManager::~CStringManager()
{
    if (g_instance == this)
        g_instance = nullptr;
    FreeAllFontRes();
    for (auto& language : m_small)
        for (wchar_t*& s : language) {
            delete[] s;
            s = nullptr;
        }
    for (auto& language : m_big)
        for (wchar_t*& s : language) {
            delete[] s;
            s = nullptr;
        }
}

void CStringManager::DecodeTable(const uint8_t* data, size_t size, wchar_t** table, int count, int language)
{
    const bool wide = IsWCharLanguage(language);
    size_t pos = 4;
    for (int n = 0; n < count; ++n) {
        delete[] table[n];
        table[n] = nullptr;
    }
    for (int n = 0; n < count && pos < size; ++n) {
        std::vector<wchar_t> units;
        if (wide) {
            // 16-bit units up to a 0 unit; a half unit at the end of the file ends the string.
            while (pos + 1 < size) {
                const int16_t u = int16_t(data[pos] | data[pos + 1] << 8);
                pos += 2;
                if (u == 0)
                    break;
                units.push_back(wchar_t(u));
            }
            if (pos + 1 >= size && pos < size)
                pos = size;
        } else {
            // UTF-8 up to a 0 byte; a sequence cut by the terminator or the file ends the string.
            while (pos < size && data[pos] != 0) {
                const uint8_t b0 = data[pos];
                const int need = b0 < 0x80 ? 0 : b0 < 0xE0 ? 1 : 2;
                size_t k = 1;
                while (int(k) <= need && pos + k < size && data[pos + k] != 0)
                    ++k;
                if (int(k) <= need) {
                    pos += k;   // the cut sequence is dropped
                    break;
                }
                if (need == 0)
                    units.push_back(wchar_t(b0));
                else if (need == 1)
                    units.push_back(wchar_t((b0 & 0x1F) << 6 | (data[pos + 1] & 0x3F)));
                else
                    units.push_back(wchar_t((b0 & 0x0F) << 12 | (data[pos + 1] & 0x3F) << 6 | (data[pos + 2] & 0x3F)));
                pos += size_t(need) + 1;
            }
            while (pos < size && data[pos] != 0)   // the rest of a cut string
                ++pos;
            ++pos;   // the terminator
        }
        wchar_t* s = new wchar_t[units.size() + 1]();
        std::copy(units.begin(), units.end(), s);
        table[n] = s;
        pos = (pos + 3) & ~size_t(3);
    }
}

void CStringManager::LoadString(const char* path, wchar_t** table, int count, int language)
{
    std::vector<uint8_t> bytes;
    if (!ViDuz::ReadWholeFile(path, bytes)) {
        for (int n = 0; n < count; ++n) {
            delete[] table[n];
            table[n] = nullptr;
        }
        return;
    }
    DecodeTable(bytes.data(), bytes.size(), table, count, language);
}

void CStringManager::LoadString(int language)
{
    if (language < 0 || language >= LANGUAGE_COUNT)
        return;
    LoadString(SMALL_FONT_STRING_FILES[language], m_small[language], SMALL_STRING_COUNT, language);
    if (IsWCharLanguage(language))
        LoadString(BIG_FONT_STRING_FILES[language], m_big[language], BIG_STRING_COUNT, language);
}

wchar_t* CStringManager::GetString(int language, int id)
{
    // Ids from 1214 to 2048 and past 3060 are not string ids.
    if (language < 0 || language >= LANGUAGE_COUNT || id < 0 || (id >= SMALL_STRING_COUNT && id <= 2048) ||
        id > 3060)
        return g_emptyText;
    if (id > 2048)
        id -= 1847;
    wchar_t* s = m_small[language][id];
    return s ? s : g_emptyText;
}

wchar_t* CStringManager::GetString(int id)
{
    return GetString(m_language, id);
}

void CStringManager::FreeAllFontRes()
{
    delete m_font;
    m_font = nullptr;
}

int CStringManager::GetIndexFromWChar(wchar_t c) const
{
    const SGlyphTable t = SmallGlyphTable(m_language);
    if (!t.entries || GameInterface().UseWestDigits())
        return -1;
    return BinarySearch(t.entries, t.count, int(c));
}

void CStringManager::ChangeWCharToIndex(wchar_t* text, int from, int to) const
{
    const SGlyphTable t = SmallGlyphTable(m_language);
    if (!text || !t.entries || GameInterface().UseWestDigits())
        return;
    for (int i = from; i < to; ++i) {
        if (text[i] == 0)
            continue;
        const int index = BinarySearch(t.entries, t.count, int(text[i]));
        if (index > 0)
            text[i] = wchar_t(index);
    }
}

void CStringManager::MappingSmallFontToLarge(const wchar_t* src, wchar_t* dst) const
{
    const SGlyphTable small = SmallGlyphTable(m_language), big = BigGlyphTable(m_language);
    if (!src || !dst || !small.entries)
        return;
    for (int i = 0; src[i] != 0 && i < 127; ++i) {
        const int b = int(src[i]);
        if (b < 1 || b > small.count)
            continue;
        const int pos = BinarySearch(big.entries, big.count, small.entries[b - 1].codePoint);
        if (pos > 0)
            dst[i] = wchar_t(pos);
    }
}

void CStringManager::LoadUnicodeFont()
{
    FreeAllFontRes();
    switch (m_language) {
    case 5: m_font = new CZyFontCS; break;
    case 6: m_font = new CZyFontJP; break;
    case 7: m_font = new CZyFontKO; break;
    default: return;
    }
    m_font->Init();
}

void CStringManager::SetFontColor(int fontId)
{
    if (!m_font)
        return;
    if (fontId == 5)
        m_font->SetFontColor(255, 214, 12);
    else
        m_font->SetFontColor(255, 255, 255);
}

void CStringManager::SetFontStyleFromID(int fontId)
{
    if (!m_font)
        return;
    if (fontId == 3 || fontId == 7)
        m_font->SetStyle(CZyFont::FONT_SMALL);
    else if (IsAsiaLargeFont(fontId))
        m_font->SetStyle(CZyFont::FONT_LARGE);
}

namespace {

// The bitmap-font sprite of a font id while the language is Latin.
CAISprite* latinFont(const CStringManager& m, int fontId)
{
    return m.IsWCharLanguage() ? nullptr : GameInterface().Sprite(fontId);
}

// The glyph font set to a font id's style, and the text it works on: large font ids take the
// large sheet's indices, converted into a cleared buffer of 128 units. font is null without one.
struct SGlyphRun {
    CZyFont* font;
    wchar_t* text;
    wchar_t large[128];
    SGlyphRun(CStringManager& m, int fontId, wchar_t* source) : font(m.m_font), text(source)
    {
        if (!font || !source)
            return;
        m.SetFontStyleFromID(fontId);
        if (CStringManager::IsAsiaLargeFont(fontId)) {
            std::fill(std::begin(large), std::end(large), L'\0');
            m.MappingSmallFontToLarge(source, large);
            text = large;
        }
    }
};

}  // namespace

int CStringManager::GetStringWidth(int fontId, wchar_t* text)
{
    if (!text)
        return 0;
    if (!IsWCharLanguage()) {
        CAISprite* font = latinFont(*this, fontId);
        return font ? font->GetStringSize(text, 0, -1, false, false) : 0;
    }
    const SGlyphRun run(*this, fontId, text);
    return run.font ? run.font->GetStringWidth(run.text) : 0;
}

CStringManager::SWrap CStringManager::WrapText(int fontId, wchar_t* text, int width)
{
    if (!text)
        return {0, 0, 0};
    if (!IsWCharLanguage()) {
        CAISprite* font = latinFont(*this, fontId);
        if (!font)
            return {0, 0, 0};
        font->m_wrapLines = int16_t(font->WrapTextInternal(text, width));
        font->m_wrapWidth = int16_t(width);
        return {font->m_wrapLines, 0, font->m_wrapWidth};
    }
    const SGlyphRun run(*this, fontId, text);
    if (!run.font)
        return {0, 0, 0};
    run.font->InitPage(run.text, width);
    return {run.font->m_wrapLines, 0, run.font->m_wrapWidth};
}

// The glyph font's colour for a draw: the font id's own for -1, else a palette entry.
static void asianColour(CStringManager& m, CZyFont& font, int fontId, int colour)
{
    if (colour == -1) {
        m.SetFontColor(fontId);
        return;
    }
    const int c = std::clamp(colour, 0, int(COLOR_COUNT) - 1);
    font.SetFontColor(ColorsDefinedForFont[c][0], ColorsDefinedForFont[c][1], ColorsDefinedForFont[c][2]);
}

void CStringManager::DrawPage(int fontId, wchar_t* text, int x, int y, int anchor, int width, int colour, bool b1,
                              bool b2)
{
    if (!text)
        return;
    if (!IsWCharLanguage()) {
        if (CAISprite* font = latinFont(*this, fontId))
            font->DrawPageInternal(text, x, y, width, anchor, COLOR_NAME(colour), b1, b2);
        return;
    }
    const SGlyphRun run(*this, fontId, text);
    if (!run.font)
        return;
    asianColour(*this, *run.font, fontId, colour);
    run.font->InitPage(run.text, width);
    run.font->DrawPage(run.text, x, y, anchor, 255);
}

void CStringManager::DrawString(int fontId, wchar_t* text, int x, int y, int anchor, bool, int colour, int alpha,
                                int, int scaleX, int scaleY, bool, bool, int angle, bool shrink, bool forward,
                                bool tight)
{
    if (!text)
        return;
    if (!IsWCharLanguage() || GameInterface().UseWestDigits()) {
        if (CAISprite* font = GameInterface().Sprite(fontId))
            font->DrawStringInternal(text, x, y, anchor, colour, alpha, 0, scaleX, scaleY, false, false, angle,
                                     shrink, forward, tight);
        return;
    }
    const SGlyphRun run(*this, fontId, text);
    if (!run.font)
        return;
    asianColour(*this, *run.font, fontId, colour);
    run.font->DrawString(run.text, x, y, anchor, alpha);
}

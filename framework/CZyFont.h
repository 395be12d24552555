// Glyph-sheet fonts for Chinese, Japanese and Korean: a sheet image of equal cells and a ".bin"
// of glyph metrics, in a small (0) and a large (1) style. Texts are 1-based glyph indices of the
// sheet (1 is the blank), as the string tables of these languages store them.
//
// ".bin", little-endian: u16 glyph count N, u8 cell width, u8 cell height, N x {s8 x offset in
// the cell, s8 width} for glyphs 1..N, then 256 signed bytes mapping narrow characters: -2
// ignored, -1 blank, v >= 0 glyph v + 1. A file shorter than its count is refused whole (zero
// metrics: nothing draws). Glyph g sits in cell g - 1, cells laid out row by row from y 3.
#pragma once

#include <boost/intrusive_ptr.hpp>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/video/ITexture.h"
#include "framework/SpriteVertexStorage.h"

class CZyFont {
public:
    enum FontStyle { FONT_SMALL = 0, FONT_LARGE = 1 };
    static constexpr int MAX_PAGE_LINES = 500;

    struct SStyle {
        boost::intrusive_ptr<pravik::video::ITexture> texture;   // null: the style draws nothing
        std::vector<uint16_t> glyphs;    // per glyph 1..N: low byte x offset, high byte width
        int8_t chars[256] = {};          // narrow character table
        uint16_t cellW = 0, cellH = 0;   // x factor
        uint16_t cellW2 = 0, cellH2 = 0; // the copy glyphs are cut with
        uint16_t count = 0;
    };

    CZyFont() = default;
    virtual ~CZyFont();   // subclasses are deleted through the base
    CZyFont(const CZyFont&) = delete;
    CZyFont& operator=(const CZyFont&) = delete;

    virtual void Init() = 0;
    virtual int DrawString(const char* text, int x, int y, int anchor);
    virtual int DrawString(const wchar_t* text, int x, int y, int anchor, int alpha);   // the length
    virtual void OffsetSrc(int glyph, int& srcX, int& srcY, int& w, int& h);
    virtual void OffsetFontY(int& y);
    virtual int GetStringWidth(const char* text);
    virtual int GetStringWidth(const wchar_t* text);
    virtual int InitPage(const wchar_t* text, int width) = 0;   // the line count
    virtual void DrawPage(const wchar_t* text, int x, int y, int anchor, int alpha);
    virtual void LoadFont(const char* name, FontStyle style, bool);
    virtual int GetCharWidth(wchar_t glyph);
    virtual int GetBlankWidth();

    // Metrics of a style from a ".bin" image; false (zero metrics) when it is cut short.
    bool LoadMetrics(const uint8_t* data, size_t size, FontStyle style);
    void SetFontColor(int r, int g, int b) { m_r = r, m_g = g, m_b = b; }
    void SetStyle(int style) { m_style = style; }
    int GetStyle() const { return m_style; }
    void DrawRegion(int srcX, int srcY, int w, int h, int, int x, int y, int alpha);
    static void short_strcpy(short* dst, const short* src);
    static void short_strcat(short* dst, short* src);

    // Top-left texel of a glyph's cell; false when the style cannot place it.
    bool CellOf(int glyph, int& cellX, int& cellY) const;
    int Glyph(int key) const;   // the current style's glyph of '|' (0), '\' (1) or 'n' (2), -1 none
    int Lines() const { return m_pageLines; }
    int LineEnd(int line) const { return line >= 0 && line < MAX_PAGE_LINES ? m_lineStart[line] : 0; }

    SStyle m_styles[2];
    uint16_t m_lineStart[MAX_PAGE_LINES] = {};
    int16_t m_wrapLines = 0, m_wrapUnused = 0, m_wrapWidth = 0;
    int m_style = 0;
    int m_spacing = 0;
    int m_lineGap = 1;
    int m_pageLines = 0;
    int m_pipe[2] = {-1, -1}, m_backslash[2] = {-1, -1}, m_letterN[2] = {-1, -1};
    SSpriteVertexStorage m_vertices;   // replaced at each LoadFont
    int m_r = 255, m_g = 255, m_b = 255;
    int m_factor = 1;

protected:
    const SStyle* Current() const { return m_style == 0 || m_style == 1 ? &m_styles[m_style] : nullptr; }
    void InitStyles(const char* small, const char* large, bool lowerHeights);
    bool IsNewline(const wchar_t* text, int i) const;   // the '\' glyph followed by the 'n' glyph
    int DrawRange(const wchar_t* text, int end, int x, int y, int anchor, int alpha);
    int WidthOfRange(const wchar_t* text, int end);   // end < 0: to the terminator
    // GetCharWidth of glyphs 0..count of the current style, asked once and kept for each style
    // until its metrics, the factor or the '|' glyph change; {0} and count 0 without a style.
    const int16_t* CharWidths(int& count);
    struct SBreakRules {
        bool japanese;   // blanks are candidates, '|' and a blank force a break, no break without one
    };
    int BreakPage(const wchar_t* text, int width, const SBreakRules& rules);   // fills the page; its line count

private:
    struct SWidthCache {
        int factor = 0, pipe = 0;
        unsigned generation = 0;
        std::vector<int16_t> widths;
    };
    SWidthCache m_widthCache[2];   // a style each: texts switch between them call by call
    unsigned m_metricsGeneration = 1;   // moves on with every metrics load
};

// Chinese: "font_cn_small" and "font_cn_large"; a forced line end or the widest fit.
class CZyFontCS : public CZyFont {
public:
    void Init() override;
    int InitPage(const wchar_t* text, int width) override;
    void OffsetFontY(int& y) override;
};

class CZyFontKO : public CZyFont {
public:
    void Init() override;
    int InitPage(const wchar_t* text, int width) override;
    void OffsetFontY(int& y) override;
};

// Japanese breaks only at blanks and '|'; "|" and a blank together force a break.
class CZyFontJP : public CZyFont {
public:
    void Init() override;
    int InitPage(const wchar_t* text, int width) override;
    int GetCharWidth(wchar_t glyph) override;
};

extern const char kFontFiles_CS[2][20];
extern const char kFontFiles_JP[2][20];
extern const char kFontFiles_KO[2][20];

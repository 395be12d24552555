#pragma once
// Text drawn into pictures with FreeType: whole lines for labels and titles, and single glyphs
// with their metrics for bitmap fonts. UTF-8 in; glyphs are grey coverage tinted with one colour.

#include "tools/formats/Canvas.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace formats {

// The project's fonts (Debian's fonts-dejavu-core and fonts-wqy-microhei).
std::string dejaVuSans(bool bold = false);
std::string cjkFont();

struct Glyph {
    Canvas image;        // white coverage in alpha (tint by drawing with a colour)
    int left = 0;        // pen to the image's left edge
    int top = 0;         // baseline to the image's top edge (up is positive)
    int advance = 0;     // pen movement, whole pixels
};

struct TextExtent {
    int width = 0, ascent = 0, descent = 0;  // descent positive below the baseline
};

class Typeface {
public:
    explicit Typeface(const std::string& path);
    ~Typeface();
    Typeface(const Typeface&) = delete;
    Typeface& operator=(const Typeface&) = delete;

    bool ok() const { return m_face != nullptr; }
    bool hasGlyph(uint32_t codepoint) const;

    Glyph glyph(uint32_t codepoint, int pixelSize) const;
    TextExtent measure(std::string_view utf8, int pixelSize) const;
    // Draws a line with its baseline at y starting at x; returns the width drawn.
    int draw(Canvas& canvas, std::string_view utf8, float x, float baseline, int pixelSize, Rgba color) const;
    // Centred on (cx, cy), shrinking the size until the width fits `maxWidth` (0: no limit).
    void drawCentred(Canvas& canvas, std::string_view utf8, float cx, float cy, int pixelSize, Rgba color,
                     int maxWidth = 0) const;

private:
    struct Library;
    std::shared_ptr<Library> m_library;
    void* m_face = nullptr;  // FT_Face
};

// The next code point of UTF-8 text (U+FFFD for a broken sequence); advances `at`.
uint32_t nextCodePoint(std::string_view text, size_t& at);

}  // namespace formats

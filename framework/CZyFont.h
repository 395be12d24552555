// Glyph-sheet fonts for Chinese, Japanese and Korean: a sheet image of fixed cells and a ".bin"
// of glyph metrics, in a small and a large style.
#pragma once

class CZyFont {
public:
    CZyFont() = default;
    virtual ~CZyFont() = default;   // subclasses are deleted through the base
    CZyFont(const CZyFont&) = delete;
    CZyFont& operator=(const CZyFont&) = delete;
};

// WSPRINTFW: the small formatter of the game's wide texts. Directives: %s and %w (a wide string),
// %d (an int), %0Nd (N 1-9: zeros on the left to N characters, before a minus sign: -5 at 4 gives
// "00-5"); '%' before anything else drops both characters and uses no argument. dst is always
// terminated. In the languages whose strings are glyph indices the directives are also recognised
// as glyph indices, and text the formatter adds becomes glyph indices; the string manager answers
// those questions through IWideFormatGlyphs.
#pragma once

class IWideFormatGlyphs {
public:
    virtual ~IWideFormatGlyphs() = default;
    virtual bool IsWCharLanguage() { return false; }
    virtual wchar_t GetIndexFromWChar(wchar_t c) { return c; }
    virtual wchar_t ChangeWCharToIndex(wchar_t c) { return c; }
    virtual bool IsChangeWCharToIndex() { return false; }
    virtual void ResetFontID() {}
    virtual void SetIsChangeWCharToIndex(bool on) { (void)on; }
};

void SetWideFormatGlyphs(IWideFormatGlyphs* glyphs);   // not owned; null: plain characters

void WSPRINTFW(wchar_t* dst, const wchar_t* format, ...);

// The game's text in nine languages: string tables loaded from ".lang" files, looked up by
// string id, and the routing of text operations to the font of a language.
//
// ".lang": a 4-byte header (not read), then the strings in id order. Languages 0-4 and 8 store
// UTF-8 bytes and a 0 byte; 5-7 store 16-bit glyph indices and a 0 unit. Each string is padded
// with zeros to the next multiple of 4 from the start of the file.
// Ids 0-1213 index the small table directly, ids 2049-3060 at id - 1847; any other id, and a
// string that a missing or short file lacks, gives an empty text (never null).
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr int LANGUAGE_COUNT = 9;
inline constexpr int SMALL_STRING_COUNT = 1214;
inline constexpr int BIG_STRING_COUNT = 50;

extern const char* const SMALL_FONT_STRING_FILES[LANGUAGE_COUNT];
extern const char* const BIG_FONT_STRING_FILES[LANGUAGE_COUNT];
extern const char* const LANGUAGE_CODES[LANGUAGE_COUNT];

class CZyFont;

// What wrapping a text reports: line count, a word not written, wrap width (16-bit each).
struct SWrapResult {
    int16_t lines, unused, width;
};

class CStringManager {
public:
    CStringManager();    // becomes the instance font sprites forward their text to
    ~CStringManager();
    static CStringManager* Instance();   // the last one made and still alive, or null
    CStringManager(const CStringManager&) = delete;
    CStringManager& operator=(const CStringManager&) = delete;

    void LoadString(int language);   // small table, and the big one for languages 5-7
    // Decodes count strings of a whole ".lang" image into table (missing ones stay null).
    static void DecodeTable(const uint8_t* data, size_t size, wchar_t** table, int count, int language);
    void LoadString(const char* path, wchar_t** table, int count, int language);
    wchar_t* GetString(int id);      // the current language's; never null
    wchar_t* GetString(int language, int id);

    void SetLanguage(int language) { m_language = language >= 0 && language < LANGUAGE_COUNT ? language : 0; }
    int GetLanguage() const { return m_language; }
    static bool IsWCharLanguage(int language) { return language >= 5 && language <= 7; }
    bool IsWCharLanguage() const { return IsWCharLanguage(m_language); }

    void SetFontID(int id) { m_fontId = id; }
    int GetFontID() const { return m_fontId; }
    void ResetFontID() { m_fontId = -1; }
    void SetIsChangeWCharToIndex(bool on) { m_changeWCharToIndex = on; }
    bool IsChangeWCharToIndex() const { return m_changeWCharToIndex; }
    static bool IsAsiaLargeFont(int id) { return id == 4 || id == 5 || id == 8; }

    int GetIndexFromWChar(wchar_t c) const;
    void ChangeWCharToIndex(wchar_t* text, int from, int to) const;
    bool IgnoreWCharAndIndexSameChar(wchar_t, int*) const { return true; }
    void MappingSmallFontToLarge(const wchar_t* src, wchar_t* dst) const;

    // The glyph font of the current language (Chinese, Japanese, Korean), none for the others.
    void LoadUnicodeFont();
    void FreeAllFontRes();
    void SetFontColor(int fontId);         // (255, 214, 12) for font id 5, white otherwise
    void SetFontStyleFromID(int fontId);   // 3 and 7 small, 4, 5 and 8 large

    // Text through the font of a font id: the font sprite (slot fontId of the game's sprites)
    // for Latin languages (and for drawing while west digits are used), else the glyph font,
    // on the large sheet's indices for the large font ids (at most 127 units).
    int GetStringWidth(int fontId, wchar_t* text);
    using SWrap = SWrapResult;
    SWrap WrapText(int fontId, wchar_t* text, int width);
    void DrawPage(int fontId, wchar_t* text, int x, int y, int anchor, int width, int colour, bool b1, bool b2);
    void DrawString(int fontId, wchar_t* text, int x, int y, int anchor, bool, int colour, int alpha, int,
                    int scaleX, int scaleY, bool, bool, int angle, bool shrink, bool forward, bool tight);
    void LoadAllString() {}
    void UnLoadFont(int) {}

    CZyFont* m_font = nullptr;

private:
    int m_language = 0;
    wchar_t* m_small[LANGUAGE_COUNT][SMALL_STRING_COUNT] = {};
    wchar_t* m_big[LANGUAGE_COUNT][BIG_STRING_COUNT] = {};
    int m_fontId = -1;
    bool m_changeWCharToIndex = true;
};


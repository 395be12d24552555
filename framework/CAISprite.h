// The game's 2D sprite: a ".bsprite" description (modules, frame-modules, frames, animation
// frames, animations) over one or more images that become textures.
//
// ".bsprite", little-endian, no alignment:
//   s16 version 0x03DF, 0x04DF or 0x05DF; u32 flags; u32 extension flags (0x04DF only).
//   [0x1]     u16 N modules: type byte + payload (see CAISprite_load.cpp)
//   [0x100]   u16 M frame-modules of 4 or 6 (0x400) bytes, +6 with extension bit 0;
//             [0x8000: u16 K marker rects]; u16 F frames {count u8|u16 (0x800), u16 first,
//             [0x8000: u8 markers]}; when F > 0: rects unless 0x1000, second rects with 0x2000
//   [0x10000] u16 A animation frames of 5 or 7 (0x40000) bytes; u16 animations {u8 n, u16 first}
// A file whose sections run past its end, whose indices or ranges leave their tables, or whose
// nested frames form a cycle is refused whole: the sprite stays empty and one log line names it.
#pragma once

#include <boost/intrusive_ptr.hpp>

#include <cstddef>
#include <cstdint>
#include <array>
#include <vector>

#include "engine/IReferenceCounted.h"
#include "engine/core/position2d.h"
#include "engine/core/rect.h"
#include "framework/SpriteVertexStorage.h"

namespace pravik::video {
class ITexture;
class CImage;
}  // namespace pravik::video

class CMeshShot;
struct SWrapResult;
class CEscapeCharacter;

// Optional extended-draw record passed through the paint calls.
struct EXT_DRAW_INFO {
    uint32_t word = 0;
    float half0 = 0.5f, half1 = 0.5f;
    float offsetX = 0.f, offsetY = 0.f;
    int32_t twenty = 20;
    float one = 1.f;
    uint8_t byte0 = 0, byte1 = 0;
    uint8_t r = 255, g = 255, b = 255, a = 255;
};

enum COLOR_NAME { COLOR_RED, COLOR_GREEN, COLOR_SEA, COLOR_BLUE, COLOR_WHITE, COLOR_BLACK, COLOR_YELLOW,
                  COLOR_SAND, COLOR_DARK_GREEN, COLOR_PINK, COLOR_COUNT };
extern const uint8_t ColorsDefinedForFont[COLOR_COUNT][4];  // RGBA

// File flags.
enum : uint32_t {
    BS_MODULES = 0x1,
    BS_MODULE_XY8 = 0x2,
    BS_MODULE_IMAGE = 0x4,
    BS_MODULES_BIG = 0x10,
    BS_MODULE_XY16 = 0x20,
    BS_FRAMES = 0x100,
    BS_FM_OFF16 = 0x400,
    BS_FM_COUNT16 = 0x800,
    BS_NO_FRAME_RECTS = 0x1000,
    BS_FRAME_RECTS2 = 0x2000,
    BS_MARKERS = 0x8000,
    BS_ANIMS = 0x10000,
    BS_AF_OFF16 = 0x40000,
};
enum : uint32_t { BS_EXT_FMODULE = 0x1 };
enum : int16_t { BSPRITE_V3 = 0x03DF, BSPRITE_V4 = 0x04DF, BSPRITE_V5 = 0x05DF };

// Module kinds.
enum { MODULE_IMAGE = 0, MODULE_RECT = 2, MODULE_MARKER = 5, MODULE_ARC6 = 6, MODULE_ARC7 = 7, MODULE_LINE = 8,
       MODULE_GRADIENT = 9 };

// Frame-module and paint flags.
enum { FLIP_X = 0x1, FLIP_Y = 0x2, ROT_90 = 0x4, FM_NESTED = 0x10 };

class CAISprite : public virtual pravik::IReferenceCounted {
public:
    using TexturePtr = boost::intrusive_ptr<pravik::video::ITexture>;

    CAISprite();
    CAISprite(int dataId, const char* folder);
    ~CAISprite() override;
    CAISprite(const CAISprite&) = delete;
    CAISprite& operator=(const CAISprite&) = delete;

    // Loading (CAISprite_load.cpp).
    void LoadSprite(int dataId, const char* folder);  // from the open pack's tables
    void Load(const char* folder, int dataId, int unused);
    void LoadSprite(const char* name, const char* images, const char* folder);  // null name or images: nothing
    // Parses a ".bsprite" image; false (the sprite left empty) when the file is refused.
    bool Load(const unsigned char* data, size_t size, const char* what = "sprite");
    static int IsCurrentSpriteUseMoreColorImage(const char* name, const char* images, const char* folder);
    static int IsCurrentSpriteUseBigImageToScaleSmallImage(const char* name, const char* images, const char* folder);
    static int IsCurrentSpriteUseBigImageToScaleSmallImage_3GS(const char* name, const char* images,
                                                               const char* folder);
    // The folder a sprite of this pack folder is read from in a resolution mode, with the
    // half-texel and scale-down flags that mode gives it.
    static void ChooseFolder(int mode, const char* images, const char* folder, char* out, size_t outSize,
                             int* halfTexel, int* scaleDown);
    // Starts decoding the pictures a later LoadSprite of these images from this pack folder
    // will make textures of, each on a thread of its own (pictures that are halved on load and
    // the brick sheets load as usual).
    static void DecodeImagesAhead(const char* images, const char* folder);
    void NearestImage();

    // Painting (CAISprite_paint.cpp).
    void PaintFrame(int frame, int x, int y, int flags);
    void PaintFrame(int frame, int x, int y, int flags, int hx, int hy, int alpha, int extra, int scaleX,
                    int scaleY, EXT_DRAW_INFO* info, int palette);
    void PaintAFrame(int anim, int aframe, int x, int y, int flags, int hx, int hy, int alpha, int extra,
                     int scaleX, int scaleY, EXT_DRAW_INFO* info);
    void PaintFModule(int frame, int i, int x, int y, int flags, int hx, int hy, int alpha, int extra, int scaleX,
                      int scaleY, EXT_DRAW_INFO* info, int palette);
    // Final: the frame painters call its body directly.
    virtual void PaintModule(int module, int x, int y, int flags, int extra, int scaleX, int scaleY, int alpha,
                             EXT_DRAW_INFO* info, int palette) final;
    virtual void PaintModule_Line(int module, int x, int y, int flags, int extra, int scaleX, int scaleY,
                                  int alpha, EXT_DRAW_INFO* info, int palette);
    void BeginShot(CMeshShot* shot) { m_shot = shot; }
    void EndShot() { m_shot = nullptr; }

    // Queries (CAISprite_query.cpp).
    void GetFrameRect(int* rect, int frame, int x, int y, int flags);
    int GetNumFrameMarkers(int frame, int module);
    int* GetFrameMarkers(int frame, int* out, int capacity, int mode, int module);
    int GetFrameMarkers(int frame, int* out);
    void GetFrameMarkers(int frame, pravik::core::rect<int>* out, unsigned n);
    void GetFrameMarkers(int frame, pravik::core::position2d<int>* out, unsigned n);
    int PaintAFrame_ForModulePosFind(int module, int* x, int* y, int anim, int aframe, int ax, int ay, int flags,
                                     int hx, int hy, EXT_DRAW_INFO* info);
    int PaintFrame_ForModulePosFind(int module, int* x, int* y, int frame, int ox, int oy, int flags);
    int PaintFModule_ForModulePosFind(int module, int* x, int* y, int frame, int i, int ox, int oy, int flags);
    int GetFModuleOff(int frame, int i) const;  // byte position of the record
    int GetFModuleOffX(int frame, int i) const;
    int GetFModuleOffY(int frame, int i) const;
    int GetFModuleFlags(int frame, int i) const;
    int GetFModuleIndex(int k) const;
    int GetFModuleOffX(int k) const;
    int GetFModuleOffY(int k) const;
    int GetFModuleFlags(int k) const;
    int GetAFrameFlag(int anim, int aframe) const;
    static int CaliberatePositionIn320Mode(float v);

    // Bitmap-font text (CAISprite_text.cpp). Codes read as the low 16 bits of each unit.
    void LoadCharacterMap();              // entry c = c for 32-255, 0 below
    void SetCharacterMap(uint16_t* map);  // the caller's, not owned; left unchanged while installed
    void FreeMapChar();
    int GetStringSize(const wchar_t* text, int first, int end, bool escapes, bool widest);
    int UpdateStringSize(const wchar_t* text, bool escapes);
    int GetSubStringWidth(const wchar_t* text, int first, int last);
    int GetSubStringIndex(const wchar_t* text, int start, int maxWidth);
    static int FindWordEnd(const wchar_t* text, int start);
    static int FindWordEnd(const wchar_t* text, int start, int length);
    int WrapTextInternal(wchar_t* text, int maxWidth, bool);
    int WrapTextInternal(wchar_t* text, int maxWidth);   // in place; the line count
    static int StrLength(const wchar_t* text);
    static void GetStringRotateY(int cx, int cy, int& x, int& y, int degrees);
    int DrawStringInternal(const wchar_t* text, int x, int y, int anchor, int palette, int alpha, int, int scaleX,
                           int scaleY, bool, bool, int angle, bool shrink, bool forward, bool tight);
    int DrawPageInternal(wchar_t* text, int x, int y, int width, int firstLine, int lineCount, int, int anchor, int,
                         bool, COLOR_NAME colour, bool, bool draw, bool);
    int DrawPageInternal(wchar_t* text, int x, int y, int width, int anchor, COLOR_NAME colour, bool b, bool b2);
    int FontSpacing() const { return RecordAdvances() ? m_fontSpacing : 0; }
    int SpaceAdvance() const;
    int LineHeightBase() const;      // low 8 bits of module 0's height
    int GlyphRecord(int code) const; // frame-module of a code, -1 when the sprite has none
    int GlyphAdvance(int code, int scaleX) const;
    // Records 0..255: module width + x offset (256 entries, 0 past the last record), decoded
    // once; null when the sprite has none.
    const int16_t* RecordAdvances() const
    {
        return m_recordAdvance.empty() ? BuildRecordAdvances() : m_recordAdvance.data();
    }
    const int16_t* BuildRecordAdvances() const;
    const int16_t* GlyphAdvances() const;   // codes' records 0..255: spacing + advance, 0 without a record
    // ASCII codes through the character map: a plain character's glyph advance, else one of these.
    // The measuring table gives the space its advance too.
    static constexpr int32_t CODE_SPACE = INT32_MIN, CODE_WORD_END = INT32_MIN + 1, CODE_OTHER = INT32_MIN + 2;
    const int32_t* CodeAdvances() const;
    const int32_t* MeasureAdvances() const;
    struct SChar {
        int code;    // -1 skipped escape, -2 line break, -3 soft break, else the glyph code
        int units;
        bool last;   // the code-4 marker ends the text
    };
    SChar ReadChar(const wchar_t* text, int i, int end, int first, bool applyPalette);
    static int _text_w, _text_h, _index1, _index2;

    // Text through the string manager under the sprite's font id (CAISprite_font.cpp).
    void SetFontSpriteID(int id) { m_fontId = id; }
    int GetFontSpriteID() const { return m_fontId; }
    void DrawString(wchar_t* text, int x, int y, int anchor, COLOR_NAME colour);
    void DrawString(wchar_t* text, int x, int y, int anchor, int, int alpha, int, int scaleX, int scaleY, bool, bool,
                    int angle, bool shrink, bool forward, bool tight, COLOR_NAME colour);
    int GetStringWidth(wchar_t* text);
    // Wraps in place; {line count, a word not written, width}.
    SWrapResult WraptextB(wchar_t* text, int width, int, bool);
    // A page of the wrapped text at the wrap result's width (wrap: line count, -, width).
    void DrawPageB(wchar_t* text, const short* wrap, int x, int y, int, int, int anchor, COLOR_NAME colour);
    void DrawPageB(wchar_t* text, const short* wrap, int x, int y, int, int, int anchor, int, COLOR_NAME colour);
    void DrawPageB(wchar_t* text, const SWrapResult& wrap, int x, int y, int first, int count, int anchor,
                   COLOR_NAME colour);
    int GetPageHeight(int fontId, wchar_t* text, int width);
    void DrawStringOrChars(char*, const char* text, int x, int y, int anchor);   // the first nine bytes
    static void MapLowercaseToUpper(int& c);
    static void ChangeLowercaseAccentCharToUpper(int& c);
    int GetCharFrame(wchar_t c) const;        // codes outside the map: the entry of ' '
    int GetCharacterWidth(wchar_t c, wchar_t next) const;
    int GetFontFrameWidth(int frame) const;
    int GetFontFrameLeft(int frame) const;
    void FontAddSpace(int& x, int extra) const;

    // Records, decoded from the raw blocks (all indices already checked at load).
    struct SFModule {
        int index, x, y, flags;
        int extra, scaleX, scaleY;  // 0, 100, 100 without the extension
    };
    struct SAFrame {
        int frame, time, dx, dy, flags;
    };
    SFModule FModule(int k) const;   // inline below: painting decodes one per module
    SAFrame AFrame(int k) const;
    int FrameFModuleCount(int f) const { return f >= 0 && f < m_frameCount ? m_frameFmCount[f] : 0; }
    int FrameFirstFModule(int f) const { return f >= 0 && f < m_frameCount ? m_frameFirst[f] : 0; }
    int AnimAFrameCount(int a) const { return a >= 0 && a < m_animCount ? m_animFrameCount[a] : 0; }
    int AnimFirstAFrame(int a) const { return a >= 0 && a < m_animCount ? m_animFirst[a] : 0; }
    // The time byte of frame `aframe` of animation `anim` (units of 33 ms); 0 outside them.
    int GetAFrameTime(int anim, int aframe) const
    {
        return aframe >= 0 && aframe < AnimAFrameCount(anim) ? AFrame(AnimFirstAFrame(anim) + aframe).time : 0;
    }

    // What a loaded sprite holds.
    CMeshShot* m_shot = nullptr;
    int m_scaleDownImages = 0;
    int m_halfTexel = 0;
    CEscapeCharacter* m_escape = nullptr;
    int m_lineGap = 2;   // text pages
    int m_fontId = -1;

    int m_moduleCount = 0;
    std::vector<int16_t> m_moduleX, m_moduleY, m_moduleW, m_moduleH;
    std::vector<uint8_t> m_moduleImage, m_moduleKind;
    std::vector<uint32_t> m_moduleColor;
    std::vector<uint32_t> m_moduleColor2;   // gradient modules only
    std::vector<int16_t> m_moduleDirection;
    std::vector<int16_t> m_moduleArc;       // four values a module, arc modules only

    int m_frameCount = 0;
    std::vector<uint16_t> m_frameFmCount, m_frameFirst;
    std::vector<int16_t> m_frameRects, m_frameRects2;  // four values a frame
    std::vector<uint16_t> m_markerStart;               // F + 1 running sums
    std::vector<uint8_t> m_fmodules;                   // raw records
    int m_fmoduleSize = 4;
    int m_fmoduleCount = 0;
    std::vector<int16_t> m_markerRects;                // four values a marker rect

    std::vector<uint8_t> m_aframes;                    // raw records
    int m_aframeSize = 5;
    int m_aframeCount = 0;
    int m_animCount = 0;
    std::vector<uint16_t> m_animFrameCount, m_animFirst;

    // Painting state.
    int m_curFrame = 0, m_frameOriginX = 0, m_frameOriginY = 0, m_curFModule = 0;
    int m_curAnim = -1, m_curAFrame = -1, m_lastAFrameDX = 0, m_lastAFrameDY = 0;
    bool m_rotCompX = false, m_rotCompY = false;
    int m_curFModuleFlags = 0;   // own flags of the frame-module being painted

    uint32_t m_flags = 0, m_extFlags = 0;
    int m_palette = 0;

    std::vector<TexturePtr> m_textures;
    SSpriteVertexStorage m_vertices;   // made at load
    int m_imageCount = 0;   // at most 255

    uint16_t* m_charMap = nullptr;   // text: code -> glyph, owned when m_ownsCharMap
    bool m_ownsCharMap = false;
    int16_t m_wrapLines = 0, m_wrapWidth = 0;
    mutable std::vector<int16_t> m_recordAdvance;   // measuring cache, emptied by every load
    mutable int m_fontSpacing = 0;
    mutable std::array<int32_t, 256> m_codeAdvance{};   // CodeAdvances(), MeasureAdvances(); made again after a load or a new map
    mutable bool m_codeAdvanceReady = false;

    static boost::intrusive_ptr<pravik::video::CImage> g_pImage;
    static int g_bImageScaled;
    static pravik::video::ITexture* m_pCurrentTexture;

private:
    struct SPaintContext;
    struct SPaintScope;
    struct SPaintArgs {   // what a paint hands every frame-module unchanged
        int hx, hy, alpha, extra, scaleX, scaleY;
        EXT_DRAW_INFO* info;
        int palette;
    };
    const SPaintContext* m_paint = nullptr;   // while a paint runs: what its modules share
    void MakePaintContext(SPaintContext& ctx) const;
    void paintFrameModules(int frame, int x, int y, int flags, const SPaintArgs& a, bool current);
    template <int Size>
    void paintFModules(int frame, int begin, int end, int x, int y, int flags, const SPaintArgs& a, bool current);
    void paintNested(int frame, int px, int py, int flags, const SPaintArgs& a);
    void paintModule(int module, int x, int y, int E, int scaleX, int scaleY, int alpha, EXT_DRAW_INFO* info,
                     int palette);
    void paintShape(int module, int x, int y, int E);
    void turnedBox(int x, int y, int W, int H, int E, int box[4]) const;
    void clear();
    void loadImages(const char* images, const char* folder, char* F, size_t Fsize);
};

inline CAISprite::SFModule CAISprite::FModule(int k) const
{
    SFModule r{0, 0, 0, 0, 0, 100, 100};
    if (k < 0 || k >= m_fmoduleCount)
        return r;
    const uint8_t* p = &m_fmodules[size_t(k) * m_fmoduleSize];
    int flagsByte;
    if (m_flags & BS_FM_OFF16) {
        r.x = int16_t(p[1] | p[2] << 8);
        r.y = int16_t(p[3] | p[4] << 8);
        flagsByte = p[5];
        if (m_fmoduleSize == 12) {
            r.extra = int16_t(p[6] | p[7] << 8);
            r.scaleX = int16_t(p[8] | p[9] << 8);
            r.scaleY = int16_t(p[10] | p[11] << 8);
        }
    } else {
        r.x = p[1];
        r.y = p[2];
        flagsByte = p[3];
        if (m_fmoduleSize == 10) {
            r.extra = int16_t(p[4] | p[5] << 8);
            r.scaleX = int16_t(p[6] | p[7] << 8);
            r.scaleY = int16_t(p[8] | p[9] << 8);
        }
    }
    r.flags = flagsByte;
    r.index = p[0] | (flagsByte & 0xC0) << 2;
    return r;
}

// The framework's static toolbox. This file holds the resource packs: numbered folders of the
// data directory whose items are named by the compiled tables of PackTables.h. One pack is
// open at a time; items are read whole, or as typed arrays, through the engine's file system.
#pragma once

#include <cstdint>
#include <vector>

#include "framework/CDataArray.h"

#include "engine/video/ITexture.h"
#include "engine/video/SColor.h"

#include <boost/intrusive_ptr.hpp>

namespace pravik::video {
class CImage;
}

class ViDuz {
public:
    static char m_szCurrentOpenPackName[256];  // empty when none is open
    static int m_bHasOpenPack;                 // set by the first Pack_Open, never cleared
    static CDataArray<unsigned char> m_ReadData;  // the shared buffer of Pack_ReadData(int)
    static char g_szReplaceFileName[128];      // texture names built for the current location

    static int Pack_Open(const char* folder);  // closes the open pack first; 1
    static void Pack_Close();                  // frees the shared buffer
    static const char* GetResourceNameFromDataID(int n);  // null outside the known packs or rows
    static const char* GetTextureNameFromDataID(int n);   // null for packs without textures
    // Item n whole into the shared buffer, valid until the next read, open or close.
    // A missing item leaves the buffer empty (length 0, no data).
    static CDataArray<unsigned char>* Pack_ReadData(int n);
    // Item n whole into the caller's array; false (and an empty array) when it is missing.
    static bool Pack_ReadData(int n, CDataArray<unsigned char>& out);
    // Item n as a typed array: always sets both outputs; null and 0 when the item is missing,
    // its count is negative, its kind builds nothing or the file is shorter than its count.
    static void Pack_ReadArray(int n, void** outArray, int* outCount);

    static int Mem_SetShort(char* buffer, int position, short value);  // position + 2
    static short Mem_GetShort(const unsigned char* data, int position);

    // Whole file through the engine's file system; false when it does not open or reads short.
    static bool ReadWholeFile(const char* path, std::vector<uint8_t>& out);

    // Immediate 2D drawing (ViDuz_draw.cpp): every call is one quad into the quad batcher, drawn in
    // call order at the end of the 2D pass. Logical screen pixels, top-left origin, y down.
    // Colours as arguments are 0xAARRGGBB. Solid shapes blend by alpha; nothing here is clipped
    // except the software blits.
    ViDuz() = default;
    virtual ~ViDuz() = default;

    static pravik::video::SColor s_CurColor;   // (255, 255, 255, 255) at start
    static int s_CurClip[4];                    // left, top, right, bottom (exclusive); empty at start
    static boost::intrusive_ptr<pravik::video::ITexture> s_pSoftwareRenderBuffer;
    static int s_SoftwareBitBltCount;

    static void SetColor(unsigned int argb);               // alpha 0 is taken as opaque
    static void SetColor(pravik::video::SColor color);     // the same rule
    static void SetColorRGBA(unsigned int argb);           // alpha as given
    static void SetClip(int x, int y, int w, int h);
    static void ClipRect(int x, int y, int w, int h) { SetClip(x, y, w, h); }
    static int GetClipX() { return s_CurClip[0]; }
    static int GetClipY() { return s_CurClip[1]; }
    static int GetClipWidth() { return s_CurClip[2] - s_CurClip[0]; }
    static int GetClipHeight() { return s_CurClip[3] - s_CurClip[1]; }

    // Kinds: 4 c2 left to c1 right, 8 c1 left to c2 right, 16 c2 top to c1 bottom, 32 c1 top to
    // c2 bottom; any other kind draws nothing. Off-screen rectangles are not sent.
    static void DrawGradientRect(int x, int y, int w, int h, const pravik::video::SColor& c1,
                                 const pravik::video::SColor& c2, int kind);
    static void DrawGradientRect(int x, int y, int w, int h, const int& argb1, const int& argb2, int kind);
    static void FillRect(int x, int y, int w, int h);
    static void DrawRect(int x, int y, int w, int h) { FillRect(x, y, w, h); }
    static void DrawRectFrame(int x, int y, int w, int h);   // 2-pixel bars; the far corner stays open
    static void FillTrapezoidal(int x0, int y0, int x1, int y1, int x2, int y2, int x3, int y3);

    static void DrawLine(pravik::video::ITexture* texture, int x0, int y0, int x1, int y1, int halfWidth);
    static void DrawLine(int x0, int y0, int x1, int y1);   // the game's line texture, half-width 10

    static void Draw2DImage(pravik::video::ITexture* texture, int x, int y);
    static void DrawImage(pravik::video::ITexture* texture, int x, int y, int, unsigned char) { Draw2DImage(texture, x, y); }
    static void Draw2DImage(pravik::video::ITexture* texture, int x, int y, int w, int h, int sx, int sy, int sw, int sh);
    static void DrawImage(pravik::video::ITexture* texture, int x0, int y0, int x1, int y1, int x2, int y2, int x3,
                          int y3, unsigned char alpha);
    static void Draw2DImageFullScreen(pravik::video::ITexture* texture, int blendMode);   // as 1024x1024 texels
    static void FlushTextureData(pravik::video::ITexture* texture);

    static void EnableSoftwareRender(const boost::intrusive_ptr<pravik::video::ITexture>& texture);
    static boost::intrusive_ptr<pravik::video::ITexture> GetSoftwareRenderBuffer() { return s_pSoftwareRenderBuffer; }
    static void Clear_Software(int);
    static void Flush_Software() {}
    // 16-bit pixels of the image into the buffer, inside the clip and the screen. Flags bit 0
    // mirrors, bit 1 flips; rotate turns the span 90 degrees clockwise.
    static void BitBlt_Software(const pravik::video::CImage* image, int x, int y, int sx, int sy, int w, int h,
                                int flags, bool rotate);
    static void BitBlt_Software_Rotate90(const pravik::video::CImage* image, int x, int y, int sx, int sy, int w,
                                         int h, int flags);
};

extern const pravik::video::SColor COLOR_ALPHA_0_PERCENT, COLOR_ALPHA_10_PERCENT, COLOR_ALPHA_20_PERCENT,
    COLOR_ALPHA_40_PERCENT, COLOR_ALPHA_50_PERCENT, COLOR_ALPHA_60_PERCENT, COLOR_ALPHA_80_PERCENT,
    COLOR_ALPHA_100_PERCENT;

// Plays one animation of a sprite: the current frame, the time spent in it and the loops left,
// advanced by the frame time and painted at a position. The class also holds, as statics, a
// small tileset engine of four layers of tile maps painted from one sprite's modules into a
// circular buffer and scrolled by a per-layer camera.
#pragma once

#include "framework/CDataArray.h"

namespace pravik::video {
class ITexture;
}
class CAISprite;

class ViDuzPlayer {
public:
    ViDuzPlayer() { Reset(); }

    void Reset();
    void SetSprite(CAISprite* sprite);
    CAISprite* GetSprite() const { return m_pSprite; }
    void SetAnim(int anim, int loops);
    void SetAnim(int anim) { SetAnim(anim, -1); }
    void SetAnim(int anim, int loops, unsigned char restart);
    int SetFrame(int frame);   // 0 without a sprite, -1 without an animation
    int GetFrame() const { return m_nFrame; }
    int GetAnim() const { return m_nAnim; }
    int GetNbFrame() const;
    void SetPalette(int p) { m_nPalette = p; }
    int GetPalette() const { return m_nPalette; }
    void SetPos(int x, int y) { m_nPosX = x; m_nPosY = y; }
    bool IsAnimOver() const;
    void Update(int ms);
    void Update();   // by the game's frame time
    void SetTransform(int t);
    int GetTransform() const;
    void SetBlend(int b) { m_nBlend = b; }
    int GetBlend() const { return m_nBlend; }
    void SetScale(int s) { m_nScale = s; }
    int GetScale() const { return m_nScale; }
    int GetNbanim() const;
    void Render();
    bool GetModulePos(int module, int& x, int& y);
    static int GetScreenWidth();
    static int GetScreenHeight();

    // Tileset engine.
    enum { LAYER_WRAP_X = 1, LAYER_WRAP_Y = 2, LAYER_BUFFERED = 4, LAYER_ORIGIN_BOTTOM = 8,
           LAYER_CLAMP_X = 16, LAYER_CLAMP_Y = 32 };
    static int s_TilesetMaxLayerCount;
    static unsigned char s_bTilesetPlayerInitialized;
    static CDataArray<int> s_TilesetInfo;
    static CDataArray<CDataArray<int>> s_TilesetLayerInfo;
    static CDataArray<CDataArray<CDataArray<unsigned char>>> s_TilesetLayerData;
    static CDataArray<CDataArray<pravik::video::ITexture*>> s_TilesetLayerImage;
    static CDataArray<CAISprite*> s_TilesetSprite;

    static void Tileset_Init(int viewWidth, int viewHeight, int tileWidth, int tileHeight);
    static void Tileset_LoadLayer(int layer, const unsigned char* header, int, const CDataArray<unsigned char>& tiles,
                                  const CDataArray<unsigned char>& flags, CAISprite* sprite, int bufferLayer,
                                  int origin, int modeX, int modeY);
    static void Tileset_Destroy(int layer);
    static void ReleaseStaticData();
    static void Tileset_SetCamera(int layer, int x, int y);
    static int Tileset_GetCameraX(int layer);
    static int Tileset_GetCameraY(int layer);
    static void Tileset_Update(int) {}
    static void Tileset_CleanBuffer(int layer, int x, int y, int w, int h);
    static void Tileset_CleanBuffer(int layer, CAISprite* sprite, int frame, int x, int y, int flags);
    static void Tileset_UpdateBuffer(int layer, int col0, int row0, int cols, int rows, int x0, int y0);
    static void Tileset_PaintSpriteFrame(int layer, CAISprite* sprite, int frame, int x, int y, int flags,
                                         unsigned char);
    static int Tileset_GetBufferWidth(int);
    static int Tileset_GetBufferHeight(int);
    static bool isFlag(int layer, int flag);
    static void setFlag(int layer, int flag, unsigned char on);
    static int Tileset_GetTranslatedOriginY(int layer, int y);
    static int Tileset_GetLayerData_ByIdx(int layer, int map, int index);
    static unsigned char* Tileset_GetLayerBlock(int layer, int map, int);

    int m_nTransform = 0;
    int m_nElapsed = 0;
    int m_nPosX = 0, m_nPosY = 0;
    int m_nAnim = -1;
    int m_nFrame = 0;
    int m_nLoops = 1;
    int m_nPalette = -1;
    int m_nScale = -1;
    int m_nBlend = 0;
    unsigned char m_bAnimOver = 1;
    CAISprite* m_pSprite = nullptr;
};

// The tileset engine: four layers of tile maps over one sprite's modules, each with a camera,
// a circular buffer and wrap, clamp and bottom-origin flags.

#include "framework/ViDuzPlayer.h"

#include "framework/CAISprite.h"
#include "framework/FixedPointMath.h"
#include "framework/ScreenGeometry.h"

#include <cstring>

int ViDuzPlayer::s_TilesetMaxLayerCount = 4;
unsigned char ViDuzPlayer::s_bTilesetPlayerInitialized = 0;
CDataArray<int> ViDuzPlayer::s_TilesetInfo;
CDataArray<CDataArray<int>> ViDuzPlayer::s_TilesetLayerInfo;
CDataArray<CDataArray<CDataArray<unsigned char>>> ViDuzPlayer::s_TilesetLayerData;
CDataArray<CDataArray<pravik::video::ITexture*>> ViDuzPlayer::s_TilesetLayerImage;
CDataArray<CAISprite*> ViDuzPlayer::s_TilesetSprite;

namespace {

enum { VIEW_W, VIEW_H, TILE_W, TILE_W_SHIFT, TILE_W_MASK, TILE_H, TILE_H_SHIFT, TILE_H_MASK };
enum { L_LOADED, L_ENABLED, L_MAP_W, L_MAP_H, L_ZERO, L_MAP_PX_W, L_MAP_PX_H, L_BUF_W, L_BUF_H, L_COL0, L_ROW0,
       L_COL1, L_ROW1, L_CAM_X, L_CAM_Y, L_FLAGS };

bool valid(int layer)
{
    return ViDuzPlayer::s_bTilesetPlayerInitialized && layer >= 0 && layer < ViDuzPlayer::s_TilesetMaxLayerCount &&
           layer < ViDuzPlayer::s_TilesetLayerInfo.length && ViDuzPlayer::s_TilesetInfo.length == 8;
}

int* info(int layer) { return ViDuzPlayer::s_TilesetLayerInfo.data[layer].data; }
int T(int i) { return ViDuzPlayer::s_TilesetInfo.data[i]; }

int bufferSize(int view, int tile)
{
    int size = view / tile * tile + tile;
    if (size - view < tile)
        size += tile;
    return size;
}

void copyArray(CDataArray<unsigned char>& to, const CDataArray<unsigned char>& from)
{
    to.NewArray(from.length);
    if (to.data && from.data && from.length > 0)
        std::memcpy(to.data, from.data, size_t(from.length));
}

}  // namespace

void ViDuzPlayer::Tileset_Init(int viewWidth, int viewHeight, int tileWidth, int tileHeight)
{
    s_TilesetInfo.NewArray(8);
    int* t = s_TilesetInfo.data;
    const int ws = Math_Log2(tileWidth), hs = Math_Log2(tileHeight);
    t[VIEW_W] = viewWidth;
    t[VIEW_H] = viewHeight;
    t[TILE_W] = 1 << ws; t[TILE_W_SHIFT] = ws; t[TILE_W_MASK] = (1 << ws) - 1;
    t[TILE_H] = 1 << hs; t[TILE_H_SHIFT] = hs; t[TILE_H_MASK] = (1 << hs) - 1;
    s_TilesetLayerInfo.NewArray(s_TilesetMaxLayerCount);
    s_TilesetLayerData.NewArray(s_TilesetMaxLayerCount);
    s_TilesetLayerImage.NewArray(s_TilesetMaxLayerCount);
    s_TilesetSprite.NewArray(s_TilesetMaxLayerCount);
    for (int l = 0; l < s_TilesetMaxLayerCount; ++l) {
        s_TilesetLayerInfo.data[l].NewArray(16);
        s_TilesetLayerData.data[l].NewArray(2);
        s_TilesetLayerImage.data[l].NewArray(1);
    }
    s_bTilesetPlayerInitialized = 1;
}

void ViDuzPlayer::Tileset_Destroy(int layer)
{
    if (!valid(layer))
        return;
    s_TilesetLayerInfo.data[layer].NewArray(16);
    s_TilesetLayerImage.data[layer].NewArray(1);
    s_TilesetLayerData.data[layer].NewArray(2);
    s_TilesetSprite.data[layer] = nullptr;
}

void ViDuzPlayer::ReleaseStaticData()
{
    s_TilesetInfo.NewArray(0);
    s_TilesetLayerInfo.NewArray(0);
    s_TilesetLayerData.NewArray(0);
    s_TilesetLayerImage.NewArray(0);
    s_TilesetSprite.NewArray(0);
}

void ViDuzPlayer::Tileset_LoadLayer(int layer, const unsigned char* header, int,
                                    const CDataArray<unsigned char>& tiles, const CDataArray<unsigned char>& flags,
                                    CAISprite* sprite, int bufferLayer, int origin, int modeX, int modeY)
{
    if (!valid(layer) || !header)
        return;
    s_TilesetLayerInfo.data[layer].NewArray(16);
    s_TilesetLayerData.data[layer].NewArray(2);
    copyArray(s_TilesetLayerData.data[layer].data[0], tiles);
    copyArray(s_TilesetLayerData.data[layer].data[1], flags);
    int* L = info(layer);
    L[L_MAP_W] = header[0] | header[1] << 8;
    L[L_MAP_H] = header[2] | header[3] << 8;
    L[L_MAP_PX_W] = T(TILE_W) * L[L_MAP_W];
    L[L_MAP_PX_H] = T(TILE_H) * L[L_MAP_H];
    s_TilesetSprite.data[layer] = sprite;
    if (bufferLayer >= 0) {
        L[L_FLAGS] |= LAYER_BUFFERED;
        L[L_BUF_W] = bufferSize(T(VIEW_W), T(TILE_W));
        L[L_BUF_H] = bufferSize(T(VIEW_H), T(TILE_H));
        if (bufferLayer != layer && bufferLayer < s_TilesetMaxLayerCount)
            s_TilesetLayerImage.data[layer].data[0] = s_TilesetLayerImage.data[bufferLayer].data[0];
    }
    L[L_COL0] = L[L_ROW0] = L[L_COL1] = L[L_ROW1] = -1;
    L[L_LOADED] = L[L_ENABLED] = 1;
    L[L_CAM_X] = L[L_CAM_Y] = 0;
    if (modeX == 1) L[L_FLAGS] |= LAYER_WRAP_X;
    else if (modeX == 0) L[L_FLAGS] |= LAYER_CLAMP_X;
    if (modeY == 1) L[L_FLAGS] |= LAYER_WRAP_Y;
    else if (modeY == 0) L[L_FLAGS] |= LAYER_CLAMP_Y;
    if (origin == 32) L[L_FLAGS] |= LAYER_ORIGIN_BOTTOM;
}

int ViDuzPlayer::Tileset_GetTranslatedOriginY(int layer, int y)
{
    if (!valid(layer) || !(info(layer)[L_FLAGS] & LAYER_ORIGIN_BOTTOM))
        return y;
    return info(layer)[L_MAP_PX_H] - T(VIEW_H) - y;
}

void ViDuzPlayer::Tileset_SetCamera(int layer, int x, int y)
{
    if (!valid(layer) || !info(layer)[L_LOADED] || !info(layer)[L_ENABLED])
        return;
    int* L = info(layer);
    L[L_CAM_X] = x;
    L[L_CAM_Y] = Tileset_GetTranslatedOriginY(layer, y);
    if (L[L_FLAGS] & LAYER_CLAMP_X) {
        const int limit = L[L_MAP_PX_W] - T(VIEW_W);
        if (L[L_CAM_X] >= limit) L[L_CAM_X] = limit - 1;
        if (L[L_CAM_X] < 0) L[L_CAM_X] = 0;
    }
    if (L[L_FLAGS] & LAYER_CLAMP_Y) {
        const int limit = L[L_MAP_PX_H] - T(VIEW_H);
        if (L[L_CAM_Y] >= limit) L[L_CAM_Y] = limit - 1;
        if (L[L_CAM_Y] < 0) L[L_CAM_Y] = 0;
    }
}

int ViDuzPlayer::Tileset_GetCameraX(int layer)
{
    if (!valid(layer) || !info(layer)[L_LOADED])
        return -1;
    return info(layer)[L_CAM_X];
}

int ViDuzPlayer::Tileset_GetCameraY(int layer)
{
    if (!valid(layer) || !info(layer)[L_LOADED])
        return -1;
    return Tileset_GetTranslatedOriginY(layer, info(layer)[L_CAM_Y]);
}

void ViDuzPlayer::Tileset_UpdateBuffer(int layer, int col0, int row0, int cols, int rows, int x0, int y0)
{
    if (!valid(layer))
        return;
    const int* L = info(layer);
    CAISprite* sprite = s_TilesetSprite.data[layer];
    const CDataArray<unsigned char>& map = s_TilesetLayerData.data[layer].data[0];
    const CDataArray<unsigned char>& flagMap = s_TilesetLayerData.data[layer].data[1];
    if (!sprite || !map.data)
        return;
    const int tw = T(TILE_W), th = T(TILE_H), mw = L[L_MAP_W], mh = L[L_MAP_H];
    const bool buffered = L[L_FLAGS] & LAYER_BUFFERED;
    const int bw = L[L_BUF_W], bh = L[L_BUF_H];
    int colEnd = col0 + cols, rowEnd = row0 + rows;
    if (!(L[L_FLAGS] & (LAYER_WRAP_X | LAYER_CLAMP_X))) {
        if (col0 < 0) col0 = 0;
        if (colEnd > mw - 1) colEnd = mw - 1;
    }
    if (!(L[L_FLAGS] & (LAYER_WRAP_Y | LAYER_CLAMP_Y))) {
        if (row0 < 0) row0 = 0;
        if (rowEnd > mh - 1) rowEnd = mh - 1;
    }
    if (buffered && bw > 0 && bh > 0) {
        x0 = ((col0 * tw) % bw + bw) % bw;
        y0 = ((row0 * th) % bh + bh) % bh;
    }
    int y = y0;
    for (int row = row0; row <= rowEnd; ++row) {
        int x = x0;
        int r = row;
        if ((L[L_FLAGS] & LAYER_WRAP_Y) && mh > 0) r = ((r % mh) + mh) % mh;
        for (int col = col0; col <= colEnd; ++col) {
            int c = col;
            if ((L[L_FLAGS] & LAYER_WRAP_X) && mw > 0) c = ((c % mw) + mw) % mw;
            if (c >= 0 && c < mw && r >= 0 && r < mh && size_t(r) * mw + c < size_t(map.length)) {
                const int index = r * mw + c;
                const int tile = map.data[index];
                const int f = flagMap.data && index < flagMap.length ? flagMap.data[index] : 0;
                if (tile != 255)
                    sprite->PaintModule(tile, x, y, f, 0, 100, 100, 255, nullptr, -1);
            }
            x += tw;
            if (buffered && x >= bw) x = 0;
        }
        y += th;
        if (buffered && y >= bh) y = 0;
    }
}

void ViDuzPlayer::Tileset_CleanBuffer(int layer, int x, int y, int w, int h)
{
    if (!valid(layer) || !(info(layer)[L_FLAGS] & LAYER_BUFFERED))
        return;
    const int* L = info(layer);
    const int tw = T(TILE_W), th = T(TILE_H);
    const int startX = L[L_COL0] * tw, startY = L[L_ROW0] * th;
    if (x + w < startX || y + h < startY || x > startX + L[L_BUF_W] || y > startY + L[L_BUF_H])
        return;
    int c0 = x >> T(TILE_W_SHIFT), c1 = (x + w - 1) >> T(TILE_W_SHIFT);
    int r0 = y >> T(TILE_H_SHIFT), r1 = (y + h - 1) >> T(TILE_H_SHIFT);
    if (c0 < L[L_COL0]) c0 = L[L_COL0];
    if (r0 < L[L_ROW0]) r0 = L[L_ROW0];
    if (c1 > L[L_COL1]) c1 = L[L_COL1];
    if (r1 > L[L_ROW1]) r1 = L[L_ROW1];
    if (c1 < c0 || r1 < r0 || L[L_COL0] < 0)
        return;   // nothing is held in the buffer
    Tileset_UpdateBuffer(layer, c0, r0, c1 - c0, r1 - r0, 0, 0);
}

void ViDuzPlayer::Tileset_CleanBuffer(int layer, CAISprite* sprite, int frame, int x, int y, int flags)
{
    if (!sprite || frame < 0 || frame >= sprite->m_frameCount || sprite->m_frameRects.empty())
        return;
    const int16_t* r = &sprite->m_frameRects[size_t(frame) * 4];
    int ox = r[0], oy = r[1], w = r[2], h = r[3];
    if (!(sprite->m_flags & BS_FM_OFF16)) {
        ox = uint8_t(ox); oy = uint8_t(oy); w = uint8_t(w); h = uint8_t(h);
    } else {
        w = uint16_t(w); h = uint16_t(h);
    }
    if (flags & FLIP_X) ox = -ox - w;
    if (flags & FLIP_Y) oy = -oy - h;
    if (flags & ROT_90) {
        const int nx = -oy - h, ny = ox;
        ox = nx; oy = ny;
        std::swap(w, h);
    }
    Tileset_CleanBuffer(layer, x + ox, y + oy, w, h);
}

void ViDuzPlayer::Tileset_PaintSpriteFrame(int layer, CAISprite* sprite, int frame, int x, int y, int flags,
                                           unsigned char)
{
    if (!sprite || !valid(layer) || frame < 0 || frame >= sprite->m_frameCount)
        return;
    const int px = x - info(layer)[L_CAM_X];
    const int py = Tileset_GetTranslatedOriginY(layer, y) + Display_Border_Top() - info(layer)[L_CAM_Y];
    sprite->m_curFrame = frame;
    sprite->m_frameOriginX = px;
    sprite->m_frameOriginY = py;
    for (int i = 0; i < sprite->FrameFModuleCount(frame); ++i) {
        sprite->m_curFModule = i;
        sprite->PaintFModule(frame, i, px, py, flags, 0, 0, 255, 0, 100, 100, nullptr, -1);
    }
}

int ViDuzPlayer::Tileset_GetBufferWidth(int) { return Screen_Width(); }
int ViDuzPlayer::Tileset_GetBufferHeight(int) { return Screen_Height(); }

bool ViDuzPlayer::isFlag(int layer, int flag)
{
    return valid(layer) && (info(layer)[L_FLAGS] & flag) != 0;
}

void ViDuzPlayer::setFlag(int layer, int flag, unsigned char on)
{
    if (!valid(layer))
        return;
    if (on)
        info(layer)[L_FLAGS] |= flag;
    else
        info(layer)[L_FLAGS] &= ~flag;
}

int ViDuzPlayer::Tileset_GetLayerData_ByIdx(int layer, int map, int index)
{
    if (!valid(layer) || map < 0 || map > 1)
        return -1;
    const CDataArray<unsigned char>& m = s_TilesetLayerData.data[layer].data[map];
    return index >= 0 && index < m.length ? m.data[index] : -1;
}

unsigned char* ViDuzPlayer::Tileset_GetLayerBlock(int layer, int map, int)
{
    if (!valid(layer) || map < 0 || map > 1)
        return nullptr;
    const CDataArray<unsigned char>& m = s_TilesetLayerData.data[layer].data[map];
    return m.length > 0 ? m.data : nullptr;
}

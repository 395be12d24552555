// UI layout layers: a pristine copy as loaded and a live copy the screens change and restore.
#include "game/CAIGame.h"
#include "game/CAITouchObj.h"
#include "framework/ViDuz.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr int kLayerCount = 38;
constexpr int kGUISlots = 39;

using Layer = CDataArray<CDataArray<int16_t>>;

void freeLayer(Layer& layer)
{
    delete[] layer.data;
    layer.data = nullptr;
    layer.length = 0;
}

// The live element, or null for numbers outside the loaded layers.
CDataArray<int16_t>* liveElement(int layer, int element)
{
    if (layer < 0 || layer >= kLayerCount || layer >= CAIGame::m_gameData.length)
        return nullptr;
    Layer& l = CAIGame::m_gameData.data[layer];
    if (element < 0 || element >= l.length)
        return nullptr;
    return &l.data[element];
}

}  // namespace

void CAIGame::InitGameLayers()
{
    m_gameData.NewArray(kLayerCount);
    m_gameDataClean.NewArray(kLayerCount);
    m_gameUpdateAnimsLastFrame.NewArray(kLayerCount);
    for (int i = 0; i < kLayerCount; ++i)
        m_gameUpdateAnimsLastFrame.data[i] = s_game_currentFrameNB - 1;
    for (int i = 0; i < m_spritesGUI.length; ++i)
        if (m_spritesGUI.data[i])
            m_spritesGUI.data[i]->drop();
    m_spritesGUI.NewArray(kGUISlots);
    m_spritesGUILoadState.NewArray(kGUISlots);
    s_menu_box_reveal_time = 500;
}

bool CAIGame::IsGameLayerLoaded(int layer)
{
    return layer >= 0 && layer < kLayerCount && layer < m_gameDataClean.length &&
           m_gameDataClean.data[layer].data != nullptr;
}

void CAIGame::LoadGameLayerData(int layer)
{
    if (layer < 0 || layer >= kLayerCount || layer >= m_gameDataClean.length || layer >= m_gameData.length)
        return;
    CDataArray<unsigned char> item;
    if (!ViDuz::Pack_ReadData(layer, item) || item.length <= 0)
        return;
    const unsigned char* bytes = item.data;
    const int size = item.length;

    // An element with a negative count or running past the item's end closes the layer there.
    int count = 0;
    for (int pos = 0; pos + 10 <= size; ++count) {
        const int n = ViDuz::Mem_GetShort(bytes, pos + 8);
        if (n < 0 || pos + 10 + 2 * n > size)
            break;
        pos += 10 + 2 * n;
    }

    Layer& clean = m_gameDataClean.data[layer];
    Layer& live = m_gameData.data[layer];
    clean.NewArray(count);
    live.NewArray(count);
    int pos = 0;
    for (int e = 0; e < count; ++e) {
        const int values = 5 + ViDuz::Mem_GetShort(bytes, pos + 8);
        CDataArray<int16_t>& element = clean.data[e];
        element.NewArray(values);
        for (int i = 0; i < values; ++i)
            element.data[i] = ViDuz::Mem_GetShort(bytes, pos + 2 * i);
        pos += 2 * values;
        if (element.data[0] == 1 && values > 7 && element.data[7] >= 0) {
            if (element.data[6] == -3)
                element.data[7] = int16_t(element.data[7] | 0x400);
            else if (element.data[6] == -2)
                element.data[7] = int16_t(element.data[7] | 0x200);
            element.data[6] = 0;
        }
        live.data[e].NewArray(values);
    }
    ResetLayerData(layer);
}

void CAIGame::LoadGameLayer(int layer, int open)
{
    if (layer < 0 || layer >= kLayerCount)
        return;
    if (IsGameLayerLoaded(layer)) {
        ResetLayerData(layer);
        return;
    }
    if (open)
        ViDuz::Pack_Open("14");
    LoadGameLayerData(layer);
    if (open)
        ViDuz::Pack_Close();
}

void CAIGame::LoadAllMMGameLayers_New()
{
    ViDuz::Pack_Open("14");
    for (int layer : kMainMenuLayers)
        LoadGameLayer(layer, 0);
    ViDuz::Pack_Close();
}

void CAIGame::FreeGameLayer(int layer, int keepLive)
{
    if (layer < 0 || layer >= kLayerCount)
        return;
    if (!keepLive && layer < m_gameData.length)
        freeLayer(m_gameData.data[layer]);
    if (layer < m_gameDataClean.length)
        freeLayer(m_gameDataClean.data[layer]);
}

void CAIGame::ResetLayerData(int layer)
{
    if (!IsGameLayerLoaded(layer) || layer >= m_gameData.length)
        return;
    Layer& clean = m_gameDataClean.data[layer];
    Layer& live = m_gameData.data[layer];
    if (live.length != clean.length) {
        live.NewArray(clean.length);
    }
    for (int e = clean.length - 1; e >= 0; --e) {
        CDataArray<int16_t>& from = clean.data[e];
        CDataArray<int16_t>& to = live.data[e];
        if (to.length != from.length)
            to.NewArray(from.length);
        if (from.length > 0)
            std::memcpy(to.data, from.data, sizeof(int16_t) * size_t(from.length));
    }
}

int CAIGame::GetGameLayerElementCount(int layer)
{
    if (layer < 0 || layer >= kLayerCount || layer >= m_gameData.length)
        return 0;
    return m_gameData.data[layer].length;
}

int CAIGame::GetParamValue(int layer, int element, int index)
{
    CDataArray<int16_t>* e = liveElement(layer, element);
    if (!e || index < 0 || index >= e->length)
        return 0;
    return e->data[index];
}

bool CAIGame::GetParamBooleanValue(int layer, int element, int index)
{
    return GetParamValue(layer, element, index) == 1;
}

void CAIGame::SetParamValue(int layer, int element, int index, int value)
{
    CDataArray<int16_t>* e = liveElement(layer, element);
    if (!e || index < 0 || index >= e->length)
        return;
    if (s_first_intoConfirm) {
        s_frame_HL_id = 23;
    } else if (e->data[0] == 2 && index == 8 && value == 4) {
        // The highlight style belongs to the entry under the touch cursor only.
        if (!(s_curObj && CAITouchObj::_list_cursor_id == s_menuSelection))
            value = 10;
    }
    e->data[index] = int16_t(value);
}

void CAIGame::SetGraphItemVisibility(int layer, int element, int visible)
{
    CDataArray<int16_t>* e = liveElement(layer, element);
    if (e && e->length > 10)
        e->data[10] = int16_t(visible);
}

void CAIGame::ResetMenuTransitionTime(int percent)
{
    s_menu_box_reveal_time = percent * 500 / 100;
    if (s_genericTimer > 0)
        s_genericTimer = s_menu_box_reveal_time;
}

// Advances the animations of a layer's graphic elements by the frame's time, once a frame.
void CAIGame::UpdateGameLayerAnims(int layer)
{
    if (layer < 0 || layer >= kLayerCount || layer >= m_gameData.length || layer >= m_gameUpdateAnimsLastFrame.length)
        return;
    if (m_gameUpdateAnimsLastFrame.data[layer] == s_game_currentFrameNB)
        return;
    m_gameUpdateAnimsLastFrame.data[layer] = s_game_currentFrameNB;
    Layer& l = m_gameData.data[layer];
    for (int e = 0; e < l.length; ++e) {
        CDataArray<int16_t>& v = l.data[e];
        if (v.length <= 13 || v.data[0] != 1 || v.data[7] < 0)
            continue;
        const int slot = v.data[5];
        CAISprite* sprite = GetGUISprite(slot);
        if (!sprite)
            continue;
        const bool once = (v.data[7] & 0x600) != 0;
        const int anim = once ? v.data[7] & ~0x600 : v.data[7];
        const int frame = v.data[6];
        int t = v.data[13] + _timeElapsed;
        const int duration = sprite->GetAFrameTime(anim, frame) * 33;
        const int count = once ? sprite->AnimAFrameCount(anim) : sprite->AnimAFrameCount(anim) & 0xFF;
        // An animation without frames stays where it is (no step modulo 0).
        if (once) {
            if (frame >= count - 1)
                v.data[12] = 1;
            else if (t >= duration && count > 0)
                v.data[6] = int16_t((frame + 1) % count), t = 0;
        } else if (slot != 11 && t >= duration && count > 0) {
            v.data[6] = int16_t((frame + 1) % count), t = 0;
        }
        v.data[13] = int16_t(t);
    }
}

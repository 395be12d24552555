// Sprite sets: the 116 game sprite slots and the 39 GUI slots, loaded and released in sets whose
// lifetimes follow the game flow (boot, menu, location, level, in-level).
#include "game/CAIGame.h"

#include "engine/video/image/CImage.h"
#include "framework/ViDuz.h"

#include <iterator>

namespace {

constexpr int kSlots = int(std::size(CAIGame::_sprites));
constexpr int kBackgroundFirst = 94, kForegroundFirst = 102;
constexpr int kGUISlots = 39;
constexpr int kTouchSprite = 29;
enum : uint8_t { GUI_RELEASE = 1, GUI_NEEDED = 2, GUI_KEEP = 3 };

bool ValidSlot(int slot) { return slot >= 0 && slot < kSlots; }
bool RequestModes() { return CAIGame::_game_mode == 7 || CAIGame::_game_mode == 9 || CAIGame::_game_mode == 10; }

// GUI slots that their own screens load.
bool LoadedByItsScreen(int j)
{
    switch (j) {
    case 0: case 4: case 6: case 7: case 8: case 9: case 10: case 11: case 12: case 13: case 15: case 16:
    case 18: case 20: case 22: case 23: case 27: case 28: return true;
    default: return false;
    }
}

void ReleaseGUI(int j)
{
    CDataArray<CAISprite*>& gui = CAIGame::m_spritesGUI;
    if (j < 0 || j >= gui.length || !gui.data[j])
        return;
    gui.data[j]->drop();
    gui.data[j] = nullptr;
}

}  // namespace

// ---- Slots

void CAIGame::LoadSprite(int slot, int id, const char* pack)
{
    if (ValidSlot(slot) && !_sprites[slot])
        _sprites[slot] = new CAISprite(id, pack);
}

void CAIGame::LoadSprite(int slot, int id, int, bool) { LoadSprite(slot, id, ViDuz::m_szCurrentOpenPackName); }

CAISprite* CAIGame::LoadSprite(int id, int, bool) { return new CAISprite(id, ViDuz::m_szCurrentOpenPackName); }

CAISprite* CAIGame::GetSprite(int slot, int id, const char* pack)
{
    LoadSprite(slot, id, pack);
    return ValidSlot(slot) ? _sprites[slot] : nullptr;
}

void CAIGame::UnloadSprite(int slot)
{
    if (!ValidSlot(slot) || !_sprites[slot])
        return;
    _sprites[slot]->drop();
    _sprites[slot] = nullptr;
}

void CAIGame::ReloadSprite(int slot, int id)
{
    UnloadSprite(slot);
    LoadSprite(slot, id, ViDuz::m_szCurrentOpenPackName);
}

// ---- Background and foreground objects of a level

void CAIGame::Background_LoadSprites(bool openPack)
{
    if (openPack)
        ViDuz::Pack_Open("11");
    if (RequestModes()) {
        for (int b = 0; b < 32; ++b)
            if (s_backgroundDataRequests & (1u << b))
                LoadSprite(kBackgroundFirst + b, b, 0, false);
    } else {
        int index = CurrentLocationStat(0);
        if (index > 7)
            index = 7;
        if (index == 3)
            index = 0;
        g_nCurrentBackGroundIndex = index;
        LoadSprite(kBackgroundFirst + index, index, 0, false);
    }
    if (openPack)
        ViDuz::Pack_Close();
}

void CAIGame::Background_ReleaseSprites()
{
    if (RequestModes()) {
        for (int b = 0; b < 32; ++b)
            if (s_backgroundDataRequests & (1u << b))
                UnloadSprite(kBackgroundFirst + b);
        s_backgroundDataRequests = 0;
    } else {
        UnloadSprite(kBackgroundFirst + g_nCurrentBackGroundIndex);
    }
}

void CAIGame::Foreground_LoadSprites(bool openPack)
{
    if (openPack)
        ViDuz::Pack_Open("12");   // left open
    for (int b = 0; b < 32; ++b)
        if (s_foregroundDataRequests & (1u << b))
            LoadSprite(kForegroundFirst + b, b, 0, false);
}

void CAIGame::Foreground_ReleaseSprites()
{
    for (int b = 0; b < 32; ++b)
        if (s_foregroundDataRequests & (1u << b))
            UnloadSprite(kForegroundFirst + b);
    s_foregroundDataRequests = 0;
}

// ---- Sets

// Enemy sprites come with the enemies.
void CAIGame::ClearLevelSpecificSprites()
{
    Background_ReleaseSprites();
    Foreground_ReleaseSprites();
}

// Enemy sprites come with the enemies.
void CAIGame::LoadLevelObjectSprites()
{
    Background_LoadSprites(true);
    Foreground_LoadSprites(true);
}

// The turbo areas' sprites come with their objects.
void CAIGame::LoadLocationSpecificSprites()
{
    CAISprite::g_pImage = nullptr;
    UnloadSprite(27);
    UnloadSprite(28);
    ViDuz::Pack_Open("9");
    LoadSprite(27, 10, 0, false);
    LoadSprite(28, 11, 0, false);
    LoadDeadAreasSprite();
    ViDuz::Pack_Close();
}

void CAIGame::ClearLocationSpecificSprites()
{
    UnloadSprite(27);
    UnloadSprite(28);
    ReleaseDeadAreasSprite();
}

void CAIGame::LoadDeadAreasSprite()
{
    LoadSprite(63, 46, 0, false);
    LoadSprite(64, 47, 0, false);
    LoadSprite(26, 8, 0, false);
}

void CAIGame::ReleaseDeadAreasSprite()
{
    for (int slot : {63, 64, 26})
        UnloadSprite(slot);
}

void CAIGame::Background_ReleaseTileset() { UnloadSprite(93); }
void CAIGame::ClearMenuSprites() { UnloadSprite(14); }

void CAIGame::LoadGallerySprites()
{
    ViDuz::Pack_Open("8");
    LoadSprite(14, 0, 0, false);
}

void CAIGame::ReleaseWinLevelAnimsSprites()
{
    UnloadSprite(74);
    delete s_goalStarAnim;
    s_goalStarAnim = nullptr;
    m_bHadReleaseInLoading[0] = 1;
}

// Steps 45 to 50 of the in-level loadings, over pack "9"; the racket, combo and win-level
// pieces come with level play.
void CAIGame::LoadIngameSpriteGroup(int step)
{
    struct Load {
        int slot, id;
    };
    static const Load k45[] = {{11, 57}, {24, 9}, {33, 16}, {41, 26}, {48, 29}, {43, 27}};
    static const Load k46[] = {{18, 0}, {115, 82}, {29, 12}, {30, 13}, {31, 14}};
    static const Load k47[] = {{58, 41}, {62, 45}, {65, 48}, {66, 49}, {68, 51}, {69, 55}};
    static const Load k48[] = {{38, 24}, {36, 19}};
    static const Load k49[] = {{39, 25}, {47, 28}};
    static const Load k50[] = {{55, 38}, {59, 42}, {56, 39}};
    auto load = [](const auto& loads) {
        for (const Load& l : loads)
            LoadSprite(l.slot, l.id, 0, false);
    };
    switch (step) {
    case 45:
        ViDuz::Pack_Open("9");
        load(k45);
        break;
    case 46: load(k46); break;
    case 47: load(k47); break;
    case 48: load(k48); break;
    case 49: load(k49); break;
    case 50:
        load(k50);
        ViDuz::Pack_Close();
        break;
    default: break;
    }
}

// The racket sprites, the combo system and the ball border effects go with level play.
void CAIGame::ClearIngameSprites()
{
    _bricksPaint = nullptr;
    for (int slot : {18, 38, 56, 11, 24, 29, 30, 31, 33, 43, 48, 47, 41, 19, 20, 21, 22, 23, 25, 36, 57})
        UnloadSprite(slot);
    for (int slot : {58, 55, 59, 62, 65, 66, 68, 69})
        UnloadSprite(slot);
    UnloadSprite(115);
    if (!m_bShowLevelCompleteWhenLoading)
        ReleaseWinLevelAnimsSprites();
    CAISprite::g_pImage = nullptr;
}

// ---- GUI sprites follow the loaded layout layers

CAISprite* CAIGame::GetGUISprite(int slot)
{
    return slot >= 0 && slot < m_spritesGUI.length ? m_spritesGUI.data[slot] : nullptr;
}

CAISprite* CAIGame::LoadGUISprite(int slot, bool openPack)
{
    if (slot < 0 || slot >= m_spritesGUI.length)
        return nullptr;
    if (!m_spritesGUI.data[slot]) {
        if (openPack)
            ViDuz::Pack_Open("15");
        m_spritesGUI.data[slot] = LoadSprite(slot, 0, false);
        if (openPack)
            ViDuz::Pack_Close();
    }
    return m_spritesGUI.data[slot];
}


void CAIGame::LoadOrFreeSpritesGUI()
{
    if (m_spritesGUI.length < kGUISlots || m_spritesGUILoadState.length < kGUISlots)
        return;
    const bool inLevel = s_loadingType == 2 || s_loadingType == 3 || s_loadingType == 4;
    const int base = inLevel ? 59 : 95;
    uint8_t* flag = m_spritesGUILoadState.data;
    for (int j = 0; j < kGUISlots; ++j)
        flag[j] = GUI_RELEASE;
    for (int layer = 0; layer < m_gameData.length; ++layer) {
        for (int e = 0; e < GetGameLayerElementCount(layer); ++e) {
            const int slot = GetParamValue(layer, e, 5);
            if (GetParamValue(layer, e, 0) == 1 && slot >= 0 && slot < kGUISlots)   // others are ignored
                flag[slot] = GUI_NEEDED;
        }
    }
    for (int j = 0; j < kGUISlots; ++j) {
        if (flag[j] != GUI_NEEDED)
            continue;
        if (GetParamValue(37, base + j, 6) != 1)
            flag[j] = GUI_RELEASE;
        else if (GetParamValue(37, base + j, 7) == 2)
            flag[j] = GUI_KEEP;
    }
    if (inLevel) {
        ReleaseGUI(26);
        flag[26] = GUI_NEEDED;
        SetParamValue(37, base + 26, 8, 1 << (CurrentLocationStat(4) & 0xFF));
    }
    bool missing = false;
    for (int j = 0; j < kGUISlots; ++j) {
        if (flag[j] == GUI_RELEASE)
            ReleaseGUI(j);
        else if (flag[j] == GUI_NEEDED && !m_spritesGUI.data[j])
            missing = true;
    }
    if (!missing)
        return;
    ViDuz::Pack_Open("15");
    for (int j = 0; j < kGUISlots - 1; ++j) {
        if (flag[j] == GUI_NEEDED && !LoadedByItsScreen(j))
            LoadGUISprite(j, false);
    }
    LoadGUISprite(kTouchSprite, false);
    if (s_touchSpr)
        s_touchSpr->drop();
    s_touchSpr = LoadSprite(kTouchSprite, 0, false);
    delete s_touchAni;
    s_touchAni = new ViDuzPlayer;
    s_touchAni->SetSprite(s_touchSpr);
    ViDuz::Pack_Close();
}

// ---- Other resources of a level

void CAIGame::InitMovableStructuresData(int n)
{
    for (int i = 0; i < _movables_instance.length; ++i)
        delete _movables_instance.data[i];
    delete[] _movables_instance.data;
    _movables_instance.data = nullptr;
    _movables_instance.length = 0;
    if (n > 0)
        _movables_instance.NewArray(n);
    _num_movables = 0;
    s_maxMovableStructures = n;
}

void CAIGame::InitializeSuperBomb()
{
    for (auto& rect : s_SuperBombRect)
        std::fill(std::begin(rect), std::end(rect), uint8_t(0));
    s_nSuperBombRectCount = 0;
    s_bSuperBombEnable = 0;
}

// Loadings: a step table per loading type, one step a frame, and the boot screens that run
// them: the first state, the logo (initial loading, at least 3 s), the splash (system loading,
// then a tap) and the loading screen between the menus and level play.
#include "game/CAIGame.h"

#include "framework/CGame.h"
#include "framework/CPhoneDevice.h"
#include "framework/CRandom.h"
#include "framework/FixedPointMath.h"
#include "framework/PackTables.h"
#include "framework/ScreenGeometry.h"
#include "framework/Trace.h"
#include "framework/ViDuz.h"

#include "framework/TypedArray.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct StepTable {
    const int* steps;
    int count;
};

constexpr int kInitial[] = {0, 4, 5, 3, 10, 32, 27, 2, 33};
constexpr int kGameplay[] = {35, 56, 23, 25, 13, 21, 12, 32, 15, 33, 30, 40, 41, 43,
                             44, 42, 45, 46, 47, 48, 49, 50, 52, 53, 54, 33, 34};
constexpr int kBetweenLocations[] = {56, 32, 21, 15, 31, 30, 36, 37, 38, 39, 40, 41, 43, 44, 42, 52, 53, 54, 33};
constexpr int kUnloadGameplay[] = {35, 51, 36, 37, 38, 39, 31, 14, 11, 32, 15, 22, 17, 19, 20, 21, 26, 33};
constexpr int kNextLevel[] = {56, 15, 31, 30, 38, 39, 40, 41, 43, 52, 53, 54, 33};
constexpr int kRestartLevel[] = {35, 56, 15, 40, 41, 52, 53, 54, 33, 34};
constexpr int kSystem[] = {57, 58, 59, 60, 61, 62, 63, 64, 65, 66, 67, 6, 9, 11, 32, 16, 18, 17, 19, 20, 26, 21, 28, 33};
constexpr int kPress5NextLevel[] = {56, 15, 31, 30, 38, 39, 40, 41, 43, 52, 53, 54, 33, 34};

template <size_t N>
constexpr StepTable Table(const int (&steps)[N]) { return {steps, int(N)}; }

// Type 3 is type 2 without its last step (press to continue).
const StepTable kTables[10] = {
    {nullptr, 0},           Table(kInitial),       Table(kGameplay),   {kGameplay, int(std::size(kGameplay)) - 1},
    Table(kBetweenLocations), Table(kUnloadGameplay), Table(kNextLevel), Table(kRestartLevel),
    Table(kSystem),         Table(kPress5NextLevel),
};

bool IsInLevelType(int type) { return type == 2 || type == 3 || type == 4 || type == 6 || type == 7 || type == 9; }

constexpr unsigned kBarColour = 0xFFF5EC89;

// Typed-array kinds, and the entries the math tables are read at.
constexpr int kTypedBytes = 0, kTypedShorts = 1, kTypedInts = 2;
constexpr int kCosinusCount = 1025;       // a quarter wave, 4096 = 1
constexpr int kAtanCount = 513;           // slopes 0 to 512 / 512
constexpr int kFrameworkCosCount = 65;    // a quarter turn of 64 steps

// Item n of the open pack as a typed array of the given kind holding at least `count`
// elements; anything else is refused with a message.
bool ReadMathArray(int n, int kind, int count, const char* what, STypedArray& out)
{
    CDataArray<unsigned char> bytes;
    std::string why;
    if (!ViDuz::Pack_ReadData(n, bytes))
        why = "missing";
    else if (!ParseTypedArray(bytes.data, size_t(bytes.length), out, &why))
        why = why.empty() ? "unreadable" : why;
    else if (out.kind != kind)
        why = "elements of kind " + std::to_string(out.kind) + ", not " + std::to_string(kind);
    else if (out.count < count)
        why = std::to_string(out.count) + " elements, not " + std::to_string(count);
    if (why.empty())
        return true;
    std::fprintf(stderr, "quendrax: %s table (pack %s item %d) refused: %s\n", what,
                 ViDuz::m_szCurrentOpenPackName, n, why.c_str());
    return false;
}

}  // namespace

// ---- Bookkeeping

void CAIGame::SetLoadingType(int type)
{
    std::fill(std::begin(s_loadingType_Data), std::end(s_loadingType_Data), 0);
    s_loadingType_Size = 0;
    if (type >= 1 && type <= 9) {
        const StepTable& t = kTables[type];
        std::copy(t.steps, t.steps + t.count, s_loadingType_Data);
        s_loadingType_Size = t.count;
    }
    s_loadingType = type;
    m_bShowLevelCompleteWhenLoading = 0;
}

void CAIGame::Loading_Reset()
{
    s_loadingIsFinished = false;
    s_loadingIsStarted = true;
    s_loadingCurrentStep = 0;
    s_loadingTotalSteps = s_loadingType_Size;
    s_isIngame = IsInLevelType(s_loadingType);
    DecodeLoadingPicturesAhead();
}

// Steps whose pictures would take more than a frame to decode (one large picture, or the six
// font sheets together): their pictures are decoded on worker threads from the loading's
// start, each on its own, and the step only makes the textures.
void CAIGame::DecodeLoadingPicturesAhead()
{
    static const struct {
        int step;
        const char* pack;
        int first, count;   // sprite items
    } kPictures[] = {{4, "2", 0, 6}, {27, "15", 2, 1}, {20, "8", 0, 1}};
    for (int i = 0; i < s_loadingTotalSteps; ++i)
        for (const auto& p : kPictures) {
            const SPackTable* table = s_loadingType_Data[i] == p.step ? FindPackTable(p.pack) : nullptr;
            for (int item = p.first; table && table->textures && item < p.first + p.count && item < table->count; ++item)
                CAISprite::DecodeImagesAhead(table->textures[item], p.pack);
        }
}

void CAIGame::Loading_Update()
{
    // An empty list (type 0 or one outside the tables) has nothing to run: it is finished.
    if (s_loadingCurrentStep < s_loadingTotalSteps && s_loadingCurrentStep >= 0)
        Loading_LoadStep(s_loadingType_Data[s_loadingCurrentStep]);
    if (s_loadingIsFinished)
        return;
    if (s_loadingCurrentStep < s_loadingTotalSteps)
        ++s_loadingCurrentStep;
    if (s_loadingCurrentStep >= s_loadingTotalSteps) {
        s_loadingIsFinished = true;
        ViDuz::Pack_Close();
    }
}

bool CAIGame::Loading_CheckComplete()
{
    if (!s_loadingIsStarted || !s_loadingIsFinished)
        return false;
    if (m_bShowLevelCompleteWhenLoading)
        return true;
    SwitchState(s_loadingNextState);
    s_loadingIsStarted = false;
    s_loadingNextState = -1;
    return true;
}

// ---- Steps

void CAIGame::EnsureGUISprite29()
{
    if (!GetGUISprite(29))
        LoadGUISprite(29, true);
}

void CAIGame::LoadAndInitMathData()
{
    ViDuz::Pack_Open("6");
    delete[] m_cosinusArray;
    delete[] s_atanTable;
    m_cosinusArray = nullptr;
    s_atanTable = nullptr;
    STypedArray array;
    if (ReadMathArray(1, kTypedShorts, kCosinusCount, "cosine", array)) {
        m_cosinusArray = new int16_t[size_t(array.count)];
        std::copy(array.values.begin(), array.values.end(), m_cosinusArray);
    }
    if (ReadMathArray(0, kTypedBytes, kAtanCount, "arctangent", array)) {
        s_atanTable = new uint8_t[size_t(array.count)];
        std::copy(array.values.begin(), array.values.end(), s_atanTable);
    }
}

void CAIGame::ChooseLoadingTip()
{
    m_loadingTipId = (_current_level <= 4 && _currentPlace == 0) ? _current_level : CRandom::Random(14);
}

void CAIGame::Loading_LoadStep(int step)
{
    Trace("load %d %d", s_loadingType, step);
    switch (step) {
    case 0: {
        MathInit("1", 0);
        InitGameLayers();
        ViDuz::Pack_Open("14");
        LoadGameLayer(37, 0);
        LoadAndInitMathData();
        ClearStarFlags();
        InitSecretsLevelsData();
        ResetProgression();
        InitPopupBoxData();
        ResetGeneralStats();
        ResetHighScoreStats();
        std::fill(std::begin(m_arrayEquipCount), std::end(m_arrayEquipCount), 0);
        std::fill(std::begin(m_arrayPurchaseCount), std::end(m_arrayPurchaseCount), 0);
        SaveLoad();
        if (CKezManager* kez = CKezManager::GetInstance()) {
            kez->SetVFXVolume(float(s_nVolumeSFX));
            kez->SetBGMVolume(float(s_nVolumeMusic));
        }
        m_loadingTipId = -1;
        SetStringLanguage(s_gameLanguage);
        break;
    }
    case 1: SaveWrite(); break;
    case 2: s_loadingNextState = STATE_SPLASH; break;
    case 3: LoadTextFromPack(); break;
    case 4:
        ViDuz::Pack_Open("2");
        LoadFonts();
        break;
    case 5: {
        ViDuz::Pack_Open("2");
        int count = 0;
        ViDuz::Pack_ReadArray(6, nullptr, &count);   // read and freed at once
        break;
    }
    case 9:
        ViDuz::Pack_Open("14");
        for (int layer : {7, 8, 32, 20, 28, 35})
            LoadGameLayer(layer, 0);
        break;
    case 10:
        ViDuz::Pack_Open("14");
        for (int layer : {7, 8, 12, 32, 34})
            LoadGameLayer(layer, 0);
        break;
    case 11:
        ViDuz::Pack_Open("14");
        for (int layer : kMainMenuLayers)
            LoadGameLayer(layer, 0);
        break;
    case 12:
        ViDuz::Pack_Open("14");
        for (int layer : {23, 24, 26, 27})
            LoadGameLayer(layer, 0);
        if (m_bShowLevelCompleteWhenLoading && m_bHadReleaseInLoading[4]) {
            FreeGameLayer(30, 0);
            FreeGameLayer(29, 0);
        }
        m_bHadReleaseInLoading[4] = 0;
        LoadGameLayer(30, 0);
        LoadGameLayer(29, 0);
        LoadGameLayer(31, 0);
        EnsureGUISprite29();
        break;
    case 13:
        for (int layer : kMainMenuLayers)
            FreeGameLayer(layer, 0);
        EnsureGUISprite29();
        break;
    case 14:
        for (int layer : {23, 24, 26, 27})
            FreeGameLayer(layer, 0);
        if (m_bShowLevelCompleteWhenLoading) {
            m_bHadReleaseInLoading[4] = 1;
        } else {
            FreeGameLayer(30, 0);
            FreeGameLayer(29, 0);
        }
        FreeGameLayer(31, 0);
        EnsureGUISprite29();
        break;
    case 15: ResetLayerData(37); break;
    case 16:
        ViDuz::Pack_Open("16");
        LoadGlobals();
        InitSecretLevels();
        break;
    case 17:
        ViDuz::Pack_Open("9");
        ReloadSprite(12, 58);
        break;
    case 18:
        ViDuz::Pack_Open("9");
        ReloadSprite(10, 56);
        break;
    case 20: LoadGallerySprites(); break;
    case 21:
        if (s_loadingType == 2)
            LoadSpecialFX();
        else if (s_loadingType == 5)
            UnloadSpecialFX();
        if (s_loadingType == 4 || s_loadingType == 2 || s_loadingType == 3)
            ChangeNeonPalette(CurrentLocationStat(3), -1);
        else if (s_loadingNextState == STATE_ISLAND)
            ChangeNeonPalette(8, -1);
        else
            ChangeNeonPalette(10, 9);
        break;
    case 22: LoadMMSounds(); break;
    case 25: LoadStepUnloadMainMenuData(); break;
    case 27:
        ViDuz::Pack_Open("15");
        ReloadSprite(1, 2);
        break;
    case 28: LoadSoundIngame(); break;
    case 30: LoadSounds(2); break;
    case 32: LoadOrFreeSpritesGUI(); break;
    case 34: LoadStepPressFiveContinue(); break;
    case 35: ChooseLoadingTip(); break;
    case 36:
        ClearLocationSpecificSprites();
        Background_ReleaseTileset();
        break;
    case 38: ClearLevelSpecificSprites(); break;
    case 39: ClearLevelSpecificData(); break;
    case 40: InitElementsCounter(); break;
    case 41: LevelParse(_current_level); break;
    case 43: LoadLevelObjectSprites(); break;
    case 44: LoadLocationSpecificSprites(); break;
    case 45:
    case 46:
    case 47:
    case 48:
    case 49:
    case 50: LoadIngameSpriteGroup(step); break;
    case 51: ClearIngameSprites(); break;
    case 52:
    case 53:
    case 54: InitLevelStep(step); break;
    case 56:
        InitLevelLoadingInfo(_current_level);
        ChooseLoadingTip();
        break;
    default:
        if (step >= 57 && step <= 67)
            LoadMMSounds_Step(step - 57);
        // 6, 7, 8, 19, 23, 24, 26, 29, 31, 33, 37, 42 and 55 do nothing.
        break;
    }
}

// One batch of the sound cache; the first also starts the title music once, unless it plays
// already or is to wait for the loading's end.
void CAIGame::LoadMMSounds_Step(int step)
{
    SaveAllMPC2WAV_ByStep(step);
    if (step == 0 && IsPlayMusicOnce && !CKezManager::GetInstance()->IsBGMPlaying(1) &&
        (!s_startMusicAfterLoading || s_loadingIsFinished)) {
        IsPlayMusicOnce = false;
        SND_PlayBGMusic(1, true);
    }
}

void CAIGame::LoadStepPressFiveContinue()
{
    if (s_cheatsActive[0] && s_loadingType == 2 && WasKeyPressed(8)) {
        ResetAKey(8);
        m_loadingTipId = m_loadingTipId >= 13 ? 0 : m_loadingTipId + 1;
    }
    if (WasKeyPressed(7)) {
        SND_PlaySFXSound(56);
        m_loadingTipId = -1;
        return;
    }
    --s_loadingCurrentStep;
    s_refreshAll = true;
}

void CAIGame::LoadStepUnloadMainMenuData()
{
    s_genericCounter = 0;
    s_genericTimer = int64_t(s_menu_box_reveal_time);
    _leftSoftkeyId = _rightSoftkeyId = 204;
    _pong_level = _currentPlace;
    _babeSkip = false;
    if (m_spritesGUI.length > 2 && m_spritesGUI.data[2]) {
        m_spritesGUI.data[2]->drop();
        m_spritesGUI.data[2] = nullptr;
    }
    ClearMenuSprites();
    UnloadSprite(36);
}

// ---- Boot screens

void CAIGame::game_handleMessage_STATE_INIT(int kind)
{
    if (kind == MSG_INIT)
        InitCheat();
    else if (kind == MSG_UPDATE)
        SwitchState(STATE_QRN_LOGO);
}

void CAIGame::game_handleMessage_STATE_QRN_LOGO(int kind)
{
    switch (kind) {
    case MSG_INIT: StateQrnLogoInit(); break;
    case MSG_UPDATE: StateQrnLogoUpdate(); break;
    case MSG_PAINT: StateQrnLogoPaint(); break;
    case MSG_EXIT: StateQrnLogoExit(); break;
    default: s_refreshAll = true; break;
    }
}

void CAIGame::StateQrnLogoInit()
{
    ViDuz::Pack_Open("4");
    ReloadSprite(0, 0);
    ViDuz::Pack_Close();
    s_refreshAll = true;
    SetLoadingType(1);
    Loading_Reset();
}

void CAIGame::StateQrnLogoUpdate()
{
    if (!s_loadingIsFinished) {
        Loading_Update();
        return;
    }
    if (s_stateTime <= 3000)
        return;
    SetLoadingType(0);
    if (s_isFirstLaunch) {
        int language = CPhoneDevice::m_pInstance ? CPhoneDevice::GetDeviceLanguage() : 0;
        if (language < 0 || language > 8)   // no language from the device: English
            language = 0;
        s_gameLanguage = language;
        SetStringLanguage(language);
    }
    SwitchState(s_loadingNextState);
    if (s_isFirstLaunch)
        SaveWrite();
}

void CAIGame::StateQrnLogoPaint()
{
    ViDuz::SetClip(0, Display_Border_Top(), Screen_Width(), Level_Display_Height());
    ViDuz::SetColor(0xFF000000u);
    ViDuz::FillRect(0, 0, Screen_Width(), Screen_Height());
    if (_sprites[0])
        _sprites[0]->PaintFrame(0, Screen_Width() / 2, Screen_Height() / 2, 0);
}

void CAIGame::StateQrnLogoExit() { UnloadSprite(0); }

void CAIGame::game_handleMessage_STATE_SPLASH(int kind)
{
    switch (kind) {
    case MSG_INIT: StateSplashInit(); break;
    case MSG_UPDATE: StateSplashUpdate(); break;
    case MSG_PAINT: StateSplashPaint(); break;
    case MSG_EXIT: StateSplashExit(); break;
    default: break;
    }
}

void CAIGame::StateSplashInit()
{
    SetLoadingType(8);
    Loading_Reset();
    IsPlayMusicOnce = true;
}

void CAIGame::StateSplashUpdate()
{
    if (!s_loadingIsFinished) {
        Loading_Update();
        return;
    }
    if (WasKeyPressed(7)) {
        SND_PlaySFXSound(60);
        SwitchState(STATE_MAIN);
    }
}

void CAIGame::StateSplashPaint()
{
    ViDuz::SetClip(0, 0, Screen_Width(), Screen_Height());
    ViDuz::SetColor(0u);
    if (_sprites[1])
        _sprites[1]->PaintFrame(s_gameLanguage == 6 ? 4 : 3, CGame::GetLogicWidthOffset() - 64, -32, 0);
    Touch_add_full_screen();
    if (s_loadingIsFinished)
        PaintBlinkIngamePress5Message();
    else
        PaintLoadingProgressBar(Screen_Height() - 90, s_loadingCurrentStep, s_loadingType_Size - 1);
}

// ---- The prompt to tap

void CAIGame::PaintPress5Message(int x, int y)
{
    if (!_isGamePaused)
        Touch_add_full_screen();
    const int state = s_stateCurrent;
    if (state == STATE_SHOW_BABE || state == STATE_LEVEL_START || state == STATE_GAME_POPUP_BOX)
        return;
    CAISprite* font = _sprites[7];
    if (font && g_pStringManager)
        font->DrawString(g_pStringManager->GetString(state == STATE_SPLASH ? 321 : 322), x, y, 3,
                         COLOR_NAME(font->m_palette));
}

void CAIGame::PaintBlinkIngamePress5Message(int palette)
{
    if (_sprites[7])
        _sprites[7]->m_palette = palette;
    PaintBlinkIngamePress5Message();
}

// 512 ms on, 512 ms off; on the splash over a band of its own, with the line of text 43 below.
void CAIGame::PaintBlinkIngamePress5Message()
{
    const int w = Screen_Width(), h = Screen_Height();
    const bool splash = s_stateCurrent == STATE_SPLASH;
    if (s_game_totalExecutionTime & 0x200) {
        if (s_isIngame) {
            PaintPress5Message(w / 2, h - 50);
        } else if (splash) {
            ViDuz::SetColor(0xFF112B65u);
            ViDuz::FillRect(0, h - 160, w, 60);
            PaintPress5Message(w / 2, h - 130);
        } else {
            PaintPress5Message(w / 2, h - 90);
        }
    }
    if (splash && g_pStringManager)
        g_pStringManager->DrawPage(7, g_pStringManager->GetString(43), w / 2, h - 10, 33, w - 20,
                                   _sprites[7] ? _sprites[7]->m_palette : 0, false, false);
}

void CAIGame::StateSplashExit()
{
    UnloadSprite(1);
    SetLoadingType(0);
}

void CAIGame::PaintLoadingProgressBar(int y, int done, int total) { PaintLoadingProgressBar(y, done, total, int(kBarColour)); }

void CAIGame::PaintLoadingProgressBar(int y, int done, int total, int colour)
{
    if (total <= 0)
        return;
    const int width = Screen_Width() * 85 / 100;
    const int filled = std::min(int(int64_t(done) * width / total), width);
    if (filled <= 0)
        return;
    ViDuz::SetColorRGBA(unsigned(colour));
    ViDuz::FillRect((Screen_Width() - width) / 2, y, filled, 9);
}

// The loading screen between the menus and level play; in level-complete mode the statistics
// screen runs over it (not built yet: its calls are empty).
void CAIGame::game_handleMessage_STATE_LOADING(int kind)
{
    const bool levelComplete = m_bShowLevelCompleteWhenLoading != 0;
    switch (kind) {
    case MSG_INIT:
        if (levelComplete) {
            s_isBossLevel_ShowLevelComplete = s_isBossLevel;
            std::fill(std::begin(m_bHadReleaseInLoading), std::end(m_bHadReleaseInLoading), 0);
            Loading_Reset();
        } else {
            StateLoadingInit();
        }
        break;
    case MSG_UPDATE:
        if (levelComplete) {
            if (!Loading_CheckComplete())
                Loading_Update();
            else if (!s_bLoadingOverLvComplete)
                s_bLoadingOverLvComplete = true, s_statisticsScreenState = 0;
        } else {
            StateLoadingUpdate();
        }
        break;
    case MSG_PAINT:
        if (!levelComplete && s_bHasInitedLoading)
            StateLoadingPaint();
        break;
    case MSG_EXIT:
        if (!levelComplete) {
            StateLoadingExit();
        } else {
            if (IsInLevelType(s_loadingType))
                SND_PlayBGMusic(m_ingameBgMusic, true);
            m_loadingTipId = -1;
            SetLoadingType(0);
        }
        break;
    default: break;
    }
}

void CAIGame::StateLoadingInit()
{
    SND_StopBGMusic();
    SND_StopSounds();
    Loading_Reset();
    s_bHasInitedLoading = true;
}

void CAIGame::StateLoadingUpdate()
{
    if (Loading_CheckComplete())
        return;
    Loading_Update();
}

void CAIGame::StateLoadingPaint()
{
    ViDuz::SetClip(0, 0, Screen_Width(), Screen_Height());
    if (IsInLevelType(s_loadingType) || s_loadingType == 5) {
        PaintLoadingProgressBar(520, s_loadingCurrentStep, s_loadingType_Size - 1, int(0xFFFFEBA9u));
        if (m_loadingTipId >= 0)
            PaintLoadingTips_New();
    }
    const bool waiting = s_loadingType != 0 && s_loadingCurrentStep >= 0 && s_loadingCurrentStep < 128 &&
                         s_loadingType_Data[s_loadingCurrentStep] == 34;
    if (waiting && (s_game_totalExecutionTime & 0x200))
        Touch_add_full_screen();
}

void CAIGame::StateLoadingExit()
{
    if (IsInLevelType(s_loadingType))
        SND_PlayBGMusic(m_ingameBgMusic, true);
    m_loadingTipId = -1;
    SetLoadingType(0);
    s_bHasInitedLoading = false;
}

// ---- Services the loading calls whose owners are built later: empty until then.
// The framework's cosine table from the pack's typed array of 32-bit elements; when it is
// missing or of another kind the computed table keeps answering.
void CAIGame::MathInit(const char* pack, int cosRow)
{
    static std::vector<int> s_cosTable;
    ViDuz::Pack_Open(pack);
    STypedArray array;
    if (ReadMathArray(cosRow, kTypedInts, kFrameworkCosCount, "framework cosine", array)) {
        Math_SetCosTable(array.values.data(), array.count);
        s_cosTable = std::move(array.values);   // kept while the framework reads it
    } else {
        Math_SetCosTable(nullptr, 0);
        s_cosTable.clear();
    }
    ViDuz::Pack_Close();
}
void CAIGame::InitPopupBoxData() {}
// The six bitmap fonts of the open pack into sprite slots 3 to 8, each knowing its slot.
void CAIGame::LoadFonts()
{
    for (int i = 0; i < 6; ++i) {
        const int slot = 3 + i;
        ReloadSprite(slot, i);
        s_gameFonts[i] = _sprites[slot];
        _sprites[slot]->LoadCharacterMap();
        _sprites[slot]->SetFontSpriteID(slot);
    }
}

// The current language's strings first, then the other eight.
void CAIGame::LoadTextFromPack()
{
    if (!g_pStringManager)
        return;
    const int current = g_pStringManager->GetLanguage();
    g_pStringManager->LoadString(current);
    for (int language = 0; language < LANGUAGE_COUNT; ++language) {
        if (language != current)
            g_pStringManager->LoadString(language);
    }
}

void CAIGame::SetStringLanguage(int language)
{
    if (!g_pStringManager)
        return;
    g_pStringManager->SetLanguage(language);
    g_pStringManager->LoadUnicodeFont();
}
void CAIGame::ChangeNeonPalette(int, int) {}
void CAIGame::LoadSpecialFX() {}
void CAIGame::UnloadSpecialFX() {}
void CAIGame::LoadMMSounds() {}
void CAIGame::LoadSoundIngame() {}
void CAIGame::LoadSounds(int) {}
void CAIGame::SaveAllMPC2WAV_ByStep(int step) { CKezManager::GetInstance()->SaveAllMPC2WAV_ByStep(step); }
void CAIGame::ClearLevelSpecificData() {}
void CAIGame::InitElementsCounter() {}
bool CAIGame::LevelParse(int) { return false; }
void CAIGame::InitLevelStep(int) {}
void CAIGame::InitLevelLoadingInfo(int) {}
void CAIGame::InitCheat() {}
int CAIGame::CurrentLocationStat(int column)
{
    if (_currentPlace < 0 || _currentPlace >= _location_stats.length)
        return 0;
    const CDataArray<int32_t>& row = _location_stats.data[_currentPlace];
    return column >= 0 && column < row.length ? row.data[column] : 0;
}
void CAIGame::ClearStarFlags() {}

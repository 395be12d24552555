// The game controller: the one object through which the framework runs the game. Almost all of
// its state is static (CAIGame_statics.inc lists every static with its start value); the game's
// later parts read and write those statics directly. Each frame the framework calls Game_update,
// Game_Paint and Render3D; screens are numbered states receiving six kinds of message, and any
// code may ask for another screen with SwitchState, applied at the start of the next update.
// Main thread only, except the save writer's thread (CSaveWriter).
#pragma once

#include <cstdint>
#include <deque>
#include <stack>
#include <string>

#include "game/CAIBall.h"
#include "game/CAIBrick.h"
#include "game/CAIEnemy.h"
#include "game/CAIObject.h"
#include "game/CAIRacket.h"
#include "game/CAITouchObj.h"
#include "game/CAchievement.h"
#include "game/FrameworkLinks.h"

enum {
    MSG_INIT = 0,
    MSG_UPDATE = 1,
    MSG_PAINT = 2,
    MSG_EXIT = 3,
    MSG_SHOW_NOTIFY = 4,
    MSG_HIDE_NOTIFY = 5,
};

enum {
    STATE_CHEATS = 0,
    STATE_INIT = 1,
    STATE_QRN_LOGO = 2,
    STATE_LOADING = 3,
    STATE_SOUND_QUESTION = 4,
    STATE_SPLASH = 5,
    STATE_ABOUT = 9,
    STATE_HELP = 10,
    STATE_INGAME = 12,
    STATE_SHOW_BABE = 13,
    STATE_LEVEL_SPECIALEND = 14,
    STATE_LEVEL_START = 15,
    STATE_END_LEVEL_ANIMATIONS = 16,
    STATE_END_LEVEL_EXPLOSION = 17,
    STATE_LEVEL_COMPLETE = 18,
    STATE_LOCATION_COMPLETE = 19,
    STATE_ISLAND = 20,
    STATE_SELECT_WORLD_LEVEL = 21,
    STATE_GAME_POPUP_BOX = 22,
    STATE_SHOP = 23,
    STATE_SHOP_BUY = 24,
    STATE_GALLERY = 25,
    STATE_MAIN = 26,
    STATE_GAME_MODES = 27,
    STATE_HIGHSCORE = 28,
    STATE_OPTIONS = 29,
    STATE_INGAME_MENU = 30,
    STATE_CONFIRM = 31,
    STATE_MESSAGE = 32,
    STATE_SELECTBALL = 33,
    STATE_SELECT_LEVEL = 34,
    STATE_OPTIONS_MAIN_MENU = 36,
    STATE_GAME_MODE_MAIN_MENU = 37,
    STATE_REWARDS_MAIN_MENU = 38,
    STATE_INFORMATION = 39,
    STATE_RECORD = 40,
    STATE_RANKING = 41,
    STATE_SOUND_SETTING = 42,
    STATE_CONTROL_SETTING = 43,
    STATE_GAME_SETTING = 44,
    STATE_LANGUAGE_SETTING = 45,
    STATE_BONUS_SETTING = 46,
    STATE_ACHIEVEMENT = 47,
    STATE_IGM_OPTIONS = 48,
    STATE_SOUND_SETTING_NEW = 49,
    STATE_EQUIP_MENU = 51,
    STATE_SLOT_MACHINE_MENU = 52,
    STATE_COUNT = 53,
};

// The build never has a shop for bombs: no bomb button in level play.
constexpr bool DisableShopForNOOK = true;

class CAIGame {
public:
    class CGameAchievement : public CAchievement {
    public:
        void OnFinishAchievement(GAME_ACHIEVEMENT achievement) override;
    };

    CAIGame();
    virtual ~CAIGame();
    CAIGame(const CAIGame&) = delete;
    CAIGame& operator=(const CAIGame&) = delete;

    static CAIGame* GetInstance() { return s_instance; }   // null when none exists

    void InitializeVariable();
    static void ReleaseStaticData();              // frees what the statics own; nothing loaded is fine
    static void InitLocation(int location);       // star flags of a location, lives (argument unused)

    // ---- Frame entry points and the state machine
    void Game_update();
    void Game_Paint();
    void Render3D();
    static void SwitchState(int next);            // applied at the start of the next update
    static void StateMachine_Init();
    void StateMachine_Update();
    void StateMachine_SendMessage(int kind);
    void showNotify();
    void hideNotify();
    static bool CanActivateIngameMenu();
    static void WinLevel();
    static bool ActivatePopupBox();
    static bool HasStateHandler(int state);       // 6, 7, 8, 11, 35, 50 and numbers outside 0-52 have none
    static bool IsPlaceholderHandler(int state);  // its screen is not built yet

    // Tests watch the messages sent (state, kind); the game never sets it.
    using MessageObserver = void (*)(int state, int kind);
    static MessageObserver s_messageObserver;

    // ---- Music, sounds, keys and small services of play
    static void SND_PlayBGMusic(int id, bool loop);
    static void SND_StopBGMusic();
    static bool SND_IsSoundPlaying(int id) { (void)id; return false; }
    static void SND_PlaySFXSound(int id);
    static void SND_StopSounds() {}
    static void UpdateKeypad();
    static void DisableKeys(int ms = 0x7FFFFFFF);   // 0x7FFFFFFF never runs out
    static void ResetKey();
    static CPad* KeyPad();                          // the application's key table, or null
    static void SetKeyPad(CPad* pad);               // tests: a key table of their own (null: the application's)
    static bool IsKeyDown(int key);
    static bool WasKeyPressed(int key);
    static bool WasKeyReleased(int key);
    static int WasAnyKeyPressed();                  // first key released this frame, 14 with none
    static int WasAnyKeyReleased();
    static void ResetAKey(int key);
    static void SetTouchFlagReleased();
    static int ApplyBulletTime(int ms) { return ms; }   // bullet time slows nothing
    static void SetBulletTime(unsigned char on, unsigned char keepDelay);
    static void SFXPause();
    static void SFXResume();
    static void UpdateFrameNB() { s_currFrameNB = s_game_currentFrameNB; }
    static bool IsNestedUpdateLoop() { return s_currFrameNB == s_game_currentFrameNB; }
    static int GetFrameTime() { return m_nCurrentFrameTime; }
    static CStringManager* GetStringManager();
    static void LoadSFX();
    static void ReleaseSFX();
    // The slot takes the named picture (clamped, nearest when shrunk), releasing the one it held.
    static void LoadTexture(TextureHandle& slot, const char* name, pravik::video::E_TEXTURE_FILTER_TYPE magnification);
    static void ReleaseTexture(TextureHandle& slot);   // gives the texture back to the manager

    // ---- Save file (wzt5.sav)
    static constexpr int kSaveSize = 2000;
    static void SaveWrite();                      // the record now; written on the writer's thread
    static void SaveLoad();
    static void SaveDelete();
    static void BuildSaveRecord(unsigned char* buffer);   // the 2000 bytes from the statics
    static void ApplySaveRecord(const unsigned char* record);   // a version-8 record into the statics
    static void SetSaveFolder(const std::string& folder);   // absolute, with a trailing '/'
    static std::string SaveFilePath();            // default: working directory at start + "/data/wzt5.sav"
    static int WriteInt(unsigned char* buffer, int offset, int32_t value);
    static int SetInt(unsigned char* buffer, int offset, int32_t value) { return WriteInt(buffer, offset, value); }
    static int WriteLong(unsigned char* buffer, int offset, int64_t value);
    static int WriteShort(unsigned char* buffer, int offset, int16_t value);
    static int SetShort(unsigned char* buffer, int offset, int16_t value) { return WriteShort(buffer, offset, value); }
    static int32_t ReadInt(const unsigned char* buffer, int offset);
    static int32_t GetInt(const unsigned char* buffer, int offset) { return ReadInt(buffer, offset); }
    static int64_t ReadLong(const unsigned char* buffer, int offset);
    static int16_t ReadShort(const unsigned char* buffer, int offset);
    static int16_t GetShort(const unsigned char* buffer, int offset) { return ReadShort(buffer, offset); }

    // ---- Progress, secret levels, high scores and statistics
    static constexpr int64_t kScoreCap = 9999999999999LL;
    static void ResetPerLevelStats();
    static void ResetProgression();
    static void UpdateStartProgression();
    static bool ProgressionStarted();
    static int GetNextStoryLevel();               // -1 with no location open
    static int GetLevelInLocation(int level);
    static bool IsSecretLevel(int level) { return level > 90; }
    static int GetLevelLocation(int level);
    static int GetLifesOnLocation(int entry) { return entry <= 0 ? 3 : 4; }
    static bool HasLevelStar(int location, int position);
    static bool HasLevelGoldStar(int location, int position);
    static bool HasLevelClearStar(int location, int position);
    static CDataArray<int32_t>* GetSecretLevelsInLevel(int level);   // null outside 0-90 or unloaded
    static int GetSecretLevelCount(int level);
    static int GetSecretLevelLocation(int secret);
    static int GetSecretLevelSourceLevel(int secret);
    static int GetSecretLevelStatus(int secret);  // 0 outside 0-15
    static bool IsSecretLevelUnlocked(int secret);
    static bool IsSelectableSecretLevel(int location, int position, int n, bool force = false);
    static int GetNextSecretLevel(int secret);
    static int GetPreviousSecretLevel(int secret);
    static void UnlockSecretLevels(int location);
    static void SecretLevelDefeated(int secret);
    static void ResetSecretLevelsStatus();
    static void InitSecretsLevelsData() { ResetSecretLevelsStatus(); }
    static void ResetHighScoreStats();
    static int64_t GetGivenSmallLevelHS(int level);
    static int64_t GetGivenSmallLevelHS(int location, int position);
    static int64_t GetGameHighScore() { return GetGivenSmallLevelHS(_current_level_HS); }
    static int64_t GetGivenBigLevelHS(int location);
    static void UpdateSmallLevelHS(int level, int64_t score);
    static void ResetGeneralStats();
    static void UpdateLife();
    static void OnFinishAchievement(int achievement);
    static int ExtraHighScoreLevel(int location, int which);   // level index of entry 0 or 1

    // ---- Loadings and the boot screens
    static void SetLoadingType(int type);
    static void Loading_Reset();
    static void DecodeLoadingPicturesAhead();
    static void Loading_Update();
    static bool Loading_CheckComplete();
    static void Loading_LoadStep(int step);
    static void LoadMMSounds_Step(int step);
    static void LoadStepPressFiveContinue();
    static void LoadStepUnloadMainMenuData();
    static void LoadAndInitMathData();
    static void ChooseLoadingTip();
    static void EnsureGUISprite29();
    static void PaintLoadingProgressBar(int y, int done, int total);
    static void PaintLoadingProgressBar(int y, int done, int total, int colour);
    void game_handleMessage_STATE_INIT(int kind);
    void game_handleMessage_STATE_QRN_LOGO(int kind);
    void game_handleMessage_STATE_SPLASH(int kind);
    void game_handleMessage_STATE_LOADING(int kind);
    void StateQrnLogoInit();
    void StateQrnLogoUpdate();
    void StateQrnLogoPaint();
    void StateQrnLogoExit();
    void StateSplashInit();
    void StateSplashUpdate();
    void StateSplashPaint();
    void StateSplashExit();
    void StateLoadingInit();
    void StateLoadingUpdate();
    void StateLoadingPaint();
    void StateLoadingExit();
    // Called by the loading, built with their own screens and data (empty until then).
    static void MathInit(const char* pack, int cosRow);
    static void InitGameLayers();
    static void LoadGameLayer(int layer, int flag);
    static void FreeGameLayer(int layer, int flag);
    static void ResetLayerData(int layer);
    static bool IsGameLayerLoaded(int layer);
    static void LoadGameLayerData(int layer);
    static void LoadAllMMGameLayers_New();
    // The layout layers of the menus, loaded and freed together.
    static constexpr int kMainMenuLayers[] = {4, 1, 2, 3, 5, 6, 11, 13, 17, 22, 21, 14, 15, 16, 33, 12};
    static int GetGameLayerElementCount(int layer);   // 0 for a layer not loaded
    // Live values; numbers outside the loaded layer read 0 and their writes are dropped.
    static int GetParamValue(int layer, int element, int index);
    static bool GetParamBooleanValue(int layer, int element, int index);
    static void SetParamValue(int layer, int element, int index, int value);
    static void SetGraphItemVisibility(int layer, int element, int visible);
    static void ResetMenuTransitionTime(int percent);
    static void UpdateGameLayerAnims(int layer);   // once a frame at most
    static void LoadGlobals();
    static void LoadMasksAndTemplate();
    static void InitSecretLevels();
    static void InitPopupBoxData();
    static void LoadFonts();
    static void LoadTextFromPack();
    static void SetStringLanguage(int language);
    static void ChangeNeonPalette(int k, int m);
    static void LoadSpecialFX();
    static void UnloadSpecialFX();
    static void LoadMMSounds();
    static void LoadSoundIngame();
    static void LoadSounds(int kind);
    static void SaveAllMPC2WAV_ByStep(int step);
    static void LoadOrFreeSpritesGUI();
    // GUI slot j holds sprite j of pack "15". Null outside 0-38 or when empty.
    static CAISprite* GetGUISprite(int slot);
    // Fills an empty GUI slot from the open pack ("15" opened and closed here when openPack);
    // answers the slot's sprite.
    static CAISprite* LoadGUISprite(int slot, bool openPack);
    // Sprite slots of _sprites: a slot holds one reference; loading an occupied slot keeps it.
    static void LoadSprite(int slot, int id, const char* pack);
    static void LoadSprite(int slot, int id, int palette, bool flag);   // the open pack
    static CAISprite* LoadSprite(int id, int palette, bool flag);       // new, not stored
    static void ReloadSprite(int slot, int id);                          // the open pack, replacing the slot's sprite
    static CAISprite* GetSprite(int slot, int id, const char* pack);
    static void FreeSprite(int slot) { UnloadSprite(slot); }
    static void UnloadSprite(int slot);
    static void Background_LoadSprites(bool openPack);
    static void Background_ReleaseSprites();
    static void Foreground_LoadSprites(bool openPack);
    static void Foreground_ReleaseSprites();
    static void LoadDeadAreasSprite();
    static void ReleaseDeadAreasSprite();
    static void LoadGallerySprites();
    static void ReleaseWinLevelAnimsSprites();
    static void InitMovableStructuresData(int n = 15);
    static void InitializeSuperBomb();
    static void ClearMenuSprites();
    static void ClearLocationSpecificSprites();
    static void Background_ReleaseTileset();
    static void ClearLevelSpecificSprites();
    static void ClearLevelSpecificData();
    static void InitElementsCounter();
    static bool LevelParse(int level);
    static void LoadLevelObjectSprites();
    static void LoadLocationSpecificSprites();
    static void LoadIngameSpriteGroup(int step);
    static void ClearIngameSprites();
    static void InitLevelStep(int step);
    static void InitLevelLoadingInfo(int level);
    static void InitCheat();
    static void PaintBlinkIngamePress5Message();
    static void PaintBlinkIngamePress5Message(int palette);
    static void PaintPress5Message(int x, int y);
    static int CurrentLocationStat(int column);
    static void ClearStarFlags();

    // ---- Touch regions and pointer input
    static void pointerPressed(int x, int y);
    static void pointerDragged(int x, int y);
    static void pointerReleased(int x, int y);
    static bool isClick();
    static void keyPressed(int key);
    static void keyReleased(int key);
    static int Touch_Add_Button(int layer, int slot, int ignored, int shape, int x, int y, int w, int h,
                                int highlightFrame, int key, int ticks);
    static int Touch_Add_List(int layer, int slot, int shape, int highlightFrame, int key, int ticks);
    static int Touch_Add_List(int layer, int slot, int ignored, int shape, int x, int y, int w, int h,
                              int highlightFrame, int key, int ticks);
    // Children of list `list`: -1 when that is no list. The first form takes the list's slot, frame,
    // key and ticks and shifts x by the logical width offset; the others name their own.
    static int Touch_Add_List_Btn(int layer, int list, int x, int y, int w, int h);
    static int Touch_Add_List_Btn(int layer, int list, int slot, int x, int y, int w, int h, int ignored,
                                  int highlightFrame, int key);
    static int Touch_Add_List_Btns(int layer, int list, int slot, int count, int x, int y, int w, int h, int dx,
                                   int dy, int highlightFrame, int key);   // the children it had before
    // A child of layer 1's last list over a layout element's current frame, placed by the anchor.
    static void AddGraphItemTouch(int layer, int element, int anchor, int selectFirst, int x, int y);
    static CAITouchObj* Touch_GetObj(int layer, int index);
    static int Touch_GetObjID(int layer, CAITouchObj* obj);   // -1 when absent
    static void Touch_RemoveObj(int layer, int index);
    static void Touch_RemoveLayer(int layer);
    static void Touch_add_full_screen();
    static void ResetSoftkeys();
    // Swipe direction of the finger on the pad: 0 none this call, -1 finger up, 1 left, 2 right, 3 up,
    // 4 down; speed 1 to 3. Only the points inside (rx, ry, rw, rh) count.
    static int getPointerTouchOnDragDir(int& speed, int& distance, bool timed, int minDX, int minDY,
                                        bool horizontal, int rx, int ry, int rw, int rh, bool clickSound);
    static void ResetDragGesture();   // forgets the recogniser's sample (a new controller)

    // ---- Screens: handlers and their functions (placeholders listed in CAIGame_screens.inc)
#define QX_SCREEN(state, NAME, Init, Update, Paint, Exit) \
    void game_handleMessage_STATE_##NAME(int kind);       \
    void Init();                                          \
    void Update();                                        \
    void Paint();                                         \
    void Exit();
#define QX_SCREEN_NOTIFY(state, NAME, Init, Update, Paint, Exit, Notify) \
    QX_SCREEN(state, NAME, Init, Update, Paint, Exit)                    \
    void Notify();
#define QX_SCREEN_BARE(state, NAME) void game_handleMessage_STATE_##NAME(int kind);
#include "game/CAIGame_screens.inc"
#undef QX_SCREEN
#undef QX_SCREEN_NOTIFY
#undef QX_SCREEN_BARE
    void game_handleMessage_STATE_MAIN(int kind);
    void StateMMInit_New();
    void StateMMUpdate_New();
    void StateMMPaint_New();
    void StateMMExit_New();
    void game_handleMessage_STATE_SELECTBALL(int kind);   // empty screen
    void game_handleMessage_STATE_RANKING(int kind);      // does nothing

    // Parts of other screens the frame and the overlay pass call (placeholders until built)
    static void Touch_update();
    static void Touch_RemoveAllObj();
    static void StartLoadingWithLevelComplete();
    static void UnLoadAllMMSprites();
    static bool IsInCinematic() { return s_isInCinematic; }
    static bool CanUseBomb();
    void PaintBallModifiersFont();
    void PaintCinematic();
    void PaintInterface();
    void PaintAchievement();
    void StateMMPaint_New_Added();
    void StateOptionsMainMenuPaint_Added();
    void StateGameModeMainMenuPaint_Added();
    void StateInformationPaint_Added();
    void StateRecordPaint_Added();
    void StateSoundSettingPaint_Added();
    void StateControlSettingPaint_Added();
    void StateGameSettingPaint_Added();
    void StateBonusSettingPaint_Added();

    // ---- The animated menu scene shared by the main menu and its hubs, and the main menu
    static constexpr int kMenuBrickSlots = 3;
    static void LoadAllMMSprites();
    static void InitMainMenuBGAnimPlayer();
    static void DeleteMainMenuPlayers();
    static void StartMenuTranslation(int mode, int layer, int anim);
    static int UpdateMenuTranslation();
    static void StartMenuBrickTranslation(int mode, int anim, int brick, unsigned char useBrickMode);
    static int UpdateMenuBrickTranslation();
    static void UpdateUIStateChangeTranslation();
    static void SetAllUIExitAnimOver();
    static void PaintMainMenuBGAnim();
    static void PaintMainMenuBGAnim_Added();
    static void PaintSunLight();
    static void UpdateBrickPressFeedback(int bricks);
    static void MMLeaveTo(int state, int anim);
    static void MMOpenLink(int slot);
    static std::string MMOnlineServiceUrl(int language);   // the online-service page for a game language
    static int MMStoreButtonFrame(int language);           // frame of sprite 113, unpressed
    static void PaintFourSquares(pravik::video::ITexture* texture, int px, int py, float r, float t);
    static void DrawBackGroundElement(float x, float y);   // turns it 0.01 rad per 33 ms
    static void PaintBackGround_FromBackupBuffer();
    static void DrawMenuTitle_New(wchar_t* text, int brick, int scaleX, int scaleY);
    static void DrawMenuTitle_New_Special(int frame, int brick);
    static void MenuCaptionOrigin(int brick, int length, int& x, int& y);   // from the brick's caption place
    void MMEffectInit();
    void MMEffectOpen();
    void MMEffectClose();
    void MMEffectDestroy();

    // ---- List menus: the shared list model, its navigation and the list box's window animation
    static void Menu_Init(int menu, int* items, int count, int shown, unsigned char confirmSound,
                          unsigned char backSound);   // at most 40 items are kept
    static void Menu_Init(int menu, int* items, int count, int shown);
    static void Menu_Reset(int menu, int shown, unsigned char confirmSound, unsigned char backSound);
    static void Menu_CheckLimits();
    static int Menu_GetSelectedID();              // without the flag bits
    static void Menu_Update();
    static void Menu_Update(unsigned char wrap);
    static void Menu_Update(unsigned char wrap, unsigned char swapped);
    static void Menu_UpdateGrid(int columns);     // with wrap-around
    static void Menu_UpdateGrid(unsigned char wrap, int columns);
    static void Menu_ResetWindowAnim();
    static int Menu_WindowUpdate(unsigned char switchOnClose);   // 1 when opening or closing completes
    static int Menu_WindowUpdate(unsigned char switchOnClose, int revealTime);
    static bool IsConfirmMenu();
    static void GetMenuFreeze();
    static bool PressNeedToBeLighted();
    static void PaintMMBG();

    // ---- Layout-layer painters (values past an element's end read 0; unloaded sprites draw nothing)
    static void PaintTextArea(wchar_t* text, int x, int y, int w, int h, int valign, int halign, int font,
                              int palette, bool wrap, COLOR_NAME colour);
    static void PaintTextAreaItem(wchar_t* text, int layer, int element, unsigned char, int dx, int dy,
                                  COLOR_NAME colour);
    static void PaintTextAreaItem(wchar_t* text, int layer, int element, int dx, int dy);
    static void PaintTextAreaItem(wchar_t* text, int layer, int element);
    static void PaintTextAreaItem(int id, int layer, int element, unsigned char, int dx, int dy, COLOR_NAME colour);
    static void PaintTextAreaItem(int id, int layer, int element, int dx, int dy);
    static void PaintTextAreaItem(int id, int layer, int element);
    static void PaintGraphItem(int layer, int element, unsigned char, int dx, int dy);
    static void PaintGraphItem(int layer, int element);
    static void PaintRectItem(int layer, int element, int dx, int dy);
    static void PaintGradientRectItem(int layer, int element, int dx, int dy);
    static void PaintAllVisibleItems(int layer, unsigned char, int dx, int dy);
    static void PaintAllVisibleItems(int layer);
    static int GetGraphItemRectTouch(int* rect, int layer, int element);   // x, y, w, h; returns x
    static void PaintNewRectBG(int x, int y, int w, int h);
    static bool IsUsingSmallResource();
    static int GetTotalStars();
    static void GetEndLevelStatisticLeftSide(int line, wchar_t* out);
    static void GetEndLevelStatisticLeftSideBoss(int line, wchar_t* out);

    // ---- Message tip, loading text and small front-end operations
    void OpenConfirmOneButtonMode(int kind);
    void CloseConfirmOneButtonMode();
    void UpdateMessageTip();                      // instead of the screen's update while it is open
    void ShowMessageTip();                        // after the screen's paint
    static void ShowLoadingText(bool full);
    static int SerchFirstString(int n);           // 907 when the credits hold fewer sections
    static int SerchLastString(int n);
    static void GetCurLevel(int& location, int& level);
    static void BB_InitBackBuffer(int, int);
    static void BB_ClearBackBuffer(int);
    static void BB_DrawBuffer();
    static void BB_DrawBuffer(int, int);
    static void BB_FreeBuffer();
    static void LoadDebriefSprite();
    static void UnLoadDebriefSprite();
    static const int s_textLoading_tips[14];
    static void PaintLoadingTips_New();
    static void Touch_Draw_HL_frame(CAISprite* sprite, int frame, int x, int y, int flags, bool highlighted);
    // The button variant (slots 14 and up): the blinking highlight frame; frames 10 and 11 are the exit button.
    static void Touch_Draw_HL_frame2(CAISprite* sprite, int frame, int x, int y, int anchor, bool blink);
    // The soft keys at the bottom (and the pause button in a level), in touch layer 2; the screens
    // pass their left command first. 204 (and 229, 254, 255 on the left) shows no button.
    static void DrawNewKeyHints(int right, int left, bool drawBar);
    static void PaintGraphItemTouch(int layer, int element, int frame, bool blink);
    static void PaintGraphItemTouch(int layer, int element, int frame, bool blink, int selectFirst);
    static void Touch_Draw_GraphItem_No_Blank(int layer, int element, bool flag, int x, int y, bool blink, int,
                                              int altFrame);
    static void SND_StopAndPlaySFXSound(int id);
    static void SND_SetSoundTempo(int track, int percent);

    // ---- Number, time and money texts
    static void Text_FormatNumber(long long value, int language, wchar_t* out, unsigned char forMoney);
    static void ConvertTime(long long ms, unsigned char shortForm, wchar_t* out);   // low 32 bits of ms
    static uint8_t* ConvertTimeChars(long long ms, unsigned char shortForm);       // s_genericChars
    static void GetMoneyString(int value, wchar_t* out);
    static void GetMoneyString(long long value, wchar_t* out);   // empty for an unknown language

    // ---- The statics
#define QX_VALUE(type, name, start) static type name;
#define QX_ARRAY(type, name, dims, start) static type name dims;
#define QX_OBJECT(type, name) static type name;
#include "game/CAIGame_statics.inc"
#undef QX_VALUE
#undef QX_ARRAY
#undef QX_OBJECT
    static const uint8_t __temp_order_1000[3];
    static const uint8_t __temp_order_0100[3];
    static const uint8_t __temp_order_0010[3];
    static const uint8_t __temp_order_0001[3];

    // ---- Instance members
    int32_t m_cheatMenuState = 0;
    CStringManager* m_pStringManager = nullptr;   // owned; also g_pStringManager
    bool m_bMenuEffectsCreated = false;
    EffectImpl* m_pMenuEffects[6] = {};           // owned
    struct DestroyAllBricks {
        bool running = false;
        bool unlimited = false;
        int32_t brightness = 0;
        int32_t timer[2] = {};
        int32_t counter[2] = {};
        int32_t phase = 0;
    } m_destroyAllBricks;
    std::stack<int32_t, std::deque<int32_t>> m_returnStates;
    int32_t m_oneButtonMessageKind = -1;
    int32_t m_equipFocus = 2;
    int32_t m_equipFocusOnEntry = 2;
    bool m_oneButtonMessageShown = false;
    struct SlotMachine {
        int32_t reels[3][3] = {};
        int32_t state = 0;
        int32_t reelCounters[3] = {};
        int32_t timer = 0;
        uint8_t flags[4] = {};
        bool won = false;
        CAIObject* object = nullptr;
        bool active = false;
    } m_slotMachine;
    CGameAchievement m_achievement;
    CAIRacket* m_pSuperAddonRacket = nullptr;
    struct { bool active = false; int32_t values[3] = {}; } m_superShooter;
    struct { bool active = false; int32_t value = 0; } m_biggerRacket;
    struct { void* target = nullptr; bool active = false; int32_t value = 0; } m_superAbsorber;

private:
    using Handler = void (CAIGame::*)(int kind);
    static const Handler* Handlers();
    static CAIGame* s_instance;
};

extern CStringManager* g_pStringManager;

// Save-file globals: the version the record was first made under, the program's version, the
// review flag and the finished-level counter.
extern char g_versionCode[8];
extern bool g_bReview;
extern int32_t g_nFinishLevelNum;
void BB_RestoreClip();   // does nothing

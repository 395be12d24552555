// Construction, the two teardown paths and the location set-up of the game controller.
#include "game/CAIGame.h"

#include <algorithm>

#include "engine/scene/CSceneManager.h"
#include "engine/video/CTextureManager.h"
#include "engine/video/IVideoDriver.h"
#include "engine/video/material/EVertexAttribute.h"
#include "game/CGameLink.h"
#include "game/SpecialFX/CSpecialFXManager.h"

CAIGame* CAIGame::s_instance = nullptr;
CStringManager* g_pStringManager = nullptr;

namespace {

template <class T>
void deleteOne(T*& object)
{
    delete object;
    object = nullptr;
}

// Sprites are counted: a slot gives back its reference.
void deleteOne(CAISprite*& sprite)
{
    if (sprite)
        sprite->drop();
    sprite = nullptr;
}

template <class T, std::size_t N>
void deleteAll(T* (&objects)[N])
{
    for (T*& object : objects)
        deleteOne(object);
}

// Frees an array's elements (rows first, through their destructors); length 0.
template <class T>
void emptyArray(CDataArray<T>& array)
{
    delete[] array.data;
    array.data = nullptr;
    array.length = 0;
}

void deleteTouchLayers()
{
    CDataArray<TouchLayer*>& layers = CAIGame::s_touch_vector;
    for (int i = 0; i < layers.length; ++i) {
        if (TouchLayer* layer = layers.data[i]) {
            for (CAITouchObj* object : *layer)
                delete object;
            delete layer;
            layers.data[i] = nullptr;
        }
    }
}

}  // namespace

CAIGame::CAIGame()
{
    s_instance = this;
    InitializeVariable();
    LoadSFX();

    // The touch registry: three empty layers, 52 free slots, 20 racket regions.
    deleteTouchLayers();
    s_touch_vector.NewArray(3);
    for (int i = 0; i < s_touch_vector.length; ++i)
        s_touch_vector.data[i] = new TouchLayer;
    s_slots.NewArray(52);
    _last_list_id = -1;
    s_frame_HL_id = -1;
    s_Racket_button_TouchObj.NewArray(20);

    StateMachine_Init();

    m_pStringManager = new CStringManager;
    g_pStringManager = m_pStringManager;
}

CAIGame::~CAIGame()
{
    UnLoadAllMMSprites();
    if (g_pStringManager == m_pStringManager)
        g_pStringManager = nullptr;
    deleteOne(m_pStringManager);
    deleteOne(s_pLeveCompleteHighScoreSfx);
    ReleaseSFX();
    deleteAll(m_pMenuEffects);
    if (s_instance == this)
        s_instance = nullptr;
}

void CAIGame::ReleaseStaticData()
{
    deleteAll(_sprites);
    std::fill(std::begin(s_gameFonts), std::end(s_gameFonts), nullptr);   // held by slots 3 to 8
    deleteAll(_groups);
    deleteAll(s_ballPool);
    deleteAll(_rackets);
    for (int i = 0; i < _movables_instance.length; ++i)
        deleteOne(_movables_instance.data[i]);
    deleteAll(_phisical_instances);

    // Enemies and bullets
    for (int i = 0; i < s_enemyCount && i < 20; ++i)
        deleteOne(s_enemyInstance[i]);
    deleteAll(_bullets_instance);
    s_bulletCount = 0;

    delete[] s_cameraLimitTotalBricks;
    s_cameraLimitTotalBricks = nullptr;
    delete[] s_cameraLimitOrientation;
    s_cameraLimitOrientation = nullptr;
    delete[] s_target;
    s_target = nullptr;

    deleteAll(s_triggerInstance);
    deleteAll(s_deadZoneAnim);
    deleteOne(s_TouchZoneAnim);
    deleteOne(s_pTouchZoneEffect);
    deleteOne(s_pTouchZoneTrail);

    deleteAll(s_ballModifierInstance);
    deleteAll(_particle_instance);
    deleteAll(s_enemyInstance);
    deleteAll(s_fxBallTrailInstances);
    deleteAll(_explosion_instance);
    deleteAll(_items_instance);
    deleteAll(_fade_text_instance);

    deleteOne(s_animationTronSmoke);
    delete[] m_cosinusArray;
    m_cosinusArray = nullptr;
    delete[] s_atanTable;
    s_atanTable = nullptr;

    deleteTouchLayers();
    deleteOne(s_touchAni);
    deleteOne(s_touchSpr);

    deleteAll(m_pBackGroundAnimationPlayer);
    g_pBackGroundElementTexture = nullptr;
    deleteOne(g_pTouchAnimPlayer);
    deleteOne(g_pMenuBrickAnimPlayer);
    deleteOne(g_pTitleBrickAnimPlayer);
    deleteOne(g_pLoadBallAnimPlayer);
    deleteOne(g_pIslandAnimPlayer);
    deleteOne(g_pMenuTitleAnimPlayer);
    deleteAll(g_pMenuBrickCtrAniPlayer);
    deleteOne(s_pBombPlayer);
    deleteAll(g_pMenuBGAnimationPlayer);
    deleteOne(s_goalStarAnim);

    g_VertexPTCStreams = nullptr;
    g_WorkVertexBuffer = nullptr;

    emptyArray(_map);
    emptyArray(_randomMap);
    emptyArray(_template);
    emptyArray(_map_groups);
    emptyArray(_map_glow_bricks);
    emptyArray(_map_tiles);
    emptyArray(_group_masks);
    emptyArray(_randomItems);
    emptyArray(_bricks_stats);
    emptyArray(_items_stats);
    emptyArray(_style_stats);
    emptyArray(_location_stats);
    emptyArray(_level_stats);
    emptyArray(_text_areas);
    emptyArray(_fx_stats);
    emptyArray(_materials_stats);
    emptyArray(_shop_stats);
    emptyArray(_secret_levels_stats);
    emptyArray(m_blockMasterBuffer);
    emptyArray(_nrPopupBoxArray);
    emptyArray(m_gameData);
    emptyArray(m_gameDataClean);
    emptyArray(m_gameUpdateAnimsLastFrame);
    for (int i = 0; i < m_spritesGUI.length; ++i)
        deleteOne(m_spritesGUI.data[i]);
    emptyArray(m_spritesGUI);
    emptyArray(m_spritesGUILoadState);
    emptyArray(m_blockMasterBrickIdVector);
    emptyArray(m_blockMasterPrototypeGroup);
    emptyArray(m_blockMasterPrototypeTemp);
    emptyArray(s_secretLevels);
    emptyArray(s_extraLevelsIdPerLocalization);
    emptyArray(_stars_location);
    emptyArray(_movables_instance);
    ResetDragGesture();
}

void CAIGame::InitLocation(int)
{
    _blink_stars = true;
    _last_random_level_played = 1;
    m_blockMasterRowsDestroyed = 0;
    _stars_location.NewArray(13);
    UpdateLife();
}

CStringManager* CAIGame::GetStringManager() { return g_pStringManager; }

void CAIGame::CGameAchievement::OnFinishAchievement(GAME_ACHIEVEMENT achievement)
{
    CAIGame::OnFinishAchievement(achievement);
}

namespace {

constexpr const char* kBallShine[6] = {
    "SFX/BallShine_SmallBall.tga", "SFX/BallShine_CannonBall.tga", "SFX/BallShine_FrostBall.tga",
    "SFX/BallShine_FireBall.tga",  "SFX/BallShine_CrazyBall.tga",  "SFX/BallShine_BigBall.tga",
};
constexpr int kWorkVertices = 256;   // the overlays draw a few quads at a time
constexpr int kHighScoreEffect = 125;

pravik::video::CTextureManager* Textures()
{
    pravik::video::IVideoDriver* driver = CVuvDevice::GetVideoDriver();
    return driver ? driver->getTextureManager() : nullptr;
}

}  // namespace

void CAIGame::ReleaseTexture(TextureHandle& slot)
{
    if (!slot)
        return;
    pravik::video::ITexture* texture = slot.get();
    slot = nullptr;
    if (pravik::video::CTextureManager* textures = Textures())
        textures->removeTexture(texture);
}

void CAIGame::LoadTexture(TextureHandle& slot, const char* name, pravik::video::E_TEXTURE_FILTER_TYPE magnification)
{
    ReleaseTexture(slot);
    pravik::video::CTextureManager* textures = Textures();
    if (!textures)
        return;
    slot = textures->getTexture(name);
    if (!slot)
        return;
    slot->setMinFilter(pravik::video::ETFT_NEAREST);
    slot->setMagFilter(magnification);
    slot->setWrapS(pravik::video::ETC_CLAMP);
    slot->setWrapT(pravik::video::ETC_CLAMP);
}

void CAIGame::LoadSFX()
{
    // Interleaved 24-byte vertices: position, one texture coordinate, colour.
    g_VertexPTCStreams = nullptr;
    g_WorkVertexBuffer = nullptr;
    using namespace pravik::video;
    constexpr unsigned attributes = (1u << EVA_POSITION) | (1u << EVA_TEXCOORD0) | (1u << EVA_COLOR0);
    if (IVideoDriver* driver = CVuvDevice::GetVideoDriver()) {
        g_WorkVertexBuffer = driver->createBuffer(EBT_VERTEX, EBU_DYNAMIC, kWorkVertices * 24, nullptr, false);
        g_VertexPTCStreams = CVertexStreams::allocate(1, attributes);
        if (g_VertexPTCStreams && g_WorkVertexBuffer)
            g_VertexPTCStreams->setupStreams(g_WorkVertexBuffer, attributes);
    }

    for (int i = 0; i < 6; ++i)
        LoadTexture(g_pBallShineTex[i], kBallShine[i], ETFT_NEAREST);
    LoadTexture(s_TouchPointImage, "SFX/touch_point.tga", ETFT_NEAREST);
    LoadTexture(g_pLockLine, "SFX/lockline.tga", ETFT_LINEAR);

    pravik::scene::CSceneManager* scene = CVuvDevice::GetSceneManager();
    for (SceneNode*& node : s_pDummylNode)
        node = scene ? scene->addSceneNode("dummyTransformation", nullptr) : nullptr;
    s_nCurDummyNodeIdx = 0;

    deleteOne(s_pLeveCompleteHighScoreSfx);
    if (CSpecialFXManager* effects = GameLink().effects())
        s_pLeveCompleteHighScoreSfx = effects->CreateEffect(kHighScoreEffect);
    if (s_pLeveCompleteHighScoreSfx)
        s_pLeveCompleteHighScoreSfx->SetVisible(false);
}

void CAIGame::ReleaseSFX()
{
    for (TextureHandle& texture : g_pBallShineTex)
        ReleaseTexture(texture);
    ReleaseTexture(s_TouchRectImageSet[0]);
    ReleaseTexture(s_TouchRectImageSet[1]);
    ReleaseTexture(s_TouchPointImage);
    ReleaseTexture(g_pLockLine);
}

// STAND-INS: the smallest shape of framework and effects services the game controller calls
// before those layers have landed. Each is named and shaped like the service it stands for and
// lives in namespace game_standin; game/FrameworkLinks.h aliases them to their real names.
// When the real service lands, its alias in FrameworkLinks.h points at it and the stand-in here
// is deleted. Nothing here draws, plays or loads: calls are counted so that tests can see them.
#pragma once

#include <cstdint>

namespace pravik::video {
class IVideoDriver;
}

namespace game_standin {

class ViDuzPlayer {
public:
    virtual ~ViDuzPlayer() = default;
    void SetAnim(int anim, int loops)
    {
        if (!m_over && anim == m_anim && anim >= 0)
            return;   // the same animation still running goes on
        m_anim = anim, m_loops = loops, m_over = false;
    }
    int GetAnim() const { return m_anim; }
    bool IsAnimOver() const { return m_over; }
    void SetPos(int x, int y) { m_x = x, m_y = y; }
    void Update(int ms) { m_updatedMs += ms; }
    void Render() { ++m_renders; }
    bool GetModulePos(int, int&, int&) { return false; }   // no frames: no module

    int m_anim = -1;
    int m_loops = 0;
    bool m_over = false;
    int m_x = 0, m_y = 0;
    int m_updatedMs = 0;
    int m_renders = 0;
};

class CStringManager {
public:
    virtual ~CStringManager() = default;
    int m_language = 0;
};

class SceneNode {
public:
    virtual ~SceneNode() = default;
};

// The sound facade: music and effects by id.
class CKezManager {
public:
    static CKezManager* GetInstance();   // created on first use
    static CKezManager* PeekInstance();  // null when not created
    static void Destroy();

    void PlayBGM(int id, bool loop, int fade);
    void StopBGM(int id, int a, int b);
    void PlaySoundWithBank(int id, bool loop, int bank, int priority);
    void SetSFXVolume(int volume) { m_sfxVolume = volume; }
    void SetMusicVolume(int volume) { m_musicVolume = volume; }
    bool IsMusicPlaying(int id) const { return m_playingMusic == id; }

    int m_playingMusic = -1;
    int m_bgmCalls = 0;
    int m_stopCalls = 0;
    int m_soundCalls = 0;
    int m_lastSound = -1;
    int m_sfxVolume = -1;
    int m_musicVolume = -1;
};

// The render device wrapper (the framework declares CVuvDevice: call sites name this one in full).
class CVuvDevice {
public:
    static CVuvDevice& Get();
    void ResetCamera() { ++m_resetCameraCalls; }
    void InitializeMaterialRender() { ++m_initMaterialRenderCalls; }
    pravik::video::IVideoDriver* GetVideoDriver() const { return m_driver; }

    pravik::video::IVideoDriver* m_driver = nullptr;   // not owned; null: nothing to release
    int m_resetCameraCalls = 0;
    int m_initMaterialRenderCalls = 0;
};

// The quad batcher.
class CM3DRender {
public:
    static CM3DRender& Get();
    void ResetAllVertexBuffer() { ++m_resetCalls; }
    int m_resetCalls = 0;
};

}  // namespace game_standin

// Window sessions: the unit of work the application object runs each frame. A session first
// loads in stages, one a frame (a stage that answers false is retried next frame), then runs
// frames in a fixed order: update, 2D update, the game's 2D pass (batched, then drawn), and the
// 3D render. CGamePlay, the game's only session, reaches the game controller through the
// framework's interface to the game and advances the scene by real time, at most 100 ms a step.
#pragma once

#include "framework/ViDuz.h"

namespace pravik {
class IDevice;
}
namespace pravik::io {
class IFileSystem;
}
namespace pravik::video {
class IVideoDriver;
}
namespace pravik::scene {
class CSceneManager;
}
class CGame;

class CHQGameWndSession {
public:
    CHQGameWndSession();
    virtual ~CHQGameWndSession() = default;

    void StartSession();
    bool LoadingLoop();       // one stage; answers the stop flag
    bool MainRenderLoop();    // one frame; answers the stop flag
    void StopGameWndSession(long code);
    bool IsLoading() const { return m_bLoading; }
    int LoadingStage() const { return m_nLoadingStage; }
    int FrameCount() const { return m_nFrameCount; }

    bool IsAnyKeyPressed() const;
    int IsKeyPressed(int key) const;
    int IsKeyHold(int key) const;
    int IsKeyReleased(int key) const;
    void ClearKeyPress();
    void OnLoadingKeyClick(int, bool) {}

    virtual bool RenderLoadingScreen() { return false; }
    void RenderPrivateData();
    virtual void Render2D() {}
    virtual void Update2D() {}
    virtual void Render() {}
    virtual void Update() {}
    virtual void RenderDebugInfo() {}
    virtual void InitiaFinished() {}
    virtual bool InitiaMatrix() { return true; }
    virtual bool InitiaOthers() { return true; }
    virtual bool InitiaMeshData() { return true; }
    virtual bool InitiaSound() { return true; }
    virtual bool InitiaTexture() { return true; }
    virtual bool InitiaState() { return true; }
    virtual void OnLoadingLoop(int) {}
    virtual void OnKeyClick(int, bool) {}
    virtual void DrawLoadingBar() {}

protected:
    pravik::io::IFileSystem* m_pFileSystem = nullptr;
    pravik::video::IVideoDriver* m_pVideoDriver = nullptr;
    pravik::scene::CSceneManager* m_pSceneManager = nullptr;
    pravik::IDevice* m_pDevice = nullptr;
    bool m_bStop = false;
    long m_nExitCode = 0;
    int m_nLoadingStage = 0;
    bool m_bLoading = false;
    CGame* m_pGame = nullptr;
    int m_nFrameCount = 0;
};

class CGamePlay : public CHQGameWndSession {
public:
    CGamePlay();
    ~CGamePlay() override;

    bool InitiaState() override { return true; }
    bool InitiaTexture() override { return true; }
    bool InitiaMeshData() override { return true; }
    bool InitiaOthers() override { return true; }
    bool InitiaMatrix() override { return true; }
    bool InitiaSound() override { return true; }
    void InitiaFinished() override;
    void Update() override;
    void Update2D() override {}
    void Render() override;
    void Render2D() override;
    void OnKeyClick(int, bool) override {}

    void Release() {}
    void ReleaseMeshData() {}
    void ReleaseData() {}
    void Pause() {}
    void Resume() {}

    float LastSceneStep() const { return m_fLastSceneStep; }   // ms handed to the scene last frame

private:
    ViDuz m_viduz;
    int m_nPreviousUpdate = 0;
    float m_fLastSceneStep = 0;
};

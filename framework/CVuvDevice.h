// The render device: the application's one owner of the 3D engine. It creates the engine device
// with the GL ES driver at the window size, keeps the quad batcher's camera equal to the scene
// camera (one world unit at z = 0 is one pixel), mounts the data folder and the three resource
// archives, builds the four game material renderers (17 additive, 18 blend, 19 solid, 20 font,
// all without depth) and brackets every frame and 2D batch around the batcher. It is also the
// particle library's host.
#pragma once

#include "framework/CM3DRender.h"

#include "effects/ZuduvaHost.h"
#include "engine/core/vector3d.h"
#include "engine/video/material/CMaterial.h"

#include <boost/intrusive_ptr.hpp>

namespace pravik {
class IDevice;
}
namespace pravik::io {
class IFileSystem;
}
namespace pravik::gui {
class IGUIEnvironment;
class IGUIStaticText;
}
namespace pravik::scene {
class ICameraSceneNode;
}

extern pravik::io::IFileSystem* g_vuvFileSystem;

class CVuvDevice : public IZuduvaHost {
public:
    static constexpr int MATERIAL_COUNT = 21;
    static constexpr int FIRST_GAME_MATERIAL = 17;

    // Creates the engine device; IsValid() tells whether it came up (no device, no drawing).
    CVuvDevice(int windowWidth, int windowHeight);
    ~CVuvDevice() override;
    CVuvDevice(const CVuvDevice&) = delete;
    CVuvDevice& operator=(const CVuvDevice&) = delete;

    bool IsValid() const { return m_pDevice != nullptr && m_pVideoDriver != nullptr; }

    static CVuvDevice* GetVuvDevice();
    static pravik::IDevice* GetPravikDevice();
    static pravik::video::IVideoDriver* GetVideoDriver();
    static pravik::scene::CSceneManager* GetSceneManager();
    static pravik::io::IFileSystem* GetFileSystem();
    static pravik::gui::IGUIEnvironment* GetGUIEnvironment();

    // Frames: the background is (42, 7, 42) in level play (state 12), black elsewhere.
    void BeginScene();
    void EndScene();                   // presents nothing: the shell swaps
    void BeginScene2D();
    void EndScene2D();                 // the batched quads are drawn now

    void ResetCamera();
    void UpdateCurCamera(const pravik::core::vector3d<float>& v);
    void SetCurCameraPosition(const pravik::core::vector3d<float>& v);
    void SetCurCameraTarget(const pravik::core::vector3d<float>& v);

    // 17-20: an instance of that game renderer; anything else empty.
    boost::intrusive_ptr<pravik::video::CMaterial> CreateMaterial(int number);
    // 0-16: the built-in type's instance; 17-20 as CreateMaterial; others (negative too) empty.
    boost::intrusive_ptr<pravik::video::CMaterial> GetMaterial(int number, bool reset);
    int GetMaterialRenderID(int number) const;   // -1 outside 0-20
    void InitializeMaterialRender();

    void ResetDevice(int width, int height);
    void Set2DProjection();
    void InitializeDebugInfo() {}
    void ResetTextureRef() {}

    CM3DRender& GetM3DRender() { return m_render; }
    pravik::scene::ICameraSceneNode* GetCamera() const { return m_pCamera; }

    // The particle library's host.
    pravik::IDevice* getDevice() override { return m_pDevice; }
    pravik::video::IVideoDriver* getVideoDriver() override { return m_pVideoDriver; }
    pravik::scene::CSceneManager* getSceneManager() override { return m_pSceneManager; }
    pravik::scene::ISceneNode* constructScene(const char* path) override;   // through the scene database
    boost::intrusive_ptr<pravik::video::CMaterial> getMaterial(int blendType) override;
    int getBlendMode() const override { return m_render.m_nBlendMode; }
    void setBlendMode(int mode) override { m_render.m_nBlendMode = mode; }
    void setTexture(const boost::intrusive_ptr<pravik::video::ITexture>& texture) override { m_render.SetTexture(texture); }
    void setWorldMatrix(const pravik::core::CMatrix4<float>& world) override { m_render.m_worldMatrix = world; }
    int Blt(M3DXVertex_XYZDT* vertices, int count) override { return m_render.Blt(vertices, count); }
    pravik::io::IFileSystem* getFileSystem() override { return GetFileSystem(); }  // effect files

private:
    void Initialize(int windowWidth, int windowHeight);
    void InitializeFileSystem();
    void OnDestroy();

    CM3DRender m_render;
    pravik::io::IFileSystem* m_pFileSystem = nullptr;
    pravik::video::IVideoDriver* m_pVideoDriver = nullptr;
    pravik::scene::CSceneManager* m_pSceneManager = nullptr;
    pravik::IDevice* m_pDevice = nullptr;
    pravik::gui::IGUIEnvironment* m_pGUIEnvironment = nullptr;
    pravik::gui::IGUIStaticText* m_pStaticText = nullptr;   // owned by the GUI
    pravik::scene::ICameraSceneNode* m_pCamera = nullptr;   // owned by the scene
    int m_materialIds[MATERIAL_COUNT];
    float m_fScreenHeight = 1024.f;
};

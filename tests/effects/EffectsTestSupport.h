#pragma once
// What the particle-effect tests share: a null driver with a scene manager and the camera the
// game uses (at (0, 0, 512) looking at the origin), a host that records every quad block an
// emitter hands over, and an 8x8 white particle texture registered as "SFX/white.tga".

#include "effects/IEmitter.h"
#include "effects/IParticle.h"
#include "effects/ParticleDesc.h"
#include "effects/ZuduvaHost.h"
#include "engine/EngineServices.h"
#include "engine/io/CFileSystem.h"
#include "engine/os/StandardRandom.h"
#include "engine/scene/CCameraSceneNode.h"
#include "engine/scene/CSceneManager.h"
#include "engine/video/CNullDriver.h"
#include "engine/video/CTextureManager.h"
#include "engine/video/image/EPixelFormat.h"
#include "tests/support/TempDir.h"

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include <vector>

namespace test {

struct QuadBlock {
    boost::intrusive_ptr<pravik::video::ITexture> texture;
    int blendMode = -1;
    pravik::core::CMatrix4<float> world;
    std::vector<M3DXVertex_XYZDT> vertices;
};

class RecordingHost : public IZuduvaHost {
public:
    pravik::IDevice* getDevice() override { return nullptr; }
    pravik::io::IFileSystem* getFileSystem() override { return fileSystem; }
    pravik::scene::ISceneNode* constructScene(const char* path) override
    {
        scenesAsked.push_back(path);
        return sceneMaker ? sceneMaker(path) : nullptr;
    }
    pravik::video::IVideoDriver* getVideoDriver() override { return driver; }
    pravik::scene::CSceneManager* getSceneManager() override { return sceneManager; }
    boost::intrusive_ptr<pravik::video::CMaterial> getMaterial(int) override { return nullptr; }
    int getBlendMode() const override { return blendMode; }
    void setBlendMode(int mode) override { blendMode = mode; }
    void setTexture(const boost::intrusive_ptr<pravik::video::ITexture>& t) override
    {
        if (t != texture)
            stateChanged = true;
        texture = t;
    }
    void setWorldMatrix(const pravik::core::CMatrix4<float>& m) override { world = m; }
    int Blt(M3DXVertex_XYZDT* vertices, int count) override
    {
        if (!texture)
            return int(0x80004005u);
        blocks.push_back({texture, blendMode, world, std::vector<M3DXVertex_XYZDT>(vertices, vertices + 4 * count)});
        return 0;
    }

    pravik::video::IVideoDriver* driver = nullptr;
    pravik::scene::CSceneManager* sceneManager = nullptr;
    pravik::io::IFileSystem* fileSystem = nullptr;
    std::function<pravik::scene::ISceneNode*(const char*)> sceneMaker;
    std::vector<std::string> scenesAsked;
    int blendMode = 0;
    bool stateChanged = false;
    boost::intrusive_ptr<pravik::video::ITexture> texture;
    pravik::core::CMatrix4<float> world;
    std::vector<QuadBlock> blocks;
};

class EffectsTest : public ::testing::Test {
protected:
    EffectsTest()
    {
        driver = boost::intrusive_ptr<pravik::video::CNullDriver>(pravik::video::createNullDriver(nullptr), false);
        sceneManager = new pravik::scene::CSceneManager(driver.get(), nullptr);
        camera = new pravik::scene::CCameraSceneNode(-1, {0.f, 0.f, 512.f}, {0.f, 0.f, 0.f});
        sceneManager->getRootSceneNode()->addChild(camera);
        sceneManager->setActiveCamera(camera);
        camera->updateAbsolutePosition();
        host.driver = driver.get();
        host.sceneManager = sceneManager;
        fileSystem = new pravik::io::CFileSystem();
        fileSystem->addFolderFileArchive((dir.path().string() + "/").c_str(), true, false);
        driver->getTextureManager()->setFileSystem(fileSystem.get());
        host.fileSystem = fileSystem.get();
        white = driver->getTextureManager()->addTexture(pravik::core::dimension2d<int>(8, 8), "SFX/white.tga",
                                                        pravik::video::EPF_R8G8B8A8, true);
        pravik::os::seedStandardRand(12345);
    }
    ~EffectsTest() override
    {
        for (IEmitter* e : emitters) {
            e->remove();
            e->drop();
        }
        white = nullptr;
        camera->drop();
        sceneManager->drop();
    }

    // A new emitter under the scene root, released with the test.
    IEmitter* newEmitter()
    {
        IEmitter* e = new IEmitter(nullptr);
        emitters.push_back(e);
        return e;
    }

    // Runs the scene's animation pass n frames of step ms, then draws each emitter once a frame.
    void animate(IEmitter* e, int frames, unsigned step, bool draw = true)
    {
        for (int i = 0; i < frames; ++i) {
            now += step;
            e->onAnimate(now);
            if (draw)
                e->render(nullptr);
        }
    }

    pravik::CEngineServicesScope services;
    TempDir dir;  // mounted as the data folder
    boost::intrusive_ptr<pravik::io::CFileSystem> fileSystem;
    boost::intrusive_ptr<pravik::video::CNullDriver> driver;
    pravik::scene::CSceneManager* sceneManager = nullptr;
    pravik::scene::CCameraSceneNode* camera = nullptr;
    RecordingHost host;
    ZuduvaHostScope hostScope{&host};
    boost::intrusive_ptr<pravik::video::ITexture> white;
    std::vector<IEmitter*> emitters;
    unsigned now = 0;
};

inline pravik::core::vector3d<float> pos(const M3DXVertex_XYZDT& v) { return {v.x, v.y, v.z}; }

}  // namespace test

#pragma once
// What the scene-file tests share: a temporary folder, a file system, a null driver (or one
// that reports the GL ES type), a scene manager and the scene-file manager over them, and a
// recording logger.

#include "engine/EngineServices.h"
#include "engine/collada/CResFileManager.h"
#include "engine/io/CFileSystem.h"
#include "engine/scene/CSceneManager.h"
#include "engine/video/CNullDriver.h"
#include "tests/engine/core/RecordingLogger.h"
#include "tests/engine/video/DriverTestSupport.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <string>

namespace test {

// A null driver that answers the GL ES driver's type, for the choices made by type alone.
class GLESTypedNullDriver : public pravik::video::CNullDriver {
public:
    GLESTypedNullDriver() : CNullDriver(static_cast<pravik::IDevice*>(nullptr)) {}
    pravik::video::E_DRIVER_TYPE getDriverType() const override { return pravik::video::EDT_OGLES1; }
};

class SceneFileFixture : public ::testing::Test {
protected:
    void SetUp() override { start(false); }
    void TearDown() override { stop(); }

    void start(bool glesType)
    {
        if (glesType) {
            driver = boost::intrusive_ptr<pravik::video::CNullDriver>(new GLESTypedNullDriver, false);
            driver->initImplementationDependentData();
        } else {
            driver = makeNullDriver();
        }
        fileSystem = new pravik::io::CFileSystem();  // handed out at count 0
        sceneManager = new pravik::scene::CSceneManager(driver.get(), fileSystem);
        manager = new pravik::collada::CResFileManager(fileSystem, driver.get(), sceneManager);
    }
    void stop()
    {
        if (sceneManager) sceneManager->drop();
        sceneManager = nullptr;
        if (manager) manager->drop();
        manager = nullptr;
        driver.reset();
    }
    std::string write(const std::string& name, const std::string& bytes) { return dir.write(name, bytes); }

    pravik::CEngineServicesScope services;
    ProcessBufferHeap heap;
    SLoggerScope log;
    TempDir dir;
    boost::intrusive_ptr<pravik::video::CNullDriver> driver;
    boost::intrusive_ptr<pravik::io::IFileSystem> fileSystem;
    pravik::scene::CSceneManager* sceneManager = nullptr;
    pravik::collada::CResFileManager* manager = nullptr;
};

}  // namespace test

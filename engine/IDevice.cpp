// Device base: construction and destruction order, event routing, the run turn, versions.

#include "engine/IDevice.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "engine/CLogger.h"
#include "engine/CTimer.h"
#include "engine/CVuvFactory.h"
#include "engine/EngineServices.h"
#include "engine/IOSOperator.h"
#include "engine/Initialization.h"
#include "engine/collada/BuiltInMaterialTypes.h"
#include "engine/collada/CAnimationStreamingManager.h"
#include "engine/collada/CResFileManager.h"
#include "engine/video/material/CMaterialRendererManager.h"
#include "engine/gui/ICursorControl.h"
#include "engine/gui/IGUIEnvironment.h"
#include "engine/io/IFileSystem.h"
#include "engine/os/Printer.h"
#include "engine/os/Timer.h"
#include "engine/scene/CSceneManager.h"
#include "engine/task/CTaskHandler.h"
#include "engine/video/C2DDriver.h"
#include "engine/video/IVideoDriver.h"

namespace pravik {

IDevice::IDevice(const SCreationParameters& parameters)
    : IReferenceCounted(1), m_eventReceiver(parameters.EventReceiver), m_creationParameters(parameters)
{
    m_graphicsTaskHandler = new task::CCpuGraphicsTaskHandler();
    init();
    m_animationStreamingManager = new collada::CAnimationStreamingManager();  // becomes its Instance
    // The tables are in place before any driver exists and stay until it is gone.
    installEngineServices();
    m_timer = new CTimer();
    os::Timer::initTimer();

    if (os::Printer::Logger) {
        m_logger = os::Printer::Logger;
        m_logger->grab();
        if (auto* logger = dynamic_cast<CLogger*>(m_logger)) logger->setReceiver(m_eventReceiver);
    }
    os::Printer::Logger = m_logger;

    std::printf("\nCreating FILE SYSTEM IDEVICE");
    std::fflush(stdout);
    m_fileSystem = CVuvFactory::getInstance()->createFileSystem();

    os::Printer::log((std::string("Pravik Engine version ") + PRAVIK_SDK_VERSION).c_str(), ELL_INFORMATION);
    checkVersion(parameters.EngineVersion);
}

IDevice::~IDevice()
{
    delete m_graphicsTaskHandler;
    m_graphicsTaskHandler = nullptr;

    if (m_sceneManager) m_sceneManager->drop();
    m_sceneManager = nullptr;
    // Scene-file nodes release their files through the manager, so it goes after the scene.
    if (m_resFileManager) m_resFileManager->drop();
    m_resFileManager = nullptr;
    // Scenes and files are gone: nothing holds a block any more.
    delete m_animationStreamingManager;
    m_animationStreamingManager = nullptr;

    if (m_guiEnvironment) m_guiEnvironment->drop();
    m_guiEnvironment = nullptr;
    if (m_2dDriver) {
        if (m_videoDriver && m_videoDriver->get2DDriver() == m_2dDriver) m_videoDriver->set2DDriver(nullptr);
        m_2dDriver->drop();
    }
    m_2dDriver = nullptr;
    if (m_videoDriver) m_videoDriver->drop();
    m_videoDriver = nullptr;

    if (m_inputReceivingSceneManager) m_inputReceivingSceneManager->drop();
    m_inputReceivingSceneManager = nullptr;
    // Materials a scene held drop their textures through the tables, so they go only now.
    removeEngineServices();

    if (m_cursorControl) m_cursorControl->drop();
    m_cursorControl = nullptr;
    if (m_osOperator) m_osOperator->drop();
    m_osOperator = nullptr;
    if (m_timer) m_timer->drop();
    m_timer = nullptr;

    exit();

    if (m_logger) {
        ILogger* logger = m_logger;
        m_logger = nullptr;
        // Only a destroyed logger is taken out of the printer; another one installed since stays.
        if (logger->drop() && os::Printer::Logger == logger) os::Printer::Logger = nullptr;
    }

    m_postedEvents.clear();
    m_fileSystem.reset();
}

void IDevice::createGUIAndScene()
{
    // The driver's static 2D forms draw through the device's drawing object.
    if (m_videoDriver) {
        m_2dDriver = new video::C2DDriver(m_videoDriver);
        m_videoDriver->set2DDriver(m_2dDriver);
    }
    CVuvFactory* factory = CVuvFactory::getInstance();
    m_guiEnvironment = factory->createGUIEnvironment(m_fileSystem, m_videoDriver, m_osOperator);
    m_sceneManager = factory->createSceneManager(m_videoDriver, m_fileSystem, m_cursorControl, m_guiEnvironment);
    m_resFileManager = new collada::CResFileManager(m_fileSystem, m_videoDriver, m_sceneManager);
    // The scene-file builder, unless the application installed its own.
    if (!video::CMaterialRendererManager::getBuiltInBuilder())
        video::CMaterialRendererManager::setBuiltInBuilder(&collada::buildBuiltInMaterialTypes);
    video::CMaterialRendererManager::setEffectFileBuilder(&collada::buildEffectFromFile);
    setEventReceiver(m_eventReceiver);
}

void IDevice::setEventReceiver(IEventReceiver* receiver)
{
    m_eventReceiver = receiver;
    if (auto* logger = dynamic_cast<CLogger*>(m_logger)) logger->setReceiver(receiver);
    if (m_guiEnvironment) m_guiEnvironment->setUserEventReceiver(receiver);
}

void IDevice::setInputReceivingSceneManager(scene::CSceneManager* sceneManager)
{
    if (sceneManager == m_inputReceivingSceneManager) return;
    if (sceneManager) sceneManager->grab();
    if (m_inputReceivingSceneManager) m_inputReceivingSceneManager->drop();
    m_inputReceivingSceneManager = sceneManager;
}

bool IDevice::postEventFromUser(const SEvent& event, bool queued)
{
    if (queued) {
        m_postedEvents.push_back(event);
        return true;
    }
    if (m_eventReceiver && m_eventReceiver->onEvent(event)) return true;
    if (m_guiEnvironment && m_guiEnvironment->postEventFromUser(event)) return true;
    scene::CSceneManager* sceneManager = m_inputReceivingSceneManager ? m_inputReceivingSceneManager : m_sceneManager;
    return sceneManager && sceneManager->postEventFromUser(event);
}

bool IDevice::postMouseEventFromUser(SEvent& event, bool queued)
{
    if (m_videoDriver) {
        if (auto* screen = dynamic_cast<const video::IVideoDriver::IFramebuffer*>(m_videoDriver->getBottomRenderTarget())) {
            event.MouseInput.X -= screen->m_areaX;
            event.MouseInput.Y -= screen->m_areaY;
        }
    }
    return postEventFromUser(event, queued);
}

bool IDevice::run()
{
    while (!m_postedEvents.empty()) {
        const SEvent event = m_postedEvents.front();
        m_postedEvents.pop_front();
        postEventFromUser(event, false);
    }
    m_graphicsTaskHandler->run(false);
    return runImpl();
}

bool IDevice::checkVersion(const char* version)
{
    if (version && std::strcmp(version, PRAVIK_SDK_VERSION) == 0) return true;
    const std::string text = std::string("Warning: The library version of the Pravik Engine (") + PRAVIK_SDK_VERSION +
                             ") does not match the version the application was compiled with (" +
                             (version ? version : "") + "). This may cause problems.";
    os::Printer::log(text.c_str(), ELL_WARNING);
    return false;
}

}  // namespace pravik

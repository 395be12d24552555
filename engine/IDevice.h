// The engine's root object: it creates and owns, in a fixed order, the timer, the file system,
// the OS operator, the cursor control, the video driver, the 2D drawing object, the GUI
// environment and the scene manager, and wires the engine's service tables while it lives.
// It routes user input to the event receiver, the GUI environment and a scene manager, and runs
// the graphics thread's pending tasks. Created by createDeviceEx; main thread only, no locks.
#pragma once

#include <boost/intrusive_ptr.hpp>

#include <deque>

#include "engine/IReferenceCounted.h"
#include "engine/SCreationParameters.h"
#include "engine/SEvent.h"
#include "engine/core/SAllocator.h"
#include "engine/video/CVideoModeList.h"

namespace pravik {
class ILogger;
class IOSOperator;
class ITimer;
}  // namespace pravik
namespace pravik::io {
class IFileSystem;
}
namespace pravik::video {
class IVideoDriver;
class C2DDriver;
}  // namespace pravik::video
namespace pravik::gui {
class ICursorControl;
class IGUIEnvironment;
}  // namespace pravik::gui
namespace pravik::scene {
class CSceneManager;
}
namespace pravik::collada {
class CResFileManager;
class CAnimationStreamingManager;
}  // namespace pravik::collada
namespace pravik::task {
class CCpuGraphicsTaskHandler;
}

namespace pravik {

class IDevice : public IReferenceCounted {
public:
    ~IDevice() override;

    virtual void yield() = 0;
    virtual void sleep(unsigned ms, bool pauseTimer) = 0;   // pauseTimer: the virtual clock stands still
    virtual video::IVideoModeList* getVideoModeList() { return &m_videoModeList; }
    virtual void setWindowCaption(const wchar_t* text) = 0;
    virtual bool isWindowActive() const = 0;
    virtual bool isWindowFocused() const = 0;
    virtual bool isWindowMinimized() const = 0;
    virtual bool isFullscreen() const = 0;
    virtual unsigned getColorFormat() const = 0;            // an E_PIXEL_FORMAT value
    virtual void closeDevice() = 0;
    virtual void setResizeAble(bool resize) = 0;
    virtual void setScreenCapture(bool capture) = 0;
    virtual bool isExitRequested() = 0;

    // Queued events wait for the next run(); others go straight to the receivers. True when
    // one of them took the event (always true when queued).
    bool postEventFromUser(const SEvent& event, bool queued = false);
    // Moves x and y from window pixels into the screen area first.
    bool postMouseEventFromUser(SEvent& event, bool queued = false);
    // Delivers the queued events in posting order, runs at most one pending graphics task,
    // ticks the clock. False once the device was closed.
    bool run();

    void setEventReceiver(IEventReceiver* receiver);   // not owned
    IEventReceiver* getEventReceiver() const { return m_eventReceiver; }
    void setInputReceivingSceneManager(scene::CSceneManager* sceneManager);   // counted
    scene::CSceneManager* getInputReceivingSceneManager() const { return m_inputReceivingSceneManager; }
    bool checkVersion(const char* version);   // false, with a warning, when it is not this engine's
    void createGUIAndScene();

    video::IVideoDriver* getVideoDriver() const { return m_videoDriver; }
    video::C2DDriver* get2DDriver() const { return m_2dDriver; }
    gui::IGUIEnvironment* getGUIEnvironment() const { return m_guiEnvironment; }
    scene::CSceneManager* getSceneManager() const { return m_sceneManager; }
    const boost::intrusive_ptr<io::IFileSystem>& getFileSystem() const { return m_fileSystem; }
    ITimer* getTimer() const { return m_timer; }
    gui::ICursorControl* getCursorControl() const { return m_cursorControl; }
    IOSOperator* getOSOperator() const { return m_osOperator; }
    collada::CResFileManager* getResFileManager() const { return m_resFileManager; }
    collada::CAnimationStreamingManager* getAnimationStreamingManager() const { return m_animationStreamingManager; }
    ILogger* getLogger() const { return m_logger; }
    task::CCpuGraphicsTaskHandler* getGraphicsTaskHandler() const { return m_graphicsTaskHandler; }
    const SCreationParameters& getCreationParameters() const { return m_creationParameters; }

protected:
    explicit IDevice(const SCreationParameters& parameters);

    virtual bool runImpl() = 0;

    // Filled by later layers as they exist; the device leaves absent ones null.
    collada::CResFileManager* m_resFileManager = nullptr;
    collada::CAnimationStreamingManager* m_animationStreamingManager = nullptr;

    video::IVideoDriver* m_videoDriver = nullptr;
    video::C2DDriver* m_2dDriver = nullptr;
    gui::IGUIEnvironment* m_guiEnvironment = nullptr;
    scene::CSceneManager* m_sceneManager = nullptr;
    ITimer* m_timer = nullptr;
    gui::ICursorControl* m_cursorControl = nullptr;
    IEventReceiver* m_eventReceiver = nullptr;
    ILogger* m_logger = nullptr;
    IOSOperator* m_osOperator = nullptr;
    boost::intrusive_ptr<io::IFileSystem> m_fileSystem;
    scene::CSceneManager* m_inputReceivingSceneManager = nullptr;
    video::CVideoModeList m_videoModeList;
    SCreationParameters m_creationParameters;
    task::CCpuGraphicsTaskHandler* m_graphicsTaskHandler = nullptr;
    std::deque<SEvent, core::SAllocator<SEvent>> m_postedEvents;
};

// The device of the requested driver type (count 1; the caller drops it), or null when the
// driver could not be created, unless the null driver (type 0) was asked for.
IDevice* createDeviceEx(const SCreationParameters& parameters);

// The same, from the record's defaults and the given values.
IDevice* createDevice(video::E_DRIVER_TYPE driverType, const core::dimension2d<int>& windowSize, unsigned colorBits,
                      bool fullscreen, bool driverFlag, bool unusedFlag, IEventReceiver* receiver);

}  // namespace pravik

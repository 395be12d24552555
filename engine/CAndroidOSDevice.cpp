// The platform device: its members in creation order, the driver by type, sleep and the tick.

#include "engine/CAndroidOSDevice.h"

#include <sys/utsname.h>

#include "engine/CCursorControl.h"
#include "engine/COSOperator.h"
#include "engine/ITimer.h"
#include "engine/os/Printer.h"
#include "engine/os/Timer.h"
#include "engine/video/CNullDriver.h"
#include "engine/video/gl/COpenGLESDriver.h"

namespace pravik {

namespace {

CAndroidOSDevice::NanoSleep s_nanoSleep = nullptr;

// The kernel's version text; it cannot change while the process runs, so it is asked once.
const char* kernelVersion()
{
    static const utsname names = [] {
        utsname u{};
        if (uname(&u) != 0) u.version[0] = '\0';
        return u;
    }();
    return names.version;
}

}  // namespace

void CAndroidOSDevice::setNanoSleep(NanoSleep sleeper) { s_nanoSleep = sleeper; }

CAndroidOSDevice::CAndroidOSDevice(const SCreationParameters& parameters) : IDevice(parameters)
{
    const char* version = kernelVersion();
    m_osOperator = new COSOperator(version);
    os::Printer::log(version, ELL_INFORMATION);

    m_cursorControl = new CCursorControl(m_creationParameters.WindowSize, this);
    createDriver();
    createGUIAndScene();
}

void CAndroidOSDevice::createDriver()
{
    switch (unsigned(m_creationParameters.DriverType)) {
    case video::EDT_NULL:
        m_videoDriver = video::createNullDriver(this, m_creationParameters.WindowSize);
        break;
    case video::EDT_OGLES1:
        // Fails, leaving no driver, unless an EGL context is current on this thread.
        m_videoDriver = video::createOpenGLES1Driver(this, m_creationParameters.WindowSize);
        break;
    case 128:
    case 256:
        os::Printer::log("This driver is not available in OSX. Try OpenGL or Software renderer.", ELL_ERROR);
        break;
    default:
        os::Printer::log("Unable to create video driver of unknown type.", ELL_ERROR);
        break;
    }
}

void CAndroidOSDevice::sleep(unsigned ms, bool pauseTimer)
{
    const bool wasStopped = m_timer ? m_timer->isStopped() : true;
    timespec span{};
    span.tv_sec = time_t(ms / 1000);
    span.tv_nsec = long(ms % 1000) * 1000000L;
    const NanoSleep sleeper = s_nanoSleep ? s_nanoSleep : ::nanosleep;
    if (pauseTimer && !wasStopped) {
        m_timer->stop();
        sleeper(&span, nullptr);
        m_timer->start();
    } else {
        sleeper(&span, nullptr);
    }
}

bool CAndroidOSDevice::runImpl()
{
    os::Timer::tick();
    return m_running;
}

IDevice* createDeviceEx(const SCreationParameters& parameters)
{
    auto* device = new CAndroidOSDevice(parameters);
    if (!device->getVideoDriver() && parameters.DriverType != video::EDT_NULL) {
        device->drop();
        return nullptr;
    }
    return device;
}

IDevice* createDevice(video::E_DRIVER_TYPE driverType, const core::dimension2d<int>& windowSize, unsigned colorBits,
                      bool fullscreen, bool driverFlag, bool unusedFlag, IEventReceiver* receiver)
{
    SCreationParameters parameters;
    parameters.DriverType = driverType;
    parameters.WindowSize = windowSize;
    parameters.ColorBits = std::uint8_t(colorBits);
    parameters.Fullscreen = fullscreen;
    parameters.DriverFlag = driverFlag;
    parameters.UnusedFlags[0] = unusedFlag;
    parameters.EventReceiver = receiver;
    return createDeviceEx(parameters);
}

}  // namespace pravik

// The platform device. The application owns the window and presents with EGL, so every window
// operation is empty; the device keeps a run flag that closeDevice clears.
#pragma once

#include <ctime>

#include "engine/IDevice.h"

namespace pravik {

class CAndroidOSDevice : public IDevice {
public:
    explicit CAndroidOSDevice(const SCreationParameters& parameters);

    void yield() override {}
    void sleep(unsigned ms, bool pauseTimer) override;
    video::IVideoModeList* getVideoModeList() override { return nullptr; }
    void setWindowCaption(const wchar_t*) override {}
    bool isWindowActive() const override { return true; }
    bool isWindowFocused() const override { return true; }
    bool isWindowMinimized() const override { return false; }
    bool isFullscreen() const override { return m_creationParameters.Fullscreen; }
    unsigned getColorFormat() const override { return 5; }   // R5G6B5
    void closeDevice() override { m_running = false; }
    void setResizeAble(bool) override {}
    void setScreenCapture(bool) override {}
    bool isExitRequested() override { return false; }

    bool createWindow() { return true; }
    void setResize(int, int) {}
    void flush() {}   // the GL ES driver calls it when it swaps
    void postKeyEvent() {}
    void postMouseEvent() {}
    void storeMouseLocation() {}
    void setMouseLocation(int, int) {}
    void setCursorVisible(bool) {}
    void initKeycodes() {}

    // How sleep waits; tests put a stand-in here that moves their clock instead. Null restores
    // nanosleep.
    using NanoSleep = int (*)(const timespec* span, timespec* remaining);
    static void setNanoSleep(NanoSleep sleeper);

protected:
    bool runImpl() override;

private:
    void createDriver();

    bool m_running = true;
};

}  // namespace pravik

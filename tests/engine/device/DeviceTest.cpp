// The device on the null driver: what it creates, in what order, how it routes events and
// logs, its version check and sleep.

#include "tests/engine/device/DeviceTestSupport.h"

#include "engine/CAndroidOSDevice.h"
#include "engine/CLogger.h"
#include "engine/EngineServices.h"
#include "engine/IOSOperator.h"
#include "engine/ITimer.h"
#include "engine/Initialization.h"
#include "engine/collada/CAnimationStreamingManager.h"
#include "engine/gui/ICursorControl.h"
#include "engine/os/Printer.h"
#include "engine/os/Timer.h"
#include "engine/scene/CSceneManager.h"
#include "engine/video/C2DDriver.h"
#include "tests/engine/core/RecordingLogger.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/utsname.h>

#include <algorithm>

namespace {

using namespace pravik;
using ::testing::ElementsAre;
using test::Journal;

// Notes the engine's start and shutdown steps into whichever journal is current.
Journal* g_initJournal = nullptr;
const std::size_t kJournalStep = registerInitStep([](bool start) {
    if (g_initJournal) g_initJournal->push_back(start ? "init" : "exit");
});

// Keeps the entries that start with one of the prefixes, in order.
Journal only(const Journal& journal, std::initializer_list<const char*> prefixes)
{
    Journal kept;
    for (const auto& entry : journal)
        for (const char* prefix : prefixes)
            if (entry.rfind(prefix, 0) == 0) {
                kept.push_back(entry);
                break;
            }
    return kept;
}

TEST(Device, NullDriverDeviceHasEveryMember)
{
    for (bool fullscreen : {false, true}) {
        SCOPED_TRACE(fullscreen);
        SCreationParameters parameters;
        parameters.DriverType = video::EDT_NULL;
        parameters.Fullscreen = fullscreen;
        const boost::intrusive_ptr<IDevice> device(createDeviceEx(parameters), false);
        ASSERT_TRUE(device);
        EXPECT_EQ(device->getReferenceCount(), 1);
        ASSERT_TRUE(device->getVideoDriver());
        EXPECT_STREQ(device->getVideoDriver()->getName().c_str(), "NullDriver");
        EXPECT_EQ(device->getVideoDriver()->getDevice(), device.get());
        EXPECT_EQ(device->getColorFormat(), 5u);
        EXPECT_EQ(device->isFullscreen(), fullscreen);
        EXPECT_TRUE(device->getFileSystem());
        EXPECT_TRUE(device->getTimer());
        EXPECT_TRUE(device->getOSOperator());
        EXPECT_TRUE(device->getCursorControl());
        ASSERT_TRUE(device->get2DDriver());
        EXPECT_EQ(device->get2DDriver()->getVideoDriver(), device->getVideoDriver());
        EXPECT_TRUE(device->getGraphicsTaskHandler());
        // The GUI serves the built-in font; the scene manager is the engine's.
        ASSERT_TRUE(device->getGUIEnvironment());
        EXPECT_NE(device->getGUIEnvironment()->getBuiltInFont(), nullptr);
        EXPECT_EQ(device->getGUIEnvironment()->getVideoDriver(), device->getVideoDriver());
        ASSERT_TRUE(device->getSceneManager());
        EXPECT_EQ(device->getSceneManager()->getVideoDriver(), device->getVideoDriver());
        EXPECT_EQ(device->getSceneManager()->getCursorControl(), device->getCursorControl());
        EXPECT_EQ(device->getVideoModeList(), nullptr);
        EXPECT_TRUE(device->isWindowActive() && device->isWindowFocused() && !device->isWindowMinimized());
        EXPECT_FALSE(device->isExitRequested());
        ASSERT_TRUE(device->getAnimationStreamingManager());
        EXPECT_EQ(collada::CAnimationStreamingManager::Instance, device->getAnimationStreamingManager());

        struct utsname names{};
        ASSERT_EQ(uname(&names), 0);
        EXPECT_EQ(std::wstring(device->getOSOperator()->getOperationSystemVersion()),
                  std::wstring(names.version, names.version + std::strlen(names.version)));
    }
    EXPECT_EQ(collada::CAnimationStreamingManager::Instance, nullptr);  // gone with the device
}

TEST(Device, DriverTypesWithoutADriverAnswerNull)
{
    const struct {
        unsigned type;
        const char* message;
    } kCases[] = {
        {7, "Unable to create video driver of unknown type."},
        {128, "This driver is not available in OSX. Try OpenGL or Software renderer."},
        {256, "This driver is not available in OSX. Try OpenGL or Software renderer."},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.type);
        test::SLoggerScope log;
        EXPECT_EQ(test::makeDevice(video::E_DRIVER_TYPE(c.type)), nullptr);
        EXPECT_TRUE(std::any_of(log.logger().messages().begin(), log.logger().messages().end(), [&](const auto& m) {
            return m.text == c.message && m.level == ELL_ERROR;
        }));
        // The refused device gave back what it installed.
        EXPECT_EQ(getEngineServicesCount(), 0);
        EXPECT_EQ(InitializationCount, 0);
        EXPECT_EQ(log.logger().getReferenceCount(), 1);
    }
}

TEST(Device, CreatesAndDestroysInItsOrder)
{
    Journal journal;
    g_initJournal = &journal;
    {
        test::CRecordingFactory factory(journal);
        auto* logger = new test::CJournalLogger(journal);
        os::Printer::Logger = logger;
        {
            const auto device = test::makeDevice(video::EDT_NULL);
            ASSERT_TRUE(device);
            journal.push_back("created");
        }
        os::Printer::Logger = nullptr;
        logger->drop();
    }
    g_initJournal = nullptr;
    struct utsname names{};
    ASSERT_EQ(uname(&names), 0);
    EXPECT_THAT(only(journal, {"init", "file system", "log 1: Pravik", std::string("log 1: ").append(names.version).c_str(),
                               "gui", "scene", "created", "~", "exit"}),
                ElementsAre("init", "file system", "log 1: Pravik Engine version 0.1.0.2",
                            std::string("log 1: ") + names.version, "gui on NullDriver with file system and OS operator",
                            "scene manager with all", "created", "~scene manager", "~gui", "exit", "~file system",
                            "~logger"));
}

TEST(Device, CreateDeviceFillsTheRecord)
{
    struct : IEventReceiver {
        bool onEvent(const SEvent&) override { return false; }
    } receiver;
    const boost::intrusive_ptr<IDevice> device(
        createDevice(video::EDT_NULL, {320, 480}, 0x120, true, true, false, &receiver), false);
    ASSERT_TRUE(device);
    const SCreationParameters& p = device->getCreationParameters();
    EXPECT_EQ(p.WindowSize, (core::dimension2d<int>{320, 480}));
    EXPECT_EQ(p.ColorBits, 0x20);
    EXPECT_TRUE(p.Fullscreen);
    EXPECT_TRUE(p.DriverFlag);
    EXPECT_FALSE(p.UnusedFlags[0]);
    EXPECT_EQ(p.EventReceiver, &receiver);
    EXPECT_EQ(device->getEventReceiver(), &receiver);
    EXPECT_STREQ(p.EngineVersion, "0.1.0.2");
    EXPECT_EQ(p.AppendVertexBufferSize, 0x8000u);
    EXPECT_EQ(p.BatchVertexBufferSize, 0x500000u);
}

TEST(Device, CheckVersion)
{
    const auto device = test::makeDevice(video::EDT_NULL);
    ASSERT_TRUE(device);
    test::SLoggerScope log;
    EXPECT_TRUE(device->checkVersion("0.1.0.2"));
    EXPECT_TRUE(log.logger().messages().empty());
    EXPECT_FALSE(device->checkVersion("0.1.0.3"));
    ASSERT_EQ(log.logger().messages().size(), 1u);
    EXPECT_EQ(log.logger().messages()[0].text,
              "Warning: The library version of the Pravik Engine (0.1.0.2) does not match the version the "
              "application was compiled with (0.1.0.3). This may cause problems.");
    EXPECT_EQ(log.logger().messages()[0].level, ELL_WARNING);
}

TEST(Device, AMismatchedVersionStillMakesADevice)
{
    test::SLoggerScope log;
    SCreationParameters parameters;
    parameters.DriverType = video::EDT_NULL;
    parameters.EngineVersion = "9.9";
    const boost::intrusive_ptr<IDevice> device(createDeviceEx(parameters), false);
    EXPECT_TRUE(device);
    EXPECT_TRUE(log.logger().contains("(9.9). This may cause problems."));
}

// A clock that moves only when the device sleeps or the test says so.
std::uint64_t g_microseconds = 0;
std::vector<timespec> g_spans;

class DeviceClock : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_microseconds = 1000000;
        g_spans.clear();
        os::Timer::setTimeSource([] { return g_microseconds; });
        CAndroidOSDevice::setNanoSleep([](const timespec* span, timespec*) {
            g_spans.push_back(*span);
            g_microseconds += std::uint64_t(span->tv_sec) * 1000000u + std::uint64_t(span->tv_nsec) / 1000u;
            return 0;
        });
    }
    void TearDown() override
    {
        CAndroidOSDevice::setNanoSleep(nullptr);
        os::Timer::setTimeSource(nullptr);
    }
};

TEST_F(DeviceClock, SleepWithPauseKeepsVirtualTime)
{
    const auto device = test::makeDevice(video::EDT_NULL);
    ASSERT_TRUE(device);
    ITimer* timer = device->getTimer();
    g_microseconds += 250000;
    ASSERT_TRUE(device->run());
    const std::uint32_t before = timer->getTime();

    device->sleep(1500, true);
    ASSERT_EQ(g_spans.size(), 1u);
    EXPECT_EQ(g_spans[0].tv_sec, 1);
    EXPECT_EQ(g_spans[0].tv_nsec, 500000000L);
    EXPECT_FALSE(timer->isStopped());
    device->run();
    EXPECT_EQ(timer->getTime(), before);

    device->sleep(1500, false);
    EXPECT_EQ(timer->getTime(), before);  // nothing moves before the tick
    device->run();
    EXPECT_EQ(timer->getTime(), before + 1500);

    // A timer that was already stopped stays stopped.
    timer->stop();
    device->sleep(20, true);
    EXPECT_TRUE(timer->isStopped());
    timer->start();
    EXPECT_EQ(g_spans.back().tv_nsec, 20000000L);
}

TEST_F(DeviceClock, RunTicksUntilClosed)
{
    const auto device = test::makeDevice(video::EDT_NULL);
    ASSERT_TRUE(device);
    const std::uint32_t start = device->getTimer()->getTime();
    g_microseconds += 16000;
    EXPECT_TRUE(device->run());
    EXPECT_EQ(device->getTimer()->getTime(), start + 16);
    device->closeDevice();
    g_microseconds += 16000;
    EXPECT_FALSE(device->run());
    EXPECT_EQ(device->getTimer()->getTime(), start + 32);
}

}  // namespace

// How the device routes user input and log messages: the user's receiver first, then the GUI
// environment, then a scene manager; queued events wait for run().

#include "tests/engine/device/DeviceTestSupport.h"

#include "engine/CLogger.h"
#include "engine/os/Printer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using namespace pravik;
using ::testing::ElementsAre;
using test::Journal;

class CRecordingReceiver : public IEventReceiver {
public:
    explicit CRecordingReceiver(Journal& journal) : target{&journal, "receiver"} {}
    bool onEvent(const SEvent& event) override
    {
        if (event.EventType == EET_LOG_TEXT_EVENT) {
            logs.push_back(event.LogEvent.Text);
            return true;
        }
        return target.offered(event);
    }
    test::SRecordingTarget target;
    std::vector<std::string> logs;
};

SEvent mouseEvent(int tag)
{
    SEvent event{};
    event.EventType = EET_MOUSE_INPUT_EVENT;
    event.Words.Word[0] = tag;  // the x position doubles as the tag the journal prints
    return event;
}

class DeviceRouting : public ::testing::Test {
protected:
    void SetUp() override
    {
        device = test::makeDevice(video::EDT_NULL, &receiver);
        ASSERT_TRUE(device);
        ASSERT_EQ(device->getGUIEnvironment(), factory.gui);
        ASSERT_EQ(device->getSceneManager(), factory.sceneManager);
        journal.clear();
    }

    Journal journal;
    test::CRecordingFactory factory{journal};
    CRecordingReceiver receiver{journal};
    boost::intrusive_ptr<IDevice> device;
};

TEST_F(DeviceRouting, EachTakerStopsTheEventThere)
{
    const struct {
        const char* why;
        bool receiverTakes, guiTakes, sceneTakes;
        bool taken;
        Journal offered;
    } kCases[] = {
        {"receiver takes", true, true, true, true, {"receiver offered 1"}},
        {"GUI takes", false, true, true, true, {"receiver offered 1", "gui offered 1"}},
        {"scene takes", false, false, true, true, {"receiver offered 1", "gui offered 1", "scene manager offered 1"}},
        {"nobody takes", false, false, false, false, {"receiver offered 1", "gui offered 1", "scene manager offered 1"}},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.why);
        journal.clear();
        receiver.target.takes = c.receiverTakes;
        factory.gui->target.takes = c.guiTakes;
        factory.sceneManager->target.takes = c.sceneTakes;
        EXPECT_EQ(device->postEventFromUser(mouseEvent(1)), c.taken);
        EXPECT_EQ(journal, c.offered);
    }
}

TEST_F(DeviceRouting, AnInputReceivingSceneManagerIsAskedInsteadOfTheDevicesOwn)
{
    auto* input = new test::CRecordingSceneManager(journal, "input scene");
    input->target.takes = true;
    device->setInputReceivingSceneManager(input);
    EXPECT_EQ(input->getReferenceCount(), 2);
    device->setInputReceivingSceneManager(input);  // the same one again changes nothing
    EXPECT_EQ(input->getReferenceCount(), 2);

    EXPECT_TRUE(device->postEventFromUser(mouseEvent(2)));
    EXPECT_THAT(journal, ElementsAre("receiver offered 2", "gui offered 2", "input scene offered 2"));

    device->setInputReceivingSceneManager(nullptr);
    EXPECT_EQ(input->getReferenceCount(), 1);
    journal.clear();
    device->postEventFromUser(mouseEvent(3));
    EXPECT_THAT(journal, ElementsAre("receiver offered 3", "gui offered 3", "scene manager offered 3"));
    input->drop();
}

TEST_F(DeviceRouting, QueuedEventsWaitForRunAndKeepTheirOrder)
{
    EXPECT_TRUE(device->postEventFromUser(mouseEvent(1), true));
    EXPECT_TRUE(device->postEventFromUser(mouseEvent(2), true));
    EXPECT_TRUE(journal.empty());
    receiver.target.takes = true;
    device->run();
    EXPECT_THAT(journal, ElementsAre("receiver offered 1", "receiver offered 2"));
    journal.clear();
    device->run();
    EXPECT_TRUE(journal.empty());
}

TEST_F(DeviceRouting, MouseEventsMoveIntoTheScreenArea)
{
    auto* screen = dynamic_cast<video::IVideoDriver::IFramebuffer*>(device->getVideoDriver()->getBottomRenderTarget());
    ASSERT_TRUE(screen);
    screen->m_areaX = 40;
    screen->m_areaY = 100;
    struct : IEventReceiver {
        bool onEvent(const SEvent& e) override
        {
            seen = e;
            return true;
        }
        SEvent seen{};
    } probe;
    device->setEventReceiver(&probe);
    SEvent event{};
    event.EventType = EET_MOUSE_INPUT_EVENT;
    event.MouseInput = {300, 500, 0.f, EMIE_LMOUSE_PRESSED_DOWN};
    EXPECT_TRUE(device->postMouseEventFromUser(event));
    EXPECT_EQ(probe.seen.MouseInput.X, 260);
    EXPECT_EQ(probe.seen.MouseInput.Y, 400);
    EXPECT_EQ(probe.seen.MouseInput.Event, EMIE_LMOUSE_PRESSED_DOWN);
}

TEST_F(DeviceRouting, TheReceiverReachesTheGUI)
{
    EXPECT_EQ(factory.gui->receiver, &receiver);
    CRecordingReceiver other(journal);
    device->setEventReceiver(&other);
    EXPECT_EQ(factory.gui->receiver, &other);
    EXPECT_EQ(device->getEventReceiver(), &other);
}

TEST(DeviceLogger, HoldsTheInstalledLoggerAndSendsItsTextsToTheReceiver)
{
    Journal journal;
    CRecordingReceiver receiver(journal);
    auto* logger = new CLogger(nullptr);
    os::Printer::Logger = logger;
    {
        const auto device = test::makeDevice(video::EDT_NULL, &receiver);
        ASSERT_TRUE(device);
        EXPECT_EQ(logger->getReferenceCount(), 2);
        EXPECT_EQ(device->getLogger(), logger);
        EXPECT_EQ(os::Printer::Logger, logger);
        // The device's own start-up lines came to the receiver as log events.
        EXPECT_THAT(receiver.logs, ::testing::Contains("Pravik Engine version 0.1.0.2"));
        os::Printer::log("after", ELL_WARNING);
        EXPECT_EQ(receiver.logs.back(), "after");
    }
    EXPECT_EQ(logger->getReferenceCount(), 1);
    EXPECT_EQ(os::Printer::Logger, logger);
    os::Printer::Logger = nullptr;
    logger->drop();
}

TEST(DeviceLogger, WithoutALoggerNoneIsMade)
{
    ASSERT_EQ(os::Printer::Logger, nullptr);
    const auto device = test::makeDevice(video::EDT_NULL);
    ASSERT_TRUE(device);
    EXPECT_EQ(device->getLogger(), nullptr);
    EXPECT_EQ(os::Printer::Logger, nullptr);
}

TEST(DeviceLogger, ALoggerOnlyTheDeviceHeldGoesWithItFromThePrinter)
{
    Journal journal;
    auto* logger = new test::CJournalLogger(journal);
    os::Printer::Logger = logger;
    auto device = test::makeDevice(video::EDT_NULL);
    ASSERT_TRUE(device);
    logger->drop();  // the device's reference is the last
    device.reset();
    EXPECT_EQ(journal.back(), "~logger");
    EXPECT_EQ(os::Printer::Logger, nullptr);
}

}  // namespace

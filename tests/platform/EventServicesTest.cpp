#include "platform/Bps.h"

#include "platform/EventHub.h"
#include "platform/ScriptPlayer.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <string>

using namespace platform;

namespace {

class EventServices : public ::testing::Test {
protected:
    void SetUp() override
    {
        unsetenv("QUENDRAX_SCRIPT");
        ScriptPlayer::instance().reset();
        ASSERT_EQ(bps_initialize(), BPS_SUCCESS);
    }
    void TearDown() override
    {
        bps_shutdown();
        netstatus_force(-1);
    }

    static std::vector<std::string> drain()
    {
        std::vector<std::string> out;
        bps_event_t* ev = nullptr;
        while (bps_get_event(&ev, 0) == BPS_SUCCESS && ev)
            out.push_back(std::to_string(bps_event_get_domain(ev)) + ":" + std::to_string(bps_event_get_code(ev)));
        return out;
    }
};

}  // namespace

TEST_F(EventServices, OnlyRequestedDomainsAreDelivered)
{
    screen_context_t ctx = nullptr;
    ASSERT_EQ(screen_create_context(&ctx, 0), 0);
    EventHub& hub = EventHub::instance();
    hub.pushTouch(SCREEN_EVENT_MTOUCH_TOUCH, 0, 1, 2);
    hub.pushExit();
    hub.pushKeyboard(VIRTUALKEYBOARD_EVENT_VISIBLE);
    EXPECT_TRUE(drain().empty());

    screen_request_events(ctx);
    navigator_request_events(0);
    hub.pushTouch(SCREEN_EVENT_MTOUCH_TOUCH, 0, 1, 2);
    hub.pushExit();
    hub.pushKeyboard(VIRTUALKEYBOARD_EVENT_VISIBLE);
    hub.pushWindowState(NAVIGATOR_WINDOW_INVISIBLE);
    const std::string screen = std::to_string(screen_get_domain()), nav = std::to_string(navigator_get_domain());
    EXPECT_EQ(drain(), (std::vector<std::string>{screen + ":0", nav + ":2", nav + ":3"}));

    virtualkeyboard_request_events(0);
    screen_stop_events(ctx);
    hub.pushTouch(SCREEN_EVENT_MTOUCH_TOUCH, 0, 1, 2);
    hub.pushKeyboard(VIRTUALKEYBOARD_EVENT_HIDDEN);
    EXPECT_EQ(drain(), (std::vector<std::string>{std::to_string(virtualkeyboard_get_domain()) + ":2"}));
    screen_destroy_context(ctx);
}

TEST_F(EventServices, EventAccessorsAnswerForTheirOwnKindOnly)
{
    navigator_request_events(0);
    EventHub::instance().pushExit();
    bps_event_t* ev = nullptr;
    ASSERT_EQ(bps_get_event(&ev, 0), BPS_SUCCESS);
    ASSERT_NE(ev, nullptr);
    EXPECT_EQ(screen_event_get_event(ev), nullptr);
    EXPECT_EQ(navigator_event_get_window_state(ev), -1);
    EXPECT_EQ(bps_get_event(&ev, 0), BPS_SUCCESS);
    EXPECT_EQ(ev, nullptr);
    EXPECT_EQ(bps_event_get_domain(nullptr), BPS_FAILURE);
    EXPECT_EQ(bps_get_event(nullptr, 0), BPS_FAILURE);

    int v = 0;
    errno = 0;
    EXPECT_EQ(screen_get_event_property_iv(nullptr, SCREEN_PROPERTY_TYPE, &v), -1);
    EXPECT_EQ(errno, EINVAL);
}

TEST_F(EventServices, LocaleComesFromLang)
{
    const char* saved = std::getenv("LANG");
    const std::string keep = saved ? saved : "";
    const struct {
        const char* lang;
        const char* language;
        const char* country;
    } kCases[] = {
        {"fr_FR.UTF-8", "fr", "FR"}, {"pt_BR", "pt", "BR"}, {"de", "de", ""},
        {"C", "en", "US"},           {"", "en", "US"},      {"ja_JP.eucJP@cjk", "ja", "JP"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.lang);
        setenv("LANG", c.lang, 1);
        char* language = nullptr;
        char* country = nullptr;
        ASSERT_EQ(locale_get(&language, &country), BPS_SUCCESS);
        EXPECT_STREQ(language, c.language);
        EXPECT_STREQ(country, c.country);
        bps_free(language);
        bps_free(country);
    }
    if (saved)
        setenv("LANG", keep.c_str(), 1);
    else
        unsetenv("LANG");
}

TEST_F(EventServices, WebLinkIsPrinted)
{
    testing::internal::CaptureStdout();
    char* error = nullptr;
    EXPECT_EQ(navigator_invoke("http://example.org/store/tablet.php", &error), BPS_SUCCESS);
    EXPECT_EQ(error, nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Opening http://example.org/store/tablet.php\n");

    EXPECT_EQ(navigator_invoke(nullptr, &error), BPS_FAILURE);
    ASSERT_NE(error, nullptr);
    bps_free(error);
}

TEST_F(EventServices, SensorsAndNetworkWithoutScript)
{
    EXPECT_EQ(accelerometer_set_update_frequency(ACCELEROMETER_FREQUENCY_25HZ), BPS_SUCCESS);
    double x = 1, y = 1, z = 1;
    EXPECT_EQ(accelerometer_read_forces(&x, &y, &z), BPS_SUCCESS);
    EXPECT_EQ(x, 0.0);
    EXPECT_EQ(y, 0.0);
    EXPECT_EQ(z, 0.0);

    bool available = false;
    netstatus_force(1);
    EXPECT_EQ(netstatus_get_availability(&available), BPS_SUCCESS);
    EXPECT_TRUE(available);
    netstatus_force(0);
    EXPECT_EQ(netstatus_get_availability(&available), BPS_SUCCESS);
    EXPECT_FALSE(available);
    netstatus_force(-1);
    EXPECT_EQ(netstatus_get_availability(&available), BPS_SUCCESS);
}

TEST(Screen, WindowKeepsItsPropertiesAndRefusesBadOnes)
{
    screen_context_t ctx = nullptr;
    screen_window_t win = nullptr;
    ASSERT_EQ(screen_create_context(&ctx, SCREEN_APPLICATION_CONTEXT), 0);
    ASSERT_EQ(screen_create_window(&win, ctx), 0);
    int size[2] = {0, 0};
    ASSERT_EQ(screen_get_window_property_iv(win, SCREEN_PROPERTY_SIZE, size), 0);
    EXPECT_EQ(size[0], 600);
    EXPECT_EQ(size[1], 1024);

    const struct {
        int property;
        int value;
    } kSet[] = {{SCREEN_PROPERTY_FORMAT, SCREEN_FORMAT_RGBA8888}, {SCREEN_PROPERTY_ALPHA_MODE, 1},
                {SCREEN_PROPERTY_USAGE, 0x218},                  {SCREEN_PROPERTY_ROTATION, 90},
                {SCREEN_PROPERTY_SWAP_INTERVAL, 1},              {SCREEN_PROPERTY_ZORDER, 0}};
    for (const auto& s : kSet) {
        SCOPED_TRACE(s.property);
        int got = -7;
        EXPECT_EQ(screen_set_window_property_iv(win, s.property, &s.value), 0);
        EXPECT_EQ(screen_get_window_property_iv(win, s.property, &got), 0);
        EXPECT_EQ(got, s.value);
    }
    const int bad[2] = {0, 1024}, huge[2] = {600, 1 << 30};
    EXPECT_EQ(screen_set_window_property_iv(win, SCREEN_PROPERTY_SIZE, bad), -1);
    EXPECT_EQ(screen_set_window_property_iv(win, SCREEN_PROPERTY_SIZE, huge), -1);
    const int one = 1;
    errno = 0;
    EXPECT_EQ(screen_set_window_property_iv(win, 9999, &one), -1);
    EXPECT_EQ(errno, EINVAL);
    EXPECT_EQ(screen_create_window_buffers(win, 3), -1);
    EXPECT_EQ(screen_create_window_buffers(win, 2), 0);
    EXPECT_EQ(screen_set_window_property_iv(nullptr, SCREEN_PROPERTY_ZORDER, &one), -1);
    EXPECT_EQ(screen_destroy_window(win), 0);
    EXPECT_EQ(screen_destroy_context(ctx), 0);
}

// A scripted run through the layer, turn by turn as the shell makes them: pump (forces, then
// events until none), and when active draw and present.

#include "platform/Bps.h"
#include "platform/Clock.h"
#include "platform/Egl.h"
#include "platform/ScriptPlayer.h"
#include "tests/platform/ShellHarness.h"
#include "tests/support/TempDir.h"

#include <GLES/gl.h>
#include <gtest/gtest.h>
#include <png.h>

#include <array>
#include <cstdlib>
#include <map>
#include <cstring>
#include <string>
#include <vector>

using namespace platform;

namespace {

class ScriptPlayback : public ::testing::Test {
protected:
    void SetUp() override
    {
        setenv("QUENDRAX_VIDEO", "headless", 1);
        video_close();
    }
    void TearDown() override
    {
        unsetenv("QUENDRAX_SCRIPT");
        ScriptPlayer::instance().reset();
        Clock::reset();
        video_close();
    }

    void play(const std::string& script)
    {
        setenv("QUENDRAX_SCRIPT", dir.write("run.txt", script).c_str(), 1);
        ScriptPlayer::instance().reset();
        Clock::reset();
    }

    test::TempDir dir;
};

struct Seen {
    uint64_t frame;
    std::string what;
    bool operator==(const Seen&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Seen& s)
{
    return os << s.frame << ' ' << s.what;
}

std::string describe(bps_event_t* ev)
{
    const int domain = bps_event_get_domain(ev);
    const unsigned code = bps_event_get_code(ev);
    if (domain == screen_get_domain()) {
        screen_event_t se = screen_event_get_event(ev);
        int type = 0, id = 0, pos[2] = {0, 0};
        screen_get_event_property_iv(se, SCREEN_PROPERTY_TYPE, &type);
        screen_get_event_property_iv(se, SCREEN_PROPERTY_TOUCH_ID, &id);
        screen_get_event_property_iv(se, SCREEN_PROPERTY_SOURCE_POSITION, pos);
        return "screen " + std::to_string(type) + " " + std::to_string(id) + " " + std::to_string(pos[0]) + "," +
               std::to_string(pos[1]);
    }
    if (domain == navigator_get_domain() && code == NAVIGATOR_WINDOW_STATE)
        return "state " + std::to_string(navigator_event_get_window_state(ev));
    if (domain == navigator_get_domain() && code == NAVIGATOR_EXIT)
        return "exit";
    return "other " + std::to_string(domain) + " " + std::to_string(code);
}

// Decodes a PNG into RGBA; empty when it does not read.
std::vector<uint8_t> readPng(const std::string& path, int& w, int& h)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return {};
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> px(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, px.data(), 0, nullptr))
        return {};
    w = int(image.width);
    h = int(image.height);
    return px;
}

// Turns as the shell makes them, until the exit event or maxTurns.
struct TurnLog {
    std::vector<Seen> seen;
    std::map<uint64_t, std::array<double, 3>> forces;  // by frame
};

TurnLog runTurns(test::ShellHarness& shell, int maxTurns)
{
    TurnLog run;
    bps_initialize();
    screen_request_events(shell.screen);
    navigator_request_events(0);
    accelerometer_set_update_frequency(ACCELEROMETER_FREQUENCY_25HZ);
    bool active = true, running = true;
    for (int turn = 0; running && turn < maxTurns; ++turn) {
        std::array<double, 3> f{};
        accelerometer_read_forces(&f[0], &f[1], &f[2]);
        run.forces[Clock::frames()] = f;
        bps_event_t* ev = nullptr;
        while (bps_get_event(&ev, 0) == BPS_SUCCESS && ev) {
            run.seen.push_back({Clock::frames(), describe(ev)});
            if (navigator_event_get_window_state(ev) >= 0)
                active = navigator_event_get_window_state(ev) == NAVIGATOR_WINDOW_FULLSCREEN;
            if (bps_event_get_code(ev) == NAVIGATOR_EXIT && bps_event_get_domain(ev) == navigator_get_domain())
                running = false;
        }
        if (active && running) {
            glClearColor(float(Clock::frames() * 20) / 255.f, 7 / 255.f, 42 / 255.f, 1.f);
            glClear(GL_COLOR_BUFFER_BIT);
            EXPECT_TRUE(egl_swap_buffers(shell.display, shell.surface()));
        }
    }
    bps_shutdown();
    return run;
}

}  // namespace

TEST_F(ScriptPlayback, DeliversEachEventAtItsFrameAndShootsTheFrame)
{
    const std::string shot = dir.file("frame10.png");
    play("0 touch 0 100 200\n"
         "2 move 0 110 220\n"
         "3 release 0 110 220\n"
         "4 accel 0.5 -1 0.25\n"
         "5 pause\n"
         "8 resume\n"
         "10 shot " + shot + "\n"
         "12 exit\n");
    test::ShellHarness shell;
    ASSERT_TRUE(shell.ok());
    EXPECT_TRUE(Clock::scripted());
    const TurnLog run = runTurns(shell, 100);

    const std::vector<Seen> expected = {
        {0, "screen 100 0 100,200"}, {2, "screen 101 0 110,220"}, {3, "screen 102 0 110,220"},
        {5, "state 1"},              {8, "state 0"},              {12, "exit"},
    };
    EXPECT_EQ(run.seen, expected);
    EXPECT_EQ(Clock::frameTimeMs(), 12 * Clock::kScriptFrameMs);
    EXPECT_EQ(run.forces.size(), 13u);  // one turn a frame, paused ones too
    EXPECT_EQ(run.forces.at(3), (std::array<double, 3>{0, 0, 0}));
    EXPECT_EQ(run.forces.at(4), (std::array<double, 3>{0.5, -1, 0.25}));
    EXPECT_EQ(run.forces.at(12), (std::array<double, 3>{0.5, -1, 0.25}));

    int w = 0, h = 0;
    const auto px = readPng(shot, w, h);
    ASSERT_FALSE(px.empty());
    ASSERT_EQ(w, 600);
    ASSERT_EQ(h, 1024);
    for (size_t at : {size_t(0), (size_t(h) * size_t(w) - 1) * 4, size_t(512 * 600 + 300) * 4}) {
        EXPECT_EQ(px[at + 0], 200);  // frame 10
        EXPECT_EQ(px[at + 1], 7);
        EXPECT_EQ(px[at + 2], 42);
    }
}

TEST_F(ScriptPlayback, HeadlessRunEndsAfterAScriptWithoutExit)
{
    play("0 touch 0 1 2\n3 release 0 1 2\n");
    test::ShellHarness shell;
    ASSERT_TRUE(shell.ok());
    const std::vector<Seen> expected = {{0, "screen 100 0 1,2"}, {3, "screen 102 0 1,2"}, {4, "exit"}};
    EXPECT_EQ(runTurns(shell, 100).seen, expected);
}

TEST_F(ScriptPlayback, ShotIsTheUprightFrame)
{
    const std::string shot = dir.file("s.png");
    play("0 shot " + shot + "\n");
    test::ShellHarness shell;
    ASSERT_TRUE(shell.ok());
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 1024 - 10, 600, 10);  // the top ten rows in GL's bottom-up terms
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    ASSERT_TRUE(egl_swap_buffers(shell.display, shell.surface()));
    int w = 0, h = 0;
    const auto px = readPng(shot, w, h);
    ASSERT_EQ(px.size(), 600u * 1024u * 4u);
    EXPECT_EQ(px[0], 255);  // first row of the file is the top of the screen
    EXPECT_EQ(px[2], 0);
    EXPECT_EQ(px[(1023u * 600u) * 4 + 2], 255);
}

TEST_F(ScriptPlayback, MalformedScriptStopsTheRunWithItsLine)
{
    play("0 touch 0 1 2\n1 pause\n2 tap 0 1 2\n");
    EXPECT_EXIT(bps_initialize(), testing::ExitedWithCode(2), "run.txt: line 3: unknown command \"tap\"");
}

TEST_F(ScriptPlayback, WithoutScriptTimeIsTheMonotonicClock)
{
    unsetenv("QUENDRAX_SCRIPT");
    ScriptPlayer::instance().reset();
    EXPECT_FALSE(Clock::scripted());
    const uint64_t before = Clock::monotonicMs();
    const uint64_t t = Clock::frameTimeMs();
    EXPECT_GE(t, before);
    EXPECT_LE(t, Clock::monotonicMs());
}

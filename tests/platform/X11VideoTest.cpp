// The x11 backend on a private Xvfb server: a real window and EGL window surface, presents, and
// pointer input synthesised with XTest arriving as touches.

#include "platform/Bps.h"
#include "platform/Egl.h"
#include "platform/ScreenObjects.h"
#include "tests/platform/ShellHarness.h"
#include "tests/support/Xvfb.h"

#include <GLES/gl.h>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <optional>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include <X11/Xlib.h>  // last: its macros clash with names above
#include <X11/extensions/XTest.h>

using namespace platform;

namespace {

using test::onPath;
using test::Xvfb;

// A test waits for each expected event without a limit of its own: how long the server takes
// depends on the machine's load, and a lost event is left to the test runner's time limit.
constexpr int kEventWaitMs = -1;

struct Touch {
    int type, id, x, y;
    bool operator==(const Touch&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Touch& t)
{
    return os << t.type << " id " << t.id << " at " << t.x << "," << t.y;
}

// Each test on a server of its own, with the x11 backend chosen afresh.
class X11Video : public testing::Test {
protected:
    void SetUp() override
    {
        if (!onPath("Xvfb"))
            GTEST_SKIP() << "Xvfb is not installed";
        server.emplace();
        ASSERT_FALSE(server->display().empty()) << "Xvfb did not start";
        setenv("DISPLAY", server->display().c_str(), 1);
        setenv("QUENDRAX_VIDEO", "x11", 1);
        video_close();
    }
    void TearDown() override { video_close(); }

    std::optional<Xvfb> server;
};

}  // namespace

TEST_F(X11Video, WindowSurfacePresentsAndDesktopInputBecomesTabletEvents)
{
    {
        test::ShellHarness shell;
        ASSERT_TRUE(shell.ok()) << "EGL error 0x" << std::hex << eglGetError();
        ASSERT_STREQ(video_backend_name(), "x11");
        EGLint type = 0;
        eglGetConfigAttrib(shell.display, shell.config, EGL_SURFACE_TYPE, &type);
        EXPECT_TRUE(type & EGL_WINDOW_BIT);

        Display* x = XOpenDisplay(server->display().c_str());
        ASSERT_NE(x, nullptr);
        XWindowAttributes attrs{};
        ASSERT_TRUE(XGetWindowAttributes(x, Window(shell.window->native), &attrs));
        EXPECT_EQ(attrs.width, 600);
        EXPECT_EQ(attrs.height, 1024);
        EXPECT_EQ(attrs.map_state, IsViewable);

        for (int frame = 0; frame < 2; ++frame) {
            glClearColor(42 / 255.f, 7 / 255.f, 42 / 255.f, 1.f);
            glClear(GL_COLOR_BUFFER_BIT);
            EXPECT_TRUE(egl_swap_buffers(shell.display, shell.surface()));
        }

        ASSERT_EQ(bps_initialize(), BPS_SUCCESS);
        screen_request_events(shell.screen);
        navigator_request_events(0);
        int event, error, major, minor;
        ASSERT_TRUE(XTestQueryExtension(x, &event, &error, &major, &minor));
        XTestFakeMotionEvent(x, 0, 100, 200, 0);
        XTestFakeButtonEvent(x, 1, True, 0);
        XTestFakeMotionEvent(x, 0, 150, 260, 0);
        XTestFakeButtonEvent(x, 1, False, 0);
        XTestFakeMotionEvent(x, 0, 170, 300, 0);  // no button: no touch
        XSync(x, False);

        std::vector<Touch> touches;
        while (touches.empty() || touches.back().type != SCREEN_EVENT_MTOUCH_RELEASE) {
            bps_event_t* ev = nullptr;
            if (bps_get_event(&ev, kEventWaitMs) != BPS_SUCCESS || !ev)
                break;
            if (bps_event_get_domain(ev) == screen_get_domain()) {
                Touch t{};
                screen_event_t se = screen_event_get_event(ev);
                int pos[2];
                screen_get_event_property_iv(se, SCREEN_PROPERTY_TYPE, &t.type);
                screen_get_event_property_iv(se, SCREEN_PROPERTY_TOUCH_ID, &t.id);
                screen_get_event_property_iv(se, SCREEN_PROPERTY_SOURCE_POSITION, pos);
                t.x = pos[0];
                t.y = pos[1];
                touches.push_back(t);
            }
        }
        const std::vector<Touch> expected = {{SCREEN_EVENT_MTOUCH_TOUCH, 0, 100, 200},
                                             {SCREEN_EVENT_MTOUCH_MOVE, 0, 150, 260},
                                             {SCREEN_EVENT_MTOUCH_RELEASE, 0, 150, 260}};
        EXPECT_EQ(touches, expected);

        // Focus away and back, hidden and shown, then the close button.
        const Window win = Window(shell.window->native);
        XSetInputFocus(x, win, RevertToNone, CurrentTime);
        XSync(x, False);
        XSetInputFocus(x, DefaultRootWindow(x), RevertToNone, CurrentTime);
        XSync(x, False);
        XSetInputFocus(x, win, RevertToNone, CurrentTime);
        XSync(x, False);
        XUnmapWindow(x, win);
        XSync(x, False);
        XMapWindow(x, win);
        XSync(x, False);
        XEvent close{};
        close.xclient.type = ClientMessage;
        close.xclient.window = win;
        close.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
        close.xclient.format = 32;
        close.xclient.data.l[0] = long(XInternAtom(x, "WM_DELETE_WINDOW", False));
        XSendEvent(x, win, False, NoEventMask, &close);
        XSync(x, False);

        std::vector<std::string> nav;
        while (nav.empty() || nav.back() != "exit") {
            bps_event_t* ev = nullptr;
            if (bps_get_event(&ev, kEventWaitMs) != BPS_SUCCESS || !ev)
                break;
            if (bps_event_get_domain(ev) == navigator_get_domain())
                nav.push_back(bps_event_get_code(ev) == NAVIGATOR_EXIT
                                  ? "exit"
                                  : "state " + std::to_string(navigator_event_get_window_state(ev)));
        }
        EXPECT_EQ(nav, (std::vector<std::string>{"state 1", "state 0", "state 2", "state 0", "exit"}));
        bps_shutdown();
        XCloseDisplay(x);
    }
}

TEST_F(X11Video, RefusedSurfaceTakesItsWindowAway)
{
    {
        test::ShellHarness shell;
        ASSERT_TRUE(shell.ok()) << "EGL error 0x" << std::hex << eglGetError();
        Display* x = XOpenDisplay(server->display().c_str());
        ASSERT_NE(x, nullptr);
        auto windows = [x] {
            Window root = 0, parent = 0, *children = nullptr;
            unsigned count = 0;
            XQueryTree(x, DefaultRootWindow(x), &root, &parent, &children, &count);
            if (children)
                XFree(children);
            return count;
        };
        const unsigned before = windows();

        screen_window_t second = nullptr;
        ASSERT_EQ(screen_create_window(&second, shell.screen), 0);
        const int size[2] = {64, 64};
        screen_set_window_property_iv(second, SCREEN_PROPERTY_SIZE, size);
        const EGLint bad[] = {EGL_RENDER_BUFFER, 0x7777, EGL_NONE};
        EXPECT_EQ(egl_create_window_surface(shell.display, shell.config, second, bad), EGL_NO_SURFACE);
        EXPECT_EQ(second->native, 0u);
        EXPECT_EQ(windows(), before);

        const EGLint good[] = {EGL_RENDER_BUFFER, EGL_BACK_BUFFER, EGL_NONE};
        const EGLSurface surface = egl_create_window_surface(shell.display, shell.config, second, good);
        EXPECT_NE(surface, EGL_NO_SURFACE);
        EXPECT_EQ(windows(), before + 1);
        eglDestroySurface(shell.display, surface);
        screen_destroy_window(second);
        XCloseDisplay(x);
    }
}

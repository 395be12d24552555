// The x11 backend on a private Xvfb server: a real window and EGL window surface, presents, and
// pointer input synthesised with XTest arriving as touches.

#include "platform/Bps.h"
#include "platform/Egl.h"
#include "platform/ScreenObjects.h"
#include "tests/platform/ShellHarness.h"

#include <GLES/gl.h>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include <X11/Xlib.h>  // last: its macros clash with names above
#include <X11/extensions/XTest.h>

using namespace platform;

namespace {

bool onPath(const std::string& program)
{
    const char* path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    for (size_t at = 0; at <= dirs.size();) {
        const size_t end = std::min(dirs.find(':', at), dirs.size());
        if (end > at && access((dirs.substr(at, end - at) + "/" + program).c_str(), X_OK) == 0)
            return true;
        at = end + 1;
    }
    return false;
}

// Starts Xvfb on a display number it picks itself and stops it at scope end.
class Xvfb {
public:
    Xvfb()
    {
        int fds[2];
        if (pipe(fds) != 0)
            return;
        m_pid = fork();
        if (m_pid == 0) {
            close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            const int devnull = open("/dev/null", O_WRONLY);
            dup2(devnull, 2);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        std::string number;
        pollfd p{fds[0], POLLIN, 0};
        char c = 0;
        while (poll(&p, 1, 10000) > 0 && read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(fds[0]);
        if (!number.empty())
            m_display = ":" + number;
    }
    ~Xvfb()
    {
        if (m_pid > 0) {
            kill(m_pid, SIGTERM);
            waitpid(m_pid, nullptr, 0);
        }
    }
    const std::string& display() const { return m_display; }

private:
    pid_t m_pid = -1;
    std::string m_display;
};

struct Touch {
    int type, id, x, y;
    bool operator==(const Touch&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Touch& t)
{
    return os << t.type << " id " << t.id << " at " << t.x << "," << t.y;
}

}  // namespace

TEST(X11Video, WindowSurfacePresentsAndPointerBecomesTouch)
{
    if (!onPath("Xvfb"))
        GTEST_SKIP() << "Xvfb is not installed";
    Xvfb server;
    ASSERT_FALSE(server.display().empty()) << "Xvfb did not start";
    setenv("DISPLAY", server.display().c_str(), 1);
    setenv("QUENDRAX_VIDEO", "x11", 1);
    video_close();
    {
        test::ShellHarness shell;
        ASSERT_TRUE(shell.ok()) << "EGL error 0x" << std::hex << eglGetError();
        ASSERT_STREQ(video_backend_name(), "x11");
        EGLint type = 0;
        eglGetConfigAttrib(shell.display, shell.config, EGL_SURFACE_TYPE, &type);
        EXPECT_TRUE(type & EGL_WINDOW_BIT);

        Display* x = XOpenDisplay(server.display().c_str());
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
        for (int wait = 0; wait < 500 && (touches.empty() || touches.back().type != SCREEN_EVENT_MTOUCH_RELEASE);
             ++wait) {
            bps_event_t* ev = nullptr;
            while (bps_get_event(&ev, 0) == BPS_SUCCESS && ev) {
                if (bps_event_get_domain(ev) != screen_get_domain())
                    continue;
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
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        bps_shutdown();
        XCloseDisplay(x);
        const std::vector<Touch> expected = {{SCREEN_EVENT_MTOUCH_TOUCH, 0, 100, 200},
                                             {SCREEN_EVENT_MTOUCH_MOVE, 0, 150, 260},
                                             {SCREEN_EVENT_MTOUCH_RELEASE, 0, 150, 260}};
        EXPECT_EQ(touches, expected);
    }
    video_close();
}

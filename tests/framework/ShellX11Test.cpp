// The shell on a private Xvfb server: a real 600x1024 window, a click on it reaching the game as
// a pointer press in logic coordinates, and the close button ending the run.

#include "framework/Trace.h"
#include "framework/ZyGame.h"

#include "platform/Egl.h"
#include "tests/support/TempDir.h"
#include "tests/support/Xvfb.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <unistd.h>

#include <X11/Xlib.h>  // last: its macros clash with names above
#include <X11/extensions/XTest.h>

namespace {
int g_exitStatus = -1;
void noSleep(unsigned) {}
void recordExit(int status)
{
    g_exitStatus = status;
}
} // namespace

TEST(ShellX11, AClickOnTheWindowIsAPointerPress)
{
    if (!test::onPath("Xvfb"))
        GTEST_SKIP() << "Xvfb is not installed";
    test::Xvfb server;
    ASSERT_FALSE(server.display().empty()) << "Xvfb did not start";
    setenv("DISPLAY", server.display().c_str(), 1);
    setenv("QUENDRAX_VIDEO", "x11", 1);
    unsetenv("QUENDRAX_SCRIPT");
    platform::video_close();
    test::TempDir dir;
    char oldDir[1024];
    ASSERT_TRUE(getcwd(oldDir, sizeof oldDir));
    ASSERT_EQ(chdir(dir.path().c_str()), 0);
    const std::string trace = dir.file("trace.txt");
    TraceOpen(trace);

    ZyGame::SetHooks({noSleep, recordExit});
    ZyGame& shell = ZyGame::instance();
    testing::internal::CaptureStdout();
    ASSERT_TRUE(shell.init());
    EventHandler::instance().setListener(&shell);
    ASSERT_STREQ(platform::video_backend_name(), "x11");

    Display* x = XOpenDisplay(server.display().c_str());
    ASSERT_NE(x, nullptr);
    // The shell's window: the viewable top-level one.
    Window root = 0, parent = 0, *children = nullptr, win = 0;
    unsigned count = 0;
    XQueryTree(x, DefaultRootWindow(x), &root, &parent, &children, &count);
    XWindowAttributes attrs{};
    for (unsigned i = 0; i < count; ++i)
        if (XGetWindowAttributes(x, children[i], &attrs) && attrs.map_state == IsViewable) {
            win = children[i];
            break;
        }
    if (children)
        XFree(children);
    ASSERT_NE(win, 0u);
    EXPECT_EQ(attrs.width, 600);
    EXPECT_EQ(attrs.height, 1024);
    int x0 = 0, y0 = 0;
    Window child;
    XTranslateCoordinates(x, win, DefaultRootWindow(x), 0, 0, &x0, &y0, &child);
    XTestFakeMotionEvent(x, 0, x0 + 300, y0 + 512, 0);
    XTestFakeButtonEvent(x, 1, True, 0);
    XTestFakeButtonEvent(x, 1, False, 0);
    XSync(x, False);

    // Turns until the press comes through (each turn presents a frame).
    for (int turn = 0; turn < 600 && test::readFile(trace).find("pointer released") == std::string::npos; ++turn)
        shell.turn();
    const std::string traced = test::readFile(trace);
    EXPECT_NE(traced.find(" pointer pressed 300 512\n"), std::string::npos) << traced;

    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = win;
    close.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = long(XInternAtom(x, "WM_DELETE_WINDOW", False));
    XSendEvent(x, win, False, NoEventMask, &close);
    XSync(x, False);
    for (int turn = 0; turn < 600 && g_exitStatus < 0; ++turn)
        shell.turn();
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(g_exitStatus, 0);
    EXPECT_NE(out.find("Shutting down Screen"), std::string::npos);
    XCloseDisplay(x);
    TraceOpen("");
    EXPECT_EQ(chdir(oldDir), 0);
    platform::video_close();
}

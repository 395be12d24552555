// The x11 backend: a real window through Xlib and EGL's X11 platform. The window is made with
// the EGL surface, in the visual of the surface's config. The left mouse button and motion while
// it is held become touch id 0 in window pixels; focus and iconify become navigator window
// states (reported on change only); the close button becomes the navigator's exit.

#include "platform/VideoBackend.h"

#include "platform/Bps.h"
#include "platform/EventHub.h"

#include <EGL/eglext.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <vector>

namespace platform {

namespace {

class X11Video : public VideoBackend {
public:
    explicit X11Video(Display* display) : m_display(display)
    {
        m_deleteWindow = XInternAtom(m_display, "WM_DELETE_WINDOW", False);
    }

    ~X11Video() override
    {
        for (Window w : m_windows)
            XDestroyWindow(m_display, w);
        XCloseDisplay(m_display);
    }

    const char* name() const override { return "x11"; }

    EGLDisplay eglDisplay() override { return eglGetPlatformDisplay(EGL_PLATFORM_X11_KHR, m_display, nullptr); }

    EGLint surfaceTypeBit() const override { return EGL_WINDOW_BIT; }

    EGLSurface createSurface(EGLDisplay display, EGLConfig config, ScreenWindow& window,
                             const EGLint* attributes) override
    {
        if (!window.native && !createWindow(display, config, window))
            return EGL_NO_SURFACE;
        Window native = window.native;
        const std::vector<EGLAttrib> attribs = toAttribs(attributes);
        return eglCreatePlatformWindowSurface(display, config, &native, attribs.data());
    }

    void resize(ScreenWindow& window) override
    {
        XResizeWindow(m_display, window.native, unsigned(window.size[0]), unsigned(window.size[1]));
        XFlush(m_display);
    }

    void destroyWindow(ScreenWindow& window) override
    {
        std::erase(m_windows, window.native);
        XDestroyWindow(m_display, window.native);
        XFlush(m_display);
        window.native = 0;
    }

    void poll(EventHub& hub) override
    {
        while (XPending(m_display)) {
            XEvent ev;
            XNextEvent(m_display, &ev);
            translate(ev, hub);
        }
    }

    bool opensLinks() const override { return true; }

private:
    static std::vector<EGLAttrib> toAttribs(const EGLint* attributes)
    {
        std::vector<EGLAttrib> attribs;
        for (const EGLint* a = attributes; a && *a != EGL_NONE; a += 2) {
            attribs.push_back(a[0]);
            attribs.push_back(a[1]);
        }
        attribs.push_back(EGL_NONE);
        return attribs;
    }

    bool createWindow(EGLDisplay display, EGLConfig config, ScreenWindow& window)
    {
        EGLint visualId = 0;
        eglGetConfigAttrib(display, config, EGL_NATIVE_VISUAL_ID, &visualId);
        XVisualInfo want{};
        want.visualid = VisualID(visualId);
        int count = 0;
        XVisualInfo* info = XGetVisualInfo(m_display, VisualIDMask, &want, &count);
        const int screen = DefaultScreen(m_display);
        const Window root = RootWindow(m_display, screen);
        Visual* visual = info ? info->visual : DefaultVisual(m_display, screen);
        const int depth = info ? info->depth : DefaultDepth(m_display, screen);
        if (info)
            XFree(info);

        XSetWindowAttributes attrs{};
        attrs.colormap = XCreateColormap(m_display, root, visual, AllocNone);
        attrs.background_pixel = 0;
        attrs.border_pixel = 0;
        attrs.event_mask = ButtonPressMask | ButtonReleaseMask | PointerMotionMask | FocusChangeMask |
                           StructureNotifyMask;
        const Window w = XCreateWindow(m_display, root, 0, 0, unsigned(window.size[0]), unsigned(window.size[1]), 0,
                                       depth, InputOutput, visual,
                                       CWColormap | CWBackPixel | CWBorderPixel | CWEventMask, &attrs);
        if (!w) {
            std::fprintf(stderr, "video: the X window cannot be created\n");
            return false;
        }
        XStoreName(m_display, w, "Quendrax");
        XSetWMProtocols(m_display, w, &m_deleteWindow, 1);
        XSizeHints hints{};
        hints.flags = PMinSize | PMaxSize;
        hints.min_width = hints.max_width = window.size[0];
        hints.min_height = hints.max_height = window.size[1];
        XSetWMNormalHints(m_display, w, &hints);
        XMapWindow(m_display, w);
        XSync(m_display, False);
        window.native = w;
        m_windows.push_back(w);
        return true;
    }

    void setState(int state, EventHub& hub)
    {
        if (state != m_state) {
            m_state = state;
            hub.pushWindowState(state);
        }
    }

    void translate(const XEvent& ev, EventHub& hub)
    {
        switch (ev.type) {
        case ButtonPress:
            if (ev.xbutton.button == Button1)
                hub.pushTouch(SCREEN_EVENT_MTOUCH_TOUCH, 0, ev.xbutton.x, ev.xbutton.y);
            break;
        case ButtonRelease:
            if (ev.xbutton.button == Button1)
                hub.pushTouch(SCREEN_EVENT_MTOUCH_RELEASE, 0, ev.xbutton.x, ev.xbutton.y);
            break;
        case MotionNotify:
            if (ev.xmotion.state & Button1Mask)
                hub.pushTouch(SCREEN_EVENT_MTOUCH_MOVE, 0, ev.xmotion.x, ev.xmotion.y);
            break;
        case FocusIn:
        case FocusOut:
            // Focus that merely follows the pointer, or moves under a grab, is no change of state.
            if (ev.xfocus.mode != NotifyNormal || ev.xfocus.detail == NotifyPointer ||
                ev.xfocus.detail == NotifyPointerRoot || ev.xfocus.detail == NotifyDetailNone)
                break;
            setState(ev.type == FocusIn ? NAVIGATOR_WINDOW_FULLSCREEN : NAVIGATOR_WINDOW_THUMBNAIL, hub);
            break;
        case UnmapNotify: setState(NAVIGATOR_WINDOW_INVISIBLE, hub); break;
        case MapNotify: setState(NAVIGATOR_WINDOW_FULLSCREEN, hub); break;
        case ClientMessage:
            if (Atom(ev.xclient.data.l[0]) == m_deleteWindow)
                hub.pushExit();
            break;
        default: break;
        }
    }

    Display* m_display;
    Atom m_deleteWindow = 0;
    std::vector<Window> m_windows;
    int m_state = NAVIGATOR_WINDOW_FULLSCREEN;
};

}  // namespace

std::unique_ptr<VideoBackend> openX11Video()
{
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return nullptr;
    return std::make_unique<X11Video>(display);
}

}  // namespace platform

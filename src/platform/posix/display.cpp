// The X11 side of the display: errors the server raises, the window's loss, the desktop's
// size and the fullscreen request.
#include "platform/display.h"
#include "platform/gl_buffers.h"

#include <irrlicht.h>

#include <GL/glx.h>
#include <X11/Xlib.h>
#include <dlfcn.h>

#include <cstdio>

namespace platform {
namespace {

constexpr int kReportedXErrors = 3;
int reportedXErrors = 0;

// GLX errors (offsets from the extension's first error) that mean the drawable is gone.
constexpr int kGlxBadDrawable = 2;
constexpr int kGlxBadCurrentWindow = 5;
constexpr int kGlxBadWindow = 12;
// The swap-interval call goes out as a vendor-private GLX request; Xvfb's GLX answers it with
// a bad context tag while vsync simply stays off. Harmless, so not worth a line.
constexpr int kGlxBadContextTag = 4;
constexpr int kGlxVendorPrivate = 16;

// The server's GLX codes, asked on a connection of our own before the engine opens its own
// (the handler itself may make no X call).
struct GlxCodes {
    int opcode = -1;
    int firstError = -1;
};
GlxCodes glxCodes;

// The show's window, watched so that losing it ends the show the way closing it does: the
// device stops running, every remaining hand-over runs, then the shutdown.
struct WindowWatch {
    irr::IrrlichtDevice* device = nullptr;
    XID window = 0;
    int glxFirstError = -1;
};
WindowWatch watched;

bool namesLostWindow(const XErrorEvent& event) {
    if (!watched.device || event.resourceid != watched.window)
        return false;
    if (event.error_code == BadWindow || event.error_code == BadDrawable)
        return true;
    const int glx = event.error_code - watched.glxFirstError;
    return watched.glxFirstError >= 0 &&
           (glx == kGlxBadDrawable || glx == kGlxBadCurrentWindow || glx == kGlxBadWindow);
}

bool knownHarmless(const XErrorEvent& event) {
    return glxCodes.opcode >= 0 && event.request_code == glxCodes.opcode &&
           event.minor_code == kGlxVendorPrivate &&
           event.error_code == glxCodes.firstError + kGlxBadContextTag;
}

int logAndIgnoreXError(Display* display, XErrorEvent* event) {
    // Destroyed from outside (xdotool windowclose, a crashed window manager): the engine is
    // only asked to stop; no X call is made from inside the handler.
    if (namesLostWindow(*event))
        watched.device->closeDevice();
    if (knownHarmless(*event))
        return 0;
    if (reportedXErrors < kReportedXErrors) {
        char text[128] = {};
        XGetErrorText(display, event->error_code, text, sizeof text);
        std::fprintf(stderr, "X error ignored: %s (request %d.%d)\n", text, event->request_code,
                     event->minor_code);
        ++reportedXErrors;
    }
    return 0;
}

// The connection itself is gone (the client was killed from the server). Xlib's default
// would end the process with status 1 at once; instead the show stops its device and ends
// through its own shutdown. Every later X call on the dead connection returns at once.
int quietOnLostConnection(Display*) {
    return 0;
}
void stopOnLostConnection(Display*, void*) {
    if (watched.device)
        watched.device->closeDevice();
}

} // namespace

void installDisplayErrorFilter() {
    if (glxCodes.opcode < 0) {
        if (Display* display = XOpenDisplay(nullptr)) {
            int opcode = 0, firstEvent = 0, firstError = 0;
            if (XQueryExtension(display, "GLX", &opcode, &firstEvent, &firstError)) {
                glxCodes.opcode = opcode;
                glxCodes.firstError = firstError;
            }
            XCloseDisplay(display);
        }
    }
    XSetErrorHandler(logAndIgnoreXError);
}

bool desktopSize(int& width, int& height) {
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return false;
    const int screen = DefaultScreen(display);
    width = DisplayWidth(display, screen);
    height = DisplayHeight(display, screen);
    XCloseDisplay(display);
    return width > 0 && height > 0;
}

void watchWindow(irr::IrrlichtDevice* device) {
    const irr::video::SExposedVideoData& video = device->getVideoDriver()->getExposedVideoData();
    auto* display = static_cast<Display*>(video.OpenGLLinux.X11Display);
    if (!display)
        return;
    watched.device = device;
    watched.window = XID(video.OpenGLLinux.X11Window);
    int opcode = 0, firstEvent = 0, firstError = 0;
    watched.glxFirstError =
        XQueryExtension(display, "GLX", &opcode, &firstEvent, &firstError) ? firstError : -1;
    XSetIOErrorHandler(quietOnLostConnection);
    // libX11 has this from 1.7 on; on older systems (Ubuntu 20.04) a lost connection ends the
    // process through Xlib's own exit, with status 1, and the show cannot stop by itself.
    using ExitHandler = void (*)(Display*, void*);
    using SetExitHandler = void (*)(Display*, ExitHandler, void*);
    if (auto setExitHandler =
            reinterpret_cast<SetExitHandler>(dlsym(RTLD_DEFAULT, "XSetIOErrorExitHandler")))
        setExitHandler(display, stopOnLostConnection, nullptr);
}

void requestFullscreenState(irr::IrrlichtDevice* device) {
    const irr::video::SExposedVideoData& video = device->getVideoDriver()->getExposedVideoData();
    auto* display = static_cast<Display*>(video.OpenGLLinux.X11Display);
    if (!display)
        return;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = Window(video.OpenGLLinux.X11Window);
    event.xclient.message_type = XInternAtom(display, "_NET_WM_STATE", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = 1; // add
    event.xclient.data.l[1] = long(XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False));
    event.xclient.data.l[3] = 1; // from a normal application
    XSendEvent(display, DefaultRootWindow(display), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush(display);
}

void forgetWindow() {
    watched = WindowWatch{};
}

void* glProcedure(const char* name) {
    return reinterpret_cast<void*>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
}

} // namespace platform

#include "host/startup.h"

#include "host/archive_guard.h"
#include "host/show.h"
#include "scenes/scene_table.h"

#include <X11/Xlib.h>

#include <cstdio>

namespace show {
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
    XSetIOErrorExitHandler(display, stopOnLostConnection, nullptr);
}

// Asks the window manager to show the window fullscreen; the video mode stays as it is.
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

void drawLoadingFrame(Show& show) {
    show.engine.driver->beginScene(true, true, irr::video::SColor(0));
    show.engine.smgr->drawAll();
    show.engine.gui->drawAll();
    show.engine.driver->endScene();
}

} // namespace

void installXErrorHandler() {
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

StartupResult startShow(Show& show, const StartupOptions& options) {
    show.commandLine = options.commandLine;
    const CommandLine& cmd = show.commandLine;
    if (!sizeError(cmd).empty())
        return StartupResult::NoDevice;

    irr::SIrrlichtCreationParameters params;
    params.DriverType = options.driver;
    params.WindowSize = irr::core::dimension2du(irr::u32(cmd.width), irr::u32(cmd.height));
    params.Bits = 32;
    params.Fullscreen = cmd.fullscreen && !options.desktop;
    params.Stencilbuffer = true;
    // The engine gives every render target a depth buffer of this depth too. At 16 bits,
    // surfaces tens of units apart share a depth value near the far plane, and which one shows
    // would follow the engine's draw order, which changes from run to run.
    params.ZBufferBits = kDepthBits;
    params.Vsync = options.vsync;
    params.AntiAlias = static_cast<irr::u8>(options.antiAlias);
    // The console shows the launch line alone; the engine's own chatter stays quiet.
    params.LoggingLevel = irr::ELL_NONE;
    installXErrorHandler();
    irr::IrrlichtDevice* device = irr::createDeviceEx(params);
    if (!device)
        return StartupResult::NoDevice;

    // The track decodes while the content loads; the stages below still take it in order.
    show.music.track.prepare(options.track);
    Engine& engine = show.engine;
    engine.device = device;
    watchWindow(device);
    device->setWindowCaption(kWindowCaption);
    if (options.desktop)
        requestFullscreenState(device);
    if (options.virtualTime)
        show.time = std::make_unique<VirtualTime>(options.fps, 0, device->getTimer());
    else
        show.time = std::make_unique<PlayerTime>(show.music.track, options.skipFps,
                                                 options.pictureOffsetMs, device->getTimer());
    mountGuardedArchive(device->getFileSystem(), options.archive);
    engine.driver = device->getVideoDriver();
    engine.smgr = device->getSceneManager();
    engine.gpu = engine.driver->getGPUProgrammingServices();
    engine.gui = device->getGUIEnvironment();
    const irr::core::dimension2du screen = engine.driver->getScreenSize();
    engine.width = irr::s32(screen.Width);
    engine.height = irr::s32(screen.Height);
    buildOverlay(show);

    buildWorld(show);

    show.receiver = std::make_unique<MyEventReceiver>();
    device->setEventReceiver(show.receiver.get());
    drawLoadingFrame(show);
    engine.timer = device->getTimer();

    createPhysicsWorld(show.physics, engine.smgr, show.world.solids);
    buildLateWorld(show);

    AudioTrack& track = show.music.track;
    if (!options.virtualTime) {
        if (options.sound == SoundMode::Off)
            track.playSilently();
        else if (!track.initOutput()) {
            if (options.sound == SoundMode::On)
                return StartupResult::SoundInitFailed;
            track.playSilently();
        }
    }
    track.setPan(kPanPlainStereo);
    if (!track.load(options.track))
        return StartupResult::TrackFailed;

    createEffects(show.effects, engine.smgr, cmd.width);
    show.effects.timer = engine.timer;
    return StartupResult::Ready;
}

void beginShow(Show& show) {
    AudioTrack& track = show.music.track;
    show.endMark = endMarkFor(track.length());
    show.time->trackLoaded(track.length());
    show.position = 0;
    clearRowOffsets(show.music);
    // Particle emitters draw from the engine's own generator: every pass of the show starts
    // it from the same seed, so a restarted show emits what the first one did.
    show.engine.device->getRandomizer()->reset();
}

void restartShow(Show& show) {
    Engine& engine = show.engine;
    // The bodies first: clearing them removes their cube nodes from the scene graph.
    clearPhysics(show.physics);
    irr::scene::ISceneNode* root = engine.smgr->getRootSceneNode();
    const irr::core::list<irr::scene::ISceneNode*> children = root->getChildren();
    for (irr::scene::ISceneNode* node : children)
        if (node->getID() != kEffectNodeId)
            node->remove();
    engine.gui->clear();

    // What start-up did to the content itself (normal maps made in place, the roundabout's
    // shader) is done once per device; the world is otherwise built as new.
    World world;
    world.contentPrepared = true;
    world.normalColourMaterial = show.world.normalColourMaterial;
    show.world = world;
    show.overlay = Overlay{};
    show.scene = SceneState{};
    show.random = Random{};
    show.quitCode = 0;
    show.music.panSweep = PanSweep{};
    show.music.track.setPan(kPanPlainStereo);

    buildOverlay(show);
    buildWorld(show);
    createPhysicsWorld(show.physics, engine.smgr, show.world.solids);
    buildLateWorld(show);
    beginShow(show);
}

void shutdownShow(Show& show) {
    if (show.engine.device) {
        watched = WindowWatch{};
        clearPhysics(show.physics);
        show.engine.device->drop();
    }
    show.engine = Engine{};
    show.music.track.close();
}

} // namespace show

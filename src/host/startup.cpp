#include "host/startup.h"

#include "host/show.h"
#include "scenes/scene_table.h"

#include <X11/Xlib.h>

#include <cstdio>

namespace show {
namespace {

constexpr int kReportedXErrors = 3;
int reportedXErrors = 0;

int logAndIgnoreXError(Display* display, XErrorEvent* event) {
    if (reportedXErrors < kReportedXErrors) {
        char text[128] = {};
        XGetErrorText(display, event->error_code, text, sizeof text);
        std::fprintf(stderr, "X error ignored: %s (request %d.%d)\n", text, event->request_code,
                     event->minor_code);
        ++reportedXErrors;
    }
    return 0;
}

void drawLoadingFrame(Show& show) {
    show.engine.driver->beginScene(true, true, irr::video::SColor(0));
    show.engine.smgr->drawAll();
    show.engine.gui->drawAll();
    show.engine.driver->endScene();
}

} // namespace

void installXErrorHandler() {
    XSetErrorHandler(logAndIgnoreXError);
}

StartupResult startShow(Show& show, const StartupOptions& options) {
    show.commandLine = options.commandLine;
    const CommandLine& cmd = show.commandLine;

    irr::SIrrlichtCreationParameters params;
    params.DriverType = irr::video::EDT_OPENGL;
    params.WindowSize = irr::core::dimension2du(irr::u32(cmd.width), irr::u32(cmd.height));
    params.Bits = 32;
    params.Fullscreen = cmd.fullscreen;
    params.Stencilbuffer = true;
    params.Vsync = options.vsync;
    params.AntiAlias = kAntiAliasSamples;
    // The console shows the launch line alone; the engine's own chatter stays quiet.
    params.LoggingLevel = irr::ELL_NONE;
    installXErrorHandler();
    irr::IrrlichtDevice* device = irr::createDeviceEx(params);
    if (!device)
        return StartupResult::NoDevice;

    Engine& engine = show.engine;
    engine.device = device;
    device->setWindowCaption(kWindowCaption);
    if (options.virtualTime)
        show.time = std::make_unique<VirtualTime>(options.fps, 0, device->getTimer());
    else
        show.time = std::make_unique<LiveTime>(show.music.track);
    device->getFileSystem()->addFileArchive(options.archive, true, true);
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

    createPhysicsWorld(show.physics, engine.smgr);
    buildLateWorld(show);

    AudioTrack& track = show.music.track;
    if (!options.virtualTime && !track.initOutput())
        return StartupResult::SoundInitFailed;
    track.setPan(kPanPlainStereo);
    if (!track.load(options.track))
        return StartupResult::TrackFailed;

    createEffects(show.effects, engine.smgr, cmd.width);
    return StartupResult::Ready;
}

void beginShow(Show& show) {
    AudioTrack& track = show.music.track;
    show.endMark = endMarkFor(track.length());
    show.time->trackLoaded(track.length());
    show.position = 0;
    clearRowOffsets(show.music);
    track.play();
}

void shutdownShow(Show& show) {
    if (show.engine.device) {
        clearPhysics(show.physics);
        show.engine.device->drop();
    }
    show.engine = Engine{};
    show.music.track.close();
}

} // namespace show

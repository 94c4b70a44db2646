#include "host/startup.h"

#include "content/scene_starts.h"
#include "core/archive_guard.h"
#include "platform/display.h"
#include "platform/gl_buffers.h"
#include "scenes/show.h"

#include <cstdio>

namespace show {
namespace {

void drawLoadingFrame(Show& show) {
    show.engine.driver->beginScene(true, true, irr::video::SColor(0));
    show.engine.smgr->drawAll();
    show.engine.gui->drawAll();
    show.engine.driver->endScene();
}

// Start-up's own work between the world and physics: input, the loading frame, the timer.
void attachInputAndShowLoading(Show& show) {
    irr::IrrlichtDevice* device = show.engine.device;
    show.receiver = std::make_unique<MyEventReceiver>();
    device->setEventReceiver(show.receiver.get());
    drawLoadingFrame(show);
    show.engine.timer = device->getTimer();
}

// The stages that make the show's content on a device, in the order every later stage relies
// on. Start-up runs them once, with its own work after the world; a restart runs them again.
void buildContent(Show& show, void (*afterWorld)(Show&)) {
    buildOverlay(show.overlay, show.engine, show.commandLine.height);
    writeCreditsLine(show);
    buildWorld(show);
    if (afterWorld)
        afterWorld(show);
    createPhysicsWorld(show.physics, show.engine.smgr, show.world.solids);
    buildLateWorld(show);
}

} // namespace

irr::IrrlichtDevice* createDeviceSteppingDepth(irr::SIrrlichtCreationParameters params, int deepest,
                                               DeviceMaker make) {
    // At 16 bits, surfaces tens of units apart share a depth value near the far plane, and
    // which one shows would follow the draw order: the deepest buffer the window can have.
    for (const int bits : kWindowDepthBits) {
        if (bits > deepest)
            continue;
        params.ZBufferBits = irr::u8(bits);
        if (irr::IrrlichtDevice* device = make(params))
            return device;
    }
    return nullptr;
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
    params.Vsync = options.vsync;
    params.AntiAlias = static_cast<irr::u8>(options.antiAlias);
    // The console shows the launch line alone; the engine's own chatter stays quiet.
    params.LoggingLevel = irr::ELL_NONE;
    platform::installDisplayErrorFilter();
    irr::IrrlichtDevice* device = createDeviceSteppingDepth(
        params, options.deepestWindowDepth,
        [](const irr::SIrrlichtCreationParameters& p) { return irr::createDeviceEx(p); });
    if (!device)
        return StartupResult::NoDevice;

    // The track decodes while the content loads; the stages below still take it in order.
    show.music.track.prepare(options.track);
    Engine& engine = show.engine;
    engine.device = device;
    platform::watchWindow(device);
    device->setWindowCaption(kWindowCaption);
    if (options.desktop)
        platform::requestFullscreenState(device);
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
    if (params.DriverType == irr::video::EDT_OPENGL)
        engine.window = platform::boundBufferFormat();
    buildContent(show, attachInputAndShowLoading);

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
    show.scene = SceneState{};
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
    show.random = Random{};
    show.quitCode = 0;
    show.music.track.setPan(kPanPlainStereo);

    buildContent(show, nullptr);
    beginShow(show);
}

void shutdownShow(Show& show) {
    if (show.engine.device) {
        platform::forgetWindow();
        clearPhysics(show.physics);
        show.engine.device->drop();
    }
    show.engine = Engine{};
    show.music.track.close();
}

} // namespace show

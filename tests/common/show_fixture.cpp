#include "common/show_fixture.h"

#include "scenes/scene_table.h"
#include "scenes/world.h"

#include <memory>

namespace showtest {

std::string builtArchive() {
    return std::string(TEST_BUILD_DIR) + "/data.lll";
}

std::string builtTrack() {
    return std::string(TEST_BUILD_DIR) + "/track/pelomvin_track.mp3";
}

show::StartupOptions windowedShowOptions(int width, int height, int fps, const char* archive) {
    static const std::string track = builtTrack();
    show::StartupOptions options;
    options.commandLine.width = width;
    options.commandLine.height = height;
    options.commandLine.fullscreen = false;
    options.virtualTime = true;
    options.fps = fps;
    options.vsync = false;
    options.archive = archive;
    options.track = track.c_str();
    return options;
}

int sceneAt(uint32_t position) {
    int scene = show::kSceneCount;
    while (scene > 1 && position < show::kSceneStarts[scene - 1])
        --scene;
    return scene;
}

bool openNullShow(show::Show& show, int fps, uint32_t endMark) {
    irr::IrrlichtDevice* device = irr::createDevice(
        irr::video::EDT_NULL, irr::core::dimension2du(show::kDefaultWidth, show::kDefaultHeight));
    if (!device)
        return false;
    show::Engine& engine = show.engine;
    engine.device = device;
    engine.driver = device->getVideoDriver();
    engine.smgr = device->getSceneManager();
    engine.gui = device->getGUIEnvironment();
    engine.timer = device->getTimer();
    engine.width = show::kDefaultWidth;
    engine.height = show::kDefaultHeight;
    const bool mounted =
        device->getFileSystem()->addFileArchive(builtArchive().c_str(), true, true);
    show.time = std::make_unique<show::VirtualTime>(fps, endMark, engine.timer);
    show::buildOverlay(show);
    show::buildWorld(show);
    show::createPhysicsWorld(show.physics, engine.smgr);
    show::buildLateWorld(show);
    return mounted;
}

} // namespace showtest

#include "common/show_fixture.h"

#include "scenes/scene_table.h"

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

show::StartupResult openNullShow(show::Show& show, int fps) {
    static const std::string archive = builtArchive();
    show::StartupOptions options =
        windowedShowOptions(show::kDefaultWidth, show::kDefaultHeight, fps, archive.c_str());
    options.driver = irr::video::EDT_NULL;
    const show::StartupResult result = show::startShow(show, options);
    if (result == show::StartupResult::Ready)
        show::beginShow(show);
    return result;
}

} // namespace showtest

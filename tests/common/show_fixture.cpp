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

namespace {

// Runs frames while it has some left; its read is the test's spectrum and the clock.
class OneFramePort final : public show::FramePort {
  public:
    OneFramePort(show::Show& show, const std::array<float, show::kSpectrumBands>& levels)
        : show_(show), levels_(levels) {}
    bool deviceRunning() override { return framesLeft-- > 0; }
    bool escapeHeld() override { return false; }
    // Ends the pass without the show's end: the next frame finds the show still running.
    bool interrupted() override { return true; }
    void readSpectrumThenPosition() override {
        show_.music.spectrum = levels_;
        show_.position = show_.time->playPosition();
    }
    void beginFrame(show::FrameStart, bool) override {}
    void endFrame(bool) override {}

    int framesLeft = 1;

  private:
    show::Show& show_;
    const std::array<float, show::kSpectrumBands>& levels_;
};

} // namespace

bool runSceneFrame(show::Show& show, const show::SceneRow& row,
                   const std::array<float, show::kSpectrumBands>& levels) {
    show::SceneRow once = row;
    once.enter = nullptr;
    once.render = nullptr;
    // Whatever the position, the frame belongs to this scene.
    once.from = 0;
    once.toExclusive = show::kPositionAfterEnd;
    OneFramePort port(show, levels);
    show::runTimeline(show, port, {once});
    return port.framesLeft < 0;
}

show::StartupResult openShow(show::Show& show, int width, int height, int fps,
                             irr::video::E_DRIVER_TYPE driver) {
    static const std::string archive = builtArchive();
    show::StartupOptions options = windowedShowOptions(width, height, fps, archive.c_str());
    options.driver = driver;
    const show::StartupResult result = show::startShow(show, options);
    if (result == show::StartupResult::Ready)
        show::beginShow(show);
    return result;
}

show::StartupResult openNullShow(show::Show& show, int fps) {
    return openShow(show, show::kDefaultWidth, show::kDefaultHeight, fps, irr::video::EDT_NULL);
}

} // namespace showtest

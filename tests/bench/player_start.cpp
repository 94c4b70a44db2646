// Seconds from the demo's start to its first drawn frame when it starts somewhere in the
// show (--from), and from a key press to the frame a seek lands on: start-up, the skip
// ahead, and the one frame drawn. Each figure is a fresh process's, as a viewer gets it.
//   bench_player_start [--size WxH] S ...     (run from the build folder, with a display)
#include "host/player.h"
#include "host/startup.h"
#include "scenes/scene_table.h"
#include "scenes/show.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

class TimingPort final : public show::PlayerPort {
  public:
    using PlayerPort::PlayerPort;
    Clock::time_point landed;

  protected:
    void landingDrawn() override {
        landed = Clock::now();
        irr::SEvent escape{};
        escape.EventType = irr::EET_KEY_INPUT_EVENT;
        escape.KeyInput.Key = irr::KEY_ESCAPE;
        escape.KeyInput.PressedDown = true;
        show_.receiver->OnEvent(escape);
    }
};

// One fresh show landing at seconds; returns start-up and skip seconds, or -1.
double timeStart(int width, int height, double seconds) {
    const Clock::time_point begun = Clock::now();
    show::StartupOptions options;
    options.commandLine = show::CommandLine{width, height, false};
    options.sound = show::SoundMode::Off;
    show::Show show;
    if (show::startShow(show, options) != show::StartupResult::Ready)
        return -1.0;
    show::beginShow(show);
    const std::vector<show::SceneRow> rows = show::showScenes(show.endMark);
    auto& time = static_cast<show::PlayerTime&>(*show.time);
    TimingPort port(show, time, rows);
    show::playShow(show, port, rows, std::llround(seconds * time.fps()), false);
    show::shutdownShow(show);
    return std::chrono::duration<double>(port.landed - begun).count();
}

} // namespace

int main(int argc, char** argv) {
    int width = 1280, height = 720;
    int first = 1;
    if (argc > 2 && std::string(argv[1]) == "--size") {
        if (std::sscanf(argv[2], "%dx%d", &width, &height) != 2)
            return 2;
        first = 3;
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: bench_player_start [--size WxH] S ...\n");
        return 2;
    }
    for (int i = first; i < argc; ++i) {
        const double seconds = std::atof(argv[i]);
        // A process of its own for each figure: the start-up a viewer waits through.
        const pid_t child = fork();
        if (child == 0) {
            const double took = timeStart(width, height, seconds);
            std::printf("--from %6.1f s: start-up and skip %.3f s\n", seconds, took);
            std::fflush(stdout);
            _exit(took < 0 ? 1 : 0);
        }
        int status = 0;
        waitpid(child, &status, 0);
    }
    return 0;
}

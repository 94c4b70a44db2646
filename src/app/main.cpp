// The demo: read the console's size and options, start up, play the twenty scenes (from where
// the viewer asked, as often as asked), shut down.
#include "host/player.h"
#include "host/startup.h"
#include "host/timeline.h"
#include "platform/display.h"
#include "scenes/scene_table.h"
#include "scenes/show.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace {

constexpr int kStatusFailed = 1;
constexpr int kStatusUsage = 2;

// Ends the launch line so that a line of its own follows it on the console.
void endLaunchLine() {
    std::fputs("\n", stdout);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    using namespace show;
    // Error lines must reach the console at once, whatever happens after them.
    std::setvbuf(stderr, nullptr, _IONBF, 0);

    const DemoArguments args = parseDemoArguments(argc, argv);
    if (!args.error.empty()) {
        std::fprintf(stderr, "%s\n", args.error.c_str());
        return kStatusUsage;
    }
    const PlayerOptions& player = args.player;
    if (player.help) {
        std::printf("%s\n%s", kDemoUsage, kDemoHelp);
        return 0;
    }

    StartupOptions options;
    options.commandLine = args.commandLine;
    options.sound = player.sound;
    options.pictureOffsetMs = player.pictureOffsetMs;
    if (player.desktop) {
        int width = 0, height = 0;
        if (platform::desktopSize(width, height)) {
            options.commandLine = CommandLine{width, height, true};
            options.desktop = true;
        }
    }
    std::fputs(launchLine(options.commandLine).c_str(), stdout);
    std::fflush(stdout);
    const std::string badSize = sizeError(options.commandLine);
    if (!badSize.empty()) {
        endLaunchLine();
        std::fprintf(stderr, "%s\n", badSize.c_str());
        return kStatusFailed;
    }

    Show show;
    switch (startShow(show, options)) {
    case StartupResult::NoDevice:
        return kStatusFailed;
    case StartupResult::SoundInitFailed:
        std::fputs("[ERROR] Could not initialise fmod\n", stderr);
        shutdownShow(show);
        return kStatusFailed;
    case StartupResult::TrackFailed:
        std::fputs("[ERROR] could not open file\n", stderr);
        shutdownShow(show);
        return kStatusFailed;
    case StartupResult::Ready:
        break;
    }
    if (player.sound == SoundMode::Auto && show.music.track.silent()) {
        endLaunchLine();
        std::fputs("demo: no sound device could be opened; playing without sound\n", stderr);
    }

    beginShow(show);
    const std::vector<SceneRow> rows = showScenes(show.endMark);
    auto& time = static_cast<PlayerTime&>(*show.time);
    PlayerPort port(show, time, rows);
    const double length = double(show.music.track.length()) / kSampleRate;
    if (player.fromSeconds >= length) {
        endLaunchLine();
        std::fprintf(stderr, "demo: --from %g is past the show's end at %.1f s\n",
                     player.fromSeconds, length);
        shutdownShow(show);
        return kStatusUsage;
    }
    // The frame a capture at the skip rate shows at that time.
    const int64_t landing = player.fromScene > 0 ? port.landingAtScene(player.fromScene)
                                                 : std::llround(player.fromSeconds * time.fps());
    playShow(show, port, rows, landing, player.loop);
    shutdownShow(show);
    return 0;
}

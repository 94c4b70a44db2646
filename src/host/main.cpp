// The demo: parse the console's size, start up, play the twenty scenes, shut down.
#include "host/show.h"
#include "host/startup.h"
#include "host/timeline.h"
#include "scenes/scene_table.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    using namespace show;
    // Error lines must reach the console at once, whatever happens after them.
    std::setvbuf(stderr, nullptr, _IONBF, 0);

    StartupOptions options;
    options.commandLine = parseCommandLine(argc, argv);
    std::fputs(launchLine(options.commandLine).c_str(), stdout);
    std::fflush(stdout);
    const std::string badSize = sizeError(options.commandLine);
    if (!badSize.empty()) {
        // Ends the launch line so the error stands on a line of its own on the console.
        std::fputs("\n", stdout);
        std::fflush(stdout);
        std::fprintf(stderr, "%s\n", badSize.c_str());
        return 1;
    }

    Show show;
    switch (startShow(show, options)) {
    case StartupResult::NoDevice:
        return 1;
    case StartupResult::SoundInitFailed:
        std::fputs("[ERROR] Could not initialise fmod\n", stderr);
        shutdownShow(show);
        return 0;
    case StartupResult::TrackFailed:
        std::fputs("[ERROR] could not open file\n", stderr);
        shutdownShow(show);
        return 0;
    case StartupResult::Ready:
        break;
    }

    beginShow(show);
    EngineFramePort port(show);
    runTimeline(show, port, showScenes(show.endMark));
    shutdownShow(show);
    return 0;
}

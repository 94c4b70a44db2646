#include "host/command_line.h"

#include <cstdio>
#include <cstdlib>

namespace show {

CommandLine parseCommandLine(int argc, const char* const* argv) {
    CommandLine cmd;
    if (argc == 3 || argc == 4) {
        cmd.width = std::atoi(argv[1]);
        cmd.height = std::atoi(argv[2]);
        cmd.fullscreen = argc == 3;
    }
    return cmd;
}

std::string launchLine(const CommandLine& cmd) {
    char line[96];
    std::snprintf(line, sizeof line, "\nLauncing demo with res: %dx%d ", cmd.width, cmd.height);
    std::string text = line;
    if (!cmd.fullscreen)
        text += "window mode";
    return text;
}

std::string sizeError(const CommandLine& cmd) {
    const auto fits = [](int size) { return size >= kMinSize && size <= kMaxSize; };
    if (fits(cmd.width) && fits(cmd.height))
        return {};
    char line[128];
    std::snprintf(line, sizeof line,
                  "error: cannot open the show at %dx%d: width and height must be %d to %d",
                  cmd.width, cmd.height, kMinSize, kMaxSize);
    return line;
}

} // namespace show

// What the console gives the show: a size and a window-mode word, and the launch line.
#pragma once

#include <string>

namespace show {

constexpr int kDefaultWidth = 1280;
constexpr int kDefaultHeight = 1024;

struct CommandLine {
    int width = kDefaultWidth;
    int height = kDefaultHeight;
    bool fullscreen = true;
};

// Two arguments: width and height, fullscreen. Three: window mode (the third word is not
// examined). Any other count: the default size, fullscreen. Numbers follow atoi's rules.
CommandLine parseCommandLine(int argc, const char* const* argv);
std::string launchLine(const CommandLine& cmd);

} // namespace show

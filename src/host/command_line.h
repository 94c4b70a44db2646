// What the console gives the show: a size and a window-mode word, and the launch line.
#pragma once

#include <string>

namespace show {

constexpr int kDefaultWidth = 1280;
constexpr int kDefaultHeight = 1024;
// The sizes a window and the effects' render targets can be made at. Anything else would
// leave the engine with a failed window or zero-sized targets, so it is refused up front.
constexpr int kMinSize = 1;
constexpr int kMaxSize = 16384;

struct CommandLine {
    int width = kDefaultWidth;
    int height = kDefaultHeight;
    bool fullscreen = true;
};

// Two arguments: width and height, fullscreen. Three: window mode (the third word is not
// examined). Any other count: the default size, fullscreen. Numbers follow atoi's rules.
CommandLine parseCommandLine(int argc, const char* const* argv);
std::string launchLine(const CommandLine& cmd);
// Empty when the size can be opened; otherwise the reason, one line without its newline.
std::string sizeError(const CommandLine& cmd);

} // namespace show

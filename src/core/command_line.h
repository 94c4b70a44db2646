// What the console gives the show: a size and a window-mode word, the launch line, and the
// player's options. Options are words starting with "--"; they may stand anywhere and are
// taken out before the size is read, so `demo`, `demo W H` and `demo W H w` mean what they
// always meant whatever options stand beside them.
#pragma once

#include <string>

namespace show {

constexpr int kDefaultWidth = 1280;
constexpr int kDefaultHeight = 1024;
// The sizes a window and the effects' render targets can be made at. Anything else would
// leave the engine with a failed window or zero-sized targets, so it is refused up front.
constexpr int kMinSize = 1;
constexpr int kMaxSize = 16384;
// How far the picture may be moved against the sound: more than a second is no output
// latency any device has.
constexpr int kMaxPictureOffsetMs = 1000;

struct CommandLine {
    int width = kDefaultWidth;
    int height = kDefaultHeight;
    bool fullscreen = true;
};

// What the show does without a sound device: fail (the show's own way), play silently, or
// try the device and fall back to silence with a one-line notice.
enum class SoundMode { On, Off, Auto };

struct PlayerOptions {
    bool help = false;
    double fromSeconds = 0.0; // where the music and the picture start
    int fromScene = 0;        // 1..20 to start at a scene's first frame instead; 0 for none
    bool loop = false;
    int pictureOffsetMs = 0; // positive: the picture is late against the sound
    SoundMode sound = SoundMode::On;
    bool desktop = false; // fullscreen at the desktop's own size, no mode switch
};

struct DemoArguments {
    CommandLine commandLine;
    PlayerOptions player;
    std::string error; // one line without its newline; empty when the words were good
};

// Two arguments: width and height, fullscreen. Three: window mode (the third word is not
// examined). Any other count: the default size, fullscreen. Numbers follow atoi's rules.
CommandLine parseCommandLine(int argc, const char* const* argv);
// Takes the options out, then reads what is left as parseCommandLine does. `0 0` as the size
// asks for the desktop's own screen, as --desktop does.
DemoArguments parseDemoArguments(int argc, const char* const* argv);
std::string launchLine(const CommandLine& cmd);
// Empty when the size can be opened; otherwise the reason, one line without its newline.
std::string sizeError(const CommandLine& cmd);

// Option values as both programs read them: the whole text must be the number. A whole
// number within [low, high]; seconds, finite and not negative.
bool parseWholeNumber(const std::string& text, long low, long high, int& out);
bool parseSeconds(const std::string& text, double& out);

// The demo's usage line and its --help text.
extern const char* const kDemoUsage;
extern const char* const kDemoHelp;

} // namespace show

#include "core/command_line.h"

#include "content/scene_starts.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace show {

const char* const kDemoUsage =
    "usage: demo [WIDTH HEIGHT [w]] [--desktop] [--from S | --scene N] [--loop] "
    "[--offset MS] [--sound on|off|auto]";

const char* const kDemoHelp =
    "demo: the show, in step with its music.\n"
    "  WIDTH HEIGHT      fullscreen at this size (default 1280 1024); 0 0: the desktop's own\n"
    "  WIDTH HEIGHT w    in a window of this size (any third word)\n"
    "  --desktop         fullscreen at the desktop's own size, without a mode switch\n"
    "  --from S          start the music and the picture S seconds in\n"
    "  --scene N         start at the first frame of scene N (1 to 20)\n"
    "  --loop            play the show again from the start when it ends\n"
    "  --offset MS       show the picture MS milliseconds late (negative: early) against\n"
    "                    the sound, for output latency; -1000 to 1000\n"
    "  --sound on        no sound device is an error (the default)\n"
    "  --sound off       play silently on a real-time clock\n"
    "  --sound auto      play silently, with a one-line notice, when no sound device opens\n"
    "  --help            this text\n"
    "Keys: Escape quits, Space pauses, Right and Left seek 10 s, Page Down and Page Up jump\n"
    "to the next and previous scene, F shows or hides the frame rate.\n";

bool parseWholeNumber(const std::string& text, long low, long high, int& out) {
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || value < low || value > high)
        return false;
    out = static_cast<int>(value);
    return true;
}

bool parseSeconds(const std::string& text, double& out) {
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text.c_str(), &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(value) || value < 0.0)
        return false;
    out = value;
    return true;
}

namespace {

struct OptionName {
    const char* name;
    bool takesValue;
};
constexpr OptionName kOptions[] = {{"--help", false}, {"--desktop", false}, {"--from", true},
                                   {"--scene", true}, {"--loop", false},    {"--offset", true},
                                   {"--sound", true}};

const OptionName* findOption(const std::string& word) {
    for (const OptionName& option : kOptions)
        if (word == option.name)
            return &option;
    return nullptr;
}

} // namespace

CommandLine parseCommandLine(int argc, const char* const* argv) {
    CommandLine cmd;
    if (argc == 3 || argc == 4) {
        cmd.width = std::atoi(argv[1]);
        cmd.height = std::atoi(argv[2]);
        cmd.fullscreen = argc == 3;
    }
    return cmd;
}

DemoArguments parseDemoArguments(int argc, const char* const* argv) {
    DemoArguments parsed;
    PlayerOptions& p = parsed.player;
    std::vector<const char*> positional = {argc > 0 ? argv[0] : "demo"};
    std::vector<std::string> seen;
    auto fail = [&](const std::string& why) {
        parsed.error = "demo: " + why + " (demo --help tells more)";
        return parsed;
    };
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        if (word.rfind("--", 0) != 0) {
            positional.push_back(argv[i]);
            continue;
        }
        const OptionName* option = findOption(word);
        if (!option)
            return fail("unknown option " + word);
        for (const std::string& earlier : seen)
            if (earlier == word)
                return fail(word + " is given twice");
        seen.push_back(word);
        std::string value;
        if (option->takesValue) {
            if (i + 1 >= argc)
                return fail(word + " needs a value");
            value = argv[++i];
        }
        if (word == "--help") {
            p.help = true;
        } else if (word == "--desktop") {
            p.desktop = true;
        } else if (word == "--loop") {
            p.loop = true;
        } else if (word == "--from") {
            if (!parseSeconds(value, p.fromSeconds))
                return fail("--from wants seconds from 0 on, not '" + value + "'");
        } else if (word == "--scene") {
            if (!parseWholeNumber(value, 1, kSceneCount, p.fromScene))
                return fail("--scene wants a scene number from 1 to " +
                            std::to_string(kSceneCount) + ", not '" + value + "'");
        } else if (word == "--offset") {
            if (!parseWholeNumber(value, -kMaxPictureOffsetMs, kMaxPictureOffsetMs,
                                  p.pictureOffsetMs))
                return fail("--offset wants milliseconds from -" +
                            std::to_string(kMaxPictureOffsetMs) + " to " +
                            std::to_string(kMaxPictureOffsetMs) + ", not '" + value + "'");
        } else { // --sound
            if (value == "on")
                p.sound = SoundMode::On;
            else if (value == "off")
                p.sound = SoundMode::Off;
            else if (value == "auto")
                p.sound = SoundMode::Auto;
            else
                return fail("--sound wants on, off or auto, not '" + value + "'");
        }
    }
    if (p.fromScene > 0 && p.fromSeconds > 0.0)
        return fail("--from and --scene both say where to start; give one");
    const bool sizeGiven = positional.size() == 3 || positional.size() == 4;
    if (p.desktop && sizeGiven)
        return fail("--desktop takes the desktop's own size; give no WIDTH HEIGHT with it");
    parsed.commandLine = parseCommandLine(int(positional.size()), positional.data());
    const CommandLine& cmd = parsed.commandLine;
    if (positional.size() == 3 && cmd.width == 0 && cmd.height == 0)
        p.desktop = true;
    return parsed;
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

#include "options.h"

#include "tunables.h"

#include "core/command_line.h"

#include <algorithm>
#include <cmath>

namespace capture {

const char* const kUsage =
    "usage: demo-capture [--size WxH] [--fps N] [--antialias N] [--depth N] [--from S] "
    "[--to S] [--out FILE.mp4 | --png DIR] [--frames T1,T2,...] | demo-capture --bench "
    "[--size WxH] [--fps N] [--antialias N] [--depth N] [--from S] [--to S] [--csv FILE] "
    "[--chart FILE.png]";

namespace {

using show::parseSeconds;
using show::parseWholeNumber;

bool parseSize(const std::string& text, int& width, int& height) {
    const size_t x = text.find('x');
    if (x == std::string::npos)
        return false;
    return parseWholeNumber(text.substr(0, x), kMinSide, kMaxSide, width) &&
           parseWholeNumber(text.substr(x + 1), kMinSide, kMaxSide, height);
}

bool parseTimes(const std::string& text, std::vector<double>& times) {
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        double t = 0.0;
        if (!parseSeconds(text.substr(start, comma - start), t))
            return false;
        times.push_back(t);
        if (comma == std::string::npos)
            return true;
        start = comma + 1;
    }
}

bool isValueOption(const std::string& arg) {
    for (const char* name : {"--size", "--fps", "--antialias", "--depth", "--from", "--to", "--out",
                             "--png", "--frames", "--csv", "--chart"})
        if (arg == name)
            return true;
    return false;
}

// Which options the command line named, beyond the values they set.
struct Named {
    bool bench = false, out = false, png = false, frames = false, to = false;
    bool csv = false, chart = false;
};

// Takes the value of one option that has one. Empty when it is good, else why not.
std::string takeValue(const std::string& arg, const std::string& value, Options& o, Named& named) {
    if (arg == "--size") {
        if (!parseSize(value, o.width, o.height))
            return "--size wants WxH, each side " + std::to_string(kMinSide) + " to " +
                   std::to_string(kMaxSide) + ", not '" + value + "'";
    } else if (arg == "--fps") {
        if (!parseWholeNumber(value, 1, kMaxFps, o.fps))
            return "--fps wants a whole number from 1 to " + std::to_string(kMaxFps) + ", not '" +
                   value + "'";
    } else if (arg == "--antialias") {
        if (!parseWholeNumber(value, 0, kMaxAntiAlias, o.antiAlias))
            return "--antialias wants a sample count from 0 (none) to " +
                   std::to_string(kMaxAntiAlias) + ", not '" + value + "'";
    } else if (arg == "--depth") {
        const auto& depths = show::kWindowDepthBits;
        if (!parseWholeNumber(value, 0, depths[0], o.depthBits) ||
            std::find(depths.begin(), depths.end(), o.depthBits) == depths.end())
            return "--depth wants the window's depth bits, 32, 24 or 16, not '" + value + "'";
    } else if (arg == "--from") {
        if (!parseSeconds(value, o.from))
            return "--from wants seconds, not '" + value + "'";
    } else if (arg == "--to") {
        if (!parseSeconds(value, o.to))
            return "--to wants seconds, not '" + value + "'";
        named.to = true;
    } else if (arg == "--out") {
        o.video = value;
        named.out = true;
    } else if (arg == "--png") {
        o.pngDir = value;
        named.png = true;
    } else if (arg == "--frames") {
        if (!parseTimes(value, o.frameTimes))
            return "--frames wants seconds separated by commas, not '" + value + "'";
        named.frames = true;
    } else if (arg == "--csv") {
        o.csv = value;
        named.csv = true;
    } else { // --chart
        o.chart = value;
        named.chart = true;
    }
    return "";
}

// Options that make sense alone but not together.
std::string checkTogether(const Options& o, const Named& named) {
    if (named.out && named.png)
        return "--out and --png exclude each other";
    if (named.frames && (named.out || o.from > 0.0 || named.to))
        return "--frames picks its own frames; it goes with --png DIR only";
    if (named.bench && (named.out || named.png || named.frames))
        return "--bench writes a table, a CSV and a chart; no --out, --png or --frames";
    if (!named.bench && (named.csv || named.chart))
        return "--csv and --chart go with --bench";
    if (o.to <= o.from)
        return "--to must come after --from";
    if (frameAt(o.to, o.fps) <= frameAt(o.from, o.fps))
        return "--from to --to holds no frame at this --fps";
    return "";
}

// The mode the named options ask for, with its default file names.
std::string chooseMode(Options& o, const Named& named) {
    if (named.bench) {
        o.mode = Mode::Bench;
        o.csv = named.csv ? o.csv : kDefaultCsv;
        o.chart = named.chart ? o.chart : kDefaultChart;
    } else if (named.frames) {
        o.mode = Mode::Frames;
    } else if (named.png) {
        o.mode = Mode::Png;
    } else {
        o.mode = Mode::Video;
        o.video = named.out ? o.video : kDefaultVideo;
        // H.264 in 4:2:0 halves the colour resolution, so both sides must be even.
        if (o.width % 2 != 0 || o.height % 2 != 0)
            return "an MP4 needs an even width and height";
    }
    return "";
}

} // namespace

Parsed parseOptions(int argc, const char* const* argv) {
    Parsed parsed;
    Options& o = parsed.options;
    o.width = kDefaultWidth;
    o.height = kDefaultHeight;
    o.fps = kDefaultFps;
    Named named;
    for (int i = 1; i < argc && parsed.error.empty(); ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            o.help = true;
            return parsed;
        }
        if (arg == "--bench")
            named.bench = true;
        else if (arg.rfind("--", 0) != 0)
            parsed.error = "unexpected argument '" + arg + "'";
        else if (!isValueOption(arg))
            parsed.error = "unknown option " + arg;
        else if (i + 1 >= argc)
            parsed.error = arg + " needs a value";
        else
            parsed.error = takeValue(arg, argv[++i], o, named);
    }
    if (parsed.error.empty())
        parsed.error = checkTogether(o, named);
    if (parsed.error.empty())
        parsed.error = chooseMode(o, named);
    return parsed;
}

int64_t frameAt(double seconds, int fps) {
    if (std::isinf(seconds))
        return std::numeric_limits<int64_t>::max();
    return std::llround(seconds * fps);
}

FramePlan::FramePlan(const Options& options) {
    if (options.mode == Mode::Frames) {
        for (double t : options.frameTimes)
            picks_.push_back(frameAt(t, options.fps));
        std::sort(picks_.begin(), picks_.end());
        picks_.erase(std::unique(picks_.begin(), picks_.end()), picks_.end());
        first_ = picks_.front();
        end_ = picks_.back() + 1;
        return;
    }
    first_ = frameAt(options.from, options.fps);
    end_ = frameAt(options.to, options.fps);
}

bool FramePlan::keeps(int64_t frame) const {
    if (frame < first_ || frame >= end_)
        return false;
    return picks_.empty() || std::binary_search(picks_.begin(), picks_.end(), frame);
}

} // namespace capture

// demo-capture: the show rendered frame-exact to video or pictures, or measured scene by
// scene, on the virtual clock. It plays the same show library as the demo.
#include "audio_mix.h"
#include "bench.h"
#include "buffers.h"
#include "capture_port.h"
#include "encoder.h"
#include "options.h"
#include "png_file.h"
#include "progress.h"

#include "host/startup.h"
#include "host/timeline.h"
#include "platform/process.h"
#include "scenes/scene_table.h"
#include "scenes/show.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

using namespace capture;
using Clock = std::chrono::steady_clock;

constexpr int kStatusUsage = 2;
constexpr int kStatusFailed = 1;
constexpr double kMillisecondsPerSecond = 1000.0;
constexpr int kFrameNameSize = 4096;

const char* const kHelp =
    "demo-capture: the show rendered frame-exact, frame n at play position n*44100/fps.\n"
    "  --size WxH        picture size (default 1280x720)\n"
    "  --fps N           frames per second (default 60)\n"
    "  --antialias N     the window's multisample count, 0 for none (default 4)\n"
    "  --depth N         the deepest depth buffer to ask of the window: 32 (default), 24 or\n"
    "                    16, as a driver that gives a window fewer bits draws the show\n"
    "  --from S, --to S  keep only the frames of this range, in seconds (default: all)\n"
    "  --out FILE.mp4    H.264 video with the show's sound (default show.mp4)\n"
    "  --png DIR         PNG pictures DIR/frame_NNNNNN.png instead (NNNNNN: frame number)\n"
    "  --frames T1,...   only the frames at these times, as PNG pictures in --png DIR or .\n"
    "  --bench           per scene: frames, median and 95th percentile milliseconds of the\n"
    "                    show's logic and of drawing; also --csv FILE (bench.csv) and\n"
    "                    --chart FILE.png (bench.png)\n";

int fail(const std::string& why) {
    std::fprintf(stderr, "demo-capture: %s\n", why.c_str());
    return kStatusFailed;
}

double secondsBetween(Clock::time_point a, Clock::time_point b) {
    return std::chrono::duration<double>(b - a).count();
}

class VideoSink final : public FrameSink {
  public:
    explicit VideoSink(VideoEncoder& encoder) : encoder_(encoder) {}
    uint8_t* frameBuffer() override { return encoder_.nextFrame(); }
    bool take(int64_t) override { return encoder_.submit(); }

  private:
    VideoEncoder& encoder_;
};

class PngSink final : public FrameSink {
  public:
    PngSink(const std::string& dir, int width, int height)
        : dir_(dir), width_(width), height_(height), rgb_(size_t(width) * height * 3) {}
    uint8_t* frameBuffer() override { return rgb_.data(); }
    bool take(int64_t frame) override {
        std::snprintf(name_, sizeof name_, "%s/frame_%06lld.png", dir_.c_str(),
                      static_cast<long long>(frame));
        return writePng(name_, width_, height_, rgb_.data(), RowOrder::BottomFirst);
    }

  private:
    std::string dir_;
    int width_, height_;
    std::vector<uint8_t> rgb_;
    char name_[kFrameNameSize] = {};
};

// The folder itself; its parent must exist, as with mkdir.
bool makeDirectory(const std::string& dir) {
    std::error_code error;
    std::filesystem::create_directory(dir, error);
    return !error && std::filesystem::is_directory(dir, error);
}

// Frames the show runs at fps: frame n plays while n*44100/fps is still inside the track.
int64_t framesInShow(uint32_t trackLength, int fps) {
    int64_t n = int64_t(trackLength) * fps / show::kSampleRate;
    while (framePosition(n, fps) < trackLength)
        ++n;
    return n;
}

// What the capture hands its frames to: one of these is connected, by mode.
struct Outputs {
    Outputs(const Options& o, const std::vector<show::SceneRow>& rows, int64_t firstFrame,
            int64_t lastFrame, int width, int height)
        : videoPart(o.video + ".video.part"), soundPart(o.video + ".sound.part"),
          videoSink(encoder), pngSink(o.pngDir, width, height),
          pans(firstFrame, lastFrame - firstFrame), bench(rows, o.fps) {}

    VideoEncoder encoder;
    const std::string videoPart, soundPart;
    VideoSink videoSink;
    PngSink pngSink;
    PanRecord pans;
    BenchTable bench;
};

show::StartupOptions startupFor(const Options& o) {
    show::StartupOptions startup;
    startup.commandLine = show::CommandLine{o.width, o.height, false};
    startup.virtualTime = true;
    startup.fps = o.fps;
    startup.vsync = false; // frames go as fast as they are drawn, never at the display's pace
    startup.antiAlias = o.antiAlias;
    startup.deepestWindowDepth = o.depthBits;
    return startup;
}

// Starts the show at the size asked for. Empty when it is ready, else why not (and then
// whatever was started is shut down again).
std::string openShow(show::Show& show, const show::StartupOptions& startup, const Options& o) {
    switch (show::startShow(show, startup)) {
    case show::StartupResult::NoDevice:
        return "no OpenGL window could be opened (without a display, run it under xvfb-run)";
    case show::StartupResult::SoundInitFailed:
    case show::StartupResult::TrackFailed:
        show::shutdownShow(show);
        return std::string("could not open the music ") + startup.track;
    case show::StartupResult::Ready:
        break;
    }
    const int width = show.engine.width, height = show.engine.height;
    if (width != o.width || height != o.height) {
        show::shutdownShow(show);
        return "the display gave a " + std::to_string(width) + "x" + std::to_string(height) +
               " window, not the size asked for";
    }
    return "";
}

Buffers buffersOf(const show::Show& show, const show::StartupOptions& startup) {
    Buffers b;
    b.askedDepthBits = startup.deepestWindowDepth;
    b.askedSamples = startup.antiAlias;
    b.windowDepthBits = show.engine.window.depthBits;
    b.windowSamples = show.engine.window.samples;
    b.targetDepthBits = show::effectTargetDepthBits(show.effects, show.engine.driver);
    return b;
}

std::string nothingToCapture(const show::Show& show) {
    char why[128];
    std::snprintf(why, sizeof why, "nothing to capture: the show ends at %.3f s",
                  double(show.music.track.length()) / show::kSampleRate);
    return why;
}

// Connects the mode's output to the port. False when ffmpeg cannot be started.
bool connectOutput(const Options& o, CapturePort& port, Outputs& out, int width, int height) {
    switch (o.mode) {
    case Mode::Video:
        if (!out.encoder.start(out.videoPart, width, height, o.fps))
            return false;
        port.setSink(&out.videoSink);
        port.setPans(&out.pans);
        break;
    case Mode::Png:
    case Mode::Frames:
        port.setSink(&out.pngSink);
        break;
    case Mode::Bench:
        port.setBench(&out.bench);
        break;
    }
    return true;
}

int finishVideo(const Options& o, Outputs& out, const std::vector<float>& sound, int64_t frames,
                int width, int height, double took) {
    const bool encoded = out.encoder.finish();
    const bool muxed = encoded && writeWav(out.soundPart, sound) &&
                       muxSound(out.videoPart, out.soundPart, o.video);
    std::remove(out.videoPart.c_str());
    std::remove(out.soundPart.c_str());
    if (!muxed)
        return fail("ffmpeg could not write " + o.video);
    // Time spent waiting on x264 says whether drawing or encoding set the pace.
    std::printf("wrote %s: %lld frames of %dx%d at %d fps (%.2f s) in %.1f s (%.1f s of it "
                "waiting for the encoder)\n",
                o.video.c_str(), static_cast<long long>(frames), width, height, o.fps,
                double(frames) / o.fps, took, out.encoder.waitedMs() / kMillisecondsPerSecond);
    return 0;
}

int finishBench(const Options& o, const BenchTable& bench, double startSeconds,
                const Buffers& buffers) {
    const std::vector<Summary> summaries = bench.summaries();
    std::printf("%s\n", describeBuffers(buffers).c_str());
    std::fputs(formatTable(summaries).c_str(), stdout);
    if (!writeCsv(o.csv, summaries))
        return fail("could not write " + o.csv);
    if (!writeChart(o.chart, summaries))
        return fail("could not write " + o.chart);
    std::printf("wrote %s and %s\n", o.csv.c_str(), o.chart.c_str());
    std::printf("start-up %.3f s, peak memory %ld MB\n", startSeconds,
                platform::peakMemoryMegabytes());
    return 0;
}

// How the run went, as the last step reports it.
struct RunEnd {
    show::ShowEnd end = show::ShowEnd::Finished;
    double took = 0.0;         // seconds from launch to the end of the run
    double startSeconds = 0.0; // seconds from launch to the first frame shown
    Buffers buffers;           // what the driver gave the frames
    std::vector<float> sound;  // the kept frames' sound, for a video
};

// The last step: the Escape notice, then a failed output's message or the mode's summary.
int finishCapture(const Options& o, const CapturePort& port, Outputs& out, const RunEnd& run,
                  int width, int height) {
    if (run.end == show::ShowEnd::Escaped)
        std::fprintf(stderr, "demo-capture: stopped by Escape; keeping what was drawn\n");
    if (port.failed()) {
        out.encoder.finish();
        std::remove(out.videoPart.c_str());
        return fail(o.mode == Mode::Video ? "ffmpeg stopped taking frames"
                                          : "could not write the pictures to " + o.pngDir);
    }
    switch (o.mode) {
    case Mode::Video:
        return finishVideo(o, out, run.sound, port.framesKept(), width, height, run.took);
    case Mode::Png:
    case Mode::Frames:
        std::printf("wrote %lld pictures to %s in %.1f s\n",
                    static_cast<long long>(port.framesKept()), o.pngDir.c_str(), run.took);
        return 0;
    case Mode::Bench:
        return finishBench(o, out.bench, run.startSeconds, run.buffers);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const Parsed parsed = parseOptions(argc, argv);
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "demo-capture: %s (%s)\n", parsed.error.c_str(), kUsage);
        return kStatusUsage;
    }
    const Options& o = parsed.options;
    if (o.help) {
        std::printf("%s\n%s", kUsage, kHelp);
        return 0;
    }
    if ((o.mode == Mode::Png || o.mode == Mode::Frames) && !makeDirectory(o.pngDir))
        return fail("cannot make the folder " + o.pngDir);
    const show::StartupOptions startup = startupFor(o);
    const Clock::time_point launched = Clock::now();
    show::Show show;
    const std::string refused = openShow(show, startup, o);
    if (!refused.empty())
        return fail(refused);
    const int width = show.engine.width, height = show.engine.height;
    RunEnd run;
    run.buffers = buffersOf(show, startup);
    const std::string shortfall = bufferShortfall(run.buffers);
    if (!shortfall.empty())
        std::fprintf(stderr, "demo-capture: %s\n", shortfall.c_str());

    show::beginShow(show);
    const std::vector<show::SceneRow> rows = show::showScenes(show.endMark);
    const FramePlan plan(o);
    const int64_t showFrames = framesInShow(show.music.track.length(), o.fps);
    if (plan.first() >= showFrames) {
        show::shutdownShow(show);
        return fail(nothingToCapture(show));
    }
    const int64_t lastFrame = std::min(plan.end(), showFrames); // exclusive
    Progress progress(o.mode == Mode::Bench ? "bench" : "capture",
                      expectedFrames(rows, plan, lastFrame, o.fps), stderr,
                      platform::standardErrorIsTerminal());
    CapturePort port(show, plan, progress);
    Outputs out(o, rows, plan.first(), lastFrame, width, height);
    if (!connectOutput(o, port, out, width, height)) {
        show::shutdownShow(show);
        return fail("could not start ffmpeg (is it installed?)");
    }

    run.end = show::runTimeline(show, port, rows);
    progress.finish();
    run.took = secondsBetween(launched, Clock::now());
    run.startSeconds = secondsBetween(launched, port.firstFrameShown());
    if (o.mode == Mode::Video)
        run.sound = mixRecordedFrames(show.music.track.stereo(), o.fps, out.pans);
    show::shutdownShow(show);
    return finishCapture(o, port, out, run, width, height);
}

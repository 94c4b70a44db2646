// demo-capture's videos as a viewer gets them, decoded by ffmpeg. From --from S, the sound at
// video time t is the track at S + t: found by cross-correlating the decoded sound with the
// track as the show decodes it, the AAC encoder's priming samples taken out as the file's own
// timing says. A whole show at a small size ends with its track: as many frames as the track
// holds, black after the closing fade, and sound as long as the picture.
#include "common/show_fixture.h"
#include "core/audio.h"
#include "host/timeline.h"
#include "scenes/scene_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace {

constexpr int kChannels = 2;
constexpr double kRate = show::kSampleRate;

// A folder to run the capture in, as a user would: the archive and the track beside it.
std::string runFolder() {
    const std::filesystem::path dir = std::filesystem::path(TEST_BUILD_DIR) / "capture_av";
    std::filesystem::create_directories(dir / "track");
    for (const auto& [link, target] :
         {std::pair{dir / "data.lll", std::filesystem::path(showtest::builtArchive())},
          std::pair{dir / "track" / "pelomvin_track.mp3",
                    std::filesystem::path(showtest::builtTrack())}}) {
        std::filesystem::remove(link);
        std::filesystem::create_symlink(target, link);
    }
    return dir.string();
}

// Captures to dir/name with the options given; true when demo-capture succeeded.
bool capture(const std::string& dir, const std::string& name, const std::string& options) {
    const std::string command = "cd '" + dir + "' && '" + TEST_BUILD_DIR "/demo-capture' " +
                                options + " --out " + name + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

// Everything a command writes to its standard output.
std::string output(const std::string& command) {
    std::string text;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[1 << 16];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            text.append(buffer, n);
        pclose(pipe);
    }
    return text;
}

double probe(const std::string& file, const char* stream, const char* field) {
    return std::atof(output(std::string("ffprobe -v error -select_streams ") + stream +
                            ":0 -show_entries stream=" + field + " -of csv=p=0 '" + file + "'")
                         .c_str());
}

// The sound as a player decodes it: the priming the encoder put in front is dropped as the
// file's edit list says, and the first sample left plays at the stream's start time.
std::vector<float> decodedSound(const std::string& file) {
    const std::string bytes =
        output("ffmpeg -v error -i '" + file + "' -map 0:a -f f32le -ac 2 -ar 44100 -");
    std::vector<float> stereo(bytes.size() / sizeof(float));
    std::copy_n(bytes.data(), stereo.size() * sizeof(float),
                reinterpret_cast<char*>(stereo.data()));
    return stereo;
}

std::vector<float> mono(const std::vector<float>& stereo) {
    std::vector<float> out(stereo.size() / kChannels);
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = 0.5f * (stereo[kChannels * i] + stereo[kChannels * i + 1]);
    return out;
}

struct Match {
    long lag = 0;          // sound[i] is track[from + i + lag]
    double peak = 0.0;     // normalised correlation at the lag
    double runnerUp = 0.0; // the best elsewhere, ten samples or more away
};

// Normalised cross-correlation of sound[skip, skip + length) with the track around from + skip.
Match crossCorrelate(const std::vector<float>& sound, const std::vector<float>& track, long from,
                     long skip, long length, long maxLag) {
    std::vector<double> score(size_t(2 * maxLag + 1));
    double soundEnergy = 0.0;
    for (long i = skip; i < skip + length; ++i)
        soundEnergy += double(sound[size_t(i)]) * sound[size_t(i)];
    for (long lag = -maxLag; lag <= maxLag; ++lag) {
        double dot = 0.0, trackEnergy = 0.0;
        for (long i = skip; i < skip + length; ++i) {
            const double t = track[size_t(from + i + lag)];
            dot += sound[size_t(i)] * t;
            trackEnergy += t * t;
        }
        score[size_t(lag + maxLag)] = dot / std::sqrt(soundEnergy * trackEnergy + 1e-30);
    }
    Match best;
    const auto peak = std::max_element(score.begin(), score.end());
    best.lag = long(peak - score.begin()) - maxLag;
    best.peak = *peak;
    for (long lag = -maxLag; lag <= maxLag; ++lag)
        if (std::labs(lag - best.lag) >= 10)
            best.runnerUp = std::max(best.runnerUp, score[size_t(lag + maxLag)]);
    return best;
}

class CaptureAv : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        track = new show::AudioTrack;
        ASSERT_TRUE(track->load(showtest::builtTrack()));
    }
    static void TearDownTestSuite() {
        delete track;
        track = nullptr;
    }
    void SetUp() override { ASSERT_GT(track->length(), 0u) << "the built track is missing"; }
    static show::AudioTrack* track;
};
show::AudioTrack* CaptureAv::track = nullptr;

struct SyncCase {
    double from;
    int fps;
};

void PrintTo(const SyncCase& c, std::ostream* os) {
    *os << "from " << c.from << " s at " << c.fps << " fps";
}

class CaptureSync : public CaptureAv, public ::testing::WithParamInterface<SyncCase> {};

TEST_P(CaptureSync, SoundAtVideoTimeTIsTheTrackAtFromPlusT) {
    const SyncCase c = GetParam();
    const std::string dir = runFolder();
    char name[64], options[128];
    std::snprintf(name, sizeof name, "sync_%g.mp4", c.from);
    std::snprintf(options, sizeof options, "--size 64x48 --fps %d --from %g --to %g", c.fps, c.from,
                  c.from + 2.0);
    ASSERT_TRUE(capture(dir, name, options)) << options;
    const std::string file = dir + "/" + name;

    // Where the sound starts on the video's time line, in samples: the edit list has already
    // taken the encoder's priming out, so this is where the first decoded sample plays. The
    // priming is what the first packet holds before time 0.
    const double startGap = probe(file, "a", "start_time") - probe(file, "v", "start_time");
    const long priming = -std::atol(output("ffprobe -v error -select_streams a:0 -show_entries "
                                           "packet=pts -read_intervals %+#1 -of csv=p=0 '" +
                                           file + "'")
                                        .c_str());
    const std::vector<float> sound = mono(decodedSound(file));
    ASSERT_GT(sound.size(), size_t(1.5 * kRate)) << "too little sound";

    constexpr long kMaxLag = 4096; // four AAC frames either way
    const long from = std::lround(c.from * kRate);
    const Match m =
        crossCorrelate(sound, track->mono(), from, long(0.25 * kRate), long(1.5 * kRate), kMaxLag);
    // sound[i] plays at video time i + startGap; it is the track at from + i + lag.
    const long offset = m.lag - std::lround(startGap * kRate);
    std::printf("capture from %g s: sound matches the track %+ld samples away (lag %+ld, start "
                "gap %+.6f s, %ld samples of priming dropped), correlation %.4f, next best "
                "%.4f\n",
                c.from, offset, m.lag, startGap, priming, m.peak, m.runnerUp);
    EXPECT_GT(m.peak, 0.95) << "the sound is not the track";
    EXPECT_LT(m.runnerUp, m.peak - 0.05) << "no clear match";
    // AAC keeps the phase of what it codes: a lossy copy still peaks on the very sample.
    EXPECT_LE(std::labs(offset), 1) << "sound and picture out of step by " << offset << " samples";
}

// Early in the fountain room and late in the brick rain, at two frame rates.
INSTANTIATE_TEST_SUITE_P(Starts, CaptureSync,
                         ::testing::Values(SyncCase{40.0, 10}, SyncCase{150.5, 4}),
                         [](const ::testing::TestParamInfo<SyncCase>& start) {
                             return "From" + std::to_string(int(start.param.from * 10)) + "Tenths";
                         });

TEST_F(CaptureAv, AWholeShowEndsWithItsTrackAndInBlack) {
    constexpr int kFps = 2;
    const std::string dir = runFolder();
    ASSERT_TRUE(capture(dir, "whole.mp4", "--size 64x48 --fps 2"));
    const std::string file = dir + "/whole.mp4";

    // Frame n stands for the track at n/fps: the recording holds every frame that lies inside
    // the track, and no more.
    const uint32_t length = track->length();
    const long inTrack = long(std::ceil(double(length) * kFps / kRate));
    const std::string grey =
        output("ffmpeg -v error -i '" + file + "' -map 0:v -f rawvideo -pix_fmt gray -");
    constexpr size_t kPixels = 64 * 48;
    const long frames = long(grey.size() / kPixels);
    EXPECT_EQ(frames, inTrack) << "for a track of " << length << " samples";
    // It ran past the end mark, to the track's last frame.
    EXPECT_GE(double(frames) / kFps * kRate, show::endMarkFor(length));

    // The closing fade starts a little over two seconds before the end and is over within a
    // fraction of a second: the last second and a half is black; three seconds before the end
    // there is still a picture.
    auto brightest = [&](long frame) {
        const auto first = grey.begin() + std::ptrdiff_t(size_t(frame) * kPixels);
        return int(
            uint8_t(*std::max_element(first, first + std::ptrdiff_t(kPixels),
                                      [](char a, char b) { return uint8_t(a) < uint8_t(b); })));
    };
    for (long f = frames - long(1.5 * kFps); f < frames; ++f)
        EXPECT_LE(brightest(f), 8) << "frame " << f << " of " << frames << " is not black";
    EXPECT_GT(brightest(frames - 3 * kFps), 32) << "the picture is gone three seconds early";

    // The sound is the whole track, then silence to the end of the last frame: sound and
    // picture are as long as each other, but for the AAC encoder's 1024-sample blocks.
    const double video = probe(file, "v", "duration");
    const double sound = probe(file, "a", "duration");
    std::printf("whole show: %ld frames, picture %.3f s, sound %.6f s, track %.6f s\n", frames,
                video, sound, length / kRate);
    EXPECT_NEAR(video, double(frames) / kFps, 1e-3);
    EXPECT_NEAR(sound, video, 1024 / kRate);
}

} // namespace

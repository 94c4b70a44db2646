// musicgen: composes, renders and encodes the show's track.
//   musicgen OUT.mp3                 the show's track (about 3 min 20 s)
//   musicgen --seconds S OUT.mp3     an S-second excerpt with steady bass beats
//   musicgen --minutes M OUT.mp3     a long track whose finale keeps going (soak tests)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "mp3_writer.h"
#include "render.h"
#include "score.h"
#include "timeline.h"

namespace {

using namespace musicgen;

constexpr double kMaxMinutes = 120.0;

constexpr const char* kUsage = "usage: musicgen [--seconds S | --minutes M] OUT.mp3";

int usage() {
    std::fprintf(stderr, "%s\n", kUsage);
    return 2;
}

bool parsePositive(const char* text, double& value) {
    char* end = nullptr;
    value = std::strtod(text, &end);
    return end != text && *end == '\0' && value > 0.0;
}

} // namespace

int main(int argc, char** argv) {
    double seconds = 0.0, minutes = 0.0;
    std::string out;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::printf("%s\n"
                        "  OUT.mp3              the show's track\n"
                        "  --seconds S OUT.mp3  an S-second excerpt with steady bass beats\n"
                        "  --minutes M OUT.mp3  a long track whose finale keeps going, up to %g\n"
                        "                       minutes\n",
                        kUsage, kMaxMinutes);
            return 0;
        }
        if ((arg == "--seconds" || arg == "--minutes") && i + 1 < argc) {
            double& value = arg == "--seconds" ? seconds : minutes;
            if (!parsePositive(argv[++i], value)) {
                std::fprintf(stderr, "musicgen: %s needs a positive number\n", arg.c_str());
                return 2;
            }
        } else if (!arg.empty() && arg[0] != '-' && out.empty()) {
            out = arg;
        } else {
            return usage();
        }
    }
    if (out.empty() || (seconds > 0.0 && minutes > 0.0) || minutes > kMaxMinutes) {
        return usage();
    }

    const auto start = std::chrono::steady_clock::now();
    const Score score = composeTrack(minutes > 0.0 ? finaleBarsForMinutes(minutes) : kFinaleBars);
    int64_t from = 0, length = score.length;
    if (seconds > 0.0) {
        length = std::min<int64_t>(int64_t(seconds * kSampleRate), score.length);
        from = std::min<int64_t>(kSceneFrom[kExcerptScene - 1], score.length - length);
    }
    std::printf("musicgen: rendering %.1f s of music\n", double(length) / kSampleRate);
    std::fflush(stdout);
    Audio audio = renderScore(score, from, length);
    const MasterStats& m = audio.master;
    const double share = m.samples > 0 ? 100.0 / double(m.samples) : 0.0;
    std::printf("musicgen: master: the saturator bent %.2f %% of samples (longest run %.1f ms), "
                "%lld clipped; the limiter reduced %.1f %% of samples by 3 dB or more, by "
                "%.1f dB on average, %.1f dB at most\n",
                share * double(m.bent), 1000.0 * double(m.longestBend) / kSampleRate,
                static_cast<long long>(m.clipped), share * 2.0 * double(m.reducedBy3Db),
                m.meanReductionDb, m.deepestReductionDb);
    if (seconds > 0.0) {
        fadeEdges(audio, kExcerptFadeSeconds);
    }
    std::printf("musicgen: encoding %s\n", out.c_str());
    std::fflush(stdout);
    const std::string error = writeMp3(audio, out);
    if (!error.empty()) {
        std::fprintf(stderr, "musicgen: %s\n", error.c_str());
        return 1;
    }
    const double took =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("musicgen: wrote %s (%lld samples) in %.1f s\n", out.c_str(),
                static_cast<long long>(audio.frames()), took);
    return 0;
}

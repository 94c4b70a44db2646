// Soak: a track minutes longer than the show keeps the finale running, its world emptied and
// refilled again and again, and the show's memory stays flat. Played through the virtual
// clock, so the figures are per show time, not per wall time, and the run is faster than
// real time. Resident size is sampled from /proc/self/statm every ten seconds of show time.
#include "show_driver.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

namespace {

constexpr int kTrackMinutes = 10;
constexpr int kFps = 10;
constexpr int kSampleEverySeconds = 10;
constexpr int kFromMinute = 2; // the show is fully loaded and has run its physics scenes
constexpr double kAllowedGrowth = 0.05;
constexpr int kFinaleScene = 20;
// The finale empties its world every 51 beat frames; minutes of it must do so many times.
constexpr int kMinimumResets = 10;

const std::string kLongTrack = TEST_BUILD_DIR "/track/soak_track.mp3";

double residentMiB() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// Made again whenever the generator was built after it: a track left by an older generator
// would soak a show that no longer exists.
std::string longTrack() {
    const std::string musicgen = TEST_BUILD_DIR "/tools/musicgen/musicgen";
    std::error_code missing;
    const auto made = std::filesystem::last_write_time(kLongTrack, missing);
    if (missing || made < std::filesystem::last_write_time(musicgen)) {
        const std::string command =
            musicgen + " --minutes " + std::to_string(kTrackMinutes) + " " + kLongTrack;
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
    }
    return kLongTrack;
}

} // namespace

TEST(ShowSoak, TenMinutesOfFinaleKeepMemoryFlat) {
    showdriver::ShowPlan plan;
    plan.fps = kFps;
    plan.track = longTrack();

    const int framesPerSample = kFps * kSampleEverySeconds;
    const int fromFrame = kFromMinute * 60 * kFps;
    double atFrom = 0.0, peakAfterFrom = 0.0, last = 0.0;
    int lastSampleFrame = 0, resets = 0;
    int32_t previousCounter = 0;
    plan.onFrame = [&](show::Show& s, int scene, int frame) {
        if (scene == kFinaleScene && s.scene.boxCounter < previousCounter)
            ++resets;
        previousCounter = s.scene.boxCounter;
        if (frame % framesPerSample != 0)
            return;
        last = residentMiB();
        lastSampleFrame = frame;
        if (frame == fromFrame)
            atFrom = last;
        if (frame >= fromFrame)
            peakAfterFrom = std::max(peakAfterFrom, last);
        std::printf("soak: %5.0f s of show, scene %2d, resident %.1f MiB\n", double(frame) / kFps,
                    scene, last);
        std::fflush(stdout);
    };

    const auto start = std::chrono::steady_clock::now();
    const showdriver::ShowReport report = showdriver::playShow(plan);
    const double wallSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    ASSERT_EQ(report.startup, show::StartupResult::Ready);
    EXPECT_EQ(report.end, show::ShowEnd::Finished);
    EXPECT_EQ(report.enteredCount(), show::kSceneCount);
    // The show ran to the end of the long track, most of it in the finale.
    EXPECT_GE(lastSampleFrame, (kTrackMinutes * 60 - kSampleEverySeconds) * kFps);
    EXPECT_GE(resets, kMinimumResets);
    ASSERT_GT(atFrom, 0.0);
    std::printf("soak: resident %.1f MiB at minute %d, %.1f MiB at %.0f s, peak after minute %d "
                "%.1f MiB (%+.1f %%); %d finale resets; %d frames in %.0f s of wall time\n",
                atFrom, kFromMinute, last, double(lastSampleFrame) / kFps, kFromMinute,
                peakAfterFrom, 100.0 * (peakAfterFrom / atFrom - 1.0), resets, report.totalFrames,
                wallSeconds);
    EXPECT_LE(peakAfterFrom, atFrom * (1.0 + kAllowedGrowth));
}

// Music files as a user might supply them: other rates and channel counts decode to the
// show's 44100 Hz stereo at their true length; anything that is not MP3 audio is refused.
#include "core/audio.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

using namespace show;

namespace {

// An MP3 frame is 1152 samples; the encoder's delay and padding add less than two more.
constexpr double kFrameSlack = 3 * 1152;

std::string testFile(const std::string& name) {
    return std::string(TEST_BUILD_DIR) + "/audio_files_" + name;
}

// A tone of `seconds` at `rate` Hz with `channels` channels, encoded by ffmpeg.
std::string tone(const std::string& name, int rate, double seconds, int channels) {
    const std::string path = testFile(name);
    char command[512];
    std::snprintf(command, sizeof command,
                  "ffmpeg -loglevel error -y -f lavfi -i 'aevalsrc=0.5*sin(2*PI*220*t):s=%d:d=%g' "
                  "-ac %d -b:a 128k '%s'",
                  rate, seconds, channels, path.c_str());
    EXPECT_EQ(std::system(command), 0) << command;
    return path;
}

std::string fileWith(const std::string& name, const std::string& bytes) {
    const std::string path = testFile(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
}

} // namespace

TEST(AudioFiles, OtherRatesAndMonoDecodeAtTheirTrueLength) {
    struct Case {
        const char* name;
        int rate;
        int channels;
    };
    constexpr double kSeconds = 2.0;
    for (const Case c : {Case{"44k.mp3", 44100, 2}, Case{"48k.mp3", 48000, 2},
                         Case{"mono.mp3", 44100, 1}, Case{"22k_mono.mp3", 22050, 1}}) {
        AudioTrack track;
        ASSERT_TRUE(track.load(tone(c.name, c.rate, kSeconds, c.channels))) << c.name;
        EXPECT_NEAR(track.length(), kSeconds * kSampleRate, kFrameSlack) << c.name;
        EXPECT_EQ(track.stereo().size(), 2 * track.mono().size()) << c.name;
    }
}

TEST(AudioFiles, ATrackShorterThanAFrameStillLoads) {
    AudioTrack track;
    ASSERT_TRUE(track.load(tone("tiny.mp3", 44100, 0.005, 2)));
    EXPECT_GT(track.length(), 0u);
    EXPECT_LT(track.length(), kFrameSlack);
}

TEST(AudioFiles, WhatIsNotMp3AudioIsRefused) {
    const std::string wav = testFile("tone.wav");
    ASSERT_EQ(
        std::system(("ffmpeg -loglevel error -y -f lavfi -i 'sine=d=1' '" + wav + "'").c_str()), 0);
    std::string noise(100000, '\0');
    for (size_t i = 0; i < noise.size(); ++i)
        noise[i] = char((i * 2654435761u) >> 11);
    for (const std::string& path :
         {testFile("no_such_file.mp3"), fileWith("empty.mp3", ""),
          fileWith("text.mp3", "this is not music\n"), fileWith("noise.mp3", noise), wav,
          std::string(TEST_BUILD_DIR)}) {
        AudioTrack track;
        EXPECT_FALSE(track.load(path)) << path;
        EXPECT_EQ(track.length(), 0u) << path;
    }
}

TEST(AudioFiles, ATrackDecodedAheadIsTheTrackDecodedInPlace) {
    const std::string first = tone("ahead.mp3", 44100, 1.0, 2);
    const std::string second = tone("other.mp3", 48000, 0.5, 1);
    AudioTrack inPlace;
    ASSERT_TRUE(inPlace.load(first));

    AudioTrack ahead;
    ahead.prepare(first);
    ASSERT_TRUE(ahead.load(first));
    EXPECT_EQ(ahead.stereo(), inPlace.stereo());
    EXPECT_EQ(ahead.mono(), inPlace.mono());

    // Asked for another file than the one prepared, load decodes what it is asked for.
    AudioTrack changed;
    changed.prepare(first);
    ASSERT_TRUE(changed.load(second));
    EXPECT_NEAR(changed.length(), 0.5 * kSampleRate, kFrameSlack);

    AudioTrack missing;
    missing.prepare(testFile("no_such_file.mp3"));
    EXPECT_FALSE(missing.load(testFile("no_such_file.mp3")));
}

TEST(AudioFiles, AHeaderClaimingAnEndlessTrackIsNotBelieved) {
    // The encoder's info frame names the frame count; claim two billion frames.
    std::ifstream in(tone("endless.mp3", 44100, 1.0, 2), std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t tag = bytes.find("Info");
    if (tag == std::string::npos)
        tag = bytes.find("Xing");
    ASSERT_NE(tag, std::string::npos) << "no info frame to alter";
    ASSERT_TRUE(bytes[tag + 7] & 1) << "the info frame carries no frame count";
    for (int i = 0; i < 4; ++i)
        bytes[tag + 8 + i] = char(i == 0 ? 0x7F : 0xFF);

    AudioTrack track;
    ASSERT_TRUE(track.load(fileWith("endless_claim.mp3", bytes)));
    EXPECT_NEAR(track.length(), 1.0 * kSampleRate, kFrameSlack);
}

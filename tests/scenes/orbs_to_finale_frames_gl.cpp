// Plays the whole show on the virtual clock with the real track and archive and reads frames
// back from GL: one from the middle of scenes 8, 9, 12, 19 and 20 (also written as PNGs into
// the build folder for a person to look at), each of which must show a picture, and every frame
// of the show's last seconds, which must fade to black and stay black to the last one drawn,
// on the end mark.
#include "common/gl_fixture.h"
#include "common/show_fixture.h"
#include "host/startup.h"
#include "host/timeline.h"
#include "scenes/scene_table.h"
#include "scenes/show.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

using namespace show;

namespace {

constexpr int kFps = 10; // a few frames in even the shortest greeting, quick to play
constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kFirstScene = 8;
constexpr int kPictureSpread = 24; // grey levels between the darkest and brightest pixel
// The closing fade: it starts 100000 samples before the end mark and takes 200 ms.
constexpr uint32_t kFadeLead = 100000;
constexpr uint32_t kFadeSamples = kSampleRate / 5;
constexpr uint32_t kWatchedBeforeFade = kSampleRate; // a second of frames before it
constexpr int kBlack = 2;                            // no channel of a black frame above this

struct Capture {
    int scene = 0;
    uint32_t at = 0; // first play position to capture from
    bool taken = false;
    int darkest = 255, brightest = 0;
};

// One frame of the end, as read back.
struct EndFrame {
    uint32_t position;
    int brightest;  // the largest channel value of any pixel
    int greySpread; // brightest minus darkest grey
};

void measure(const gltest::Image& image, int& darkestGrey, int& brightestGrey, int& brightest) {
    for (size_t i = 0; i < image.rgba.size(); i += gltest::kChannels) {
        const uint8_t* p = &image.rgba[i];
        const int grey = (p[0] + p[1] + p[2]) / 3;
        darkestGrey = std::min(darkestGrey, grey);
        brightestGrey = std::max(brightestGrey, grey);
        brightest = std::max({brightest, int(p[0]), int(p[1]), int(p[2])});
    }
}

class CapturePort final : public EngineFramePort {
  public:
    CapturePort(Show& show, std::vector<Capture>& captures)
        : EngineFramePort(show), captures_(captures) {}
    int framesIn(int scene) const { return frames_[scene - 1]; }
    const std::vector<EndFrame>& end() const { return end_; }

    // The frame belongs to the scene whose guard passed, on the position read before it.
    void readSpectrumThenPosition() override {
        scene_ = showtest::sceneAt(show_.position);
        EngineFramePort::readSpectrumThenPosition();
    }

  protected:
    // The back buffer, before endScene presents it: the front buffer reads black under Xvfb.
    void frameDrawn() override {
        ++frames_[scene_ - 1];
        for (Capture& capture : captures_)
            if (!capture.taken && capture.scene == scene_ && show_.position >= capture.at)
                take(capture);
        if (scene_ == kSceneCount &&
            show_.position + kFadeLead + kWatchedBeforeFade > show_.endMark) {
            int darkest = 255, brightestGrey = 0, brightest = 0;
            measure(gltest::readScreen(show_.engine.driver), darkest, brightestGrey, brightest);
            end_.push_back({show_.position, brightest, brightestGrey - darkest});
        }
    }

  private:
    void take(Capture& capture) {
        capture.taken = true;
        const gltest::Image image = gltest::readScreen(show_.engine.driver);
        int brightest = 0;
        measure(image, capture.darkest, capture.brightest, brightest);
        gltest::writePng(show_.engine.driver, image,
                         std::string(TEST_BUILD_DIR) + "/orbs_to_finale_scene" +
                             std::to_string(capture.scene) + ".png");
    }
    std::vector<Capture>& captures_;
    std::vector<EndFrame> end_;
    int frames_[kSceneCount] = {};
    int scene_ = 1;
};

TEST(OrbsToFinaleFrames, OrbsGreetingsAndFinaleDrawPicturesAndTheShowFadesToBlackAtItsEnd) {
    Show show;
    ASSERT_EQ(showtest::openShow(show, kWidth, kHeight, kFps), StartupResult::Ready)
        << "needs data.lll and track/ in the build folder";

    std::vector<Capture> captures;
    for (int scene : {8, 9, 12, 19, 20}) {
        Capture capture;
        capture.scene = scene;
        const uint32_t to = scene < kSceneCount ? kSceneStarts[scene] : show.endMark;
        capture.at = kSceneStarts[scene - 1] + (to - kSceneStarts[scene - 1]) / 2;
        captures.push_back(capture);
    }

    CapturePort port(show, captures);
    EXPECT_EQ(runTimeline(show, port, showScenes(show.endMark)), ShowEnd::Finished);
    for (int scene = kFirstScene; scene <= kSceneCount; ++scene)
        EXPECT_GT(port.framesIn(scene), 0) << "scene " << scene << " drew no frame";
    for (const Capture& capture : captures) {
        SCOPED_TRACE(capture.scene);
        ASSERT_TRUE(capture.taken);
        EXPECT_GE(capture.brightest - capture.darkest, kPictureSpread) << "a blank frame";
    }

    // The end: pictures until the fade starts, black from the moment it has run its course,
    // and the show ran until its last frame, within one frame of the end mark.
    const std::vector<EndFrame>& end = port.end();
    ASSERT_FALSE(end.empty());
    const uint32_t fadeStart = show.endMark - kFadeLead;
    int pictures = 0, black = 0;
    for (const EndFrame& frame : end) {
        SCOPED_TRACE(frame.position);
        if (frame.position <= fadeStart) {
            EXPECT_GE(frame.greySpread, kPictureSpread) << "dark before the fade";
            ++pictures;
        } else if (frame.position > fadeStart + kFadeSamples + kSampleRate / kFps) {
            EXPECT_LE(frame.brightest, kBlack) << "light after the fade";
            ++black;
        }
    }
    std::printf("end: %zu frames read back, %d pictures up to the fade at %u, %d black after "
                "it; last frame at %u, end mark %u\n",
                end.size(), pictures, fadeStart, black, end.back().position, show.endMark);
    EXPECT_GE(pictures, kFps / 2);
    EXPECT_GE(black, kFps);
    EXPECT_LE(end.back().brightest, kBlack) << "the last frame drawn is not black";
    EXPECT_LE(end.back().position, show.endMark);
    EXPECT_GT(end.back().position + kSampleRate / kFps, show.endMark)
        << "the show stopped before the last frame it had";
    shutdownShow(show);
}

} // namespace

// Plays the show on the virtual clock with the real track and archive, jumping ahead (as a
// slow machine would) to a few seconds before the middle of each of scenes 3 to 7. Reads back
// the middle frame of each, and a frame of scene 5 with its flash on, writes them as PNGs into
// the build folder for a person to look at, and checks that each shows a picture and that the
// flash inverts it.
#include "common/gl_fixture.h"
#include "common/show_fixture.h"
#include "host/startup.h"
#include "host/timeline.h"
#include "scenes/scene_table.h"
#include "scenes/show.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace show;

namespace {

constexpr int kFps = 10;
constexpr int kLeadFrames = 30; // frames each scene plays before its capture
constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kFirstScene = 3;
constexpr int kLastScene = 7;
constexpr int kFlashScene = 5;
constexpr int kPictureSpread = 24; // grey levels between the darkest and brightest pixel

struct Picture {
    std::string name;
    int scene = 0;
    int darkest = 255, brightest = 0;
    double meanGrey = 0.0;
};

int64_t frameAt(uint32_t position) {
    return int64_t(position) * kFps / kSampleRate;
}

class CapturePort final : public EngineFramePort {
  public:
    CapturePort(Show& show, VirtualTime& clock) : EngineFramePort(show), clock_(clock) {
        for (int scene = kFirstScene; scene <= kLastScene; ++scene)
            middles_.push_back(frameAt(kSceneStarts[scene - 1] +
                                       (kSceneStarts[scene] - kSceneStarts[scene - 1]) / 2));
    }

    // The show ends for this test once scene 7 is over.
    bool deviceRunning() override {
        return show_.position < kSceneStarts[kLastScene] && EngineFramePort::deviceRunning();
    }
    const std::vector<Picture>& pictures() const { return pictures_; }

  protected:
    void frameDrawn() override {
        const int64_t frame = clock_.frame();
        const int scene = showtest::sceneAt(show_.position);
        if (flashPending_) {
            flashPending_ = false;
            take("scene5_flash", scene);
        }
        if (next_ < middles_.size() && frame >= middles_[next_]) {
            take("scene" + std::to_string(scene), scene);
            if (scene == kFlashScene) { // the next frame shows the picture inverted
                show_.scene.credits.flash = true;
                show_.scene.credits.flashClock = show_.clock();
                flashPending_ = true;
            }
            ++next_;
        }
        if (!flashPending_ && next_ < middles_.size() && frame < middles_[next_] - kLeadFrames)
            clock_.seekFrame(middles_[next_] - kLeadFrames);
    }

  private:
    // The back buffer before endScene presents it: the front buffer reads black under Xvfb.
    void take(const std::string& name, int scene) {
        const gltest::Image image = gltest::readScreen(show_.engine.driver);
        Picture picture{name, scene};
        double sum = 0.0;
        for (size_t i = 0; i < image.rgba.size(); i += gltest::kChannels) {
            const int grey = (image.rgba[i] + image.rgba[i + 1] + image.rgba[i + 2]) / 3;
            picture.darkest = std::min(picture.darkest, grey);
            picture.brightest = std::max(picture.brightest, grey);
            sum += grey;
        }
        picture.meanGrey = sum / (double(image.width) * image.height);
        pictures_.push_back(picture);
        gltest::writePng(show_.engine.driver, image,
                         std::string(TEST_BUILD_DIR) + "/landscape_to_puzzle_" + name + ".png");
    }

    VirtualTime& clock_;
    std::vector<int64_t> middles_;
    size_t next_ = 0;
    bool flashPending_ = false;
    std::vector<Picture> pictures_;
};

TEST(LandscapeToPuzzleFrames, EachSceneShowsAPictureAndTheFlashInvertsIt) {
    Show show;
    ASSERT_EQ(showtest::openShow(show, kWidth, kHeight, kFps), StartupResult::Ready)
        << "needs data.lll and track/ in the build folder";
    CapturePort port(show, static_cast<VirtualTime&>(*show.time));
    runTimeline(show, port, showScenes(show.endMark));
    shutdownShow(show);

    const std::vector<Picture>& pictures = port.pictures();
    ASSERT_EQ(pictures.size(), size_t(kLastScene - kFirstScene + 2));
    const Picture* plain = nullptr;
    const Picture* inverted = nullptr;
    for (const Picture& picture : pictures) {
        SCOPED_TRACE(picture.name);
        EXPECT_GE(picture.brightest - picture.darkest, kPictureSpread) << "a blank frame";
        if (picture.scene == kFlashScene)
            (picture.name == "scene5_flash" ? inverted : plain) = &picture;
    }
    ASSERT_TRUE(plain && inverted);
    // Mostly dark credits turn mostly light when inverted.
    EXPECT_GT(inverted->meanGrey, plain->meanGrey * 2) << plain->meanGrey;
}

} // namespace

// Plays the whole show on the virtual clock with the real track and archive, reads back one
// frame from the middle of scenes 8, 9, 12, 19 and 20, writes them as PNGs into the build
// folder for a person to look at, and checks that each one shows a picture and that the show
// ends by itself after scene 20.
#include "common/gl_fixture.h"
#include "common/show_fixture.h"
#include "host/show.h"
#include "host/startup.h"
#include "scenes/scene_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace show;

namespace {

constexpr int kFps = 10; // a few frames in even the shortest greeting, quick to play
constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kFirstScene = 8;
constexpr int kPictureSpread = 24; // grey levels between the darkest and brightest pixel

struct Capture {
    int scene = 0;
    uint32_t at = 0; // first play position to capture from
    bool taken = false;
    int darkest = 255, brightest = 0;
};

class CapturePort final : public EngineFramePort {
  public:
    CapturePort(Show& show, std::vector<Capture>& captures)
        : EngineFramePort(show), captures_(captures) {}
    int framesIn(int scene) const { return frames_[scene - 1]; }

    // The frame belongs to the scene whose guard passed, on the position read before it.
    void readSpectrumThenPosition() override {
        scene_ = showtest::sceneAt(show_.position);
        EngineFramePort::readSpectrumThenPosition();
    }

  protected:
    void frameDrawn() override {
        ++frames_[scene_ - 1];
        for (Capture& capture : captures_)
            if (!capture.taken && capture.scene == scene_ && show_.position >= capture.at)
                take(capture);
    }

  private:
    // The back buffer, before endScene presents it: the front buffer reads black under Xvfb.
    void take(Capture& capture) {
        capture.taken = true;
        const gltest::Image image = gltest::readScreen(show_.engine.driver);
        for (size_t i = 0; i < image.rgba.size(); i += gltest::kChannels) {
            const int grey = (image.rgba[i] + image.rgba[i + 1] + image.rgba[i + 2]) / 3;
            capture.darkest = std::min(capture.darkest, grey);
            capture.brightest = std::max(capture.brightest, grey);
        }
        gltest::writePng(show_.engine.driver, image,
                         std::string(TEST_BUILD_DIR) + "/scenes820_scene" +
                             std::to_string(capture.scene) + ".png");
    }
    std::vector<Capture>& captures_;
    int frames_[kSceneCount] = {};
    int scene_ = 1;
};

TEST(Scenes820Frames, OrbsGreetingsAndFinaleDrawPicturesAndTheShowEndsByItself) {
    Show show;
    const std::string archive = showtest::builtArchive();
    ASSERT_EQ(
        startShow(show, showtest::windowedShowOptions(kWidth, kHeight, kFps, archive.c_str())),
        StartupResult::Ready)
        << "needs data.lll and track/ in the build folder";
    beginShow(show);

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
    EXPECT_EQ(show.quitCode, kQuitRequested);
    for (int scene = kFirstScene; scene <= kSceneCount; ++scene)
        EXPECT_GT(port.framesIn(scene), 0) << "scene " << scene << " drew no frame";
    for (const Capture& capture : captures) {
        SCOPED_TRACE(capture.scene);
        ASSERT_TRUE(capture.taken);
        EXPECT_GE(capture.brightest - capture.darkest, kPictureSpread) << "a blank frame";
    }
    shutdownShow(show);
}

} // namespace

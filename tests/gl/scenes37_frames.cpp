// Plays the show from its start through scene 7 on the virtual clock with the real track and
// archive, reads back one frame from the middle of each of scenes 3 to 7 (and the first frame
// of scene 5's inverted flash), writes them as PNGs into the build folder for a person to look
// at, and checks that each one actually shows a picture.
#include "host/show.h"
#include "host/startup.h"
#include "scenes/scene_table.h"

#include <gtest/gtest.h>

#include <GL/gl.h>
#include <dlfcn.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

using namespace show;

namespace {

constexpr int kFps = 10; // enough frames for every scene, few enough to stay quick
constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kFirstScene = 3;
constexpr int kLastScene = 7;
constexpr int kFlashScene = 5;
constexpr int kPictureSpread = 24; // grey levels between the darkest and brightest pixel

// The test links no GL library of its own; the engine has loaded one.
using ReadPixels = void (*)(GLint, GLint, GLsizei, GLsizei, GLenum, GLenum, void*);

struct Capture {
    std::string name;
    uint32_t at = 0; // first play position to capture from
    bool taken = false;
    int darkest = 255, brightest = 0;
};

class CapturePort final : public EngineFramePort {
  public:
    CapturePort(Show& show, std::vector<Capture>& captures)
        : EngineFramePort(show), captures_(captures),
          readPixels_(reinterpret_cast<ReadPixels>(dlsym(RTLD_DEFAULT, "glReadPixels"))),
          pixels_(size_t(kWidth) * kHeight * 3) {}

    // The show ends for this test once scene 7 is over.
    bool deviceRunning() override {
        return show_.position < kSceneStarts[kLastScene] && EngineFramePort::deviceRunning();
    }
    int framesIn(int scene) const { return frames_[scene - 1]; }

  protected:
    void frameDrawn() override {
        const uint32_t position = show_.position;
        int scene = kSceneCount;
        while (scene > 1 && position < kSceneStarts[scene - 1])
            --scene;
        ++frames_[scene - 1];
        for (Capture& capture : captures_) {
            const bool flash = capture.at == 0;
            const bool due =
                flash ? scene == kFlashScene && show_.scene.flash : position >= capture.at;
            if (!capture.taken && due)
                take(capture);
        }
    }

  private:
    // The back buffer, before endScene presents it: the front buffer reads black under Xvfb.
    void take(Capture& capture) {
        capture.taken = true;
        readPixels_(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels_.data());
        for (size_t i = 0; i < pixels_.size(); i += 3) {
            const int grey = (pixels_[i] + pixels_[i + 1] + pixels_[i + 2]) / 3;
            capture.darkest = std::min(capture.darkest, grey);
            capture.brightest = std::max(capture.brightest, grey);
        }
        irr::video::IVideoDriver* driver = show_.engine.driver;
        std::vector<uint8_t> flipped(pixels_.size());
        const size_t rowBytes = size_t(kWidth) * 3;
        for (int y = 0; y < kHeight; ++y)
            std::copy_n(&pixels_[size_t(y) * rowBytes], rowBytes,
                        &flipped[size_t(kHeight - 1 - y) * rowBytes]);
        irr::video::IImage* image = driver->createImageFromData(
            irr::video::ECF_R8G8B8, irr::core::dimension2du(kWidth, kHeight), flipped.data(), false,
            false);
        const std::string path = std::string(TEST_BUILD_DIR) + "/scenes37_" + capture.name + ".png";
        driver->writeImageToFile(image, path.c_str());
        image->drop();
    }
    std::vector<Capture>& captures_;
    ReadPixels readPixels_;
    std::vector<uint8_t> pixels_;
    int frames_[kSceneCount] = {};
};

TEST(Scenes37Frames, EveryLandscapeCreditsAndPuzzleSceneDrawsAPicture) {
    Show show;
    StartupOptions options;
    options.commandLine = CommandLine{kWidth, kHeight, false};
    options.virtualTime = true;
    options.fps = kFps;
    options.vsync = false;
    ASSERT_EQ(startShow(show, options), StartupResult::Ready)
        << "needs data.lll and track/ in the build folder";

    std::vector<Capture> captures;
    for (int scene = kFirstScene; scene <= kLastScene; ++scene) {
        Capture capture;
        capture.name = "scene" + std::to_string(scene);
        capture.at = kSceneStarts[scene - 1] + (kSceneStarts[scene] - kSceneStarts[scene - 1]) / 2;
        captures.push_back(capture);
    }
    Capture flash;
    flash.name = "scene5_flash";
    captures.push_back(flash);

    beginShow(show);
    CapturePort port(show, captures);
    runTimeline(show, port, showScenes(show.endMark));
    for (int scene = kFirstScene; scene <= kLastScene; ++scene)
        EXPECT_GT(port.framesIn(scene), 0) << "scene " << scene << " drew no frame";
    for (const Capture& capture : captures) {
        SCOPED_TRACE(capture.name);
        if (capture.at == 0 && !capture.taken) {
            std::printf("no flash in scene 5: the track's bass dropped too few bricks\n");
            continue;
        }
        ASSERT_TRUE(capture.taken);
        EXPECT_GE(capture.brightest - capture.darkest, kPictureSpread) << "a blank frame";
    }
    shutdownShow(show);
}

} // namespace

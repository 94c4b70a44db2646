// Scenes 1 and 2 on a real device under virtual time: what their entries show and hide, the
// dotted spectrum rows, the clock-paced title drop, the beat nudge, and frames to look at.
#include "common/gl_fixture.h"
#include "common/show_fixture.h"
#include "core/music.h"
#include "core/receiver.h"
#include "host/startup.h"
#include "host/timeline.h"
#include "scenes/opening.h"
#include "scenes/scene_table.h"
#include "scenes/show.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

using namespace show;
using irr::core::position2di;
using irr::core::vector3df;

namespace {

constexpr int kTestWidth = 640;
constexpr int kTestHeight = 480;
constexpr int kSlowFps = 25;    // 40 ms a frame: the title drops a pixel every frame
constexpr int kFastFps = 1000;  // 1 ms a frame: the clock allows a pixel every few frames
constexpr int kPictureFps = 60; // as a vsynced display plays it
constexpr int kFramesPlayed = 40;
constexpr long kTitleStepMs = 4; // the smallest whole-millisecond gap that allows a step
constexpr float kLoudLevel = 0.01f;
constexpr int kTitleDrop = 700;  // pixels the title falls in scene 2
constexpr int kNudgePixels = 10; // pixels right and down the title jumps on a beat
constexpr int kScrollPixels = 2; // pixels the credits line moves left per frame

const std::string kArchive = showtest::builtArchive();

// Plays one frame through the show's frame loop on the spectrum the test has set: the read
// takes only the position.
class OneFramePort final : public EngineFramePort {
  public:
    OneFramePort(Show& show, bool draw, const std::function<void()>& onDrawn)
        : EngineFramePort(show), draw_(draw), onDrawn_(onDrawn) {}
    bool deviceRunning() override { return framesLeft_-- > 0; }
    bool escapeHeld() override { return false; }
    bool interrupted() override { return true; } // the pass ends, not the show
    void readSpectrumThenPosition() override { show_.position = show_.time->playPosition(); }
    bool frameStarted(const SceneRow&) override { return draw_; }

  protected:
    void frameDrawn() override {
        if (onDrawn_)
            onDrawn_();
    }

  private:
    int framesLeft_ = 1;
    bool draw_;
    const std::function<void()>& onDrawn_;
};

class Opening : public ::testing::Test {
  protected:
    void start(int fps, int width = kTestWidth, int height = kTestHeight) {
        gltest::holdDisplay();
        const StartupResult result =
            startShow(show, showtest::windowedShowOptions(width, height, fps, kArchive.c_str()));
        ASSERT_NE(result, StartupResult::NoDevice);
        trackLoaded = result == StartupResult::Ready;
        if (trackLoaded)
            show.time->trackLoaded(show.music.track.length());
        rows = showScenes(endMarkFor(trackLoaded ? show.music.track.length() : ~0u));
    }
    void SetUp() override { start(kSlowFps); }
    void TearDown() override { shutdownShow(show); }

    SceneRow& scene(int number) { return rows[number - 1]; }

    void enter(int number) { scene(number).enter(show); }
    // As the timeline hands over: scene 2 is entered after a frame of scene 1.
    void enterTitleScene() {
        enter(1);
        playFrame(1);
        enter(2);
    }

    // One frame of a scene, with the spectrum the test has set. Without draw nothing reaches
    // the screen: animators and the fader follow the clock, not the frames.
    void playFrame(int number, bool draw = true) {
        SceneRow once = scene(number);
        once.enter = nullptr;
        once.from = 0; // whatever the position, the frame belongs to this scene
        once.toExclusive = kPositionAfterEnd;
        OneFramePort port(show, draw, onFrameDrawn);
        runTimeline(show, port, {once});
    }
    void playFrames(int number, int count) {
        for (int i = 0; i < count; ++i)
            playFrame(number);
    }

    void setSpectrum(float level) { show.music.spectrum.fill(level); }
    position2di titleAt() const {
        return show.overlay.title->getAbsolutePosition().UpperLeftCorner;
    }
    int rowBase() const { return show.commandLine.height - kRowBaseAboveBottom; }

    Show show;
    std::vector<SceneRow> rows;
    bool trackLoaded = false;
    std::function<void()> onFrameDrawn;
};

template <size_t N> int countVisible(const std::array<irr::gui::IGUIImage*, N>& images) {
    int visible = 0;
    for (auto* image : images)
        visible += image->isVisible() ? 1 : 0;
    return visible;
}

} // namespace

TEST_F(Opening, FirstSceneRisesFromWhiteWithLogoAndRowA) {
    const Overlay& overlay = show.overlay;
    ASSERT_TRUE(overlay.loading->isVisible());
    enter(1);
    EXPECT_FALSE(overlay.loading->isVisible());
    EXPECT_EQ(countVisible(overlay.rowA), kRowDots);
    EXPECT_EQ(countVisible(overlay.rowB), 0);
    EXPECT_TRUE(overlay.groupLogo->isVisible());
    EXPECT_FALSE(overlay.title->isVisible());
    EXPECT_FALSE(overlay.greyOverlay->isVisible());
    EXPECT_FALSE(overlay.fader->isReady()); // fading in from white
    // the credits line is on but still waits beyond the right edge
    EXPECT_TRUE(overlay.credits->isVisible());
    EXPECT_GE(overlay.credits->getAbsolutePosition().UpperLeftCorner.X, show.engine.width);
    if (show.world.circleSculpture) {
        const vector3df at = show.world.circleSculpture->getPosition();
        EXPECT_LT(at.Y, 0.0f); // lowered below the sculpture pair's orbit
        EXPECT_TRUE(show.world.circleSculpture->isVisible());
    }
}

TEST_F(Opening, SecondSceneSwapsRowsAndRaisesTheTitle) {
    const Overlay& overlay = show.overlay;
    const position2di titleHome = titleAt();
    const irr::core::recti creditsBefore = overlay.credits->getAbsolutePosition();
    enter(1);
    setSpectrum(kLoudLevel);
    playFrames(1, 3);
    enter(2);

    EXPECT_EQ(countVisible(overlay.rowA), 0);
    EXPECT_EQ(countVisible(overlay.rowB), kRowDots);
    EXPECT_FALSE(overlay.groupLogo->isVisible());
    EXPECT_TRUE(overlay.greyOverlay->isVisible());
    EXPECT_TRUE(overlay.title->isVisible());
    EXPECT_TRUE(overlay.credits->isVisible());
    EXPECT_FALSE(show.scene.title.nudged);
    EXPECT_EQ(show.scene.title.stepClock, show.clock());
    // the title waits above its place, as far up as the drop is long
    EXPECT_EQ(titleAt(), titleHome - position2di(0, kTitleDrop));
    // scene 1 never moved the credits line
    EXPECT_EQ(overlay.credits->getAbsolutePosition(), creditsBefore);
}

TEST_F(Opening, QuietSpectrumLeavesDotsOnTheBaseLineAndRowsStartClean) {
    const Overlay& overlay = show.overlay;
    enter(1);
    setSpectrum(0.0f);
    playFrames(1, 2);
    for (auto* dot : overlay.rowA)
        ASSERT_EQ(dot->getAbsolutePosition().UpperLeftCorner.Y, rowBase());

    setSpectrum(kLoudLevel);
    playFrame(1);
    EXPECT_EQ(overlay.rowA[0]->getAbsolutePosition().UpperLeftCorner.Y,
              rowBase() - rowLift(kLoudLevel));

    // scene 1 left its dots raised; row B must still start from the base line
    enter(2);
    for (int32_t offset : show.scene.opening.rowOffsets)
        ASSERT_EQ(offset, 0);
    setSpectrum(0.0f);
    playFrame(2);
    for (auto* dot : overlay.rowB)
        ASSERT_EQ(dot->getAbsolutePosition().UpperLeftCorner.Y, rowBase());
    // the dots follow the spectrum band by band
    show.music.spectrum[1] = kLoudLevel;
    playFrame(2);
    EXPECT_EQ(overlay.rowB[0]->getAbsolutePosition().UpperLeftCorner.Y, rowBase());
    EXPECT_EQ(overlay.rowB[1]->getAbsolutePosition().UpperLeftCorner.Y,
              rowBase() - rowLift(kLoudLevel));
}

TEST_F(Opening, OnASlowMachineTheTitleDropsAPixelEveryFrame) {
    enterTitleScene();
    setSpectrum(0.0f);
    const position2di top = titleAt();
    const irr::s32 creditsX = show.overlay.credits->getAbsolutePosition().UpperLeftCorner.X;
    playFrames(2, kFramesPlayed);
    EXPECT_EQ(titleAt(), top + position2di(0, kFramesPlayed));
    // the credits scroll by frames, two pixels each
    EXPECT_EQ(show.overlay.credits->getAbsolutePosition().UpperLeftCorner.X,
              creditsX - kScrollPixels * kFramesPlayed);
}

class OpeningOnAFastMachine : public Opening {
  protected:
    void SetUp() override { start(kFastFps); }
};

TEST_F(OpeningOnAFastMachine, TitleDropFollowsTheClockNotTheFrames) {
    enterTitleScene();
    setSpectrum(0.0f);
    const position2di top = titleAt();
    const irr::s32 creditsX = show.overlay.credits->getAbsolutePosition().UpperLeftCorner.X;
    playFrames(2, kFramesPlayed);
    const long elapsedMs = kFramesPlayed * 1000L / kFastFps;
    EXPECT_EQ(titleAt(), top + position2di(0, int(elapsedMs / kTitleStepMs)));
    EXPECT_EQ(show.overlay.credits->getAbsolutePosition().UpperLeftCorner.X,
              creditsX - kScrollPixels * kFramesPlayed);
}

TEST_F(Opening, ALongBeatNudgesTheTitleOnceAndTheFirstQuietFrameReturnsIt) {
    enterTitleScene();
    setSpectrum(0.0f);
    playFrame(2);
    const irr::s32 restX = titleAt().X;

    // the nearest single-precision value to 0.03 scales to just under 3.0: quiet
    const float threshold = 0.03f;
    show.music.spectrum[0] = threshold;
    playFrames(2, 3);
    EXPECT_EQ(titleAt().X, restX);
    EXPECT_FALSE(show.scene.title.nudged);

    // the next value up is a beat when the product is taken in double precision
    show.music.spectrum[0] = std::nextafter(threshold, 1.0f);
    playFrames(2, kFramesPlayed);
    EXPECT_TRUE(show.scene.title.nudged);
    EXPECT_EQ(titleAt().X, restX + kNudgePixels);
    const irr::s32 nudgedY = titleAt().Y;

    show.music.spectrum[0] = 0.0f;
    playFrame(2);
    EXPECT_FALSE(show.scene.title.nudged);
    EXPECT_EQ(titleAt().X, restX);
    EXPECT_LE(titleAt().Y,
              nudgedY - kNudgePixels + 1); // back up by the nudge, down by at most one step
}

// Renders frames of both scenes into PNG files in the build directory to look at.
class OpeningPictures : public Opening {
  protected:
    void SetUp() override { start(kPictureFps, 1280, 1024); }
};

TEST_F(OpeningPictures, FramesOfBothScenesShowPicturesThatChange) {
    auto* time = dynamic_cast<VirtualTime*>(show.time.get());
    ASSERT_NE(time, nullptr);
    const int fps = time->fps();
    // a spectrum with a falling slope when there is no music to analyse
    auto spectrumFor = [&](uint32_t position) {
        if (trackLoaded) {
            readSpectrum(show.music, position);
            return;
        }
        for (int k = 0; k < kSpectrumBands; ++k)
            show.music.spectrum[k] = 0.002f / (1 + k) * (1 + std::sin(position * 1e-4f + k));
    };
    struct Shot {
        int scene;
        double seconds;
    };
    const Shot shots[] = {{1, 0.5},  {1, 4.0},  {1, 12.0}, {2, 16.6},
                          {2, 20.0}, {2, 24.0}, {2, 27.5}};
    std::vector<gltest::Image> taken;
    size_t nextShot = 0;
    int current = 0;
    const int lastFrame = int(shots[std::size(shots) - 1].seconds * fps);
    for (int frame = 0; frame <= lastFrame; ++frame) {
        const uint32_t position = uint32_t(int64_t(frame) * kSampleRate / fps);
        const int number = scene(2).contains(position) ? 2 : 1;
        while (current < number)
            enter(++current);
        const bool shoot =
            nextShot < std::size(shots) && frame == int(shots[nextShot].seconds * fps);
        if (shoot) {
            char name[64];
            std::snprintf(name, sizeof name, "/opening_scene%d_%05.1fs.png", number,
                          shots[nextShot].seconds);
            const std::string path = std::string(TEST_BUILD_DIR) + name;
            onFrameDrawn = [&, path] {
                // The back buffer, before endScene presents it.
                taken.push_back(gltest::readScreen(show.engine.driver));
                gltest::writePng(show.engine.driver, taken.back(), path);
            };
            ++nextShot;
        }
        spectrumFor(position);
        playFrame(number, shoot);
        onFrameDrawn = nullptr;
    }
    ASSERT_EQ(taken.size(), std::size(shots));
    // Every shot is a picture, not a blank screen, and no two in a row are the same frame.
    constexpr int kPictureSpread = 24; // grey levels between the darkest and brightest pixel
    constexpr int kLevel = 16;         // a pixel counts as changed beyond this
    for (size_t i = 0; i < taken.size(); ++i) {
        SCOPED_TRACE(shots[i].seconds);
        int darkest = 255, brightest = 0;
        for (size_t p = 0; p < taken[i].rgba.size(); p += gltest::kChannels) {
            const int grey = (taken[i].rgba[p] + taken[i].rgba[p + 1] + taken[i].rgba[p + 2]) / 3;
            darkest = std::min(darkest, grey);
            brightest = std::max(brightest, grey);
        }
        EXPECT_GE(brightest - darkest, kPictureSpread) << "a blank frame";
        if (i > 0) {
            EXPECT_GT(
                gltest::compare(taken[i], taken[i - 1], kLevel, gltest::kColourChannels).pixelsOver,
                0)
                << "the same picture as at " << shots[i - 1].seconds << " s";
        }
    }
}

TEST(SpectrumRows, LiftFollowsDoubleThenFloatThenTruncate) {
    EXPECT_EQ(rowLift(0.0f), 0);
    EXPECT_EQ(rowLift(0.0001f), 10); // 9.99999975 rounds to 10.0f before truncation
    EXPECT_EQ(rowLift(0.001f), 100);
    EXPECT_EQ(rowLift(0.5f), 50000);
}

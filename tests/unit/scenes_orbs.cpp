// Scenes 8 to 20 driven frame by frame with a scripted spectrum on the virtual clock, on the
// engine's null device: orb, overlay, physics, fader and counter state after each step.
#include "common/show_fixture.h"
#include "host/show.h"
#include "scenes/scene_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace show;

namespace {

constexpr int kFps = 50;
constexpr int kOrbsScene = 8;
constexpr int kSnowScene = 9;
constexpr int kFirstGreeting = 10;
constexpr int kLastGreeting = 19;
constexpr int kFinaleScene = 20;
constexpr uint32_t kFadeLead = 100000; // the closing fade's distance from the end mark

constexpr int kBricksPerDrop = 128;
constexpr int kBricksPerBeat = 4;
constexpr int kResetAbove = 200;
constexpr uint32_t kBassFlashMs = 200;
constexpr uint32_t kResetFlashMs = 300;
constexpr uint32_t kFadeToBlackMs = 200;

// Levels either side of the thresholds (level x 100 in double, strictly greater).
constexpr float kLoud = 0.5f;
constexpr float kBeat = 0.2f;        // the float nearest 0.2 lies just above it: a beat
constexpr float kStrongBass = 0.36f; // above 35
constexpr float kEdgeBass = 0.35f;   // the float nearest 0.35 lies just below it: no flash
constexpr float kEdgeTile = 0.03f;   // just below 3 once widened

// A fader that notes what the scenes ask of it instead of drawing.
class RecordingFader final : public irr::gui::IGUIInOutFader {
  public:
    enum class Kind { In, Out, Colour };
    struct Call {
        Kind kind;
        uint32_t value; // milliseconds, or the colour
        bool operator==(const Call& other) const {
            return kind == other.kind && value == other.value;
        }
    };

    explicit RecordingFader(irr::gui::IGUIEnvironment* gui)
        : IGUIInOutFader(gui, nullptr, -1, irr::core::rect<irr::s32>()) {}
    irr::video::SColor getColor() const override { return colour_; }
    void setColor(irr::video::SColor colour) override {
        colour_ = colour;
        calls.push_back({Kind::Colour, colour.color});
    }
    void setColor(irr::video::SColor source, irr::video::SColor) override { setColor(source); }
    void fadeIn(irr::u32 ms) override { calls.push_back({Kind::In, ms}); }
    void fadeOut(irr::u32 ms) override { calls.push_back({Kind::Out, ms}); }
    bool isReady() const override { return true; }

    int count(Kind kind) const {
        int n = 0;
        for (const Call& call : calls)
            n += call.kind == kind;
        return n;
    }
    std::vector<Call> calls;

  private:
    irr::video::SColor colour_;
};

class LateScenes : public ::testing::Test {
  protected:
    void SetUp() override {
        // Models may be missing: everything here is about state that exists without them.
        ASSERT_EQ(showtest::openNullShow(show, kFps), StartupResult::Ready)
            << "needs the built track: " << showtest::builtTrack();
        clock = static_cast<VirtualTime*>(show.time.get());
        rows = showScenes(show.endMark);
        for (SceneRow& r : rows)
            r.render = nullptr; // a null device has no render targets
        engineFader = show.overlay.fader;
        fader = new RecordingFader(show.engine.gui);
        show.overlay.fader = fader;
    }
    void TearDown() override {
        show.overlay.fader = engineFader;
        if (fader)
            fader->drop();
        shutdownShow(show);
    }

    const SceneRow& row(int scene) const { return rows[scene - 1]; }
    // A hand-over runs on the clock of the last frame of the scene before.
    void enter(int scene) {
        clock->beginFrame();
        row(scene).enter(show);
    }
    // One frame as the timeline runs it, minus the drawing; the spectrum is whatever the test
    // put in `levels`.
    void frame(int scene) {
        const SceneRow& r = row(scene);
        clock->beginFrame();
        if (r.beforeRead)
            r.beforeRead(show);
        show.music.spectrum = levels;
        show.position = clock->playPosition();
        if (r.update)
            r.update(show);
        if (r.afterFrame)
            r.afterFrame(show);
    }
    void quiet() { levels.fill(0.0f); }

    bool orbLit(int i) const {
        const bool light = show.world.orbLights[i]->isVisible();
        EXPECT_EQ(light, show.world.orbs[i]->isVisible()) << "orb " << i << " and its light";
        return light;
    }
    btVector3 origin(size_t bodyIndex) const {
        auto it = show.physics.bodyList.begin();
        std::advance(it, bodyIndex);
        return (*it)->getWorldTransform().getOrigin();
    }

    std::vector<btVector3> heap() const {
        std::vector<btVector3> origins;
        for (const btRigidBody* body : show.physics.bodyList)
            origins.push_back(body->getWorldTransform().getOrigin());
        return origins;
    }

    Show show;
    VirtualTime* clock = nullptr;
    std::vector<SceneRow> rows;
    std::array<float, kSpectrumBands> levels{};
    RecordingFader* fader = nullptr;
    irr::gui::IGUIInOutFader* engineFader = nullptr;
};

// ---- light orbs and brick rain ----

TEST_F(LateScenes, EachEntryDropsTheSameBrickHeapFromThreeDrawsPerBrick) {
    // From a fresh generator (below 100: 41, 67, 34, 0, 69, 24, 78, 58, 62, ...) brick n draws
    // r1, r2, r3 and lands at (r3 - 5, r2, r1 - 5).
    const btVector3 firstBricks[] = {{29, 67, 36}, {19, 69, -5}, {57, 58, 73}};
    std::vector<btVector3> heapOfScene8;
    for (int scene : {kOrbsScene, kSnowScene}) {
        SCOPED_TRACE(scene);
        const int32_t countBefore = show.scene.boxCounter;
        show.random.reset();
        enter(scene);
        // The floor box first, then the bricks in the order they were drawn.
        ASSERT_EQ(show.physics.bodyList.size(), size_t(kBricksPerDrop + 1));
        EXPECT_EQ(origin(0), btVector3(0, 0, 0));
        for (size_t i = 0; i < std::size(firstBricks); ++i)
            EXPECT_EQ(origin(i + 1), firstBricks[i]) << "brick " << i;
        for (const btVector3& brick : heap()) {
            EXPECT_GE(brick.x(), -5.0f);
            EXPECT_LE(brick.x(), 94.0f);
            EXPECT_GE(brick.y(), 0.0f);
            EXPECT_LE(brick.y(), 99.0f);
            EXPECT_GE(brick.z(), -5.0f);
            EXPECT_LE(brick.z(), 94.0f);
        }
        EXPECT_EQ(show.scene.boxCounter, countBefore + kBricksPerDrop);
        if (scene == kOrbsScene)
            heapOfScene8 = heap();
        else
            EXPECT_EQ(heap(), heapOfScene8) << "the same draws drop the same heap";
    }
}

TEST_F(LateScenes, BricksFallOnlyDuringTheFirstSecondOfTheScene) {
    for (int scene : {kOrbsScene, kSnowScene}) {
        SCOPED_TRACE(scene);
        quiet();
        enter(scene);
        const std::vector<btVector3> dropped = heap();
        frame(scene);
        const std::vector<btVector3> falling = heap();
        EXPECT_NE(falling, dropped);
        clock->seekFrame(clock->frame() + kFps - 1); // next frame: one second after the entry
        frame(scene);
        EXPECT_EQ(heap(), falling);
        EXPECT_EQ(show.scene.previousTimerTime, show.engine.timer->getTime())
            << "the timer is still read, so scene 10 spins from a fresh time";
    }
}

TEST_F(LateScenes, OrbsSceneLightsAnyNonZeroBandAndBand127LightsOrbZero) {
    enter(kOrbsScene);
    quiet();
    levels[5] = kLoud;
    levels[kLightOrbs - 1] = 1e-9f;
    frame(kOrbsScene);
    EXPECT_TRUE(orbLit(0)) << "band 0 is silent, but band 127 wraps onto orb 0";
    EXPECT_TRUE(orbLit(5));
    EXPECT_FALSE(orbLit(6));
    EXPECT_TRUE(orbLit(kLightOrbs - 1)) << "lit since the entry; a sounding band 127 keeps it";

    levels[kLightOrbs - 1] = 0.0f;
    frame(kOrbsScene);
    EXPECT_FALSE(orbLit(0));
    EXPECT_TRUE(orbLit(5));
    EXPECT_FALSE(orbLit(kLightOrbs - 1));

    levels.fill(kLoud);
    frame(kOrbsScene);
    EXPECT_TRUE(orbLit(0));
    EXPECT_FALSE(orbLit(kLightOrbs - 1)) << "no band lights orb 127 once it is out";
}

TEST_F(LateScenes, SnowSceneOrbsFollowTheLastBandOfEachFortyAndTheRestStayLit) {
    enter(kOrbsScene);
    enter(kSnowScene);
    quiet();
    levels[0] = kLoud;   // decided over by band 120
    levels[119] = kLoud; // the last band of orb 39
    frame(kSnowScene);
    EXPECT_FALSE(orbLit(0));
    EXPECT_TRUE(orbLit(39));

    quiet();
    levels[120] = kLoud;
    levels[39] = kLoud; // decided over by band 119
    frame(kSnowScene);
    EXPECT_TRUE(orbLit(0));
    EXPECT_FALSE(orbLit(39));
    for (int i = 40; i < kLightOrbs; ++i)
        EXPECT_TRUE(orbLit(i)) << "orb " << i;

    quiet();
    levels[120] = kEdgeTile; // the same strict edge at 3.0 as the tiles
    frame(kSnowScene);
    EXPECT_FALSE(orbLit(0));
}

TEST_F(LateScenes, StrongBassRestartsTheWhiteFlashOnEveryFrameItLasts) {
    enter(kOrbsScene);
    enter(kSnowScene);
    fader->calls.clear();
    quiet();
    levels[0] = kEdgeBass;
    frame(kSnowScene);
    EXPECT_EQ(fader->count(RecordingFader::Kind::In), 0);
    levels[0] = kStrongBass;
    frame(kSnowScene);
    frame(kSnowScene);
    const RecordingFader::Call flash{RecordingFader::Kind::In, kBassFlashMs};
    EXPECT_EQ(fader->calls, std::vector<RecordingFader::Call>({flash, flash}));
}

TEST_F(LateScenes, PanSweepsWithinRangeThroughSceneEightAndIsRestoredAfter) {
    const int startPan = show.music.track.pan();
    enter(kOrbsScene);
    quiet();
    bool reachedTop = false;
    for (int i = 0; i < 2 * 256; ++i) {
        frame(kOrbsScene);
        const int pan = show.music.track.pan();
        ASSERT_GE(pan, 0) << "frame " << i;
        ASSERT_LE(pan, 255) << "frame " << i;
        reachedTop = reachedTop || pan == 255;
    }
    EXPECT_TRUE(reachedTop);
    enter(kSnowScene);
    EXPECT_EQ(show.music.track.pan(), startPan);
}

// ---- greetings ----

// Reads the position a script gives and notes, at each read, what the scene on screen shows.
class GreetingPort final : public FramePort {
  public:
    struct Seen {
        int scene;
        std::vector<int> greetings, steps;
        int32_t slideCount;
    };
    GreetingPort(Show& show, std::vector<uint32_t> script)
        : show_(show), script_(std::move(script)) {}
    bool deviceRunning() override { return true; }
    bool escapeHeld() override { return false; }
    void readSpectrumThenPosition() override {
        Seen seen{showtest::sceneAt(show_.position), {}, {}, show_.scene.slideCount};
        for (int i = 0; i < kGreetingImages; ++i)
            if (show_.overlay.greetings[i]->isVisible())
                seen.greetings.push_back(i);
        for (int i = 0; i < kStepImages; ++i)
            if (show_.overlay.steps[i]->isVisible())
                seen.steps.push_back(i);
        frames.push_back(seen);
        show_.position = next_ < script_.size() ? script_[next_++] : kPositionAfterEnd;
    }
    void finishFrame() override {}

    std::vector<Seen> frames;

  private:
    Show& show_;
    std::vector<uint32_t> script_;
    size_t next_ = 0;
};

TEST_F(LateScenes, GreetingCutsShowTheirCardEvenAfterAScenesIntervalWasJumped) {
    enter(kOrbsScene);
    enter(kSnowScene);
    // Two or three frames in each scene, skipping scenes 11, 13, 15 and 17 entirely.
    const std::vector<uint32_t> script = {7580000, 7590000, 7640000, 7650000, 7660000,
                                          7700000, 7710000, 7760000, 7770000, 7820000,
                                          7830000, 7850000, 7900000, 8000000};
    const std::vector<SceneRow> greetingRows(rows.begin() + kFirstGreeting - 1,
                                             rows.begin() + kLastGreeting);
    show.position = kSceneStarts[kFirstGreeting - 1];
    GreetingPort port(show, script);
    runTimeline(show, port, greetingRows);

    ASSERT_EQ(port.frames.size(), script.size() + 1);
    int previousScene = 0;
    for (const GreetingPort::Seen& seen : port.frames) {
        SCOPED_TRACE(seen.scene);
        EXPECT_EQ(seen.greetings, std::vector<int>{seen.scene - 9});
        EXPECT_EQ(seen.steps, std::vector<int>{seen.scene - 10});
        if (seen.scene != previousScene)
            EXPECT_EQ(seen.slideCount, 0) << "first frame of the scene";
        else
            EXPECT_GT(seen.slideCount, 0) << "the card slides on every frame the clock moves";
        previousScene = seen.scene;
    }
    // A card slides only in its own scene: the jumped scene 11's card never moved.
    EXPECT_EQ(show.overlay.greetings[2]->getRelativePosition().UpperLeftCorner.Y, 0);
    EXPECT_EQ(show.overlay.greetings[3]->getRelativePosition().UpperLeftCorner.Y, 3);
}

// ---- finale ----

class Finale : public LateScenes {
  protected:
    void SetUp() override {
        LateScenes::SetUp();
        if (HasFatalFailure())
            return;
        for (int scene = kOrbsScene; scene <= kFinaleScene; ++scene)
            enter(scene);
        fader->calls.clear();
        quiet();
    }
};

TEST_F(Finale, TheBeatTestIsStrictInDoublePrecisionAtPointTwo) {
    show.scene.boxCounter = 0;
    const size_t bodies = show.physics.bodyList.size();
    levels[0] = std::nextafter(kBeat, 0.0f);
    frame(kFinaleScene);
    EXPECT_EQ(show.physics.bodyList.size(), bodies);
    levels[0] = kBeat;
    frame(kFinaleScene);
    frame(kFinaleScene);
    EXPECT_EQ(show.physics.bodyList.size(), bodies + 2 * kBricksPerBeat)
        << "four bricks on every beat frame, however long the beat lasts";
    EXPECT_EQ(show.scene.boxCounter, 2 * kBricksPerBeat);
}

TEST_F(Finale, BeatBricksDropFromTheBeatsHeightAtTwoDrawsEach) {
    show.scene.boxCounter = 0;
    const size_t bodies = show.physics.bodyList.size();
    // From a fresh generator (below 100: 41, 67, 34, 0, 69, 24, 78, 58) brick n draws a, then
    // b, and falls from the beat's own strength (0.5 x 100) at (b - 5, 50, a - 5).
    show.random.reset();
    levels[0] = kLoud;
    frame(kFinaleScene);
    ASSERT_EQ(show.physics.bodyList.size(), bodies + kBricksPerBeat);
    const btVector3 expected[kBricksPerBeat] = {
        {62, 50, 36}, {-5, 50, 29}, {19, 50, 64}, {53, 50, 73}};
    for (int i = 0; i < kBricksPerBeat; ++i)
        EXPECT_EQ(origin(bodies + i), expected[i]) << "brick " << i;
}

TEST_F(Finale, TheHeapLeftByEarlierScenesIsClearedOnTheFirstBeat) {
    ASSERT_GT(show.scene.boxCounter, kResetAbove) << "scenes 8 and 9 dropped their bricks";
    const size_t heap = show.physics.bodyList.size();
    frame(kFinaleScene);
    EXPECT_EQ(show.physics.bodyList.size(), heap) << "no beat yet";
    levels[0] = kLoud;
    frame(kFinaleScene);
    EXPECT_EQ(show.physics.bodyList.size(), size_t(1 + kBricksPerBeat)) << "floor and 4 bricks";
    EXPECT_EQ(show.scene.boxCounter, kBricksPerBeat);
    EXPECT_EQ(fader->calls,
              std::vector<RecordingFader::Call>({{RecordingFader::Kind::In, kResetFlashMs}}));
}

TEST_F(Finale, FadeToBlackStartsOnceNearTheEndAndAResetLiftsIt) {
    const int beforeFade = int((show.endMark - kFadeLead) * uint64_t(kFps) / kSampleRate);
    clock->seekFrame(beforeFade - 2);
    for (int i = 0; i < 2 * kFps && !show.scene.fadeStarted; ++i) {
        frame(kFinaleScene);
        const bool past = show.position > show.endMark - kFadeLead;
        EXPECT_EQ(fader->calls.empty(), !past) << "position " << show.position;
    }
    ASSERT_TRUE(show.scene.fadeStarted);
    const std::vector<RecordingFader::Call> fade = {
        {RecordingFader::Kind::Colour, irr::video::SColor(0, 0, 0, 0).color},
        {RecordingFader::Kind::Out, kFadeToBlackMs}};
    EXPECT_EQ(fader->calls, fade);
    frame(kFinaleScene);
    frame(kFinaleScene);
    EXPECT_EQ(fader->calls, fade) << "the fade starts only once";

    show.scene.boxCounter = kResetAbove + 1;
    levels[0] = kLoud;
    frame(kFinaleScene);
    ASSERT_EQ(fader->calls.size(), fade.size() + 1);
    EXPECT_EQ(fader->calls.back(), (RecordingFader::Call{RecordingFader::Kind::In, kResetFlashMs}));
}

} // namespace

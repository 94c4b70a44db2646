// Scenes 10 to 19, the greeting cuts, played through the show's frame loop on a scripted
// position on the null device: which card and step each shows, and how its card slides.
#include "common/scene_fixture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace show;

namespace {

constexpr int kFps = 50;
constexpr int kOrbsScene = 8;
constexpr int kSnowScene = 9;
constexpr int kFirstGreeting = 10;
constexpr int kLastGreeting = 19;

// The whole show on the null device, models or not: the cards and steps are overlay images.
class Greetings : public showtest::SceneFixture {
  protected:
    Greetings() : SceneFixture(kFps) {}
};

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
        Seen seen{showtest::sceneAt(show_.position), {}, {}, show_.scene.greetings.slideCount};
        for (int i = 0; i < kGreetingImages; ++i)
            if (show_.overlay.greetings[i]->isVisible())
                seen.greetings.push_back(i);
        for (int i = 0; i < kStepImages; ++i)
            if (show_.overlay.steps[i]->isVisible())
                seen.steps.push_back(i);
        frames.push_back(seen);
        show_.position = next_ < script_.size() ? script_[next_++] : kPositionAfterEnd;
    }
    void beginFrame(FrameStart, bool) override {}
    void endFrame(bool) override {}

    std::vector<Seen> frames;

  private:
    Show& show_;
    std::vector<uint32_t> script_;
    size_t next_ = 0;
};

TEST_F(Greetings, GreetingCutsShowTheirCardEvenAfterAScenesIntervalWasJumped) {
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

} // namespace

// Scenes driven frame by frame with a scripted spectrum on the virtual clock, on the engine's
// null device: the show as start-up builds it, a scene's hand-over, and its frames through the
// show's own frame loop without the drawing. State after each step, no pixels.
#pragma once

#include "common/show_fixture.h"
#include "scenes/scene_table.h"
#include "scenes/show.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace showtest {

class SceneFixture : public ::testing::Test {
  protected:
    explicit SceneFixture(int fps) : fps_(fps) {}
    void SetUp() override {
        ASSERT_EQ(openNullShow(show, fps_), show::StartupResult::Ready)
            << "needs the built track: " << builtTrack();
        clock = static_cast<show::VirtualTime*>(show.time.get());
        rows = show::showScenes(show.endMark);
        for (show::SceneRow& r : rows)
            r.render = nullptr; // a null device has no render targets
    }
    void TearDown() override { show::shutdownShow(show); }

    const show::SceneRow& row(int scene) const { return rows[scene - 1]; }
    // The hand-over runs after the last frame of the scene before, on that frame's clock.
    void enter(int scene) {
        clock->beginFrame();
        row(scene).enter(show);
    }
    // One frame of a scene through the show's frame loop, on the levels given.
    void frame(int scene, const std::array<float, show::kSpectrumBands>& levels) {
        ASSERT_TRUE(runSceneFrame(show, row(scene), levels)) << "the track has ended";
    }

    show::Show show;
    show::VirtualTime* clock = nullptr;
    std::vector<show::SceneRow> rows;

  private:
    int fps_;
};

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

// The show with the built archive's models, driven by the first band over the others at rest.
class ModelSceneFixture : public SceneFixture {
  protected:
    explicit ModelSceneFixture(int fps) : SceneFixture(fps) {}
    void SetUp() override {
        SceneFixture::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_NE(show.world.twirlGrid[0], nullptr)
            << "the asset generator's archive is missing: " << builtArchive();
    }
    using SceneFixture::frame;
    // One frame with band 0 at bass and every other band at rest.
    void frame(int scene, float bass, float rest = 0.0f) {
        std::array<float, show::kSpectrumBands> bands;
        bands.fill(rest);
        bands[0] = bass;
        frame(scene, bands);
    }
};

// The show with its fader replaced by one that notes what it is asked, driven by `levels`.
class FaderSceneFixture : public SceneFixture {
  protected:
    explicit FaderSceneFixture(int fps) : SceneFixture(fps) {}
    void SetUp() override {
        SceneFixture::SetUp();
        if (HasFatalFailure())
            return;
        engineFader = show.overlay.fader;
        fader = new RecordingFader(show.engine.gui);
        show.overlay.fader = fader;
    }
    void TearDown() override {
        if (fader) {
            show.overlay.fader = engineFader;
            fader->drop();
        }
        SceneFixture::TearDown();
    }
    // One frame on whatever the test put in `levels`.
    void frame(int scene) { SceneFixture::frame(scene, levels); }
    void quiet() { levels.fill(0.0f); }

    std::array<float, show::kSpectrumBands> levels{};
    RecordingFader* fader = nullptr;
    irr::gui::IGUIInOutFader* engineFader = nullptr;
};

} // namespace showtest

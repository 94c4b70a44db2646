// The demo's player, driven by its keys in a real window: where it starts (--from), a seek
// forward, a seek back, scene jumps and a loop each land on the frame that straight play
// shows there, and a loop starts the show again with nothing left of the pass before.
// Straight play is demo-capture drawing every frame from the start; frames are judged by the
// program tests' same-frame judge.
#include "common/gl_fixture.h"
#include "common/show_fixture.h"
#include "host/player.h"
#include "host/startup.h"
#include "host/timeline.h"
#include "scenes/scene_table.h"
#include "scenes/show.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace show;

namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 120;
constexpr int kFps = 5; // the player's skip rate and the capture's rate alike

std::string framePath(const std::string& dir, int64_t frame) {
    char name[64];
    std::snprintf(name, sizeof name, "/frame_%06lld.png", static_cast<long long>(frame));
    return dir + name;
}

// Straight play: every frame of the show drawn from the start up to `seconds`.
std::string straightPlay(double seconds) {
    static std::string dir;
    if (dir.empty()) {
        dir = gltest::outputPath("player_straight");
        std::filesystem::remove_all(dir);
        const std::string command = std::string("cd '") + TEST_BUILD_DIR +
                                    "' && ./demo-capture --size 160x120 --fps " +
                                    std::to_string(kFps) + " --to " + std::to_string(seconds) +
                                    " --png '" + dir + "' >/dev/null 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
    }
    return dir;
}

bool sameFrame(const std::string& a, const std::string& b) {
    const std::string command =
        "python3 '" TEST_SOURCE_DIR "/tests/common/program/same_picture.py' '" + a + "' '" + b + "'";
    return std::system(command.c_str()) == 0;
}

void key(Show& show, irr::EKEY_CODE code, bool down) {
    irr::SEvent event{};
    event.EventType = irr::EET_KEY_INPUT_EVENT;
    event.KeyInput.Key = code;
    event.KeyInput.PressedDown = down;
    show.receiver->OnEvent(event);
}

void press(Show& show, irr::EKEY_CODE code) {
    key(show, code, true);
    key(show, code, false);
}

// Escape ends the show while it is held.
void holdEscape(Show& show) {
    key(show, irr::KEY_ESCAPE, true);
}

// What a pass of the show leaves behind, as counts a fresh start can be held against.
struct Leftovers {
    int sceneNodes = 0;
    int guiElements = 0;
    size_t bodies = 0;
    std::vector<int> affectors;
    irr::core::position2di creditsLine;
    int32_t boxCounter = -1;
    int32_t creditSlide = -1;
    int32_t cardSlide = -1;
    int nextRandom = -1;
    int nextEngineRandom = -1; // what the particle emitters draw next

    bool operator==(const Leftovers& o) const {
        return sceneNodes == o.sceneNodes && guiElements == o.guiElements && bodies == o.bodies &&
               affectors == o.affectors && creditsLine == o.creditsLine &&
               boxCounter == o.boxCounter && creditSlide == o.creditSlide &&
               cardSlide == o.cardSlide && nextRandom == o.nextRandom &&
               nextEngineRandom == o.nextEngineRandom;
    }
};

int countNodes(irr::scene::ISceneNode* node) {
    int n = 1;
    for (irr::scene::ISceneNode* child : node->getChildren())
        n += countNodes(child);
    return n;
}

int countElements(irr::gui::IGUIElement* element) {
    int n = 1;
    for (irr::gui::IGUIElement* child : element->getChildren())
        n += countElements(child);
    return n;
}

Leftovers leftovers(Show& show) {
    Leftovers l;
    l.sceneNodes = countNodes(show.engine.smgr->getRootSceneNode());
    l.guiElements = countElements(show.engine.gui->getRootGUIElement());
    l.bodies = show.physics.bodyList.size();
    for (auto* fountain : show.world.fountains)
        l.affectors.push_back(fountain ? int(fountain->getAffectors().getSize()) : -1);
    l.affectors.push_back(int(show.world.attractorFountain->getAffectors().getSize()));
    l.creditsLine = show.overlay.credits->getRelativePosition().UpperLeftCorner;
    l.boxCounter = show.scene.boxCounter;
    l.creditSlide = show.scene.credits.slideCount;
    l.cardSlide = show.scene.greetings.slideCount;
    Random copy = show.random;
    l.nextRandom = copy.next();
    l.nextEngineRandom = show.engine.device->getRandomizer()->rand();
    return l;
}

// The player in a test window, silent, skipping at kFps; a hook sees every landing frame.
class ScriptedPort final : public PlayerPort {
  public:
    using Hook = std::function<void(Show&, int64_t frame, int landing)>;
    ScriptedPort(Show& show, PlayerTime& time, const std::vector<SceneRow>& rows, Hook hook)
        : PlayerPort(show, time, rows), time_(time), hook_(std::move(hook)) {}
    int landings = 0;

  protected:
    void landingDrawn() override {
        const int64_t frame = int64_t(show_.position) * time_.fps() / kSampleRate;
        hook_(show_, frame, landings++);
    }

  private:
    PlayerTime& time_;
    Hook hook_;
};

struct PlayerRun {
    Show show;
    std::vector<SceneRow> rows;
    std::unique_ptr<ScriptedPort> port;

    bool start(ScriptedPort::Hook hook) {
        gltest::holdDisplay();
        const std::string archive = showtest::builtArchive();
        StartupOptions options =
            showtest::windowedShowOptions(kWidth, kHeight, kFps, archive.c_str());
        options.virtualTime = false;
        options.sound = SoundMode::Off;
        options.skipFps = kFps;
        if (startShow(show, options) != StartupResult::Ready)
            return false;
        beginShow(show);
        rows = showScenes(show.endMark);
        port = std::make_unique<ScriptedPort>(show, static_cast<PlayerTime&>(*show.time), rows,
                                              std::move(hook));
        return true;
    }
    ~PlayerRun() { shutdownShow(show); }
};

} // namespace

TEST(Player, EveryControlLandsOnTheFrameStraightPlayShows) {
    const std::string straight = straightPlay(200.0);
    const std::string mine = gltest::outputPath("player_landings");
    std::filesystem::remove_all(mine);
    std::filesystem::create_directories(mine);
    std::vector<int64_t> landed;
    PlayerRun run;
    ASSERT_TRUE(run.start([&](Show& show, int64_t frame, int landing) {
        landed.push_back(frame);
        gltest::writePng(show.engine.driver, gltest::readScreen(show.engine.driver),
                         framePath(mine, frame) + "_" + std::to_string(landing) + ".png");
        switch (landing) {
        case 0: // --from 80 s: the credits, bricks already falling
            press(show, irr::KEY_RIGHT);
            break;
        case 1: // 90 s, the second credits scene
            press(show, irr::KEY_LEFT);
            break;
        case 2: // back at 80 s, built again from the start
            for (int i = 0; i < 4; ++i)
                press(show, irr::KEY_NEXT);
            break;
        case 3: // the brick rain of scene 9, from its first frame
            for (int i = 0; i < 11; ++i)
                press(show, irr::KEY_NEXT);
            break;
        case 4: // the finale's first frame
            press(show, irr::KEY_RIGHT);
            break;
        default: // ten seconds into the finale
            holdEscape(show);
            break;
        }
    }));
    const ShowEnd end = playShow(run.show, *run.port, run.rows, 80 * kFps, false);
    EXPECT_EQ(end, ShowEnd::Escaped);

    // Frame numbers: seconds times the rate, and a scene's first frame rounded up.
    const int64_t scene9 = (int64_t(kSceneStarts[8]) * kFps + kSampleRate - 1) / kSampleRate;
    const int64_t scene20 = (int64_t(kSceneStarts[19]) * kFps + kSampleRate - 1) / kSampleRate;
    const std::vector<int64_t> expected = {80 * kFps, 90 * kFps, 80 * kFps,
                                           scene9,    scene20,   scene20 + 10 * kFps};
    ASSERT_EQ(landed, expected);
    for (size_t i = 0; i < landed.size(); ++i)
        EXPECT_TRUE(sameFrame(framePath(mine, landed[i]) + "_" + std::to_string(i) + ".png",
                              framePath(straight, landed[i])))
            << "landing " << i << " at frame " << landed[i];
}

TEST(Player, ALoopStartsTheShowAgainWithNothingLeftOfThePassBefore) {
    std::vector<Leftovers> atStart;
    std::vector<int64_t> landed;
    PlayerRun run;
    ASSERT_TRUE(run.start([&](Show& show, int64_t frame, int landing) {
        landed.push_back(frame);
        if (frame == 0)
            atStart.push_back(leftovers(show));
        // Twice ten seconds ten times: to the finale's last seconds, with bricks in the world
        // and affectors changed on the way; the show then plays to its end and loops.
        if (landing < 2)
            for (int i = 0; i < 10; ++i)
                press(show, irr::KEY_RIGHT);
        if (landing == 3)
            holdEscape(show);
    }));
    const ShowEnd end = playShow(run.show, *run.port, run.rows, 0, true);
    EXPECT_EQ(end, ShowEnd::Escaped);
    ASSERT_EQ(landed.size(), 4u);
    EXPECT_EQ(landed[2], 200 * kFps);
    EXPECT_EQ(landed[3], 0) << "the loop starts at the show's first frame";
    ASSERT_EQ(atStart.size(), 2u);
    EXPECT_TRUE(atStart[0] == atStart[1]);
    EXPECT_EQ(atStart[1].bodies, 0u);
}

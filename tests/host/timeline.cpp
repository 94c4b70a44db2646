// The frame loop: which scene runs when, what runs at every hand-over, and how the show ends.
#include "host/timeline.h"
#include "scenes/scene_table.h"
#include "scenes/show.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace show;

namespace {

std::vector<std::string>* journal = nullptr;

void note(const std::string& what) {
    journal->push_back(what);
}

// A port whose play position follows a script: one entry per frame's read.
class ScriptedPort : public FramePort {
  public:
    ScriptedPort(Show& show, std::vector<uint32_t> positions)
        : show_(show), positions_(std::move(positions)) {}
    bool deviceRunning() override { return framesUntilClose-- != 0; }
    bool escapeHeld() override { return reads_ == escapeAtRead; }
    void readSpectrumThenPosition() override {
        note("read");
        show_.position = reads_ < positions_.size() ? positions_[reads_] : kPositionAfterEnd;
        ++reads_;
    }
    bool frameStarted(const SceneRow&) override { return drawing; }
    void beginFrame(FrameStart start, bool drawn) override {
        note(std::string("begin") + (start == FrameStart::Cleared ? " cleared" : "") +
             (drawn ? "" : " undrawn"));
    }
    void endFrame(bool drawn) override { note(drawn ? "end" : "end undrawn"); }

    int framesUntilClose = -1; // -1: the window stays open
    size_t escapeAtRead = size_t(-1);
    bool drawing = true;

  private:
    Show& show_;
    std::vector<uint32_t> positions_;
    size_t reads_ = 0;
};

int currentScene = 0;
template <int N> void enter(Show&) {
    currentScene = N;
    note("enter " + std::to_string(N));
}
void before(Show&) {
    note("before");
}
void update(Show&) {
    note("update " + std::to_string(currentScene));
}
void render(Show&, const FrameDraw& frame) {
    note(frame.drawn ? "render" : "render undrawn");
}
void after(Show&) {
    note("after");
}

std::vector<SceneRow> threeScenes() {
    std::vector<SceneRow> rows(3);
    const uint32_t bounds[] = {0, 100, 200, 300};
    const SceneStep enters[] = {enter<1>, enter<2>, enter<3>};
    for (int i = 0; i < 3; ++i) {
        rows[i].number = i + 1;
        rows[i].from = bounds[i];
        rows[i].toExclusive = bounds[i + 1];
        rows[i].enter = enters[i];
        rows[i].update = update;
    }
    return rows;
}

class Timeline : public ::testing::Test {
  protected:
    void SetUp() override {
        journal = &log;
        show.time = std::make_unique<VirtualTime>(60, 1000, nullptr);
    }
    void TearDown() override { journal = nullptr; }
    std::vector<std::string> log;
    Show show;
};

} // namespace

TEST_F(Timeline, FrameStepsRunInOrderAroundOneRead) {
    std::vector<SceneRow> rows = threeScenes();
    rows[0].beforeRead = before;
    rows[0].render = render;
    rows[0].afterFrame = after;
    rows[0].start = FrameStart::Cleared;
    ScriptedPort port(show, {500});
    EXPECT_EQ(runTimeline(show, port, rows), ShowEnd::Finished);
    const std::vector<std::string> expected = {"enter 1",       "before", "read", "update 1",
                                               "begin cleared", "render", "end",  "after",
                                               "enter 2",       "enter 3"};
    EXPECT_EQ(log, expected);
    EXPECT_EQ(show.quitCode, kQuitRequested);
}

// A port that skips a frame still has the timeline bracket it, and the scene is told.
TEST_F(Timeline, AnUndrawnFrameIsBracketedAndItsRenderIsToldSo) {
    std::vector<SceneRow> rows = threeScenes();
    rows[0].render = render;
    ScriptedPort port(show, {500});
    port.drawing = false;
    runTimeline(show, port, rows);
    const std::vector<std::string> expected = {"enter 1",       "read",           "update 1",
                                               "begin undrawn", "render undrawn", "end undrawn",
                                               "enter 2",       "enter 3"};
    EXPECT_EQ(log, expected);
}

TEST_F(Timeline, AScenesFirstFrameUsesThePositionReadInTheLastFrameBefore) {
    ScriptedPort port(show, {50, 99, 100, 250, 300});
    runTimeline(show, port, threeScenes());
    // Scene 1 sees 0 (the start), 50 and 99; reading 100 ends it; scene 2 runs one frame
    // with 100 as its guard; scene 3 one frame with 250.
    const std::vector<std::string> expected = {
        "enter 1", "read", "update 1", "begin", "end",      "read",    "update 1", "begin",
        "end",     "read", "update 1", "begin", "end",      "enter 2", "read",     "update 2",
        "begin",   "end",  "enter 3",  "read",  "update 3", "begin",   "end"};
    EXPECT_EQ(log, expected);
}

TEST_F(Timeline, AJumpedSceneRunsNoFrameButItsHandOverStillRuns) {
    ScriptedPort port(show, {250, 300});
    runTimeline(show, port, threeScenes());
    const std::vector<std::string> expected = {"enter 1",  "read",    "update 1", "begin",
                                               "end",      "enter 2", "enter 3",  "read",
                                               "update 3", "begin",   "end"};
    EXPECT_EQ(log, expected);
}

TEST_F(Timeline, EscapeEndsTheShowInThatFrameWithoutLaterHandOvers) {
    ScriptedPort port(show, {50, 150, 160, 170});
    port.escapeAtRead = 2; // held at the start of the third frame
    EXPECT_EQ(runTimeline(show, port, threeScenes()), ShowEnd::Escaped);
    EXPECT_EQ(show.quitCode, kQuitRequested);
    EXPECT_EQ(log.back(), "enter 2");
    EXPECT_EQ(std::count(log.begin(), log.end(), "read"), 2);
}

TEST_F(Timeline, AClosedWindowRunsEveryRemainingHandOverAndNoFrame) {
    ScriptedPort port(show, {50, 60, 70});
    port.framesUntilClose = 1;
    EXPECT_EQ(runTimeline(show, port, threeScenes()), ShowEnd::Finished);
    const std::vector<std::string> expected = {"enter 1", "read",    "update 1", "begin",
                                               "end",     "enter 2", "enter 3"};
    EXPECT_EQ(log, expected);
}

TEST(SceneTable, IntervalsTileTheTrackUpToTheEndMark) {
    const uint32_t endMark = endMarkFor(8820013);
    const std::vector<SceneRow> rows = showScenes(endMark);
    ASSERT_EQ(rows.size(), size_t(kSceneCount));
    EXPECT_EQ(rows.front().from, 0u);
    // Each boundary's last sample is the scene before's, its first the scene after's: every
    // position up to the end mark lies in exactly one scene, and the scenes come in order.
    for (size_t i = 1; i < rows.size(); ++i) {
        SCOPED_TRACE(rows[i].number);
        EXPECT_EQ(rows[i].number, rows[i - 1].number + 1);
        EXPECT_EQ(rows[i].from, rows[i - 1].toExclusive);
        EXPECT_LT(rows[i - 1].from, rows[i].from) << "an empty scene";
        EXPECT_TRUE(rows[i - 1].contains(rows[i].from - 1));
        EXPECT_FALSE(rows[i - 1].contains(rows[i].from));
        EXPECT_TRUE(rows[i].contains(rows[i].from));
        EXPECT_FALSE(rows[i].contains(rows[i].from - 1));
    }
    EXPECT_TRUE(rows[19].contains(endMark));
    EXPECT_FALSE(rows[19].contains(endMark + 1));
    for (const SceneRow& row : rows)
        EXPECT_FALSE(row.contains(kPositionAfterEnd)) << "scene " << row.number;
}

TEST(VirtualClock, FrameNIsAtItsOwnPositionAndTime) {
    VirtualTime time(60, 44100 * 10, nullptr);
    time.beginFrame();
    EXPECT_EQ(time.playPosition(), 0u);
    EXPECT_EQ(time.clockMs(), 0);
    for (int i = 0; i < 90; ++i)
        time.beginFrame();
    EXPECT_EQ(time.playPosition(), 66150u); // frame 90 at 60 fps: 1.5 s
    EXPECT_EQ(time.clockMs(), 1500);
    time.seekFrame(600);
    time.beginFrame();
    EXPECT_EQ(time.playPosition(), kPositionAfterEnd); // the track has ended
}

// The benchmark: where each frame's time is measured, and the figures made from it.
#include "bench.h"

#include "host/timeline.h"
#include "scenes/show.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace capture;
using namespace show;

namespace {

std::vector<std::string>* journal = nullptr;
void note(const std::string& what) {
    journal->push_back(what);
}

// Records the hooks among the frame's steps; the position moves 100 samples a frame.
class HookPort : public FramePort {
  public:
    explicit HookPort(Show& show) : show_(show) {}
    bool deviceRunning() override { return true; }
    bool escapeHeld() override { return false; }
    void readSpectrumThenPosition() override { show_.position += 100; }
    void beginFrame(FrameStart, bool) override { note("begin"); }
    void endFrame(bool) override { note("end"); }
    bool frameStarted(const SceneRow& row) override {
        note("started " + std::to_string(row.number));
        return true;
    }
    void drawingStarted() override { note("drawing"); }

  private:
    Show& show_;
};

void update(Show&) {
    note("update");
}
void render(Show&, const FrameDraw&) {
    note("render");
}
void after(Show&) {
    note("after");
}

} // namespace

TEST(CaptureBench, HooksSplitEachFrameIntoLogicThenDrawingOfItsOwnScene) {
    std::vector<std::string> log;
    journal = &log;
    Show show;
    show.time = std::make_unique<VirtualTime>(60, 1000, nullptr);
    std::vector<SceneRow> rows(2);
    for (int i = 0; i < 2; ++i) {
        rows[i].number = i + 1;
        rows[i].from = uint32_t(100 * i);
        rows[i].toExclusive = uint32_t(100 * (i + 1));
        rows[i].update = update;
        rows[i].render = render;
        rows[i].afterFrame = after;
    }
    HookPort port(show);
    runTimeline(show, port, rows);
    journal = nullptr;
    const std::vector<std::string> frame = {"update", "drawing", "begin", "render", "end", "after"};
    std::vector<std::string> expected = {"started 1"};
    expected.insert(expected.end(), frame.begin(), frame.end());
    expected.push_back("started 2");
    expected.insert(expected.end(), frame.begin(), frame.end());
    EXPECT_EQ(log, expected);
}

TEST(CaptureBench, MedianAndHighPercentileFollowTheirDefinitions) {
    EXPECT_EQ(median({}), 0.0);
    EXPECT_EQ(median({3.0f, 1.0f, 2.0f}), 2.0);
    EXPECT_EQ(median({4.0f, 1.0f, 3.0f, 2.0f}), 2.5);
    std::vector<float> hundred;
    for (int i = 100; i >= 1; --i)
        hundred.push_back(float(i));
    EXPECT_EQ(percentile(hundred, 0.95), 95.0);
    EXPECT_EQ(percentile({7.0f}, 0.95), 7.0);
    EXPECT_EQ(percentile({1.0f, 2.0f, 3.0f}, 0.95), 3.0);
}

TEST(CaptureBench, SummariesKeepScenesApartAndAddUpInTheLastRow) {
    std::vector<SceneRow> rows(3);
    for (int i = 0; i < 3; ++i) {
        rows[i].number = i + 1;
        rows[i].from = uint32_t(44100 * i);
        rows[i].toExclusive = uint32_t(44100 * (i + 1));
    }
    BenchTable table(rows, 10);
    for (int i = 0; i < 10; ++i)
        table.add(1, 1.0f, 10.0f + i);
    table.add(3, 5.0f, 50.0f);
    const std::vector<Summary> s = table.summaries();
    ASSERT_EQ(s.size(), 3u); // scene 2 ran no frame
    EXPECT_EQ(s[0].scene, 1);
    EXPECT_EQ(s[0].frames, 10u);
    EXPECT_EQ(s[0].logicMedian, 1.0);
    EXPECT_EQ(s[0].drawMedian, 14.5);
    EXPECT_EQ(s[0].drawHigh, 19.0);
    EXPECT_EQ(s[0].totalHigh, 20.0);
    EXPECT_EQ(s[1].scene, 3);
    EXPECT_EQ(s[1].frames, 1u);
    EXPECT_EQ(s[2].scene, kAllScenes);
    EXPECT_EQ(s[2].frames, 11u);
    EXPECT_EQ(s[2].drawHigh, 50.0);
    const std::string text = formatTable(s);
    EXPECT_NE(text.find("all"), std::string::npos);
}

// A short track ends before the last scenes begin: their intervals run backwards (from past
// the end mark), which must read as empty rather than as room for billions of frames.
TEST(CaptureBench, ScenesThatStartAfterAShortTrackEndsRunNoFrames) {
    std::vector<SceneRow> rows(2);
    rows[0] = {1, 0, 44100};
    rows[1] = {2, 8000000, 44100};
    BenchTable table(rows, 60);
    table.add(1, 1.0f, 2.0f);
    const std::vector<Summary> s = table.summaries();
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[0].scene, 1);
    EXPECT_EQ(s[1].frames, 1u);
}

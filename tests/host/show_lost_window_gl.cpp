// Losing the window in the middle of a scene, in each way a desktop can take it: the device
// stops running, every remaining hand-over still runs with no frame drawn, and the show ends
// through its shutdown as it does after the last scene.
#include "show_driver.h"

#include <gtest/gtest.h>
// After gtest: Xlib's macros (None, Bool) would rename gtest's own names.
#include <X11/Xlib.h>

#include <cstdlib>
#include <functional>

namespace {

constexpr int kCloseInScene = 2;
constexpr int kCloseAfterFramesOfScene = 3;
// Errors and events reach the engine at its next look at the connection, not at once.
constexpr int kFramesToNotice = 3;

// Does something to the show's window from a second client, as a window manager or xdotool.
void fromAnotherClient(show::Show& s, const std::function<void(Display*, Window)>& act) {
    const auto& video = s.engine.driver->getExposedVideoData();
    Display* other = XOpenDisplay(nullptr);
    ASSERT_NE(other, nullptr);
    act(other, Window(video.OpenGLLinux.X11Window));
    XSync(other, False);
    XCloseDisplay(other);
}

void closeByWindowManager(Display* d, Window w) {
    XEvent close{};
    close.xclient.type = ClientMessage;
    close.xclient.window = w;
    close.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    close.xclient.format = 32;
    close.xclient.data.l[0] = long(XInternAtom(d, "WM_DELETE_WINDOW", False));
    close.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, w, False, NoEventMask, &close);
}

void destroyWindow(Display* d, Window w) {
    XDestroyWindow(d, w);
}

void killClient(Display* d, Window w) {
    XKillClient(d, w);
}

void expectRemainingHandOversRun(void (*action)(Display*, Window)) {
    showdriver::ShowPlan plan;
    int closedAt = -1;
    int scenesEnteredBefore = 0;
    int framesInScene = 0;
    plan.onFrame = [&](show::Show& s, int scene, int frame) {
        if (closedAt < 0 && scene == kCloseInScene) {
            if (++framesInScene == kCloseAfterFramesOfScene) {
                closedAt = frame;
                scenesEnteredBefore = scene;
                fromAnotherClient(s, action);
            }
        }
    };
    const showdriver::ShowReport report = showdriver::playShow(plan);
    ASSERT_EQ(report.startup, show::StartupResult::Ready);
    ASSERT_GE(closedAt, 0) << "the show never reached scene " << kCloseInScene;
    EXPECT_EQ(report.end, show::ShowEnd::Finished);
    EXPECT_EQ(report.quitCode, show::kQuitRequested);
    EXPECT_EQ(report.enteredCount(), show::kSceneCount);
    EXPECT_LE(report.totalFrames - 1 - closedAt, kFramesToNotice);
    for (int scene = scenesEnteredBefore + 1; scene <= show::kSceneCount; ++scene)
        EXPECT_EQ(report.frames[scene - 1], 0) << "scene " << scene << " drew without a window";
}

} // namespace

TEST(ShowLosingTheWindow, ClosedByTheWindowManager) {
    expectRemainingHandOversRun(closeByWindowManager);
}

TEST(ShowLosingTheWindow, DestroyedByAnotherClient) {
    expectRemainingHandOversRun(destroyWindow);
}

// The process's own connection to the display is gone afterwards, so this case runs in a
// process of its own: the tests around it keep theirs, whatever order they run in.
TEST(ShowLosingTheWindow, ClientKilledFromTheServer) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            expectRemainingHandOversRun(killClient);
            std::exit(::testing::Test::HasFailure() ? 1 : 0);
        },
        ::testing::ExitedWithCode(0), "");
}

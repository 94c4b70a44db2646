// Plays the whole show in-process through the virtual clock, as the demo would play it, and
// tells what happened: how start-up and the show ended, which hand-overs ran, how many frames
// each scene drew. A hook sees every drawn frame (to close the window, sample memory, ...).
#pragma once

#include "host/startup.h"
#include "host/timeline.h"
#include "scenes/scene_table.h"
#include "scenes/show.h"

#include <array>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace showdriver {

struct ShowReport {
    show::StartupResult startup = show::StartupResult::NoDevice;
    show::ShowEnd end = show::ShowEnd::Escaped;
    std::array<bool, show::kSceneCount> entered{};
    std::array<int, show::kSceneCount> frames{};
    int totalFrames = 0;
    int32_t quitCode = 0;

    int enteredCount() const {
        int n = 0;
        for (bool e : entered)
            n += e;
        return n;
    }
};

// scene is 1..20; frame counts the frames of the whole show from 0.
using FrameHook = std::function<void(show::Show&, int scene, int frame)>;

struct ShowPlan {
    int width = 160;
    int height = 120;
    int fps = 10;
    std::string archive = TEST_BUILD_DIR "/data.lll";
    // HARDEN_SHOW_TRACK replaces the build's track (the leak check plays a short one).
    std::string track = std::getenv("HARDEN_SHOW_TRACK") ? std::getenv("HARDEN_SHOW_TRACK")
                                                         : TEST_BUILD_DIR
                            "/track/pelomvin_track.mp3";
    FrameHook onFrame;
};

namespace detail {

inline std::array<show::SceneStep, show::kSceneCount> originalEnter{};
inline ShowReport* report = nullptr;
inline int currentScene = 0;

template <int I> void countedEnter(show::Show& s) {
    currentScene = I + 1;
    report->entered[I] = true;
    if (originalEnter[I])
        originalEnter[I](s);
}

template <size_t... I>
void wrapEnters(std::vector<show::SceneRow>& rows, std::index_sequence<I...>) {
    ((originalEnter[I] = rows[I].enter, rows[I].enter = &countedEnter<int(I)>), ...);
}

class CountingPort : public show::EngineFramePort {
  public:
    CountingPort(show::Show& s, const FrameHook& hook) : EngineFramePort(s), hook_(hook) {}

  protected:
    void frameDrawn() override {
        ++report->frames[currentScene - 1];
        const int frame = report->totalFrames++;
        if (hook_)
            hook_(show_, currentScene, frame);
    }

  private:
    const FrameHook& hook_;
};

} // namespace detail

// Start-up, show start, the twenty scenes, shutdown: the demo's main without its exits.
inline ShowReport playShow(const ShowPlan& plan) {
    ShowReport result;
    show::StartupOptions options;
    options.commandLine.width = plan.width;
    options.commandLine.height = plan.height;
    options.commandLine.fullscreen = false;
    options.virtualTime = true;
    options.fps = plan.fps;
    options.vsync = false;
    options.archive = plan.archive.c_str();
    options.track = plan.track.c_str();

    show::Show s;
    result.startup = show::startShow(s, options);
    if (result.startup == show::StartupResult::Ready) {
        show::beginShow(s);
        std::vector<show::SceneRow> rows = show::showScenes(s.endMark);
        detail::report = &result;
        detail::currentScene = 0;
        detail::wrapEnters(rows, std::make_index_sequence<show::kSceneCount>());
        detail::CountingPort port(s, plan.onFrame);
        result.end = show::runTimeline(s, port, rows);
        detail::report = nullptr;
    }
    result.quitCode = s.quitCode;
    show::shutdownShow(s);
    return result;
}

} // namespace showdriver

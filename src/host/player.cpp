#include "host/player.h"

#include "host/startup.h"
#include "scenes/show.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace show {
namespace {

// While paused, the window is still looked at this often (for the keys and for closing).
constexpr std::chrono::milliseconds kPausedLook(10);

} // namespace

PlayerPort::PlayerPort(Show& show, PlayerTime& time, const std::vector<SceneRow>& rows)
    : EngineFramePort(show), time_(time), rows_(rows) {}

int64_t PlayerPort::landingAt(uint32_t position) const {
    return time_.frameAt(position);
}

int64_t PlayerPort::landingAtScene(int scene) const {
    // The scene's first frame: the first whose position lies at or after the scene's start.
    const int64_t fps = time_.fps();
    const int64_t from = rows_[size_t(scene - 1)].from;
    return (from * fps + kSampleRate - 1) / kSampleRate;
}

void PlayerPort::startPass(int64_t landing) {
    landing_ = std::max<int64_t>(landing, 0);
    skipped_ = 0;
    interrupt_ = false;
    paused_ = false;
    landed_ = false;
    time_.startPass(landing_);
    // The status text is made anew with the show; the viewer's choice outlives the pass.
    if (show_.overlay.status)
        show_.overlay.status->setVisible(frameRateShown_);
}

bool PlayerPort::deviceRunning() {
    if (interrupt_)
        return false;
    if (time_.skipping() && ++skipped_ % kSkipFramesPerLook != 0)
        return true;
    windowOpen_ = show_.engine.device->run();
    takePresses();
    // Escape is a held key, as for the frame loop: seen held, it ends the pause, and the
    // frame's Escape test then ends the show.
    while (windowOpen_ && paused_ && !interrupt_ && !show_.receiver->keyState(irr::KEY_ESCAPE)) {
        std::this_thread::sleep_for(kPausedLook);
        windowOpen_ = show_.engine.device->run();
        takePresses();
    }
    // Escape ends the show through the frame loop's own test, at the top of the next frame.
    return windowOpen_ && !interrupt_;
}

bool PlayerPort::frameStarted(const SceneRow&) {
    const bool drawn = !time_.skipping();
    landingFrame_ = drawn && !landed_;
    landed_ = landed_ || landingFrame_;
    return drawn;
}

void PlayerPort::frameDrawn() {
    if (landingFrame_)
        landingDrawn();
}

void PlayerPort::rewind() {
    time_.rewind();
}

void PlayerPort::takePresses() {
    irr::EKEY_CODE key;
    while (show_.receiver->takePress(key))
        press(key);
}

void PlayerPort::press(irr::EKEY_CODE key) {
    switch (key) {
    case irr::KEY_SPACE:
        setPaused(!paused_);
        break;
    case irr::KEY_KEY_F:
        frameRateShown_ = !frameRateShown_;
        if (show_.overlay.status)
            show_.overlay.status->setVisible(frameRateShown_);
        break;
    case irr::KEY_RIGHT:
        seekTo(int64_t(standing()) + kSeekStep, false);
        break;
    case irr::KEY_LEFT:
        seekTo(std::max<int64_t>(int64_t(standing()) - kSeekStep, 0), false);
        break;
    case irr::KEY_NEXT: { // Page Down
        const uint32_t at = standing();
        for (const SceneRow& row : rows_)
            if (row.from > at) {
                seekTo(row.from, true);
                return;
            }
        seekTo(int64_t(rows_.back().toExclusive), true); // past the last scene: the end
        break;
    }
    case irr::KEY_PRIOR: { // Page Up
        const uint32_t at = standing();
        for (size_t i = rows_.size(); i-- > 0;) {
            if (!rows_[i].contains(at) && rows_[i].from > at)
                continue;
            const bool restart = at - rows_[i].from > kRestartSceneAfter || i == 0;
            seekTo(restart ? rows_[i].from : rows_[i - 1].from, true);
            return;
        }
        break;
    }
    default:
        break;
    }
}

uint32_t PlayerPort::standing() const {
    if (interrupt_)
        return asked_;
    if (!time_.live()) {
        const int64_t position = landing_ * kSampleRate / time_.fps();
        return static_cast<uint32_t>(position);
    }
    // After the track's end the show stands at its last scene's end.
    return std::min(show_.position, rows_.back().toExclusive);
}

void PlayerPort::seekTo(int64_t position, bool sceneStart) {
    // The next pass starts the sound afresh, so a seek also ends a pause.
    paused_ = false;
    interrupt_ = true;
    const int64_t end = std::min<int64_t>(rows_.back().toExclusive, show_.music.track.length());
    if (position >= end) {
        asked_ = static_cast<uint32_t>(end);
        nextLanding_ = -1;
        return;
    }
    asked_ = static_cast<uint32_t>(position);
    if (sceneStart) {
        const int64_t fps = time_.fps();
        nextLanding_ = (position * fps + kSampleRate - 1) / kSampleRate;
    } else {
        nextLanding_ = landingAt(asked_);
    }
}

void PlayerPort::setPaused(bool paused) {
    // Before the landing frame nothing plays yet; a pause there would only hold a skip.
    if (paused == paused_ || (paused && !time_.live()))
        return;
    paused_ = paused;
    time_.pause(paused);
}

ShowEnd playShow(Show& show, PlayerPort& port, const std::vector<SceneRow>& rows, int64_t landing,
                 bool loop) {
    for (bool first = true;; first = false) {
        if (!first) {
            // The world is built again on the clock start-up built it on.
            port.rewind();
            restartShow(show);
        }
        port.startPass(landing);
        const ShowEnd end = runTimeline(show, port, rows);
        if (end == ShowEnd::Escaped)
            return end;
        if (end == ShowEnd::Interrupted && port.nextLanding() >= 0) {
            landing = port.nextLanding();
            continue;
        }
        if (!loop || !port.windowOpen())
            return ShowEnd::Finished;
        landing = 0;
    }
}

} // namespace show

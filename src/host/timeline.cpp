#include "host/timeline.h"

#include "scenes/show.h"

#include <cwchar>

namespace show {

ShowEnd runTimeline(Show& show, FramePort& port, const std::vector<SceneRow>& rows) {
    for (const SceneRow& row : rows) {
        // The hand-over always runs, even when the position has already left the interval.
        if (row.enter)
            row.enter(show);
        while (port.deviceRunning() && row.contains(show.position) &&
               show.quitCode != kQuitRequested) {
            show.time->beginFrame();
            const bool drawn = port.frameStarted(row);
            if (port.escapeHeld()) {
                show.quitCode = kQuitRequested;
                return ShowEnd::Escaped;
            }
            if (row.beforeRead)
                row.beforeRead(show);
            port.readSpectrumThenPosition();
            if (row.update)
                row.update(show);
            port.drawingStarted();
            port.beginFrame(row.start, drawn);
            if (row.render)
                row.render(show, FrameDraw{show.effects, show.engine.smgr, drawn});
            port.endFrame(drawn);
            if (row.afterFrame)
                row.afterFrame(show);
        }
        if (port.interrupted())
            return ShowEnd::Interrupted;
    }
    show.quitCode = kQuitRequested;
    return ShowEnd::Finished;
}

bool EngineFramePort::deviceRunning() {
    return show_.engine.device->run();
}

bool EngineFramePort::escapeHeld() {
    return show_.receiver->keyState(irr::KEY_ESCAPE);
}

void EngineFramePort::readSpectrumThenPosition() {
    // The spectrum is what is heard at the position, so both come from one reading.
    const uint32_t position = show_.time->playPosition();
    readSpectrum(show_.music, position);
    show_.position = position;
}

void EngineFramePort::beginFrame(FrameStart start, bool drawn) {
    const bool clear = start == FrameStart::Cleared;
    if (drawn)
        show_.engine.driver->beginScene(clear, clear, irr::video::SColor(0));
}

void EngineFramePort::endFrame(bool drawn) {
    if (!drawn)
        return;
    show_.engine.gui->drawAll();
    frameDrawn();
    show_.engine.driver->endScene();
    irr::gui::IGUIStaticText* status = show_.overlay.status;
    if (status && status->isVisible()) {
        std::swprintf(statusBuffer_, kStatusBufferSize, L"FPS: %d", show_.engine.driver->getFPS());
        status->setText(statusBuffer_);
    }
}

} // namespace show

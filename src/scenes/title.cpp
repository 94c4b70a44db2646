// The title's beat nudge and the credits line.
#include "scenes/title.h"

#include "scenes/band_displays.h"
#include "scenes/show.h"

#include <algorithm>

namespace show {
namespace {

constexpr const wchar_t* kCreditsText =
    L"cobblejay frindles! * code(kELDRUN) * music(pel00vin) * rm2009";

} // namespace

void writeCreditsLine(Show& show) {
    show.overlay.credits->setText(kCreditsText);
    const int wait = std::max(kCreditsStartOffset, static_cast<int>(show.engine.width));
    show.overlay.credits->move(irr::core::position2di(wait, 0));
}

void titleBeatNudge(Show& show) {
    TitleState& state = show.scene.title;
    if (beatLevel(show, 0) > kTitleBeat) {
        if (!state.nudged)
            show.overlay.title->move(irr::core::position2di(kTitleNudge, kTitleNudge));
        state.nudged = true;
    } else if (state.nudged) {
        show.overlay.title->move(irr::core::position2di(-kTitleNudge, -kTitleNudge));
        state.nudged = false;
    }
}

void scrollCreditsLine(Show& show) {
    show.overlay.credits->move(irr::core::position2di(kCreditsScroll, 0));
}

} // namespace show

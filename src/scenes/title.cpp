// The title's beat nudge and the credits scroll.
#include "scenes/title.h"

#include "scenes/band_displays.h"
#include "scenes/show.h"

namespace show {

void titleBeatNudge(Show& show) {
    SceneState& state = show.scene;
    if (beatLevel(show, 0) > kTitleBeat) {
        if (!state.titleNudged)
            show.overlay.title->move(irr::core::position2di(kTitleNudge, kTitleNudge));
        state.titleNudged = true;
    } else if (state.titleNudged) {
        show.overlay.title->move(irr::core::position2di(-kTitleNudge, -kTitleNudge));
        state.titleNudged = false;
    }
}

void scrollCreditsLine(Show& show) {
    show.overlay.credits->move(irr::core::position2di(kCreditsScroll, 0));
}

} // namespace show

// Scenes whose units are not written yet draw the plain scene graph for their interval.
#include "host/show.h"
#include "scenes/scenes.h"

namespace show {
namespace {

void renderPlain(Show& show) {
    show.engine.driver->beginScene(true, true, irr::video::SColor(0));
    renderDirect(show.engine.smgr);
}

void plainRows(SceneRow* rows, int firstScene, int lastScene) {
    for (int n = firstScene; n <= lastScene; ++n)
        rows[n - 1].render = renderPlain;
}

} // namespace

// ---- landscape ----
void describeLandscape(SceneRow* rows) {
    plainRows(rows, 3, 3);
}

// ---- fountain room ----
void describeFountainRoom(SceneRow* rows) {
    plainRows(rows, 4, 4);
}

// ---- credits ----
void describeCredits(SceneRow* rows) {
    plainRows(rows, 5, 6);
}

// ---- puzzle ----
void describePuzzle(SceneRow* rows) {
    plainRows(rows, 7, 7);
}

} // namespace show

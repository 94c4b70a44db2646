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

// ---- opening ----
void describeOpening(SceneRow* rows) {
    plainRows(rows, 1, 2);
}

// ---- orbs ----
void describeOrbs(SceneRow* rows) {
    plainRows(rows, 8, 9);
}

// ---- greetings ----
void describeGreetings(SceneRow* rows) {
    plainRows(rows, 10, 19);
}

// ---- finale ----
void describeFinale(SceneRow* rows) {
    plainRows(rows, 20, 20);
}

} // namespace show

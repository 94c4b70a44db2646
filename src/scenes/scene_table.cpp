#include "scenes/scene_table.h"

#include "host/show.h"

namespace show {
namespace {

void renderPlain(Show& show) {
    show.engine.driver->beginScene(true, true, irr::video::SColor(0));
    renderDirect(show.engine.smgr);
}

} // namespace

std::vector<SceneRow> showScenes(uint32_t endMark) {
    std::vector<SceneRow> rows(kSceneCount);
    for (int i = 0; i < kSceneCount; ++i) {
        SceneRow& row = rows[i];
        row.number = i + 1;
        row.from = kSceneStarts[i];
        row.toExclusive = i + 1 < kSceneCount ? kSceneStarts[i + 1] : endMark + 1;
        row.render = renderPlain;
    }
    return rows;
}

} // namespace show

#include "scenes/scene_table.h"

#include "scenes/credits.h"
#include "scenes/finale.h"
#include "scenes/fountain_room.h"
#include "scenes/greetings.h"
#include "scenes/landscape.h"
#include "scenes/opening.h"
#include "scenes/orbs.h"
#include "scenes/puzzle.h"

namespace show {

std::vector<SceneRow> showScenes(uint32_t endMark) {
    std::vector<SceneRow> rows(kSceneCount);
    for (int i = 0; i < kSceneCount; ++i) {
        rows[i].number = i + 1;
        rows[i].from = kSceneStarts[i];
        rows[i].toExclusive = i + 1 < kSceneCount ? kSceneStarts[i + 1] : endMark + 1;
    }
    SceneRow* first = rows.data();
    describeOpening(first);
    describeLandscape(first);
    describeFountainRoom(first);
    describeCredits(first);
    describePuzzle(first);
    describeOrbs(first);
    describeGreetings(first);
    describeFinale(first);
    return rows;
}

} // namespace show

// One scene as the timeline plays it: its interval of the music and the steps it runs there.
#pragma once

#include <cstdint>

namespace show {

struct Show;

using SceneStep = void (*)(Show&);

struct SceneRow {
    int number = 0;
    uint32_t from = 0;              // first play position of the scene
    uint32_t toExclusive = 0;       // first play position after it
    SceneStep enter = nullptr;      // hand-over into this scene (hides the last one's objects)
    SceneStep beforeRead = nullptr; // work before the spectrum read
    SceneStep update = nullptr;     // work after the read, before drawing
    SceneStep render = nullptr;     // beginScene (where the scene calls it) and the passes
    SceneStep afterFrame = nullptr; // work after the frame is shown

    bool contains(uint32_t position) const { return position >= from && position < toExclusive; }
};

} // namespace show

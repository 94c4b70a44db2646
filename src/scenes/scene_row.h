// One scene as the timeline plays it: its interval of the music and the steps it runs there.
#pragma once

#include <cstdint>

namespace show {

struct Show;
struct FrameDraw;

using SceneStep = void (*)(Show&);
using SceneRender = void (*)(Show&, const FrameDraw&);

// How the timeline begins a scene's frame. Most scenes draw through an effect sequence that
// paints every pixel, so their frame starts without a clear; a scene drawn straight into the
// frame buffer has it cleared to black first.
enum class FrameStart { Painted, Cleared };

struct SceneRow {
    int number = 0;
    uint32_t from = 0;              // first play position of the scene
    uint32_t toExclusive = 0;       // first play position after it
    SceneStep enter = nullptr;      // hand-over into this scene (hides the last one's objects)
    SceneStep beforeRead = nullptr; // work before the spectrum read
    SceneStep update = nullptr;     // work after the read, before drawing
    FrameStart start = FrameStart::Painted;
    SceneRender render = nullptr;   // the passes, between the timeline's begin and end
    SceneStep afterFrame = nullptr; // work after the frame is shown

    bool contains(uint32_t position) const { return position >= from && position < toExclusive; }
};

} // namespace show

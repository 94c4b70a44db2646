// Numbers more than one scene plays by, each named once here. A number only one scene uses
// stays in that scene's own tunables section.
#pragma once

#include <irrTypes.h>

#include <cstdint>

namespace show {

// The first band's beat measure above which the physics scenes drop bricks (credits, finale).
constexpr double kBrickBeatLevel = 20.0;
// Once more bricks than this have fallen since the last reset, the next beat empties the world.
constexpr int32_t kMostBricks = 200;
// The sculptures and the circling object turn one degree per this many timer milliseconds.
constexpr irr::u32 kSpinMsPerDegree = 4;
// Fountain i stands at height i * this (fountain room, credits).
constexpr irr::f32 kFountainSpacing = 100.0f;
// The period of the one-pixel steps of the dropping title and the sliding credit text.
constexpr double kPixelStepSeconds = 0.003265;

} // namespace show

// The camera's fields of view, in radians. The contact sheet frames the models with them as
// the scenes do.
#pragma once

namespace show {

// 72 degrees: the engine camera's own, which the credits set again after the fountain room.
constexpr float kSceneFov = 1.2566371f;
constexpr float kWideFov = 2.0943952f; // 120 degrees: the fountain room

} // namespace show

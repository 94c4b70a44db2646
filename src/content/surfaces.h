// How the world's surfaces are made. The contact sheet makes its normal maps as the world does.
#pragma once

namespace show {

// The height scale of the normal maps made from the rooms' and sculptures' bump maps.
constexpr float kNormalMapAmplitude = 9.0f;

} // namespace show

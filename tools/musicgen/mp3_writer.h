// MP3 encoding with LAME: constant bit rate, with the LAME tag that lets a gapless decoder
// drop the encoder's delay and padding, so decoded samples line up with the rendered ones.
#pragma once

#include <string>

#include "render.h"

namespace musicgen {

constexpr int kBitRate = 192;      // kbit/s
constexpr int kLameQuality = 3;    // 0 best .. 9 fastest
constexpr int kEncodeBlock = 8192; // frames handed to the encoder at a time

// Writes audio to path; returns an error message, empty on success.
std::string writeMp3(const Audio& audio, const std::string& path);

} // namespace musicgen

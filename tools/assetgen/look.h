// The show's one look, in one place: dark, clean geometry, warm brick accents and cool
// light. Every colour and size the generator uses that is not local to one drawing lives
// here.
#pragma once

#include "raster.h"

namespace assetgen::look {

// Palette.
constexpr Rgba kNight = rgba(10, 12, 18);   // the dark ground everything sits on
constexpr Rgba kSlate = rgba(34, 39, 50);   // dark surfaces that still read
constexpr Rgba kSteel = rgba(92, 104, 124); // mid metal
constexpr Rgba kIce = rgba(196, 224, 255);  // cool light
constexpr Rgba kCyan = rgba(96, 184, 255);  // cool accent
constexpr Rgba kBrick = rgba(214, 92, 46);  // warm accent, the orange brick
constexpr Rgba kAmber = rgba(242, 178, 62); // warm accent, the yellow brick
constexpr Rgba kMortar = rgba(52, 46, 44);  // brick joints
constexpr Rgba kWhite = rgba(240, 244, 250);

// Vertex colours (ARGB) for the models, the same palette.
constexpr uint32_t argb(Rgba c) {
    return 0xFF000000u | (uint32_t(c.r) << 16) | (uint32_t(c.g) << 8) | uint32_t(c.b);
}

// Overlay images hang from the screen's top-left corner at their own size, on screens from
// 1280x720 to 1920x1080 (and 1280x1024). Whatever must be read lies in the part every one
// of them shows; backdrops reach the widest and tallest screen or fade out before they end.
constexpr int kSafeW = 1280;
constexpr int kSafeH = 720;
constexpr int kWideW = 1920;
constexpr int kWideH = 1080;
constexpr int kMargin = 96; // the left edge every card aligns to
constexpr int kTile = 32;   // spectrum tiles and arrows
constexpr int kDot = 2;     // spectrum row dot
constexpr int kSteps = 16;  // the greetings progress counts to this

// Texture sizes (powers of two) and JPEG quality.
constexpr int kTexSmall = 64;
constexpr int kTexMedium = 128;
constexpr int kTexLarge = 256;
constexpr int kJpegQuality = 90;

} // namespace assetgen::look

// The show's blocky pixel face: a 5x7 glyph grid with two descender rows, covering
// printable ASCII. The same glyphs build the GUI bitmap font and set every text in the
// overlay images, so the credits line and the cards share one face.
#pragma once

#include "raster.h"

#include <string>

namespace assetgen {

constexpr int kGlyphCols = 5;
constexpr int kGlyphRows = 9; // 7 above the baseline, 2 descender rows
constexpr int kGlyphAdvance = kGlyphCols + 1;

// How a text is set: each glyph cell becomes a `pixel`-sized block, drawn `block` wide
// (block < pixel leaves LED-style gaps), with a vertical colour ramp and a drop shadow.
struct TextStyle {
    int pixel = 2;
    int block = 2;
    Rgba top = rgba(255, 255, 255);
    Rgba bottom = rgba(255, 255, 255);
    Rgba shadow = rgba(0, 0, 0, 0);
    int shadowOffset = 0;
    int letterGap = 1; // extra glyph columns between letters (in glyph pixels)
};

int textWidth(const std::string& text, const TextStyle& style);
int textHeight(const TextStyle& style);
void drawText(Image& img, int x, int y, const std::string& text, const TextStyle& style);
void drawTextCentered(Image& img, int cx, int y, const std::string& text, const TextStyle& style);

// The GUI font: texture image plus the engine's XML bitmap-font description.
struct BitmapFont {
    Image texture;
    std::string xml;
};
// The font's texture: its description (the show's font path) names it by its file name alone.
inline constexpr const char* kFontTexture = "font/blockbit_small.png";
BitmapFont buildBitmapFont(const std::string& textureName);

} // namespace assetgen

// Procedural textures, all drawn from code with fixed seeds.
#include "textures.h"

#include "look.h"
#include "raster.h"

#include "content/asset_paths.h"

#include <algorithm>
#include <cmath>

namespace assetgen {

namespace {

using namespace look;

constexpr float kPi = 3.14159265f;

void addJpeg(Entries& out, const std::string& path, const Image& img) {
    addBytes(out, path, encodeJpeg(img, kJpegQuality));
}

Rgba grey(float v) {
    const int g = static_cast<int>(std::clamp(v, 0.0f, 1.0f) * 255.0f);
    return rgba(g, g, g);
}

// Running-bond bricks: `rows` courses of `perRow` bricks, mortar joints, per-brick tone
// and fine grain so the cubes read as bricks at any distance.
Image bricks(Rgba base, uint32_t seed) {
    constexpr int kSize = kTexLarge, kRows = 8, kPerRow = 4, kJoint = 3;
    Image img(kSize, kSize);
    const int bh = kSize / kRows, bw = kSize / kPerRow;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const int row = y / bh;
            const int shift = (row % 2) * bw / 2;
            const int xs = (x + shift) % kSize;
            const int col = xs / bw;
            const int lx = xs % bw, ly = y % bh;
            const bool joint = lx < kJoint || ly < kJoint;
            const float grain = fbm(x / 16.0f, y / 16.0f, kSize / 16, 3, seed);
            if (joint) {
                img.set(x, y, scaled(kMortar, 0.8f + 0.4f * grain));
                continue;
            }
            const float tone = 0.78f + 0.32f * hashNoise(col, row, seed);
            // Light catches the top edge of each brick, the bottom edge falls into shade.
            const float bevel = ly < kJoint + 3 ? 1.15f : (ly > bh - 4 ? 0.8f : 1.0f);
            const float speck = 0.9f + 0.2f * hashNoise(x, y, seed + 7);
            img.set(x, y, scaled(base, tone * bevel * speck * (0.85f + 0.3f * grain)));
        }
    return img;
}

// Height map of raised square panels with bevelled edges: reads as panelling whether it is
// turned into a normal map once or, through a shared cache entry, twice.
Image panelBump() {
    constexpr int kSize = kTexLarge, kPanels = 4, kBevel = 6, kGap = 3;
    Image img(kSize, kSize);
    const int ps = kSize / kPanels;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const int lx = x % ps, ly = y % ps;
            const int edge = std::min(std::min(lx, ps - 1 - lx), std::min(ly, ps - 1 - ly));
            float h;
            if (edge < kGap)
                h = 0.15f;
            else if (edge < kGap + kBevel)
                h = 0.15f + 0.6f * (edge - kGap) / static_cast<float>(kBevel);
            else
                h = 0.75f;
            // A small rivet-like boss in each panel centre.
            const float d = std::hypot(lx - ps / 2.0f, ly - ps / 2.0f);
            if (d < 7)
                h += 0.2f * (1 - d / 7);
            h += 0.04f * fbm(x / 32.0f, y / 32.0f, kSize / 32, 3, 11);
            img.set(x, y, grey(h));
        }
    return img;
}

// Crack network: cells of a jittered grid, grooves where two cells meet.
Image crackBump() {
    constexpr int kSize = kTexLarge, kCells = 8;
    const float cs = kSize / static_cast<float>(kCells);
    Image img(kSize, kSize);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            float d1 = 1e9f, d2 = 1e9f;
            const int cx = static_cast<int>(x / cs), cy = static_cast<int>(y / cs);
            for (int j = -1; j <= 1; ++j)
                for (int i = -1; i <= 1; ++i) {
                    const int gx = cx + i, gy = cy + j;
                    const int wx = (gx + kCells) % kCells, wy = (gy + kCells) % kCells;
                    const float px = (gx + 0.15f + 0.7f * hashNoise(wx, wy, 21)) * cs;
                    const float py = (gy + 0.15f + 0.7f * hashNoise(wx, wy, 22)) * cs;
                    const float d = std::hypot(x - px, y - py);
                    if (d < d1) {
                        d2 = d1;
                        d1 = d;
                    } else if (d < d2) {
                        d2 = d;
                    }
                }
            const float groove = std::clamp((d2 - d1) / 5.0f, 0.0f, 1.0f);
            const float h = 0.2f + 0.6f * groove + 0.15f * fbm(x / 16.0f, y / 16.0f, 16, 3, 23);
            img.set(x, y, grey(h));
        }
    return img;
}

// The wave floor: dark tiles with a cool rim, one warm tile in each 4x4 block.
Image jumpingBoxes() {
    constexpr int kSize = kTexLarge, kTiles = 4, kRim = 4;
    Image img(kSize, kSize);
    const int ts = kSize / kTiles;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const int tx = x / ts, ty = y / ts, lx = x % ts, ly = y % ts;
            const int edge = std::min(std::min(lx, ts - 1 - lx), std::min(ly, ts - 1 - ly));
            const bool warm = (tx * 3 + ty * 5) % 7 == 0;
            Rgba c = scaled(kSlate, 0.7f + 0.25f * fbm(x / 32.0f, y / 32.0f, 8, 2, 31));
            if (edge < 2)
                c = kNight;
            else if (edge < 2 + kRim)
                c = mix(warm ? kBrick : kCyan, kSlate, (edge - 2) / static_cast<float>(kRim));
            else if (warm)
                c = mix(c, kBrick, 0.25f);
            img.set(x, y, c);
        }
    return img;
}

// A light seen through haze: a small white core inside a broad cool halo that fills most of
// the billboard and fades to nothing at its edge, so an orb reads as a lamp, not a dot.
Image glow(int size) {
    constexpr float kCore = 0.16f, kHalo = 0.8f;
    Image img(size, size);
    const float c = (size - 1) / 2.0f;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float d = std::min(1.0f, std::hypot(x - c, y - c) / c);
            const float halo = kHalo * (1 - d * d) * std::sqrt(1 - d * d);
            const float core = std::exp(-(d / kCore) * (d / kCore));
            const float v = std::clamp(halo + core, 0.0f, 1.0f);
            img.set(x, y, mix(scaled(kIce, v), grey(v), core));
        }
    return img;
}

Image checkers(int size, int cells) {
    Image img(size, size);
    const float c = (size - 1) / 2.0f;
    const int cs = size / cells;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const bool on = ((x / cs) + (y / cs)) % 2 == 0;
            const float d = std::hypot(x - c, y - c) / c;
            const float fade = std::clamp(1.2f - d, 0.0f, 1.0f);
            img.set(x, y, grey((on ? 1.0f : 0.45f) * fade));
        }
    return img;
}

// A lit plate: light centre, bevelled rim, optional accent stripe.
Image plate(int size, Rgba face, Rgba rim, int rimWidth, uint32_t seed) {
    Image img(size, size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const int edge = std::min(std::min(x, size - 1 - x), std::min(y, size - 1 - y));
            const float brushed =
                0.92f + 0.08f * hashNoise(y, 0, seed) + 0.04f * hashNoise(x, y, seed + 1);
            Rgba c = scaled(face, brushed);
            if (edge < rimWidth)
                c = mix(rim, face, edge / static_cast<float>(rimWidth) * 0.6f);
            img.set(x, y, c);
        }
    return img;
}

Image stone() {
    constexpr int kSize = kTexLarge, kBands = 8;
    Image img(kSize, kSize);
    const int bh = kSize / kBands;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const int ly = y % bh;
            const float n = fbm(x / 32.0f, y / 32.0f, 8, 4, 41);
            Rgba c = mix(rgba(150, 120, 100), rgba(200, 160, 120), n);
            if (ly < 3)
                c = scaled(kMortar, 0.9f);
            else if ((y / bh) % 4 == 1)
                c = mix(c, kBrick, 0.55f);
            img.set(x, y, c);
        }
    return img;
}

Image hallPanels() {
    constexpr int kSize = kTexLarge, kPanels = 4;
    Image img(kSize, kSize);
    const int ps = kSize / kPanels;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            const int lx = x % ps, ly = y % ps;
            const int edge = std::min(std::min(lx, ps - 1 - lx), std::min(ly, ps - 1 - ly));
            const float n = fbm(x / 32.0f, y / 32.0f, 8, 3, 51);
            Rgba c = scaled(mix(kSlate, kSteel, 0.35f), 0.85f + 0.3f * n);
            if (edge < 3)
                c = kNight;
            else if (edge < 6)
                c = mix(kCyan, c, (edge - 3) / 3.0f);
            // A warm light strip along the middle of every other panel row.
            if ((y / ps) % 2 == 0 && ly > ps / 2 - 3 && ly < ps / 2 + 3 && edge >= 10)
                c = mix(c, kAmber, 0.7f);
            img.set(x, y, c);
        }
    return img;
}

Image knotMetal() {
    constexpr int kSize = kTexLarge, kBands = 8;
    Image img(kSize, kSize);
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) {
            // u runs along the knot (x), v around the tube (y).
            const float around = 0.75f + 0.25f * std::cos(2 * kPi * y / kSize);
            const float n = fbm(x / 16.0f, y / 64.0f, 16, 3, 61);
            Rgba c = scaled(mix(kSteel, kIce, 0.3f + 0.4f * n), around);
            const int lx = x % (kSize / kBands);
            if (lx < 4)
                c = mix(c, kBrick, 0.8f);
            img.set(x, y, c);
        }
    return img;
}

Image paletteTiles() {
    constexpr int kCount = static_cast<int>(Tile::Count), kSize = kTexSmall;
    const Rgba colours[kCount] = {kSlate, kBrick, kAmber, kIce, kSteel, kCyan, rgba(168, 58, 42),
                                  kWhite};
    Image img(kSize * kCount, kSize);
    for (int i = 0; i < kCount; ++i)
        img.draw(plate(kSize, colours[i], kNight, 7, 90 + i), i * kSize, 0);
    return img;
}

} // namespace

void addTextures(Entries& out) {
    namespace asset = show::asset;
    addJpeg(out, asset::kBrickOrange, bricks(kBrick, 1));
    addJpeg(out, asset::kBrickYellow, bricks(kAmber, 2));
    // Two names, one file once paths are ignored: both are the same panel bump map.
    const Image panels = panelBump();
    addJpeg(out, asset::kBackRoomBump, panels);
    addJpeg(out, asset::kBoxHallBump, panels);
    addJpeg(out, asset::kSculptureBump, crackBump());
    addJpeg(out, asset::kFloorTexture, jumpingBoxes());
    addJpeg(out, asset::kOrbTexture, glow(kTexMedium));
    addJpeg(out, asset::kParticleTexture, checkers(kTexSmall, 4));

    addJpeg(out, tex::kPaletteTiles, paletteTiles());
    addJpeg(out, tex::kBallFacet,
            plate(kTexMedium, mix(rgba(40, 100, 230), kCyan, 0.3f), kNight, 10, 74));
    addJpeg(out, tex::kSpoutStone, stone());
    addJpeg(out, tex::kHallPanels, hallPanels());
    addJpeg(out, tex::kKnotMetal, knotMetal());
    addJpeg(out, tex::kRoundabout, plate(kTexMedium, kSteel, kNight, 6, 75));
}

} // namespace assetgen

// CPU raster canvas for the generated textures and overlay images.
// Everything is drawn in straight (non-premultiplied) RGBA with source-over blending.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace assetgen {

struct Rgba {
    uint8_t r = 0, g = 0, b = 0, a = 255;
};

constexpr Rgba rgba(int r, int g, int b, int a = 255) {
    return Rgba{static_cast<uint8_t>(r), static_cast<uint8_t>(g), static_cast<uint8_t>(b),
                static_cast<uint8_t>(a)};
}

Rgba withAlpha(Rgba c, int a);
Rgba mix(Rgba a, Rgba b, float t);
Rgba scaled(Rgba c, float k);

class Image {
  public:
    Image(int w, int h, Rgba fill = rgba(0, 0, 0, 0));

    int width() const { return w_; }
    int height() const { return h_; }
    Rgba get(int x, int y) const;
    void set(int x, int y, Rgba c);
    // Source-over blend of c onto the pixel, c's alpha scaled by coverage (0..1).
    void blend(int x, int y, Rgba c, float coverage = 1.0f);
    void fillRect(int x, int y, int w, int h, Rgba c);
    void frameRect(int x, int y, int w, int h, int thickness, Rgba c);
    // Anti-aliased filled disc and ring.
    void fillCircle(float cx, float cy, float r, Rgba c);
    void ring(float cx, float cy, float r, float width, Rgba c);
    void line(float x0, float y0, float x1, float y1, float width, Rgba c);
    // Blends another image onto this one at (x, y).
    void draw(const Image& src, int x, int y);
    const std::vector<Rgba>& pixels() const { return px_; }

  private:
    int w_, h_;
    std::vector<Rgba> px_;
};

// Encoders return the file bytes; both are deterministic for the same pixels.
std::vector<uint8_t> encodePng(const Image& img);
std::vector<uint8_t> encodeJpeg(const Image& img, int quality);

// Small deterministic hash-noise helpers for procedural textures.
float hashNoise(int x, int y, uint32_t seed);
float valueNoise(float x, float y, int period, uint32_t seed);
float fbm(float x, float y, int period, int octaves, uint32_t seed);

} // namespace assetgen

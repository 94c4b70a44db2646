// Canvas primitives and PNG/JPEG encoding to memory.
#include "raster.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <jpeglib.h>
#include <png.h>
#include <stdexcept>

namespace assetgen {

namespace {
uint8_t clampByte(float v) {
    return static_cast<uint8_t>(std::clamp(v, 0.0f, 255.0f) + 0.5f);
}
} // namespace

Rgba withAlpha(Rgba c, int a) {
    c.a = static_cast<uint8_t>(std::clamp(a, 0, 255));
    return c;
}

Rgba mix(Rgba a, Rgba b, float t) {
    return Rgba{clampByte(a.r + (b.r - a.r) * t), clampByte(a.g + (b.g - a.g) * t),
                clampByte(a.b + (b.b - a.b) * t), clampByte(a.a + (b.a - a.a) * t)};
}

Rgba scaled(Rgba c, float k) {
    return Rgba{clampByte(c.r * k), clampByte(c.g * k), clampByte(c.b * k), c.a};
}

Image::Image(int w, int h, Rgba fill) : w_(w), h_(h), px_(static_cast<size_t>(w) * h, fill) {}

Rgba Image::get(int x, int y) const {
    x = std::clamp(x, 0, w_ - 1);
    y = std::clamp(y, 0, h_ - 1);
    return px_[static_cast<size_t>(y) * w_ + x];
}

void Image::set(int x, int y, Rgba c) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_)
        return;
    px_[static_cast<size_t>(y) * w_ + x] = c;
}

void Image::blend(int x, int y, Rgba c, float coverage) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_)
        return;
    Rgba& d = px_[static_cast<size_t>(y) * w_ + x];
    const float sa = (c.a / 255.0f) * std::clamp(coverage, 0.0f, 1.0f);
    if (sa <= 0.0f)
        return;
    const float da = d.a / 255.0f;
    const float oa = sa + da * (1.0f - sa);
    auto channel = [&](uint8_t s, uint8_t dst) {
        return clampByte((s * sa + dst * da * (1.0f - sa)) / oa);
    };
    d = Rgba{channel(c.r, d.r), channel(c.g, d.g), channel(c.b, d.b), clampByte(oa * 255.0f)};
}

void Image::fillRect(int x, int y, int w, int h, Rgba c) {
    for (int j = std::max(0, y); j < std::min(h_, y + h); ++j)
        for (int i = std::max(0, x); i < std::min(w_, x + w); ++i)
            blend(i, j, c);
}

void Image::frameRect(int x, int y, int w, int h, int t, Rgba c) {
    fillRect(x, y, w, t, c);
    fillRect(x, y + h - t, w, t, c);
    fillRect(x, y + t, t, h - 2 * t, c);
    fillRect(x + w - t, y + t, t, h - 2 * t, c);
}

void Image::fillCircle(float cx, float cy, float r, Rgba c) {
    const int x0 = static_cast<int>(std::floor(cx - r - 1)), x1 = static_cast<int>(cx + r + 1);
    const int y0 = static_cast<int>(std::floor(cy - r - 1)), y1 = static_cast<int>(cy + r + 1);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy);
            blend(x, y, c, r - d + 0.5f);
        }
}

void Image::ring(float cx, float cy, float r, float width, Rgba c) {
    const float outer = r + width * 0.5f;
    const int x0 = static_cast<int>(std::floor(cx - outer - 1)),
              x1 = static_cast<int>(cx + outer + 1);
    const int y0 = static_cast<int>(std::floor(cy - outer - 1)),
              y1 = static_cast<int>(cy + outer + 1);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const float d = std::fabs(std::hypot(x + 0.5f - cx, y + 0.5f - cy) - r);
            blend(x, y, c, width * 0.5f - d + 0.5f);
        }
}

void Image::line(float x0, float y0, float x1, float y1, float width, Rgba c) {
    const float minx = std::min(x0, x1) - width, maxx = std::max(x0, x1) + width;
    const float miny = std::min(y0, y1) - width, maxy = std::max(y0, y1) + width;
    const float dx = x1 - x0, dy = y1 - y0, len2 = std::max(dx * dx + dy * dy, 1e-6f);
    for (int y = static_cast<int>(miny); y <= static_cast<int>(maxy); ++y)
        for (int x = static_cast<int>(minx); x <= static_cast<int>(maxx); ++x) {
            const float px = x + 0.5f - x0, py = y + 0.5f - y0;
            const float t = std::clamp((px * dx + py * dy) / len2, 0.0f, 1.0f);
            const float d = std::hypot(px - t * dx, py - t * dy);
            blend(x, y, c, width * 0.5f - d + 0.5f);
        }
}

void Image::draw(const Image& src, int x, int y) {
    for (int j = 0; j < src.height(); ++j)
        for (int i = 0; i < src.width(); ++i)
            blend(x + i, y + j, src.get(i, j));
}

std::vector<uint8_t> encodePng(const Image& img) {
    std::vector<uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("PNG encoding failed");
    }
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep data, png_size_t len) {
            auto* v = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(p));
            v->insert(v->end(), data, data + len);
        },
        nullptr);
    png_set_IHDR(png, info, img.width(), img.height(), 8, PNG_COLOR_TYPE_RGB_ALPHA,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png, 6);
    png_write_info(png, info);
    const auto* base = reinterpret_cast<const uint8_t*>(img.pixels().data());
    for (int y = 0; y < img.height(); ++y)
        png_write_row(png, const_cast<png_bytep>(base + static_cast<size_t>(y) * img.width() * 4));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

std::vector<uint8_t> encodeJpeg(const Image& img, int quality) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr jerr{};
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* buf = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buf, &size);
    cinfo.image_width = static_cast<JDIMENSION>(img.width());
    cinfo.image_height = static_cast<JDIMENSION>(img.height());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<uint8_t> row(static_cast<size_t>(img.width()) * 3);
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = static_cast<int>(cinfo.next_scanline);
        for (int x = 0; x < img.width(); ++x) {
            const Rgba c = img.get(x, y);
            row[x * 3] = c.r;
            row[x * 3 + 1] = c.g;
            row[x * 3 + 2] = c.b;
        }
        JSAMPROW rp = row.data();
        jpeg_write_scanlines(&cinfo, &rp, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::vector<uint8_t> out(buf, buf + size);
    jpeg_destroy_compress(&cinfo);
    std::free(buf);
    return out;
}

float hashNoise(int x, int y, uint32_t seed) {
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
                 seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFFFF) / static_cast<float>(0xFFFFFF);
}

float valueNoise(float x, float y, int period, uint32_t seed) {
    const int xi = static_cast<int>(std::floor(x)), yi = static_cast<int>(std::floor(y));
    const float fx = x - xi, fy = y - yi;
    auto at = [&](int i, int j) {
        return hashNoise(((i % period) + period) % period, ((j % period) + period) % period, seed);
    };
    const float sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    const float a = at(xi, yi) + (at(xi + 1, yi) - at(xi, yi)) * sx;
    const float b = at(xi, yi + 1) + (at(xi + 1, yi + 1) - at(xi, yi + 1)) * sx;
    return a + (b - a) * sy;
}

float fbm(float x, float y, int period, int octaves, uint32_t seed) {
    float sum = 0, amp = 0.5f, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * valueNoise(x, y, period, seed + o * 101u);
        norm += amp;
        x *= 2;
        y *= 2;
        period *= 2;
        amp *= 0.5f;
    }
    return sum / norm;
}

} // namespace assetgen

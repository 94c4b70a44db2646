// The benchmark's bar chart, drawn with a few filled rectangles and a 3x5 pixel font: no
// engine, no font files, the same picture on every machine for the same figures.
#include "bench.h"
#include "png_file.h"
#include "tunables.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace capture {
namespace {

struct Colour {
    uint8_t r, g, b;
};
constexpr Colour kPaper = {250, 250, 250};
constexpr Colour kInk = {20, 20, 20};
constexpr Colour kGrid = {215, 215, 215};
constexpr Colour kLogic = {230, 140, 40};
constexpr Colour kDrawing = {60, 110, 200};

constexpr int kGlyphWidth = 3;
constexpr int kGlyphHeight = 5;
constexpr int kGlyphAdvance = kGlyphWidth + 1;
constexpr int kTickHeight = 6;
constexpr int kMarkWidth = 2;
constexpr int kLegendSwatch = 12;
constexpr int kLegendGap = 8;
constexpr int kLegendEntry = 130;

struct Glyph {
    char c;
    const char* rows[kGlyphHeight];
};
// Just the characters the chart writes.
constexpr Glyph kFont[] = {
    {'0', {"111", "101", "101", "101", "111"}}, {'1', {"010", "110", "010", "010", "111"}},
    {'2', {"111", "001", "111", "100", "111"}}, {'3', {"111", "001", "111", "001", "111"}},
    {'4', {"101", "101", "111", "001", "001"}}, {'5', {"111", "100", "111", "001", "111"}},
    {'6', {"111", "100", "111", "101", "111"}}, {'7', {"111", "001", "001", "001", "001"}},
    {'8', {"111", "101", "111", "101", "111"}}, {'9', {"111", "101", "111", "001", "111"}},
    {'.', {"000", "000", "000", "000", "010"}}, {'A', {"010", "101", "111", "101", "101"}},
    {'C', {"111", "100", "100", "100", "111"}}, {'D', {"110", "101", "101", "101", "110"}},
    {'E', {"111", "100", "110", "100", "111"}}, {'G', {"111", "100", "101", "101", "111"}},
    {'I', {"111", "010", "010", "010", "111"}}, {'L', {"100", "100", "100", "100", "111"}},
    {'M', {"101", "111", "111", "101", "101"}}, {'N', {"110", "101", "101", "101", "101"}},
    {'O', {"111", "101", "101", "101", "111"}}, {'P', {"110", "101", "110", "100", "100"}},
    {'R', {"110", "101", "110", "101", "101"}}, {'S', {"111", "100", "111", "001", "111"}},
    {'W', {"101", "101", "101", "111", "101"}},
};

class Canvas {
  public:
    Canvas(int width, int height)
        : width_(width), height_(height), rgb_(size_t(width) * height * 3) {
        fill(0, 0, width, height, kPaper);
    }
    void fill(int x, int y, int w, int h, Colour c) {
        const int x0 = std::max(x, 0), y0 = std::max(y, 0);
        const int x1 = std::min(x + w, width_), y1 = std::min(y + h, height_);
        for (int py = y0; py < y1; ++py) {
            for (int px = x0; px < x1; ++px) {
                uint8_t* p = &rgb_[(size_t(py) * width_ + px) * 3];
                p[0] = c.r;
                p[1] = c.g;
                p[2] = c.b;
            }
        }
    }
    // Text with its top-left corner at (x, y); returns the width it took.
    int text(int x, int y, const std::string& s, Colour c) {
        const int scale = kChartTextScale;
        for (size_t i = 0; i < s.size(); ++i) {
            for (const Glyph& g : kFont) {
                if (g.c != s[i])
                    continue;
                for (int row = 0; row < kGlyphHeight; ++row)
                    for (int col = 0; col < kGlyphWidth; ++col)
                        if (g.rows[row][col] == '1')
                            fill(x + int(i) * kGlyphAdvance * scale + col * scale, y + row * scale,
                                 scale, scale, c);
            }
        }
        return int(s.size()) * kGlyphAdvance * scale;
    }
    bool save(const std::string& path) const {
        return writePng(path, width_, height_, rgb_.data());
    }

  private:
    int width_, height_;
    std::vector<uint8_t> rgb_;
};

// The smallest 1, 2 or 5 times a power of ten that is at least value.
double niceCeiling(double value) {
    if (value <= 0.0)
        return 1.0;
    const double power = std::pow(10.0, std::floor(std::log10(value)));
    for (double step : {1.0, 2.0, 5.0, 10.0})
        if (step * power >= value)
            return step * power;
    return 10.0 * power;
}

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

} // namespace

bool writeChart(const std::string& path, const std::vector<Summary>& rows) {
    std::vector<Summary> scenes;
    for (const Summary& s : rows)
        if (s.scene != kAllScenes)
            scenes.push_back(s);
    const int height =
        kChartTop + int(std::max<size_t>(scenes.size(), 1)) * kChartRowHeight + kChartBottom;
    Canvas canvas(kChartWidth, height);
    const int plotWidth = kChartWidth - kChartLeft - kChartRight;
    const int plotBottom = height - kChartBottom;

    double largest = 0.0;
    for (const Summary& s : scenes)
        largest = std::max({largest, s.logicMedian + s.drawMedian, s.totalHigh});
    const double axisMax = niceCeiling(largest);
    auto xOf = [&](double ms) { return kChartLeft + int(std::lround(ms / axisMax * plotWidth)); };

    const int glyphHeight = kGlyphHeight * kChartTextScale;
    for (int t = 0; t <= kChartAxisTicks; ++t) {
        const double ms = axisMax * t / kChartAxisTicks;
        const int x = xOf(ms);
        canvas.fill(x, kChartTop, 1, plotBottom - kChartTop, kGrid);
        canvas.fill(x, plotBottom, 1, kTickHeight, kInk);
        canvas.text(x, plotBottom + kTickHeight + 2, number(ms), kInk);
    }
    canvas.text(kChartLeft + plotWidth / 2, height - glyphHeight - 2, "MS", kInk);
    canvas.fill(kChartLeft, plotBottom, plotWidth + 1, 1, kInk);

    for (size_t i = 0; i < scenes.size(); ++i) {
        const Summary& s = scenes[i];
        const int top = kChartTop + int(i) * kChartRowHeight;
        const int barTop = top + (kChartRowHeight - kChartBarHeight) / 2;
        canvas.text(kChartLeft - 2 - 2 * kGlyphAdvance * kChartTextScale,
                    top + (kChartRowHeight - glyphHeight) / 2, number(s.scene), kInk);
        const int logicEnd = xOf(s.logicMedian);
        canvas.fill(kChartLeft, barTop, logicEnd - kChartLeft, kChartBarHeight, kLogic);
        canvas.fill(logicEnd, barTop, xOf(s.logicMedian + s.drawMedian) - logicEnd, kChartBarHeight,
                    kDrawing);
        canvas.fill(xOf(s.totalHigh) - kMarkWidth / 2, top + 1, kMarkWidth, kChartRowHeight - 2,
                    kInk);
    }

    // Legend: what the two colours and the black mark stand for.
    int x = kChartLeft;
    const int legendY = (kChartTop - kLegendSwatch) / 2;
    const struct {
        Colour colour;
        const char* label;
        int width;
    } legend[] = {{kLogic, "LOGIC", kLegendSwatch},
                  {kDrawing, "DRAWING", kLegendSwatch},
                  {kInk, "P95", kMarkWidth}};
    for (const auto& entry : legend) {
        canvas.fill(x, legendY, entry.width, kLegendSwatch, entry.colour);
        canvas.text(x + entry.width + kLegendGap, legendY + (kLegendSwatch - glyphHeight) / 2,
                    entry.label, kInk);
        x += kLegendEntry;
    }
    return canvas.save(path);
}

} // namespace capture

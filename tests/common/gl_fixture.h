// A real OpenGL device for tests that look at pixels: a windowed Irrlicht device on the test's
// X display (tests/with_display.sh), pixel read-back of the bound target or the back buffer,
// and PNG output, with the expected and difference images beside the actual one when a
// comparison fails.
//
// Images are RGBA bytes as OpenGL stores them: row 0 is the bottom of the target. PNG files
// are written the right way up, opaque, so that they look like the screen.
#pragma once

#include <gtest/gtest.h>
#include <irrlicht.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace gltest {

constexpr int kChannels = 4;
constexpr int kColourChannels = 3; // compare red, green and blue only

struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;

    Image() = default;
    Image(int w, int h) : width(w), height(h), rgba(size_t(w) * h * kChannels) {}
    uint8_t* at(int x, int y) { return &rgba[(size_t(y) * width + x) * kChannels]; }
    const uint8_t* at(int x, int y) const { return &rgba[(size_t(y) * width + x) * kChannels]; }
};

// Keeps one connection to the test's X display for the rest of the process. Xvfb resets itself
// when its last client leaves and refuses connections while it does, so a test that makes one
// device after another calls this first.
void holdDisplay();

// Owns a windowed OpenGL device (no vsync, 32-bit colour) for the length of a test. Check
// ok() before use: it is false when no device could be made. An X error handler that logs
// and carries on is installed around the device, because Xvfb raises GLXBadContextTag.
class GlDevice {
  public:
    GlDevice(irr::u32 width, irr::u32 height);
    ~GlDevice();
    GlDevice(const GlDevice&) = delete;
    GlDevice& operator=(const GlDevice&) = delete;

    bool ok() const { return device != nullptr; }

    irr::IrrlichtDevice* device = nullptr;
    irr::video::IVideoDriver* driver = nullptr;
    irr::scene::ISceneManager* smgr = nullptr;
};

// Reads width x height pixels from the lower left of the bound frame buffer.
Image readPixels(int width, int height);
// Selects target without clearing it and reads all of it; the target stays selected.
Image readTarget(irr::video::IVideoDriver* driver, irr::video::ITexture* target);
// Selects the frame buffer without clearing it and reads the screen's back buffer.
Image readScreen(irr::video::IVideoDriver* driver);

// A texture of width x height whose pixel (x, y), counted from the top left, is pixel(x, y).
irr::video::ITexture* makeTexture(irr::video::IVideoDriver* driver, const char* name, int width,
                                  int height,
                                  const std::function<irr::video::SColor(int, int)>& pixel);
// Clears target and draws image over all of it, replacing its pixels (alpha included).
void fillTarget(irr::video::IVideoDriver* driver, irr::video::ITexture* target,
                irr::video::ITexture* image);

// Where tests put their pictures: <build>/test_output/<name>.
std::string outputPath(const std::string& name);
bool writePng(irr::video::IVideoDriver* driver, const Image& image, const std::string& path);

// The part of an image a comparison looks at: [x0, x1) x [y0, y1) in image rows.
struct Region {
    int x0 = 0, y0 = 0, x1 = -1, y1 = -1; // x1, y1 of -1: to the image's edge
};

struct Difference {
    int maxError = 0; // in 8-bit steps, over the compared channels
    int x = -1, y = -1, channel = -1;
    long pixelsOver = 0; // pixels with any channel beyond the tolerance
};

// Judges the region's pixels only. Images of different sizes, or a region that does not lie
// inside them, are not compared at all: the test fails with the reason.
Difference compare(const Image& actual, const Image& expected, int tolerance,
                   int channels = kChannels, Region region = {});

// Passes when every compared channel of actual is within tolerance of expected. Prints the
// largest error either way; on failure writes <name>_actual, _expected and _diff PNGs (the
// difference shows the judged region and channels only).
::testing::AssertionResult imagesMatch(irr::video::IVideoDriver* driver, const Image& actual,
                                       const Image& expected, int tolerance,
                                       const std::string& name, int channels = kChannels,
                                       Region region = {});

} // namespace gltest

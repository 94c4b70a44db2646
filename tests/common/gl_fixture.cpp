#include "common/gl_fixture.h"

#include <GL/gl.h>
#include <X11/Xlib.h>
#include <dlfcn.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace gltest {
namespace {

constexpr irr::u8 kColourBits = 32;
constexpr irr::u8 kOpaque = 255;
constexpr int kDiffGain = 16; // difference images amplify errors so that small ones show

int logXError(Display* display, XErrorEvent* event) {
    char text[256] = {};
    XGetErrorText(display, event->error_code, text, sizeof text);
    std::fprintf(stderr, "[gl test] X error ignored: %s (request %d.%d)\n", text,
                 event->request_code, event->minor_code);
    return 0;
}

// The engine already loaded libGL; its entry points are looked up at run time so that the
// test helpers need no link dependency of their own.
template <class Fn> Fn glEntry(const char* name) {
    void* symbol = dlsym(RTLD_DEFAULT, name);
    if (!symbol) {
        std::fprintf(stderr, "[gl test] %s not found\n", name);
        std::abort();
    }
    return reinterpret_cast<Fn>(symbol);
}

} // namespace

void holdDisplay() {
    static Display* const held = XOpenDisplay(nullptr);
    (void)held;
}

GlDevice::GlDevice(irr::u32 width, irr::u32 height) {
    holdDisplay();
    XSetErrorHandler(logXError);
    irr::SIrrlichtCreationParameters params;
    params.DriverType = irr::video::EDT_OPENGL;
    params.WindowSize = irr::core::dimension2d<irr::u32>(width, height);
    params.Bits = kColourBits;
    params.Fullscreen = false;
    params.Vsync = false;
    params.LoggingLevel = irr::ELL_WARNING;
    device = irr::createDeviceEx(params);
    XSetErrorHandler(logXError); // the engine may have put its own in place
    if (!device) {
        return;
    }
    driver = device->getVideoDriver();
    smgr = device->getSceneManager();
}

GlDevice::~GlDevice() {
    if (device) {
        device->closeDevice();
        device->run();
        device->drop();
    }
}

Image readPixels(int width, int height) {
    static const auto pixelStore = glEntry<decltype(&glPixelStorei)>("glPixelStorei");
    static const auto readPixels = glEntry<decltype(&glReadPixels)>("glReadPixels");
    Image image(width, height);
    pixelStore(GL_PACK_ALIGNMENT, 1);
    readPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, image.rgba.data());
    return image;
}

Image readTarget(irr::video::IVideoDriver* driver, irr::video::ITexture* target) {
    driver->setRenderTarget(target, false, false);
    const irr::core::dimension2d<irr::u32> size = target->getSize();
    return readPixels(size.Width, size.Height);
}

Image readScreen(irr::video::IVideoDriver* driver) {
    driver->setRenderTarget(static_cast<irr::video::ITexture*>(nullptr), false, false);
    const irr::core::dimension2d<irr::u32> size = driver->getScreenSize();
    return readPixels(size.Width, size.Height);
}

irr::video::ITexture* makeTexture(irr::video::IVideoDriver* driver, const char* name, int width,
                                  int height,
                                  const std::function<irr::video::SColor(int, int)>& pixel) {
    irr::video::IImage* image = driver->createImage(
        irr::video::ECF_A8R8G8B8, irr::core::dimension2d<irr::u32>(width, height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image->setPixel(x, y, pixel(x, y));
        }
    }
    const bool mipMaps = driver->getTextureCreationFlag(irr::video::ETCF_CREATE_MIP_MAPS);
    driver->setTextureCreationFlag(irr::video::ETCF_CREATE_MIP_MAPS, false);
    irr::video::ITexture* texture = driver->addTexture(name, image);
    driver->setTextureCreationFlag(irr::video::ETCF_CREATE_MIP_MAPS, mipMaps);
    image->drop();
    return texture;
}

void fillTarget(irr::video::IVideoDriver* driver, irr::video::ITexture* target,
                irr::video::ITexture* image) {
    driver->setRenderTarget(target, true, true, irr::video::SColor(0));
    const irr::core::dimension2d<irr::u32> to = target->getSize();
    const irr::core::dimension2d<irr::u32> from = image->getOriginalSize();
    driver->draw2DImage(image, irr::core::rect<irr::s32>(0, 0, to.Width, to.Height),
                        irr::core::rect<irr::s32>(0, 0, from.Width, from.Height));
}

std::string outputPath(const std::string& name) {
    const std::filesystem::path dir = std::filesystem::path(TEST_BUILD_DIR) / "test_output";
    std::filesystem::create_directories(dir);
    return (dir / name).string();
}

bool writePng(irr::video::IVideoDriver* driver, const Image& image, const std::string& path) {
    std::vector<irr::u32> argb(size_t(image.width) * image.height);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const uint8_t* p = image.at(x, image.height - 1 - y);
            argb[size_t(y) * image.width + x] = irr::video::SColor(kOpaque, p[0], p[1], p[2]).color;
        }
    }
    irr::video::IImage* out = driver->createImageFromData(
        irr::video::ECF_A8R8G8B8, irr::core::dimension2d<irr::u32>(image.width, image.height),
        argb.data(), false, false);
    const bool written = out && driver->writeImageToFile(out, path.c_str());
    if (out) {
        out->drop();
    }
    return written;
}

namespace {

// The region with its open edges closed, or the reason it cannot be judged.
std::string judgedArea(const Image& actual, const Image& expected, Region& region) {
    if (actual.width != expected.width || actual.height != expected.height)
        return "size " + std::to_string(actual.width) + "x" + std::to_string(actual.height) +
               ", expected " + std::to_string(expected.width) + "x" +
               std::to_string(expected.height);
    if (region.x1 < 0)
        region.x1 = actual.width;
    if (region.y1 < 0)
        region.y1 = actual.height;
    if (region.x0 < 0 || region.y0 < 0 || region.x0 >= region.x1 || region.y0 >= region.y1 ||
        region.x1 > actual.width || region.y1 > actual.height)
        return "region [" + std::to_string(region.x0) + ", " + std::to_string(region.x1) + ") x [" +
               std::to_string(region.y0) + ", " + std::to_string(region.y1) +
               ") does not lie inside " + std::to_string(actual.width) + "x" +
               std::to_string(actual.height);
    return "";
}

} // namespace

Difference compare(const Image& actual, const Image& expected, int tolerance, int channels,
                   Region region) {
    Difference d;
    const std::string problem = judgedArea(actual, expected, region);
    if (!problem.empty()) {
        ADD_FAILURE() << "images not comparable: " << problem;
        return d;
    }
    for (int y = region.y0; y < region.y1; ++y) {
        for (int x = region.x0; x < region.x1; ++x) {
            bool over = false;
            for (int c = 0; c < channels; ++c) {
                const int e = std::abs(int(actual.at(x, y)[c]) - int(expected.at(x, y)[c]));
                over = over || e > tolerance;
                if (e > d.maxError) {
                    d = {e, x, y, c, d.pixelsOver};
                }
            }
            d.pixelsOver += over ? 1 : 0;
        }
    }
    return d;
}

::testing::AssertionResult imagesMatch(irr::video::IVideoDriver* driver, const Image& actual,
                                       const Image& expected, int tolerance,
                                       const std::string& name, int channels, Region region) {
    const std::string problem = judgedArea(actual, expected, region);
    if (!problem.empty())
        return ::testing::AssertionFailure() << name << ": " << problem;
    const Difference d = compare(actual, expected, tolerance, channels, region);
    std::printf("[ compare  ] %s: max error %d (tolerance %d)\n", name.c_str(), d.maxError,
                tolerance);
    if (d.pixelsOver == 0) {
        return ::testing::AssertionSuccess();
    }
    // Black wherever nothing was judged, so the picture shows only what failed.
    Image diff(actual.width, actual.height);
    for (int y = region.y0; y < region.y1; ++y) {
        for (int x = region.x0; x < region.x1; ++x) {
            for (int c = 0; c < channels; ++c) {
                const int e = std::abs(int(actual.at(x, y)[c]) - int(expected.at(x, y)[c]));
                diff.at(x, y)[c] = uint8_t(std::min(255, e * kDiffGain));
            }
        }
    }
    writePng(driver, actual, outputPath(name + "_actual.png"));
    writePng(driver, expected, outputPath(name + "_expected.png"));
    writePng(driver, diff, outputPath(name + "_diff.png"));
    return ::testing::AssertionFailure()
           << name << ": " << d.pixelsOver << " pixels beyond " << tolerance
           << " steps; largest error " << d.maxError << " at (" << d.x << ", " << d.y
           << ") channel " << d.channel << " (actual " << int(actual.at(d.x, d.y)[d.channel])
           << ", expected " << int(expected.at(d.x, d.y)[d.channel]) << "); images in "
           << outputPath(name + "_*.png");
}

} // namespace gltest

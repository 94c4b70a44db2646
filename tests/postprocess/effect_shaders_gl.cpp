// Each effect against a CPU reference of its formula, on the show's own seven nodes at a
// 1024 x 512 screen: every node's input is filled with a known picture, the node is rendered
// into a target or onto the screen, and the read-back pixels are compared with the formula
// applied to the read-back input. Pictures of every output land in <build>/test_output.
#include "common/gl_fixture.h"
#include "postprocess/effects.h"
#include "postprocess/post_process_nodes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>

namespace {

using gltest::Image;
using irr::video::ITexture;
using irr::video::SColor;

// A screen as wide as the fixed-size targets makes every node, the blur pair included,
// 1024 x 512, and the screen one texel per target texel.
constexpr irr::u32 kScreenWidth = show::kEffectTargetWidth;
constexpr irr::u32 kScreenHeight = show::kEffectTargetHeight;

// Tolerances in 8-bit steps. A pass that reads one texel at its centre must be exact up to
// rounding; passes that filter between texels also carry the rasteriser's sub-texel
// precision, a fraction of a step per tap.
constexpr int kExactTolerance = 2;
constexpr int kFilteredTolerance = 3;

// ---- CPU reference ----------------------------------------------------------------------

using Rgba = std::array<float, gltest::kChannels>;
constexpr float kUnit = 255.0f;

Rgba texel(const Image& image, int x, int y) {
    // Material layers repeat by default; the shaders only step outside near the edges.
    x = ((x % image.width) + image.width) % image.width;
    y = ((y % image.height) + image.height) % image.height;
    const uint8_t* p = image.at(x, y);
    return {p[0] / kUnit, p[1] / kUnit, p[2] / kUnit, p[3] / kUnit};
}

Rgba bilinear(const Image& image, float u, float v) {
    const float x = u * image.width - 0.5f;
    const float y = v * image.height - 0.5f;
    const int x0 = int(std::floor(x));
    const int y0 = int(std::floor(y));
    const float fx = x - x0;
    const float fy = y - y0;
    const Rgba a = texel(image, x0, y0), b = texel(image, x0 + 1, y0);
    const Rgba c = texel(image, x0, y0 + 1), d = texel(image, x0 + 1, y0 + 1);
    Rgba out{};
    for (int i = 0; i < gltest::kChannels; ++i) {
        out[i] = (a[i] * (1 - fx) + b[i] * fx) * (1 - fy) + (c[i] * (1 - fx) + d[i] * fx) * fy;
    }
    return out;
}

// Evaluates f at the centre of every pixel of a width x height target, as the quad does.
Image evaluate(int width, int height, const std::function<Rgba(float u, float v)>& f) {
    Image out(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const Rgba c = f((x + 0.5f) / width, (y + 0.5f) / height);
            for (int i = 0; i < gltest::kChannels; ++i) {
                out.at(x, y)[i] = uint8_t(std::lround(std::clamp(c[i], 0.0f, 1.0f) * kUnit));
            }
        }
    }
    return out;
}

// The twelve taps of the blur and bloom disc.
constexpr float kTaps[12][2] = {
    {-0.326212f, -0.405805f}, {-0.840144f, -0.073580f}, {-0.695914f, 0.457137f},
    {-0.203345f, 0.620716f},  {0.962340f, -0.194983f},  {0.473434f, -0.480026f},
    {0.519456f, 0.767022f},   {0.185461f, -0.893124f},  {0.507431f, 0.064425f},
    {0.896420f, 0.412458f},   {-0.321940f, -0.932615f}, {-0.791559f, -0.597705f}};
constexpr float kTapLow = 0.001f;
constexpr float kTapHigh = 0.999f;
constexpr float kTapCount = 13.0f;

Rgba discAverage(const Image& image, float u, float v, float sampleDist) {
    Rgba sum = bilinear(image, u, v);
    for (const auto& tap : kTaps) {
        const Rgba s = bilinear(image, std::clamp(u + sampleDist * tap[0], kTapLow, kTapHigh),
                                std::clamp(v + sampleDist * tap[1], kTapLow, kTapHigh));
        for (int i = 0; i < gltest::kChannels; ++i) {
            sum[i] += s[i];
        }
    }
    for (float& c : sum) {
        c /= kTapCount;
    }
    return sum;
}

Image blurOf(const Image& in, float sampleDist) {
    return evaluate(in.width, in.height,
                    [&](float u, float v) { return discAverage(in, u, v, sampleDist); });
}

Image bloomOf(const Image& in, float sampleDist, float strength, float multiplier) {
    return evaluate(in.width, in.height, [&](float u, float v) {
        const Rgba centre = bilinear(in, u, v);
        Rgba avg = discAverage(in, u, v, sampleDist);
        for (int i = 0; i < gltest::kColourChannels; ++i) {
            avg[i] = std::pow(avg[i], strength);
        }
        Rgba out{};
        for (int i = 0; i < gltest::kChannels; ++i) {
            out[i] = centre[i] + avg[i] * multiplier;
        }
        return out;
    });
}

Image invertOf(const Image& in) {
    return evaluate(in.width, in.height, [&](float u, float v) {
        Rgba c = bilinear(in, u, v);
        for (float& x : c) {
            x = 1.0f - x;
        }
        return c;
    });
}

Image colourOf(const Image& in, float saturation, float coloringStrength, const float* coloring) {
    const float sat = saturation / 10.0f;
    const float hue = coloringStrength / 10.0f;
    return evaluate(in.width, in.height, [&](float u, float v) {
        const Rgba c = bilinear(in, u, v);
        const float grey = c[0] * 0.3f + c[1] * 0.49f + c[2] * 0.11f;
        Rgba out{};
        for (int i = 0; i < gltest::kChannels; ++i) {
            const float tinted = c[i] * (1 - hue) + coloring[i] / kUnit * grey * hue;
            out[i] = grey * sat + tinted * (1 - sat);
        }
        return out;
    });
}

Image glassOf(const Image& picture, const Image& offsets, float strength) {
    return evaluate(picture.width, picture.height, [&](float u, float v) {
        const Rgba o = bilinear(offsets, u, v);
        float ox = o[0], oy = o[1];
        const float d = std::sqrt(ox * ox + oy * oy);
        if (d != 0.0f) {
            ox -= 0.5f * d;
            oy -= 0.5f * d;
        }
        return bilinear(picture, ox * strength + u, oy * strength + v);
    });
}

Image mixOf(const Image& first, const Image& second, float weight) {
    return evaluate(first.width, first.height, [&](float u, float v) {
        const Rgba a = bilinear(first, u, v), b = bilinear(second, u, v);
        Rgba out{};
        for (int i = 0; i < gltest::kChannels; ++i) {
            out[i] = a[i] * (1 - weight) + b[i] * weight;
        }
        return out;
    });
}

// ---- pictures ---------------------------------------------------------------------------

constexpr int kCheckerCell = 32;
constexpr irr::u32 kFullLevel = 255;

// Red and green ramps across and down, a blue checker, and alpha either opaque or ramping,
// all scaled by level so that a dim picture keeps the bloom's powers small.
SColor testPicture(int x, int y, int width, int height, irr::u32 level, bool opaque) {
    const irr::u32 r = x * level / (width - 1);
    const irr::u32 g = y * level / (height - 1);
    const irr::u32 b = ((x / kCheckerCell + y / kCheckerCell) % 2) ? level * 7 / 8 : level / 8;
    const irr::u32 a = opaque ? kFullLevel : kFullLevel / 4 + x * (kFullLevel * 3 / 4) / width;
    return SColor(a, r, g, b);
}

// Red and green for the glass: a slow swirl, zero in the top left quarter.
SColor offsetPicture(int x, int y, int width, int height) {
    if (x < width / 2 && y < height / 2) {
        return SColor(kFullLevel, 0, 0, 0);
    }
    const float phase = 6.2831853f * (float(x) / width + float(y) / height);
    return SColor(kFullLevel, irr::u32(127.5f + 127.5f * std::sin(phase)),
                  irr::u32(127.5f + 127.5f * std::cos(phase)), 0);
}

constexpr int kAlpha = gltest::kColourChannels;

irr::u32 highest(const Image& image, int channel) {
    irr::u32 value = 0;
    for (size_t i = channel; i < image.rgba.size(); i += gltest::kChannels) {
        value = std::max<irr::u32>(value, image.rgba[i]);
    }
    return value;
}

irr::u32 lowest(const Image& image, int channel) {
    irr::u32 value = kFullLevel;
    for (size_t i = channel; i < image.rgba.size(); i += gltest::kChannels) {
        value = std::min<irr::u32>(value, image.rgba[i]);
    }
    return value;
}

// ---- fixture ----------------------------------------------------------------------------

const irr::core::vector3df kCameraPosition(0, 0, -40);
const irr::core::vector3df kCameraTarget(0, 0, 0);
const irr::core::vector3df kCubeRotation(30, 40, 0);
const irr::core::vector3df kLeft(-12, 0, 0);
const irr::core::vector3df kRight(12, 0, 0);
constexpr irr::f32 kCubeSize = 14.0f;

class Effect : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(gl.ok()) << "no OpenGL device";
        driver = gl.driver;
        show::createEffects(effects, gl.smgr, kScreenWidth);
        output = driver->addRenderTargetTexture(
            irr::core::dimension2d<irr::u32>(kScreenWidth, kScreenHeight), "test output",
            show::kTargetFormat);
        driver->beginScene(true, true, SColor(0));
    }
    void TearDown() override {
        if (driver) {
            driver->endScene();
        }
    }

    ITexture* picture(irr::u32 level, bool opaque) {
        return gltest::makeTexture(driver, opaque ? "opaque" : "translucent", kScreenWidth,
                                   kScreenHeight, [&](int x, int y) {
                                       return testPicture(x, y, kScreenWidth, kScreenHeight, level,
                                                          opaque);
                                   });
    }

    // Fills target with the picture and returns what it holds.
    Image fill(ITexture* target, ITexture* image) {
        gltest::fillTarget(driver, target, image);
        return gltest::readTarget(driver, target);
    }

    // Renders a single-pass node into the test's output target and reads it back.
    Image renderInto(irr::scene::ISceneNode* node) {
        show::selectTarget(driver, output);
        node->render();
        return gltest::readTarget(driver, output);
    }

    // A camera and a cube wearing a picture, lit by nothing: what drawAll draws.
    irr::scene::ISceneNode* addCube(irr::u32 level, const irr::core::vector3df& position) {
        if (!gl.smgr->getActiveCamera()) {
            gl.smgr->addCameraSceneNode(nullptr, kCameraPosition, kCameraTarget);
        }
        irr::scene::ISceneNode* cube =
            gl.smgr->addCubeSceneNode(kCubeSize, nullptr, -1, position, kCubeRotation);
        cube->setMaterialFlag(irr::video::EMF_LIGHTING, false);
        cube->setMaterialTexture(0, picture(level, true));
        return cube;
    }

    void keep(const Image& image, const char* name) {
        gltest::writePng(driver, image, gltest::outputPath(name));
    }

    gltest::GlDevice gl{kScreenWidth, kScreenHeight};
    irr::video::IVideoDriver* driver = nullptr;
    show::Effects effects;
    ITexture* output = nullptr;
};

// ---- blur -------------------------------------------------------------------------------

TEST_F(Effect, BlurWithoutRadiusReturnsItsInputInsideTheTapClamp) {
    effects.firstBlur->Callback->SampleDist = 0.0f;
    const Image input = fill(effects.firstBlur->RenderTarget, picture(kFullLevel, false));
    const Image out = renderInto(effects.firstBlur);
    // Texel centres whose coordinates lie inside [0.001, 0.999]: all but the outermost ring.
    const gltest::Region inside{1, 1, input.width - 1, input.height - 1};
    EXPECT_TRUE(gltest::imagesMatch(driver, out, input, kExactTolerance, "blur_zero",
                                    gltest::kChannels, inside));
}

TEST_F(Effect, BlurAveragesThirteenClampedTapsAtTheShowRadius) {
    const Image input = fill(effects.firstBlur->RenderTarget, picture(kFullLevel, false));
    const Image out = renderInto(effects.firstBlur);
    keep(input, "post_input.png");
    keep(out, "post_blur.png");
    EXPECT_TRUE(gltest::imagesMatch(driver, out, blurOf(input, show::kBlurSampleDist),
                                    kFilteredTolerance, "blur"));
}

// ---- bloom ------------------------------------------------------------------------------

TEST_F(Effect, BloomWithoutMultiplierReturnsTheUnblurredInput) {
    effects.bloom->Callback->Multiplier = 0.0f;
    const Image input = fill(effects.bloom->RenderTarget, picture(kFullLevel, false));
    EXPECT_TRUE(gltest::imagesMatch(driver, renderInto(effects.bloom), input, kExactTolerance,
                                    "bloom_zero"));
}

// The show's exponent of 5 and multiplier of 9 magnify an input error up to 45 a^4 times; a
// picture no brighter than 100 of 255 keeps that below one.
constexpr irr::u32 kDimLevel = 100;

TEST_F(Effect, BloomAddsThePoweredAverageAtTheShowValues) {
    const Image input = fill(effects.bloom->RenderTarget, picture(kDimLevel, false));
    const Image out = renderInto(effects.bloom);
    keep(out, "post_bloom.png");
    EXPECT_TRUE(gltest::imagesMatch(
        driver, out,
        bloomOf(input, show::kBloomSampleDist, show::kBloomStrength, show::kBloomMultiplier),
        kFilteredTolerance, "bloom"));
}

// ---- invert and colour ------------------------------------------------------------------

TEST_F(Effect, InvertTurnsOpaqueInputTransparentAndInvertsEveryChannel) {
    const Image opaque = fill(effects.invert->RenderTarget, picture(kFullLevel, true));
    const Image out = renderInto(effects.invert);
    keep(out, "post_invert.png");
    EXPECT_TRUE(gltest::imagesMatch(driver, out, invertOf(opaque), kExactTolerance, "invert"));
    EXPECT_EQ(lowest(opaque, kAlpha), kFullLevel);
    EXPECT_EQ(highest(out, kAlpha), 0u);

    const Image translucent = fill(effects.invert->RenderTarget, picture(kFullLevel, false));
    EXPECT_TRUE(gltest::imagesMatch(driver, renderInto(effects.invert), invertOf(translucent),
                                    kExactTolerance, "invert_translucent"));
}

TEST_F(Effect, ColourTintsAndDesaturatesAtTheShowValues) {
    const Image input = fill(effects.color->RenderTarget, picture(kFullLevel, true));
    const Image out = renderInto(effects.color);
    keep(out, "post_colour.png");
    // The shader never sets the grey vector's alpha, so only the colour is defined.
    EXPECT_TRUE(gltest::imagesMatch(
        driver, out,
        colourOf(input, show::kColorSaturation, show::kColorColoringStrength, show::kColorColoring),
        kExactTolerance, "colour", gltest::kColourChannels));
}

// ---- glass ------------------------------------------------------------------------------

TEST_F(Effect, GlassWithABlackOffsetMapShowsThePictureUnchanged) {
    show::IPostProcessGlass* glass = effects.glass;
    const Image input = fill(glass->RenderTarget, picture(kFullLevel, false));
    show::selectTarget(driver, glass->OffsetTarget); // cleared to black
    EXPECT_TRUE(
        gltest::imagesMatch(driver, renderInto(glass), input, kExactTolerance, "glass_black"));
}

TEST_F(Effect, GlassShiftsThePictureByTheOffsetMap) {
    show::IPostProcessGlass* glass = effects.glass;
    const Image input = fill(glass->RenderTarget, picture(kFullLevel, false));
    const Image offsets =
        fill(glass->OffsetTarget,
             gltest::makeTexture(driver, "offsets", kScreenWidth, kScreenHeight, [](int x, int y) {
                 return offsetPicture(x, y, kScreenWidth, kScreenHeight);
             }));
    const Image out = renderInto(glass);
    keep(offsets, "post_glass_offsets.png");
    keep(out, "post_glass.png");
    const Image expected = glassOf(input, offsets, show::kGlassStrength);
    EXPECT_TRUE(gltest::imagesMatch(driver, out, expected, kFilteredTolerance, "glass"));
    // Where the map is black the picture must not move; elsewhere it must.
    EXPECT_GT(gltest::compare(out, input, kFilteredTolerance).pixelsOver, 0);
}

// ---- motion blur ------------------------------------------------------------------------

TEST_F(Effect, MotionBlurBlendsTheNewFrameWithItsHistory) {
    show::IPostProcessMotionBlur* blur = effects.motionBlur;
    irr::scene::ISceneNode* cube = addCube(kFullLevel, kLeft);

    // Strength 0: the new frame alone, which also becomes the history.
    blur->Callback->Strength = 0.0f;
    blur->render();
    const Image first = gltest::readTarget(driver, blur->SceneTarget);
    EXPECT_TRUE(gltest::imagesMatch(driver, gltest::readTarget(driver, blur->BlendTarget), first,
                                    kExactTolerance, "motion_new"));
    EXPECT_TRUE(gltest::imagesMatch(driver, gltest::readTarget(driver, blur->HistoryTarget), first,
                                    kExactTolerance, "motion_history"));

    // Strength 1: the history alone, however the scene moves.
    cube->setPosition(kRight);
    blur->Callback->Strength = 1.0f;
    blur->render();
    const Image second = gltest::readTarget(driver, blur->SceneTarget);
    EXPECT_GT(gltest::compare(second, first, kExactTolerance).pixelsOver, 0);
    EXPECT_TRUE(gltest::imagesMatch(driver, gltest::readTarget(driver, blur->BlendTarget), first,
                                    kExactTolerance, "motion_frozen"));

    // In between: a per-channel mix, alpha included. The history stays selected afterwards.
    constexpr irr::f32 kQuarter = 0.25f;
    const Image history = gltest::readTarget(driver, blur->HistoryTarget);
    cube->setPosition(kCameraTarget);
    blur->Callback->Strength = kQuarter;
    blur->render();
    const Image selected = gltest::readPixels(kScreenWidth, kScreenHeight);
    const Image blended = gltest::readTarget(driver, blur->BlendTarget);
    EXPECT_TRUE(gltest::imagesMatch(
        driver, blended, mixOf(gltest::readTarget(driver, blur->SceneTarget), history, kQuarter),
        kExactTolerance, "motion_mix"));
    EXPECT_TRUE(gltest::imagesMatch(driver, selected, blended, 0, "motion_selected"));

    show::selectTarget(driver, nullptr);
    blur->renderFinal();
    const Image screen = gltest::readScreen(driver);
    keep(screen, "post_motion_blur.png");
    EXPECT_TRUE(gltest::imagesMatch(driver, screen, blended, kExactTolerance, "motion_final",
                                    gltest::kColourChannels));
}

// ---- render sequences -------------------------------------------------------------------

TEST_F(Effect, ASequenceKeepsThePictureWhereDirectDrawingPutsIt) {
    addCube(kFullLevel, kLeft);
    show::renderDirect(show::FrameDraw{effects, gl.smgr, true});
    const Image direct = gltest::readScreen(driver);
    effects.bloom->Callback->Multiplier = 0.0f; // the bloom node then passes its input through
    show::renderThroughBloom(show::FrameDraw{effects, gl.smgr, true});
    EXPECT_TRUE(gltest::imagesMatch(driver, gltest::readScreen(driver), direct, kExactTolerance,
                                    "sequence_upright", gltest::kColourChannels));
}

TEST_F(Effect, BlurPairBlursTheSceneTwiceOntoTheScreen) {
    addCube(kFullLevel, kCameraTarget);
    show::renderThroughBlurPair(show::FrameDraw{effects, gl.smgr, true});
    const Image screen = gltest::readScreen(driver);
    const Image scene = gltest::readTarget(driver, effects.firstBlur->RenderTarget);
    const Image once = gltest::readTarget(driver, effects.secondBlur->RenderTarget);
    keep(screen, "post_sequence_blur_pair.png");
    EXPECT_GT(highest(scene, kAlpha), 0u) << "the scene was not drawn into the first blur";
    EXPECT_TRUE(gltest::imagesMatch(driver, once, blurOf(scene, show::kBlurSampleDist),
                                    kFilteredTolerance, "sequence_blur_once"));
    EXPECT_TRUE(gltest::imagesMatch(driver, screen, blurOf(once, show::kBlurSampleDist),
                                    kFilteredTolerance, "sequence_blur_twice",
                                    gltest::kColourChannels));
}

TEST_F(Effect, BloomSequenceDrawsTheSceneThroughBloomOntoTheScreen) {
    addCube(kDimLevel, kCameraTarget);
    show::renderThroughBloom(show::FrameDraw{effects, gl.smgr, true});
    const Image screen = gltest::readScreen(driver);
    const Image scene = gltest::readTarget(driver, effects.bloom->RenderTarget);
    keep(screen, "post_sequence_bloom.png");
    EXPECT_GT(highest(scene, kAlpha), 0u) << "the scene was not drawn into the bloom";
    EXPECT_TRUE(gltest::imagesMatch(
        driver, screen,
        bloomOf(scene, show::kBloomSampleDist, show::kBloomStrength, show::kBloomMultiplier),
        kFilteredTolerance, "sequence_bloom", gltest::kColourChannels));
}

TEST_F(Effect, InvertSequenceDrawsTheSceneInvertedOntoTheScreen) {
    addCube(kFullLevel, kCameraTarget);
    show::renderThroughInvert(show::FrameDraw{effects, gl.smgr, true});
    const Image screen = gltest::readScreen(driver);
    const Image scene = gltest::readTarget(driver, effects.invert->RenderTarget);
    keep(screen, "post_sequence_invert.png");
    EXPECT_GT(highest(scene, kAlpha), 0u) << "the scene was not drawn into the invert";
    EXPECT_TRUE(gltest::imagesMatch(driver, screen, invertOf(scene), kExactTolerance,
                                    "sequence_invert", gltest::kColourChannels));
}

TEST_F(Effect, GlassSequenceDrawsPictureAndOffsetMapApartThenTheGlass) {
    irr::scene::ISceneNode* picture = addCube(kFullLevel, kLeft);
    irr::scene::ISceneNode* offsetMap = addCube(kFullLevel, kRight);
    show::renderGlass(show::FrameDraw{effects, gl.smgr, true}, picture, offsetMap);
    const Image screen = gltest::readScreen(driver);
    const Image scene = gltest::readTarget(driver, effects.glass->RenderTarget);
    const Image offsets = gltest::readTarget(driver, effects.glass->OffsetTarget);
    keep(screen, "post_sequence_glass.png");

    // Each target holds only its own cube: the picture on the left, the map on the right.
    const int half = scene.width / 2;
    const Image empty(scene.width, scene.height);
    EXPECT_GT(gltest::compare(scene, empty, 0, gltest::kChannels, {0, 0, half, -1}).pixelsOver, 0);
    EXPECT_EQ(gltest::compare(scene, empty, 0, gltest::kChannels, {half, 0, -1, -1}).pixelsOver, 0);
    EXPECT_EQ(gltest::compare(offsets, empty, 0, gltest::kChannels, {0, 0, half, -1}).pixelsOver,
              0);
    EXPECT_GT(gltest::compare(offsets, empty, 0, gltest::kChannels, {half, 0, -1, -1}).pixelsOver,
              0);
    EXPECT_FALSE(picture->isVisible());
    EXPECT_TRUE(offsetMap->isVisible());

    EXPECT_TRUE(gltest::imagesMatch(driver, screen, glassOf(scene, offsets, show::kGlassStrength),
                                    kFilteredTolerance, "sequence_glass", gltest::kColourChannels));
}

} // namespace

// The overlay images of the data archive on the screens the show meets: 1280x720, 1280x1024
// and 1920x1080. Each image hangs from the screen's top-left corner at its own size, and some
// move. On every one of those screens no image may end in a visible edge, what is drawn solid
// must be on screen, the tint over whole scenes must sit even, and backdrops fade out rather
// than stop.
#include "common/show_fixture.h"
#include "content/asset_paths.h"
#include "core/audio.h"
#include "scenes/scene_table.h"

#include <gtest/gtest.h>
#include <irrlicht.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

using namespace irr;

namespace {

struct Screen {
    u32 width, height;
};
const Screen kScreens[] = {{1280, 720}, {1280, 1024}, {1920, 1080}};
const Screen kSmallest = {1280, 720};

// How an image moves away from (0,0) in its scenes, and so which of its own edges come
// into view even where a screen edge would hide them.
struct Motion {
    bool fromAbove = false; // slides or drops in from above: its bottom edge crosses the screen
    bool down = false;      // drifts or jumps down from its place: its top edge shows
    bool right = false;     // jumps right: its left edge shows
};
constexpr Motion kStill{};
constexpr Motion kSlidesIn{true, false, false};
constexpr Motion kDrifts{false, true, false};
constexpr Motion kDropsAndJumps{true, true, true}; // the title: drops in, nudged on the beat

struct Overlay {
    std::string path;
    Motion motion;
};

// The greeting cards in the order scenes 10 to 19 show them.
// (The first two greeting images share one picture.)
const std::vector<std::string> kCards(show::asset::kGreetings.begin() + 1,
                                      show::asset::kGreetings.end());
constexpr int kFirstCardScene = 10;

std::vector<Overlay> overlays() {
    namespace asset = show::asset;
    std::vector<Overlay> all = {{asset::kGreyOverlay, kStill},     {asset::kMusicianItems, kStill},
                                {asset::kMusicianText, kSlidesIn}, {asset::kCoderItems, kStill},
                                {asset::kCoderText, kSlidesIn},    {asset::kLoading, kStill},
                                {asset::kFullScreen, kStill},      {asset::kGroupLogo, kStill},
                                {asset::kTitle, kDropsAndJumps}};
    for (const char* step : asset::kSteps)
        all.push_back({step, kStill});
    for (const std::string& card : kCards)
        all.push_back({card, kDrifts});
    return all;
}

// What a viewer reads: strong and light. Dark plates, shadows and mid-grey ticks are
// backdrop, however strong.
constexpr u32 kSolidAlpha = 200;
constexpr u32 kInkLevel = 150;
// An edge counts as unseen below this alpha.
constexpr u32 kClearAlpha = 8;

struct Picture {
    u32 width = 0, height = 0;
    std::vector<video::SColor> px;
    const video::SColor& at(u32 x, u32 y) const { return px[size_t(y) * width + x]; }
    u32 alpha(u32 x, u32 y) const { return at(x, y).getAlpha(); }
    bool ink(u32 x, u32 y) const {
        const video::SColor& c = at(x, y);
        return c.getAlpha() >= kSolidAlpha &&
               std::max({c.getRed(), c.getGreen(), c.getBlue()}) >= kInkLevel;
    }
};

class OverlayScreens : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        device = createDevice(video::EDT_NULL);
        ASSERT_NE(device, nullptr);
        device->getLogger()->setLogLevel(ELL_ERROR);
        const std::string archive = showtest::builtArchive();
        ASSERT_TRUE(device->getFileSystem()->addFileArchive(archive.c_str(), true, true))
            << "cannot mount " << archive;
    }
    static void TearDownTestSuite() {
        if (device)
            device->drop();
        device = nullptr;
    }

    static Picture load(const std::string& path) {
        Picture p;
        video::IImage* img = device->getVideoDriver()->createImageFromFile(path.c_str());
        if (!img)
            return p;
        p.width = img->getDimension().Width;
        p.height = img->getDimension().Height;
        p.px.reserve(size_t(p.width) * p.height);
        for (u32 y = 0; y < p.height; ++y)
            for (u32 x = 0; x < p.width; ++x)
                p.px.push_back(img->getPixel(x, y));
        img->drop();
        return p;
    }

    static IrrlichtDevice* device;
};

IrrlichtDevice* OverlayScreens::device = nullptr;

u32 maxAlongColumn(const Picture& p, u32 x, u32 rows) {
    u32 most = 0;
    for (u32 y = 0; y < std::min(rows, p.height); ++y)
        most = std::max(most, p.alpha(x, y));
    return most;
}

u32 maxAlongRow(const Picture& p, u32 y, u32 columns) {
    u32 most = 0;
    for (u32 x = 0; x < std::min(columns, p.width); ++x)
        most = std::max(most, p.alpha(x, y));
    return most;
}

TEST_F(OverlayScreens, NoImageEndsInAVisibleEdgeOnAnyScreen) {
    for (const Overlay& o : overlays()) {
        const Picture p = load(o.path);
        ASSERT_GT(p.width, 0u) << o.path;
        for (const Screen& s : kScreens) {
            SCOPED_TRACE(o.path + " on " + std::to_string(s.width) + "x" +
                         std::to_string(s.height));
            if (p.width < s.width) {
                EXPECT_LE(maxAlongColumn(p, p.width - 1, s.height), kClearAlpha)
                    << "its right edge shows";
            }
            if (p.height < s.height || o.motion.fromAbove) {
                EXPECT_LE(maxAlongRow(p, p.height - 1, s.width), kClearAlpha)
                    << "its bottom edge shows";
            }
            if (o.motion.down) {
                EXPECT_LE(maxAlongRow(p, 0, s.width), kClearAlpha) << "its top edge shows";
            }
            if (o.motion.right) {
                EXPECT_LE(maxAlongColumn(p, 0, s.height), kClearAlpha) << "its left edge shows";
            }
        }
    }
}

TEST_F(OverlayScreens, WhatIsDrawnSolidIsOnTheSmallestScreenAndCardsStayThereWhileTheyDrift) {
    // A card moves down a line a frame for as long as its scene lasts; at 60 frames a second
    // the end card's five and a half seconds take it down some 330 lines.
    constexpr double kFps = 60.0;
    auto driftOf = [](const std::string& path) {
        const auto card = std::find(kCards.begin(), kCards.end(), path);
        if (card == kCards.end())
            return 0u;
        const int scene = kFirstCardScene + int(card - kCards.begin());
        const uint32_t samples = show::kSceneStarts[scene] - show::kSceneStarts[scene - 1];
        return u32(samples * kFps / show::kSampleRate);
    };
    // Ink beyond the smallest screen is allowed only as a line that runs on from inside it
    // across its edge, such as a rule the wider screens see more of.
    const u32 w = kSmallest.width, h = kSmallest.height;
    for (const Overlay& o : overlays()) {
        const Picture p = load(o.path);
        ASSERT_GT(p.width, 0u) << o.path;
        u32 inkPixels = 0, stray = 0, bottom = 0;
        std::vector<bool> runsDown(p.width, false);
        for (u32 y = 0; y < p.height; ++y) {
            bool runsRight = false;
            for (u32 x = 0; x < p.width; ++x) {
                const bool ink = p.ink(x, y);
                if (x + 1 >= w)
                    runsRight = ink && (x + 1 == w || runsRight);
                if (y + 1 >= h)
                    runsDown[x] = ink && (y + 1 == h || runsDown[x]);
                if (!ink)
                    continue;
                ++inkPixels;
                const bool inside = x < w && y < h;
                if (inside || (x >= w && runsRight) || (y >= h && runsDown[x]))
                    bottom = std::max(bottom, std::min(y + 1, h));
                else
                    ++stray;
            }
        }
        if (o.path == show::asset::kGreyOverlay) {
            EXPECT_EQ(inkPixels, 0u) << "the tint carries nothing to read";
            continue;
        }
        EXPECT_GT(inkPixels, 0u) << o.path << " shows nothing";
        EXPECT_EQ(stray, 0u) << o.path << " draws marks off the smallest screen";
        EXPECT_LE(bottom + driftOf(o.path), h) << o.path << " drifts off the smallest screen";
    }
    EXPECT_GT(driftOf(show::asset::kGreetings.back()), 300u);
}

TEST_F(OverlayScreens, TheTintOverWholeScenesCoversEveryScreenEvenly) {
    // It is drawn at its own size: short of the screen it leaves a bare band, and a shade
    // that is not even sits off-centre on all but one of the screens.
    constexpr double kTolerance = 2.0;
    const Picture p = load(show::asset::kGreyOverlay);
    for (const Screen& s : kScreens) {
        SCOPED_TRACE(std::to_string(s.width) + "x" + std::to_string(s.height));
        ASSERT_GE(p.width, s.width);
        ASSERT_GE(p.height, s.height);
        double quarter[2][2] = {};
        u32 bare = 0;
        for (u32 y = 0; y < s.height; ++y)
            for (u32 x = 0; x < s.width; ++x) {
                quarter[y * 2 / s.height][x * 2 / s.width] += p.alpha(x, y);
                bare += p.alpha(x, y) == 0;
            }
        EXPECT_EQ(bare, 0u);
        const double area = s.width * s.height / 4.0;
        const double mean = quarter[0][0] / area;
        for (auto& row : quarter)
            for (double q : row)
                EXPECT_NEAR(q / area, mean, kTolerance);
    }
}

TEST_F(OverlayScreens, ThePuzzleFrameSpansTheWidestScreen) {
    const Picture p = load(show::asset::kFullScreen);
    const Screen widest = kScreens[2];
    ASSERT_GE(p.width, widest.width);
    ASSERT_GE(p.height, widest.height);
    // Something of the frame in every sixth of the widest screen's width, the right third too.
    for (u32 sixth = 0; sixth < 6; ++sixth) {
        u32 most = 0;
        for (u32 x = sixth * widest.width / 6; x < (sixth + 1) * widest.width / 6; ++x)
            most = std::max(most, maxAlongColumn(p, x, widest.height));
        EXPECT_GT(most, 64u) << "the frame leaves sixth " << sixth << " bare";
    }
}

// A hard edge: along at least kRun pixels in a line, the alpha drops by kStep or more from
// a backdrop (translucent, at least kDepth pixels deep) to what lies beside it. Ink and
// lines thinner than kDepth may be crisp; a plate that stops like a cut-out rectangle may not.
constexpr u32 kRun = 96, kStep = 64, kDepth = 8;
constexpr u32 kBackdropLow = 40, kBackdropHigh = 240;

struct HardEdge {
    u32 run = 0;
    u32 x = 0, y = 0;
    bool vertical = false;
};

// Is the boundary between `inside` (the denser side) and `outside` at one point a hard edge
// of a backdrop? step(k) gives the alpha k pixels into the denser side, -1 past the image.
template <class Step> bool backdropEndsHere(u32 inside, u32 outside, Step step) {
    if (inside < outside + kStep)
        return false;
    for (u32 k = 0; k < kDepth; ++k) {
        const int a = step(k);
        if (a < int(std::max(kBackdropLow, outside + kStep)) || a > int(kBackdropHigh))
            return false;
    }
    return true;
}

HardEdge longestHardEdge(const Picture& p) {
    HardEdge worst;
    auto alphaAt = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= int(p.width) || y >= int(p.height))
            return -1;
        return int(p.alpha(u32(x), u32(y)));
    };
    // Boundaries between rows y-1 and y, followed along x.
    for (u32 y = 1; y < p.height; ++y) {
        u32 run = 0;
        for (u32 x = 0; x < p.width; ++x) {
            const u32 above = p.alpha(x, y - 1), below = p.alpha(x, y);
            const int ix = int(x), iy = int(y);
            const bool edge =
                backdropEndsHere(above, below,
                                 [&](u32 k) { return alphaAt(ix, iy - 1 - int(k)); }) ||
                backdropEndsHere(below, above, [&](u32 k) { return alphaAt(ix, iy + int(k)); });
            run = edge ? run + 1 : 0;
            if (run > worst.run)
                worst = {run, x, y, false};
        }
    }
    // Boundaries between columns x-1 and x, followed along y.
    for (u32 x = 1; x < p.width; ++x) {
        u32 run = 0;
        for (u32 y = 0; y < p.height; ++y) {
            const u32 left = p.alpha(x - 1, y), right = p.alpha(x, y);
            const int ix = int(x), iy = int(y);
            const bool edge =
                backdropEndsHere(left, right,
                                 [&](u32 k) { return alphaAt(ix - 1 - int(k), iy); }) ||
                backdropEndsHere(right, left, [&](u32 k) { return alphaAt(ix + int(k), iy); });
            run = edge ? run + 1 : 0;
            if (run > worst.run)
                worst = {run, x, y, true};
        }
    }
    return worst;
}

TEST_F(OverlayScreens, BackdropsFadeOutInsteadOfStoppingInAStraightEdge) {
    for (const Overlay& o : overlays()) {
        const Picture p = load(o.path);
        ASSERT_GT(p.width, 0u) << o.path;
        const HardEdge e = longestHardEdge(p);
        EXPECT_LT(e.run, kRun) << o.path << ": a backdrop stops in a " << e.run << "-pixel "
                               << (e.vertical ? "vertical" : "horizontal") << " edge ending at ("
                               << e.x << ", " << e.y << ")";
    }
}

} // namespace

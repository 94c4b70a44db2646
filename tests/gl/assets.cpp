// The data archive as the show mounts it: every path the show loads is there and loads
// through a path- and case-ignoring mount on a real OpenGL device; the font sets the
// credits line; the models carry the frames, normals and texture coordinates the scenes use.
#include "common/show_fixture.h"
#include "scenes/world.h"

#include <gtest/gtest.h>
#include <irrlicht.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

using namespace irr;

namespace {

const std::string kArchive = showtest::builtArchive();

// Overlay images of the start-up table, in the paths the show asks for.
const std::vector<std::string> kOverlayImages = {
    "gfx/greyish_overlay1.png",
    "gfx/1280x800/pelvin_items.png",
    "gfx/1280x800/pelvin_text.png",
    "gfx/1280x800/keldrun_items.png",
    "gfx/1280x800/keldrun_text.png",
    "gfx/1280x800/loading.png",
    "gfx/1280x800/qhv_dorr.png",
    "gfx/step1.png",
    "gfx/step2.png",
    "gfx/step3.png",
    "gfx/step4.png",
    "gfx/step5.png",
    "gfx/step6.png",
    "gfx/step8.png",
    "gfx/step10.png",
    "gfx/step12.png",
    "gfx/step15.png",
    "gfx/step16.png",
    "gfx/top_layer/greetz/frelby.png",
    "gfx/top_layer/greetz/gossamik.png",
    "gfx/top_layer/greetz/tulvane.png",
    "gfx/top_layer/greetz/mernavo.png",
    "gfx/top_layer/greetz/drossik.png",
    "gfx/top_layer/greetz/plimber.png",
    "gfx/top_layer/greetz/vashtel.png",
    "gfx/top_layer/greetz/quenby.png",
    "gfx/top_layer/greetz/zorrel.png",
    "gfx/top_layer/greetz/end.png",
    "gfx/top_layer/2pix.png",
    "gfx/1280x800/group_logo.png",
    "gfx/1280x800/title.png",
    "gfx/top_layer/32/particle_seethrough_32.png",
    "gfx/top_layer/32/arrow.png",
};

const std::vector<std::string> kSurfaceTextures = {
    "gfx/brick_orange.jpg",   "gfx/brick_yellow.jpg",      "gfx/box.jpg",
    "models/box.jpg",         "models/Crackem.jpg",        "gfx/JBoxes.jpg",
    "gfx/particle_white.jpg", "gfx/particle_checkers.jpg",
};

const std::vector<std::string> kModels = {
    "models/circlemania.X", "models/true_twirl.X",  "models/blueball3.X",      "models/twirl.X",
    "models/sprutkurv.X",   "models/living_roof.X", "models/test_back_room.X", "models/big_un.X",
    "models/unlimited.X",   "models/roundabout.X",
};

const char* const kFont = "font/blockbit_small.xml";
const wchar_t* const kCreditsText =
    L"cobblejay frindles! * code(kELDRUN) * music(pel00vin) * rm2009";

// What the show's layout assumes of the overlay: the screen it is designed for, the
// credits rectangle (15, H-30, W-15, H-2) and the 32-pixel tile grids.
constexpr u32 kDesignW = 1280, kDesignH = 800, kTallH = 1024;
constexpr s32 kCreditsRectHeight = 28, kCreditsSideMargin = 15;
constexpr u32 kTileSize = 32;

class Assets : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        SIrrlichtCreationParameters p;
        p.DriverType = video::EDT_OPENGL;
        p.WindowSize = core::dimension2du(640, 480);
        p.Bits = 32;
        device = createDeviceEx(p);
        ASSERT_NE(device, nullptr) << "no OpenGL device";
        device->getLogger()->setLogLevel(ELL_ERROR);
        ASSERT_TRUE(device->getFileSystem()->addFileArchive(kArchive.c_str(), true, true))
            << "cannot mount " << kArchive;
    }
    static void TearDownTestSuite() {
        if (device)
            device->drop();
        device = nullptr;
    }
    void SetUp() override { ASSERT_NE(device, nullptr); }

    static video::IVideoDriver* driver() { return device->getVideoDriver(); }
    static scene::ISceneManager* smgr() { return device->getSceneManager(); }

    static scene::IAnimatedMesh* mesh(const std::string& path) {
        return smgr()->getMesh(path.c_str());
    }

    // World-space box of a skinned mesh's rigid parts at one frame.
    static core::aabbox3df boxAtFrame(scene::IAnimatedMesh* m, s32 frame) {
        scene::IMesh* posed = m->getMesh(frame);
        core::aabbox3df box;
        bool first = true;
        for (u32 b = 0; b < posed->getMeshBufferCount(); ++b) {
            auto* buf = static_cast<scene::SSkinMeshBuffer*>(posed->getMeshBuffer(b));
            for (u32 v = 0; v < buf->getVertexCount(); ++v) {
                core::vector3df p = buf->getPosition(v);
                buf->Transformation.transformVect(p);
                if (first)
                    box.reset(p);
                else
                    box.addInternalPoint(p);
                first = false;
            }
        }
        return box;
    }

    // The posed points of every rigid part at one frame, one list per part.
    static std::vector<std::vector<core::vector3df>> poseAtFrame(scene::IAnimatedMesh* m,
                                                                 s32 frame) {
        scene::IMesh* posed = m->getMesh(frame);
        std::vector<std::vector<core::vector3df>> pose;
        for (u32 b = 0; b < posed->getMeshBufferCount(); ++b) {
            auto* buf = static_cast<scene::SSkinMeshBuffer*>(posed->getMeshBuffer(b));
            pose.emplace_back();
            for (u32 v = 0; v < buf->getVertexCount(); ++v) {
                core::vector3df p = buf->getPosition(v);
                buf->Transformation.transformVect(p);
                pose.back().push_back(p);
            }
        }
        return pose;
    }

    // How far apart two poses look: the largest distance from a point of one part to the
    // nearest point of the same part in the other pose. A part turned onto its own
    // symmetry looks the same and measures 0.
    static f32 poseDistance(const std::vector<std::vector<core::vector3df>>& a,
                            const std::vector<std::vector<core::vector3df>>& b) {
        f32 worst = 0;
        for (size_t part = 0; part < std::min(a.size(), b.size()); ++part)
            for (const core::vector3df& p : a[part]) {
                f32 nearest = 1e30f;
                for (const core::vector3df& q : b[part])
                    nearest = std::min(nearest, p.getDistanceFromSQ(q));
                worst = std::max(worst, std::sqrt(nearest));
            }
        return worst;
    }

    static IrrlichtDevice* device;
};

IrrlichtDevice* Assets::device = nullptr;

TEST_F(Assets, EveryPathTheShowLoadsIsInTheArchive) {
    std::vector<std::string> all = kOverlayImages;
    all.insert(all.end(), kSurfaceTextures.begin(), kSurfaceTextures.end());
    all.insert(all.end(), kModels.begin(), kModels.end());
    all.push_back(kFont);
    for (const std::string& path : all)
        EXPECT_TRUE(device->getFileSystem()->existFile(path.c_str())) << path;
}

TEST_F(Assets, OverlayImagesLoadAtTheSizesTheLayoutUses) {
    for (const std::string& path : kOverlayImages) {
        video::ITexture* t = driver()->getTexture(path.c_str());
        ASSERT_NE(t, nullptr) << path;
        const core::dimension2du size = t->getOriginalSize();
        EXPECT_GT(size.Width, 0u) << path;
        EXPECT_GT(size.Height, 0u) << path;
        EXPECT_TRUE(t->hasAlpha()) << path << " must carry alpha: it is drawn over the scene";
    }
    // The grey overlay is drawn at its own size: it must cover the default 1280x1024 screen.
    const core::dimension2du grey =
        driver()->getTexture("gfx/greyish_overlay1.png")->getOriginalSize();
    EXPECT_GE(grey.Width, kDesignW);
    EXPECT_GE(grey.Height, kTallH);
    // Full-screen cards and the frame are laid out for the design screen.
    for (const char* path : {"gfx/1280x800/qhv_dorr.png", "gfx/1280x800/title.png",
                             "gfx/top_layer/greetz/end.png", "gfx/step16.png"}) {
        const core::dimension2du s = driver()->getTexture(path)->getOriginalSize();
        EXPECT_EQ(s, core::dimension2du(kDesignW, kDesignH)) << path;
    }
    // The tile grids step by 32 pixels: a tile of another size leaves gaps or overlaps.
    for (const char* path :
         {"gfx/top_layer/32/particle_seethrough_32.png", "gfx/top_layer/32/arrow.png"})
        EXPECT_EQ(driver()->getTexture(path)->getOriginalSize(),
                  core::dimension2du(kTileSize, kTileSize))
            << path;
}

TEST_F(Assets, SurfaceTexturesLoadAndBumpMapsBecomeNormalMaps) {
    for (const std::string& path : kSurfaceTextures) {
        video::ITexture* t = driver()->getTexture(path.c_str());
        ASSERT_NE(t, nullptr) << path;
        EXPECT_GT(t->getOriginalSize().Width, 0u) << path;
    }
    // The bump maps must have relief: a flat map makes a featureless normal map.
    for (const char* path : {"gfx/box.jpg", "models/Crackem.jpg"}) {
        video::IImage* img = driver()->createImageFromFile(path);
        ASSERT_NE(img, nullptr) << path;
        u32 lo = 255, hi = 0;
        const core::dimension2du d = img->getDimension();
        for (u32 y = 0; y < d.Height; y += 3)
            for (u32 x = 0; x < d.Width; x += 3) {
                const u32 v = img->getPixel(x, y).getAverage();
                lo = std::min(lo, v);
                hi = std::max(hi, v);
            }
        img->drop();
        EXPECT_GT(hi - lo, 100u) << path << " has too little relief";
    }
}

TEST_F(Assets, FontSetsTheCreditsLineOnOneRowThatFitsItsRectangle) {
    gui::IGUIFont* font = device->getGUIEnvironment()->getFont(kFont);
    ASSERT_NE(font, nullptr);
    const core::dimension2du size = font->getDimension(kCreditsText);
    EXPECT_GT(size.Width, 0u);
    EXPECT_LE(size.Height, static_cast<u32>(kCreditsRectHeight));
    EXPECT_LE(size.Width, kDesignW - 2 * kCreditsSideMargin);
    // Each letter of the line has its own glyph: no two of 'c', 'k', 'E' and '(' share
    // the fallback.
    EXPECT_NE(font->getDimension(L"k").Width, 0u);

    // Draw it into a render target and read it back: the text must change pixels.
    const core::dimension2du rtSize(1024, 64);
    video::ITexture* rt = driver()->addRenderTargetTexture(rtSize, "assets_font_rt");
    ASSERT_NE(rt, nullptr);
    driver()->beginScene(true, true, video::SColor(255, 0, 0, 0));
    driver()->setRenderTarget(rt, true, true, video::SColor(255, 0, 0, 0));
    font->draw(kCreditsText, core::rect<s32>(8, 8, 1016, 56), video::SColor(255, 200, 200, 200));
    driver()->setRenderTarget(0, false, false);
    driver()->endScene();
    const u32* px = static_cast<const u32*>(rt->lock(video::ETLM_READ_ONLY));
    ASSERT_NE(px, nullptr);
    u32 lit = 0;
    for (u32 i = 0; i < rtSize.Width * rtSize.Height; ++i)
        if (video::SColor(px[i]).getLuminance() > 100)
            ++lit;
    rt->unlock();
    driver()->removeTexture(rt);
    // A 63-character line in a blocky face lights thousands of pixels, not a handful.
    EXPECT_GT(lit, 2000u);
}

TEST_F(Assets, ModelsHaveNormalsTextureCoordinatesAndTheirTextures) {
    for (const std::string& path : kModels) {
        scene::IAnimatedMesh* m = mesh(path);
        ASSERT_NE(m, nullptr) << path;
        scene::IMesh* frame0 = m->getMesh(0);
        ASSERT_GT(frame0->getMeshBufferCount(), 0u) << path;
        u32 vertices = 0, zeroNormals = 0, spread = 0;
        for (u32 b = 0; b < frame0->getMeshBufferCount(); ++b) {
            scene::IMeshBuffer* buf = frame0->getMeshBuffer(b);
            EXPECT_NE(buf->getMaterial().getTexture(0), nullptr)
                << path << " names a texture the archive lacks";
            core::vector2df tmin(1e9f, 1e9f), tmax(-1e9f, -1e9f);
            for (u32 v = 0; v < buf->getVertexCount(); ++v) {
                ++vertices;
                if (buf->getNormal(v).getLengthSQ() < 0.5f)
                    ++zeroNormals;
                const core::vector2df& t = buf->getTCoords(v);
                tmin.X = std::min(tmin.X, t.X);
                tmin.Y = std::min(tmin.Y, t.Y);
                tmax.X = std::max(tmax.X, t.X);
                tmax.Y = std::max(tmax.Y, t.Y);
            }
            if (tmax.X - tmin.X > 0.1f && tmax.Y - tmin.Y > 0.1f)
                ++spread;
        }
        EXPECT_GT(vertices, 0u) << path;
        EXPECT_EQ(zeroNormals, 0u) << path << " has vertices without normals";
        EXPECT_EQ(spread, frame0->getMeshBufferCount()) << path << " lacks texture coordinates";
    }
}

// Frame loops the scenes set, with the speeds that make them play.
struct LoopCase {
    const char* path;
    s32 first, last;
};

TEST_F(Assets, AnimatedModelsHoldTheFramesTheScenesPlayAndLoopSeamlessly) {
    const LoopCase loops[] = {{"models/circlemania.X", 1, 100},
                              {"models/true_twirl.X", 1, 730},
                              {"models/blueball3.X", 1, 100}};
    for (const LoopCase& c : loops) {
        scene::IAnimatedMesh* m = mesh(c.path);
        ASSERT_NE(m, nullptr) << c.path;
        scene::IAnimatedMeshSceneNode* node = smgr()->addAnimatedMeshSceneNode(m);
        ASSERT_TRUE(node->setFrameLoop(c.first, c.last));
        EXPECT_EQ(node->getStartFrame(), c.first) << c.path;
        EXPECT_EQ(node->getEndFrame(), c.last) << c.path << ": the loop would be cut short";
        node->remove();
        // The last frame of the loop repeats the first, and the loop actually moves.
        const auto start = poseAtFrame(m, c.first);
        EXPECT_LT(poseDistance(start, poseAtFrame(m, c.last)), 1e-3f)
            << c.path << " jumps at the seam";
        f32 motion = 0;
        for (s32 f = c.first; f <= c.last; f += std::max(1, (c.last - c.first) / 20))
            motion = std::max(motion, poseDistance(start, poseAtFrame(m, f)));
        EXPECT_GT(motion, 0.1f) << c.path << " does not move";
    }
    // The cube puzzle rests on frames 1 to 2 (its pose before scene 7).
    scene::IAnimatedMesh* puzzle = mesh("models/true_twirl.X");
    EXPECT_LT(poseDistance(poseAtFrame(puzzle, 1), poseAtFrame(puzzle, 2)), 1e-4f);
    // The twirl plays its whole range at the engine's default loop: both ends the same pose.
    scene::IAnimatedMesh* twirl = mesh("models/twirl.X");
    const s32 twirlLast = static_cast<s32>(twirl->getFrameCount()) - 1;
    EXPECT_GT(twirlLast, 1);
    EXPECT_LT(poseDistance(poseAtFrame(twirl, 0), poseAtFrame(twirl, twirlLast)), 1e-3f);
}

TEST_F(Assets, BackRoomEnclosesCameraPathBWithInwardWalls) {
    // Camera path B of the fountain room, flown at the scene's speed with the engine's spline.
    const core::array<core::vector3df> points = show::cameraPathB();
    // The room as scene 4 shows it: scale 2, lowered by 100.
    const core::vector3df scale(2, 2, 2), offset(0, -100, 0);
    // The camera's near plane must stay clear of every wall.
    constexpr f32 kClearance = 40.0f;

    scene::IAnimatedMesh* room = mesh("models/test_back_room.X");
    ASSERT_NE(room, nullptr);
    core::aabbox3df box = room->getMesh(0)->getBoundingBox();
    box.MinEdge = box.MinEdge * scale + offset;
    box.MaxEdge = box.MaxEdge * scale + offset;

    scene::ISceneNode* probe = smgr()->addEmptySceneNode();
    scene::ISceneNodeAnimator* spline = smgr()->createFollowSplineAnimator(0, points, 1.0f, 0.5f);
    const u32 lapMs = points.size() * 1000;
    for (u32 t = 0; t < lapMs; t += 10) {
        spline->animateNode(probe, t);
        const core::vector3df p = probe->getPosition();
        ASSERT_TRUE(p.X > box.MinEdge.X + kClearance && p.X < box.MaxEdge.X - kClearance &&
                    p.Y > box.MinEdge.Y + kClearance && p.Y < box.MaxEdge.Y - kClearance &&
                    p.Z > box.MinEdge.Z + kClearance && p.Z < box.MaxEdge.Z - kClearance)
            << "camera leaves the room at t=" << t << " ms: (" << p.X << ", " << p.Y << ", " << p.Z
            << ")";
    }
    spline->drop();
    probe->remove();

    // Every face on the room's outer shell looks into the room.
    const core::aabbox3df shell = room->getMesh(0)->getBoundingBox();
    const core::vector3df centre = shell.getCenter();
    scene::IMeshBuffer* buf = room->getMesh(0)->getMeshBuffer(0);
    const u16* idx = buf->getIndices();
    u32 shellFaces = 0;
    for (u32 i = 0; i + 2 < buf->getIndexCount(); i += 3) {
        const core::vector3df a = buf->getPosition(idx[i]), b = buf->getPosition(idx[i + 1]),
                              c = buf->getPosition(idx[i + 2]);
        const core::vector3df mid = (a + b + c) / 3.0f;
        const bool onShell =
            std::fabs(mid.X - shell.MinEdge.X) < 1 || std::fabs(mid.X - shell.MaxEdge.X) < 1 ||
            std::fabs(mid.Y - shell.MinEdge.Y) < 1 || std::fabs(mid.Y - shell.MaxEdge.Y) < 1 ||
            std::fabs(mid.Z - shell.MinEdge.Z) < 1 || std::fabs(mid.Z - shell.MaxEdge.Z) < 1;
        if (!onShell)
            continue;
        ++shellFaces;
        // The engine's front faces: (b - a) x (c - a) points out of the visible side.
        const core::vector3df front = (b - a).crossProduct(c - a);
        EXPECT_GT(front.dotProduct(centre - mid), 0.0f)
            << "a wall faces outwards at " << mid.X << ", " << mid.Y << ", " << mid.Z;
        EXPECT_GT(buf->getNormal(idx[i]).dotProduct(centre - mid), 0.0f);
    }
    EXPECT_GT(shellFaces, 0u);
}

TEST_F(Assets, ModelsStayWithinTheSoftwareRenderingBudget) {
    // The twirl is drawn 256 times per frame in scenes 3 and 4.
    constexpr u32 kTwirlTriangles = 300;
    // The endless knot is drawn twice (solid and wireframe) and is no more than a prop.
    constexpr u32 kKnotTriangles = 2500;
    auto triangles = [](scene::IAnimatedMesh* m) {
        u32 n = 0;
        for (u32 b = 0; b < m->getMesh(0)->getMeshBufferCount(); ++b)
            n += m->getMesh(0)->getMeshBuffer(b)->getIndexCount() / 3;
        return n;
    };
    EXPECT_LE(triangles(mesh("models/twirl.X")), kTwirlTriangles);
    EXPECT_LE(triangles(mesh("models/unlimited.X")), kKnotTriangles);
}

TEST_F(Assets, TwirlIsOneDrawCallWhosePlatesTwistApart) {
    // Drawn 256 times a frame in scenes 3 and 4: each twirl must cost one draw call.
    scene::IAnimatedMesh* twirl = mesh("models/twirl.X");
    ASSERT_NE(twirl, nullptr);
    EXPECT_EQ(twirl->getMesh(0)->getMeshBufferCount(), 1u);

    // Still four plates turning on their own: the top plate's corners seen from above leave
    // the bottom plate's while the loop plays, and meet them again where it closes.
    auto apart = [](const std::vector<core::vector3df>& corners) {
        f32 top = -1e30f, bottom = 1e30f;
        for (const core::vector3df& p : corners) {
            top = std::max(top, p.Y);
            bottom = std::min(bottom, p.Y);
        }
        f32 worst = 0;
        for (const core::vector3df& p : corners) {
            if (p.Y < top - 0.5f)
                continue;
            f32 nearest = 1e30f;
            for (const core::vector3df& q : corners)
                if (q.Y < bottom + 0.5f)
                    nearest = std::min(nearest, core::vector2df(p.X - q.X, p.Z - q.Z).getLength());
            worst = std::max(worst, nearest);
        }
        return worst;
    };
    const s32 last = static_cast<s32>(twirl->getFrameCount()) - 1;
    f32 widest = 0;
    for (s32 f = 0; f <= last; ++f)
        widest = std::max(widest, apart(poseAtFrame(twirl, f)[0]));
    EXPECT_GT(widest, 5.0f) << "the plates turn as one";
    EXPECT_LT(apart(poseAtFrame(twirl, 0)[0]), 1e-3f);
}

TEST_F(Assets, SpoutBasinOpensWhereTheSpectrumFountainRises) {
    // The spout stands at y = -600; the spectrum fountain emits upwards from the origin.
    constexpr f32 kSpoutY = -600.0f, kRimBelowOrigin = 60.0f;
    scene::IAnimatedMesh* spout = mesh("models/sprutkurv.X");
    ASSERT_NE(spout, nullptr);
    const core::aabbox3df box = spout->getMesh(0)->getBoundingBox();
    EXPECT_LE(kSpoutY + box.MaxEdge.Y, kRimBelowOrigin);
    EXPECT_GE(kSpoutY + box.MaxEdge.Y, -kRimBelowOrigin);
    EXPECT_LE(kSpoutY + box.MinEdge.Y, -500.0f) << "the basin should reach up from far below";
}

} // namespace

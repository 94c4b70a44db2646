// The data archive as start-up mounts and loads it: every path the show names is there, the
// show's every handle is filled and every texture it names is found; the overlay images have
// the sizes the layout needs, the font sets the credits line, and the models carry the frames,
// normals and texture coordinates the scenes use.
#include "common/show_fixture.h"
#include "content/asset_paths.h"
#include "host/startup.h"
#include "postprocess/post_process_nodes.h"
#include "scenes/show.h"
#include "scenes/world.h"

#include <gtest/gtest.h>
#include <irrlicht.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <string>
#include <vector>

using namespace irr;

namespace {

// A model's material may go without a texture where its surface takes its colours from its
// vertices; they must then vary over it, or it draws as one flat colour.
bool colouredByVertices(const scene::IMeshBuffer* buffer) {
    auto colour = [buffer](u32 v) {
        switch (buffer->getVertexType()) {
        case video::EVT_2TCOORDS:
            return static_cast<const video::S3DVertex2TCoords*>(buffer->getVertices())[v].Color;
        case video::EVT_TANGENTS:
            return static_cast<const video::S3DVertexTangents*>(buffer->getVertices())[v].Color;
        default:
            return static_cast<const video::S3DVertex*>(buffer->getVertices())[v].Color;
        }
    };
    for (u32 v = 1; v < buffer->getVertexCount(); ++v)
        if (colour(v) != colour(0))
            return true;
    return false;
}

const std::string kArchive = showtest::builtArchive();

std::vector<std::string> overlayImagePaths() {
    std::vector<std::string> all(show::asset::kOverlayImages.begin(),
                                 show::asset::kOverlayImages.end());
    all.insert(all.end(), show::asset::kSteps.begin(), show::asset::kSteps.end());
    all.insert(all.end(), show::asset::kGreetings.begin(), show::asset::kGreetings.end());
    return all;
}

// What the show's layout assumes of the overlay: the width it is designed for and the
// 32-pixel tile grids.
constexpr u32 kDesignW = 1280;
constexpr u32 kTileSize = 32;

class Assets : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        show = new show::Show;
        const show::StartupResult result =
            show::startShow(*show, showtest::windowedShowOptions(640, 480, 10, kArchive.c_str()));
        ASSERT_EQ(result, show::StartupResult::Ready) << "no OpenGL device or no track";
        device = show->engine.device;
        ASSERT_TRUE(device->getFileSystem()->existFile(show::asset::kFont))
            << "cannot mount " << kArchive;
    }
    static void TearDownTestSuite() {
        if (show)
            show::shutdownShow(*show);
        delete show;
        show = nullptr;
        device = nullptr;
    }
    void SetUp() override { ASSERT_NE(device, nullptr); }

    static video::IVideoDriver* driver() { return device->getVideoDriver(); }
    static scene::ISceneManager* smgr() { return device->getSceneManager(); }

    static scene::IAnimatedMesh* mesh(const std::string& path) {
        return smgr()->getMesh(path.c_str());
    }

    // The name a path has in the mounted archive (case and folders ignored): the one the
    // driver's texture cache knows it by. Empty when the archive lacks it.
    static std::string archiveName(const io::path& path) {
        io::IReadFile* file = device->getFileSystem()->createAndOpenFile(path);
        if (!file)
            return "";
        const std::string name = file->getFileName().c_str();
        file->drop();
        return name;
    }

    // The textures a model file names ("TextureFilename { "path"; }").
    static std::set<std::string> texturesNamedBy(const char* model) {
        io::IReadFile* file = device->getFileSystem()->createAndOpenFile(model);
        std::set<std::string> names;
        if (!file)
            return names;
        std::string text(size_t(file->getSize()), '\0');
        file->read(text.data(), u32(text.size()));
        file->drop();
        const std::string key = "TextureFilename";
        for (size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + 1)) {
            const size_t open = text.find('"', at);
            const size_t close = text.find('"', open + 1);
            if (open != std::string::npos && close != std::string::npos)
                names.insert(text.substr(open + 1, close - open - 1));
        }
        return names;
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

    static show::Show* show;
    static IrrlichtDevice* device;
};

show::Show* Assets::show = nullptr;
IrrlichtDevice* Assets::device = nullptr;

TEST_F(Assets, EveryPathTheShowLoadsIsInTheArchive) {
    std::vector<std::string> all = overlayImagePaths();
    all.insert(all.end(), show::asset::kTextures.begin(), show::asset::kTextures.end());
    all.insert(all.end(), show::asset::kModels.begin(), show::asset::kModels.end());
    all.push_back(show::asset::kFont);
    for (const char* model : show::asset::kModels)
        for (const std::string& texture : texturesNamedBy(model))
            all.push_back(texture);
    for (const std::string& path : all)
        EXPECT_TRUE(device->getFileSystem()->existFile(path.c_str())) << path;
}

// Every handle start-up keeps is filled, and every texture an element or node was given or a
// model file names was found: nothing of the show is left empty by its own content.
TEST_F(Assets, TheRealContentLoadsCompletely) {
    const show::Overlay& o = show->overlay;
    std::vector<gui::IGUIImage*> images = {o.greyOverlay, o.musicianItems, o.musicianText,
                                           o.coderItems,  o.coderText,     o.loading,
                                           o.fullScreen,  o.groupLogo,     o.title};
    images.insert(images.end(), o.steps.begin(), o.steps.end());
    images.insert(images.end(), o.greetings.begin(), o.greetings.end());
    images.insert(images.end(), o.rowA.begin(), o.rowA.end());
    images.insert(images.end(), o.rowB.begin(), o.rowB.end());
    images.insert(images.end(), o.tilesA.begin(), o.tilesA.end());
    images.insert(images.end(), o.tilesB.begin(), o.tilesB.end());
    for (size_t i = 0; i < images.size(); ++i) {
        ASSERT_NE(images[i], nullptr) << "overlay image " << i;
        EXPECT_NE(images[i]->getImage(), nullptr) << "overlay image " << i << " has no picture";
    }
    EXPECT_NE(o.fader, nullptr);
    EXPECT_NE(o.status, nullptr);
    EXPECT_NE(o.credits, nullptr);
    gui::IGUIEnvironment* gui = device->getGUIEnvironment();
    gui::IGUIFont* font = gui->getSkin()->getFont();
    EXPECT_NE(font, gui->getBuiltInFont()) << "the skin kept the engine's own font";
    ASSERT_EQ(font->getType(), gui::EGFT_BITMAP);
    gui::IGUISpriteBank* glyphs = static_cast<gui::IGUIFontBitmap*>(font)->getSpriteBank();
    ASSERT_GT(glyphs->getTextureCount(), 0u);
    EXPECT_NE(glyphs->getTexture(0), nullptr) << "the font's picture was not found";

    const show::World& w = show->world;
    // Models, rooms and sculptures: every material keeps the texture its file names; the
    // normal-mapped ones carry their normal map as the second layer.
    std::vector<scene::ISceneNode*> modelled = {w.circleSculpture, w.cubePuzzle, w.blueBall,
                                                w.spout,           w.roof,       w.roundabout};
    modelled.insert(modelled.end(), w.twirlGrid.begin(), w.twirlGrid.end());
    const std::vector<scene::ISceneNode*> normalMapped = {w.backRoom, w.boxHall, w.innerSculpture,
                                                          w.wireSculpture};
    modelled.insert(modelled.end(), normalMapped.begin(), normalMapped.end());
    for (size_t i = 0; i < modelled.size(); ++i) {
        scene::ISceneNode* node = modelled[i];
        ASSERT_NE(node, nullptr) << "model node " << i;
        ASSERT_GT(node->getMaterialCount(), 0u) << "model node " << i;
        for (u32 m = 0; m < node->getMaterialCount(); ++m) {
            if (node->getMaterial(m).getTexture(0))
                continue;
            const scene::IMeshBuffer* buffer = nullptr;
            if (node->getType() == scene::ESNT_ANIMATED_MESH)
                buffer = static_cast<scene::IAnimatedMeshSceneNode*>(node)
                             ->getMesh()
                             ->getMesh(0)
                             ->getMeshBuffer(m);
            EXPECT_TRUE(buffer && colouredByVertices(buffer))
                << "model node " << i << " material " << m << " has no texture";
        }
    }
    for (scene::ISceneNode* node : normalMapped)
        EXPECT_NE(node->getMaterial(0).getTexture(1), nullptr);
    EXPECT_GE(w.normalColourMaterial, 0) << "the roundabout's shader did not compile";

    // What start-up makes without a model still wears the textures the code names.
    std::vector<scene::ISceneNode*> textured = {w.waveFloor, w.spectrumFountain,
                                                w.attractorFountain, w.snowField};
    textured.insert(textured.end(), w.fountains.begin(), w.fountains.end());
    textured.insert(textured.end(), w.orbs.begin(), w.orbs.end());
    for (size_t i = 0; i < textured.size(); ++i) {
        ASSERT_NE(textured[i], nullptr) << "textured node " << i;
        EXPECT_NE(textured[i]->getMaterial(0).getTexture(0), nullptr) << "textured node " << i;
    }
    EXPECT_NE(w.waveFloor->getMaterial(0).getTexture(1), nullptr);
    for (const auto* light : w.orbLights)
        EXPECT_NE(light, nullptr);
    for (const auto* light : w.orbitLights)
        EXPECT_NE(light, nullptr);
    EXPECT_NE(w.camera, nullptr);
    EXPECT_NE(show->physics.brickTexture, nullptr);

    // The driver's cache holds exactly the pictures the paths name, the font's and the models'
    // own: all loaded before the music starts, and nothing loaded from a path not named.
    std::vector<std::string> named = overlayImagePaths();
    named.insert(named.end(), show::asset::kTextures.begin(), show::asset::kTextures.end());
    for (const char* model : show::asset::kModels)
        for (const std::string& texture : texturesNamedBy(model))
            named.push_back(texture);
    std::set<std::string> expected = {archiveName(glyphs->getTexture(0)->getName().getPath())};
    for (const std::string& path : named) {
        expected.insert(archiveName(path.c_str()));
        EXPECT_NE(driver()->findTexture(archiveName(path.c_str()).c_str()), nullptr)
            << path << " was not loaded at start-up";
    }
    for (u32 i = 0; i < driver()->getTextureCount(); ++i) {
        const std::string name = driver()->getTextureByIndex(i)->getName().getPath().c_str();
        const bool renderTarget = name.empty(), engineFont = name == "#DefaultFont";
        EXPECT_TRUE(renderTarget || engineFont || expected.count(name))
            << name << " was loaded from a path the show does not name";
    }

    const show::Effects& e = show->effects;
    for (show::SinglePassNode* node : std::vector<show::SinglePassNode*>{
             e.firstBlur, e.secondBlur, e.invert, e.glass, e.color, e.bloom}) {
        ASSERT_NE(node, nullptr);
        EXPECT_NE(node->RenderTarget, nullptr) << node->getName();
    }
    ASSERT_NE(e.motionBlur, nullptr);
    EXPECT_NE(e.motionBlur->SceneTarget, nullptr);
}

TEST_F(Assets, OverlayImagesLoadAtTheSizesTheLayoutUses) {
    for (const std::string& path : overlayImagePaths()) {
        video::ITexture* t = driver()->getTexture(path.c_str());
        ASSERT_NE(t, nullptr) << path;
        const core::dimension2du size = t->getOriginalSize();
        EXPECT_GT(size.Width, 0u) << path;
        EXPECT_GT(size.Height, 0u) << path;
        EXPECT_TRUE(t->hasAlpha()) << path << " must carry alpha: it is drawn over the scene";
    }
    // How the images sit on screens of every shape: overlays_gl.cpp.
    // The tile grids step by 32 pixels: a tile of another size leaves gaps or overlaps.
    for (const char* path : {show::asset::kTile, show::asset::kArrow})
        EXPECT_EQ(driver()->getTexture(path)->getOriginalSize(),
                  core::dimension2du(kTileSize, kTileSize))
            << path;
}

TEST_F(Assets, BumpMapsHaveRelief) {
    // A flat bump map makes a featureless normal map.
    for (const char* path :
         {show::asset::kBackRoomBump, show::asset::kBoxHallBump, show::asset::kSculptureBump}) {
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
    gui::IGUIStaticText* credits = show->overlay.credits;
    gui::IGUIFont* font = credits->getActiveFont();
    ASSERT_NE(font, device->getGUIEnvironment()->getBuiltInFont());
    const std::wstring text = credits->getText();
    ASSERT_FALSE(text.empty());
    // One row on the design screen, inside the line's own rectangle (15 pixels in from each
    // side).
    constexpr u32 kSideMargin = 15;
    const core::dimension2du size = font->getDimension(text.c_str());
    EXPECT_GT(size.Width, 0u);
    EXPECT_LE(size.Height, u32(credits->getRelativePosition().getHeight()));
    EXPECT_LE(size.Width, kDesignW - 2 * kSideMargin);

    // Every letter of the line is one the font file defines; a letter it lacks would be drawn
    // as the font's first glyph, so no two letters of the line may share a picture either.
    std::set<wchar_t> defined;
    io::IXMLReader* xml = device->getFileSystem()->createXMLReader(show::asset::kFont);
    ASSERT_NE(xml, nullptr);
    while (xml->read())
        if (xml->getNodeType() == io::EXN_ELEMENT && core::stringw(L"c") == xml->getNodeName())
            defined.insert(xml->getAttributeValueSafe(L"c")[0]);
    xml->drop();
    auto* bitmap = static_cast<gui::IGUIFontBitmap*>(font);
    std::set<u32> sprites;
    const std::set<wchar_t> letters(text.begin(), text.end());
    for (wchar_t c : letters) {
        EXPECT_TRUE(defined.count(c)) << "no glyph for '" << char(c) << "'";
        const wchar_t one[] = {c, 0};
        EXPECT_TRUE(sprites.insert(bitmap->getSpriteNoFromChar(one)).second)
            << "'" << char(c) << "' shares its picture with another letter";
    }

    // Draw it into a render target and read it back: the text must change pixels.
    const core::dimension2du rtSize(1024, 64);
    video::ITexture* rt = driver()->addRenderTargetTexture(rtSize, "assets_font_rt");
    ASSERT_NE(rt, nullptr);
    driver()->beginScene(true, true, video::SColor(255, 0, 0, 0));
    driver()->setRenderTarget(rt, true, true, video::SColor(255, 0, 0, 0));
    font->draw(text.c_str(), core::rect<s32>(8, 8, 1016, 56), video::SColor(255, 200, 200, 200));
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
    // A line of sixty letters in a blocky face lights thousands of pixels, not a handful.
    EXPECT_GT(lit, 2000u);
}

TEST_F(Assets, ModelsHaveNormalsTextureCoordinatesAndTheirTextures) {
    for (const std::string path : show::asset::kModels) {
        scene::IAnimatedMesh* m = mesh(path);
        ASSERT_NE(m, nullptr) << path;
        scene::IMesh* frame0 = m->getMesh(0);
        ASSERT_GT(frame0->getMeshBufferCount(), 0u) << path;
        u32 vertices = 0, zeroNormals = 0, spread = 0;
        for (u32 b = 0; b < frame0->getMeshBufferCount(); ++b) {
            scene::IMeshBuffer* buf = frame0->getMeshBuffer(b);
            if (!buf->getMaterial().getTexture(0)) {
                EXPECT_TRUE(colouredByVertices(buf))
                    << path << " names a texture the archive lacks, or none and no colours";
                ++spread; // nothing to map
            }
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
            if (buf->getMaterial().getTexture(0) && tmax.X - tmin.X > 0.1f &&
                tmax.Y - tmin.Y > 0.1f)
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
    const LoopCase loops[] = {{show::asset::kCircleSculptureMesh, 1, 100},
                              {show::asset::kCubePuzzleMesh, 1, 730},
                              {show::asset::kBlueBallMesh, 1, 100}};
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
    scene::IAnimatedMesh* puzzle = mesh(show::asset::kCubePuzzleMesh);
    EXPECT_LT(poseDistance(poseAtFrame(puzzle, 1), poseAtFrame(puzzle, 2)), 1e-4f);
    // The twirl plays its whole range at the engine's default loop: both ends the same pose.
    scene::IAnimatedMesh* twirl = mesh(show::asset::kTwirlMesh);
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

    scene::IAnimatedMesh* room = mesh(show::asset::kBackRoomMesh);
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
    EXPECT_LE(triangles(mesh(show::asset::kTwirlMesh)), kTwirlTriangles);
    EXPECT_LE(triangles(mesh(show::asset::kSculptureMesh)), kKnotTriangles);
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
    scene::IAnimatedMesh* spout = mesh(show::asset::kSpoutMesh);
    ASSERT_NE(spout, nullptr);
    const core::aabbox3df box = spout->getMesh(0)->getBoundingBox();
    EXPECT_LE(kSpoutY + box.MaxEdge.Y, kRimBelowOrigin);
    EXPECT_GE(kSpoutY + box.MaxEdge.Y, -kRimBelowOrigin);
    EXPECT_LE(kSpoutY + box.MinEdge.Y, -500.0f) << "the basin should reach up from far below";
}

} // namespace

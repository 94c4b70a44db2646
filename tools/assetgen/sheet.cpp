// assetsheet: one PNG of every image in the data archive and every model seen as its
// scene frames it (scene scale, position and camera distance, the scene's material).
//
//   assetsheet DATA.lll OUT.png      (needs an X display: run through tests/with_display.sh)
#include <irrlicht.h>

#include "font.h"
#include "textures.h"

#include "content/asset_paths.h"
#include "content/camera_paths.h"
#include "content/roundabout_shader.h"
#include "content/surfaces.h"
#include "content/views.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

using namespace irr;

namespace {

namespace asset = show::asset;
using show::kNormalMapAmplitude;
using show::kSceneFov;
using show::kWideFov;

constexpr s32 kSheetW = 1920;
// Overlay images are shown as they hang on a 1920x1080 screen, at a sixth of the size, with
// the edges of the 1280x720 and 1280x1024 screens drawn in.
constexpr s32 kWideW = 1920, kWideH = 1080, kScreenScale = 6;
constexpr s32 kThumbW = kWideW / kScreenScale, kThumbH = kWideH / kScreenScale, kSmall = 96;
constexpr s32 kCellW = 480, kCellH = 300, kLabelH = 22, kMargin = 12;
const video::SColor kBackground(255, 16, 18, 24);
const char* const kUsage = "usage: assetsheet DATA.lll OUT.png";

// The screen-sized images: the cards and credits, the greetings' meter empty, half full and
// full, and every greeting card once (the first two cards share theirs).
std::vector<const char*> fullImages() {
    std::vector<const char*> images = {
        asset::kLoading,    asset::kGroupLogo,  asset::kTitle,        asset::kGreyOverlay,
        asset::kCoderText,  asset::kCoderItems, asset::kMusicianText, asset::kMusicianItems,
        asset::kFullScreen, asset::kSteps[0],   asset::kSteps[6],     asset::kSteps.back()};
    images.insert(images.end(), asset::kGreetings.begin() + 1, asset::kGreetings.end());
    return images;
}

// Textures, tiles and the font's texture, shown small.
const char* const kSmallImages[] = {
    asset::kBrickOrange,
    asset::kBrickYellow,
    asset::kBackRoomBump,
    asset::kSculptureBump,
    asset::kFloorTexture,
    asset::kOrbTexture,
    asset::kParticleTexture,
    assetgen::tex::kPaletteTiles,
    assetgen::tex::kBallFacet,
    assetgen::tex::kSpoutStone,
    assetgen::tex::kHallPanels,
    assetgen::tex::kKnotMetal,
    assetgen::tex::kRoundabout,
    asset::kRowDot,
    asset::kTile,
    asset::kArrow,
    assetgen::kFontTexture,
};

// A path's file name, as the labels show it.
std::string fileName(const char* path) {
    const char* slash = std::strrchr(path, '/');
    return slash ? slash + 1 : path;
}

struct Cell {
    std::string label;
    std::function<void()> setup; // shows the cell's nodes and places the camera
};

struct Sheet {
    IrrlichtDevice* device;
    video::IVideoDriver* driver;
    scene::ISceneManager* smgr;
    gui::IGUIFont* font;
    scene::ICameraSceneNode* camera;
    std::vector<scene::ISceneNode*> nodes;

    template <class T> T* keep(T* node) {
        node->setVisible(false);
        nodes.push_back(node);
        return node;
    }
    void hideAll() {
        for (scene::ISceneNode* n : nodes)
            n->setVisible(false);
    }
    void look(core::vector3df from, core::vector3df at, f32 fov) {
        camera->setPosition(from);
        camera->setTarget(at);
        camera->setFOV(fov);
        camera->updateAbsolutePosition();
    }
    scene::IAnimatedMeshSceneNode* anim(const char* path, core::vector3df pos, f32 scale,
                                        s32 frame) {
        scene::IAnimatedMeshSceneNode* n = smgr->addAnimatedMeshSceneNode(smgr->getMesh(path));
        n->setPosition(pos);
        n->setScale(core::vector3df(scale));
        n->setAnimationSpeed(0);
        n->setCurrentFrame(static_cast<f32>(frame));
        return keep(n);
    }
    // The scenes' recipe for normal-mapped objects.
    scene::IMeshSceneNode* parallax(const char* path, const char* bump) {
        scene::IAnimatedMesh* m = smgr->getMesh(path);
        video::ITexture* normal = driver->getTexture(bump);
        driver->makeNormalMapTexture(normal, kNormalMapAmplitude);
        scene::IMesh* tangents =
            smgr->getMeshManipulator()->createMeshWithTangents(m->getMesh(0, 255, -1, -1));
        scene::IMeshSceneNode* n = smgr->addMeshSceneNode(tangents);
        for (u32 i = 0; i < n->getMaterialCount(); ++i)
            n->getMaterial(i).setTexture(1, normal);
        n->setMaterialType(video::EMT_PARALLAX_MAP_SOLID);
        tangents->drop();
        return keep(n);
    }
};

void label(Sheet& s, s32 x, s32 y, const std::string& text) {
    const std::wstring w(text.begin(), text.end());
    s.font->draw(w.c_str(), core::rect<s32>(x, y, x + 900, y + kLabelH),
                 video::SColor(255, 200, 210, 225));
}

// Checkerboard under images so their transparency shows.
void checker(Sheet& s, core::rect<s32> r) {
    constexpr s32 kCheck = 16;
    for (s32 y = r.UpperLeftCorner.Y; y < r.LowerRightCorner.Y; y += kCheck)
        for (s32 x = r.UpperLeftCorner.X; x < r.LowerRightCorner.X; x += kCheck) {
            const bool dark =
                ((x - r.UpperLeftCorner.X) / kCheck + (y - r.UpperLeftCorner.Y) / kCheck) % 2;
            s.driver->draw2DRectangle(
                dark ? video::SColor(255, 40, 44, 52) : video::SColor(255, 60, 64, 72),
                core::rect<s32>(x, y, std::min(x + kCheck, r.LowerRightCorner.X),
                                std::min(y + kCheck, r.LowerRightCorner.Y)));
        }
}

void image(Sheet& s, const char* path, core::rect<s32> dest) {
    video::ITexture* t = s.driver->getTexture(path);
    checker(s, dest);
    if (!t)
        return;
    const core::dimension2du d = t->getOriginalSize();
    s.driver->draw2DImage(t, dest, core::rect<s32>(0, 0, d.Width, d.Height), 0, 0, true);
}

// An overlay image at its own size from the top-left corner of the widest screen, scaled
// down, with the edges of the smaller screens over it.
void onScreens(Sheet& s, const char* path, s32 x, s32 y) {
    checker(s, core::rect<s32>(x, y, x + kThumbW, y + kThumbH));
    if (video::ITexture* t = s.driver->getTexture(path)) {
        const core::dimension2du d = t->getOriginalSize();
        const s32 w = std::min<s32>(d.Width, kWideW), h = std::min<s32>(d.Height, kWideH);
        s.driver->draw2DImage(t, core::rect<s32>(x, y, x + w / kScreenScale, y + h / kScreenScale),
                              core::rect<s32>(0, 0, w, h), 0, 0, true);
    }
    const struct {
        s32 w, h;
        video::SColor colour;
    } screens[] = {{1280, 720, video::SColor(255, 242, 178, 62)},
                   {1280, 1024, video::SColor(255, 96, 184, 255)}};
    for (const auto& screen : screens)
        s.driver->draw2DRectangleOutline(
            core::rect<s32>(x, y, x + screen.w / kScreenScale, y + screen.h / kScreenScale),
            screen.colour);
}

// ---- the model cells, each as its scene frames the model ----

// Path A's first point and its fifteenth, where the scenes that fly it look from.
core::vector3df pathAPoint(int i) {
    const show::PathPoint& p = show::kPathA[i];
    return core::vector3df(p.x, p.y, p.z);
}
const core::vector3df kPathA0 = pathAPoint(0);
const core::vector3df kPathA14 = pathAPoint(14);
const core::vector3df kPathA30 = pathAPoint(30);
// Where the scene camera looks while it flies path A.
const core::vector3df kGaze(0, 400, 0);

// The animated models at a few frames each.
void addAnimatedCells(Sheet& s, std::vector<Cell>& cells) {
    const std::string circle = fileName(asset::kCircleSculptureMesh);
    for (s32 frame : {1, 34, 67}) {
        auto* n = s.anim(asset::kCircleSculptureMesh, {0, -200, 0}, 5, frame);
        cells.push_back(
            {circle + " frame " + std::to_string(frame) + " (scene 1, path A)", [&s, n] {
                 n->setVisible(true);
                 s.look({-780, 250, 820}, kGaze, kSceneFov);
             }});
    }
    const std::string puzzle = fileName(asset::kCubePuzzleMesh);
    for (s32 frame : {1, 130, 420}) {
        auto* n = s.anim(asset::kCubePuzzleMesh, {0, 0, 0}, 2, frame);
        cells.push_back({puzzle + " frame " + std::to_string(frame) + " (scene 7)", [&s, n] {
                             n->setVisible(true);
                             s.look(kPathA30, kGaze, kSceneFov);
                         }});
    }
    const std::string ball = fileName(asset::kBlueBallMesh);
    for (s32 frame : {1, 50}) {
        auto* n = s.anim(asset::kBlueBallMesh, {0, -300, 0}, 3, frame);
        cells.push_back({ball + " frame " + std::to_string(frame) + " (scene 8)", [&s, n] {
                             n->setVisible(true);
                             s.look({-300, 0, 420}, {0, -300, 0}, kSceneFov);
                         }});
    }
}

// One twirl up close, then the field of 256 the landscape scene flies over.
void addTwirlCells(Sheet& s, std::vector<Cell>& cells) {
    const std::string twirl = fileName(asset::kTwirlMesh);
    auto* one = s.anim(asset::kTwirlMesh, {0, 0, 0}, 0.5f, 20);
    cells.push_back({twirl + " frame 20, 50 units across", [&s, one] {
                         one->setVisible(true);
                         s.look({80, 160, -110}, {0, 110, 0}, kSceneFov);
                     }});
    std::vector<scene::ISceneNode*> grid;
    for (s32 a = 0; a < 16; ++a)
        for (s32 b = 0; b < 16; ++b)
            grid.push_back(s.anim(
                asset::kTwirlMesh,
                {-2600.0f + 250 * b, -100.0f + 60 * std::sin(a * b * 0.3f), -2600.0f + 250 * a},
                0.5f, (a * 7 + b * 3) % 60));
    cells.push_back({twirl + " x256 (scene 3 field)", [&s, grid] {
                         for (auto* n : grid)
                             n->setVisible(true);
                         s.look(kPathA14, {-700, 0, -700}, kSceneFov);
                     }});
}

void addSpoutCell(Sheet& s, std::vector<Cell>& cells) {
    auto* n = s.anim(asset::kSpoutMesh, {0, -600, 0}, 1, 0);
    n->getMaterial(0).Shininess = 40.0f;
    n->getMaterial(0).EmissiveColor = video::SColor(0x00282828);
    cells.push_back(
        {fileName(asset::kSpoutMesh) + " on its ground (scenes 5, 6, 8, 9, 20)", [&s, n] {
             n->setVisible(true);
             s.look({-900, 250, 950}, {0, -250, 0}, kSceneFov);
         }});
}

// The back room from two points of path B, and the hall no scene shows.
void addRoomCells(Sheet& s, std::vector<Cell>& cells) {
    scene::IMeshSceneNode* room = s.parallax(asset::kBackRoomMesh, asset::kBackRoomBump);
    room->setPosition({0, -100, 0});
    room->setScale(core::vector3df(2));
    room->getMaterial(0).SpecularColor = video::SColor(0x1E1E1E1E);
    room->getMaterial(0).Shininess = 20.0f;
    room->getMaterial(0).EmissiveColor = video::SColor(0x00282828);
    scene::IMeshSceneNode* hall = s.parallax(asset::kBoxHallMesh, asset::kBoxHallBump);
    hall->setPosition({0, 500, 0});
    hall->setScale(core::vector3df(4));
    const std::string roomName = fileName(asset::kBackRoomMesh);
    cells.push_back({roomName + " from path B (scene 4, 120 deg)", [&s, room] {
                         room->setVisible(true);
                         s.look({946.3f, 363.7f, -433.8f}, {0, 250, 0}, kWideFov);
                     }});
    cells.push_back({roomName + " from path B point 25", [&s, room] {
                         room->setVisible(true);
                         s.look({-447.9f, 138.9f, -484.8f}, {400, 300, 300}, kWideFov);
                     }});
    cells.push_back({fileName(asset::kBoxHallMesh) + " (never shown)", [&s, hall] {
                         hall->setVisible(true);
                         s.look({-900, 700, -900}, {0, 700, 0}, kWideFov);
                     }});
}

// The sculpture with its wire shell, at the opening's size and at the greetings' size.
void addSculptureCells(Sheet& s, std::vector<Cell>& cells) {
    scene::IMeshSceneNode* inner = s.parallax(asset::kSculptureMesh, asset::kSculptureBump);
    inner->setPosition({0, 600, 0});
    inner->getMaterial(0).SpecularColor = video::SColor(0);
    inner->getMaterial(0).MaterialTypeParam = 0.035f;
    inner->setScale(core::vector3df(5));
    scene::IMeshSceneNode* wire = s.keep(s.smgr->addMeshSceneNode(inner->getMesh()));
    wire->setPosition({0, 600, 0});
    wire->getMaterial(0) = inner->getMaterial(0);
    wire->setScale(core::vector3df(7.3f));
    wire->setMaterialType(video::EMT_TRANSPARENT_ADD_COLOR);
    wire->setMaterialFlag(video::EMF_WIREFRAME, true);
    const std::string name = fileName(asset::kSculptureMesh);
    cells.push_back({name + " inner x5 + wire x7.3 (scenes 1-3)", [&s, inner, wire] {
                         inner->setVisible(true);
                         wire->setVisible(true);
                         s.look(kPathA0 + core::vector3df(300, 200, -300), {0, 600, 0}, kSceneFov);
                     }});
    cells.push_back({name + " inner x7 + wire x9 (greetings)", [&s, inner, wire] {
                         inner->setScale(core::vector3df(7));
                         wire->setScale(core::vector3df(9));
                         inner->setVisible(true);
                         wire->setVisible(true);
                         s.look({-700, 500, 800}, {0, 600, 0}, kSceneFov);
                     }});
}

// The roundabout through the show's normal-colour programs, so the sheet shows what the
// glass effect reads, and lit as a plain model.
void addRoundaboutCells(Sheet& s, std::vector<Cell>& cells) {
    const s32 normalColour = s.driver->getGPUProgrammingServices()->addHighLevelShaderMaterial(
        show::shader::kNormalColourVertexProgram, "main", video::EVST_VS_1_1,
        show::shader::kNormalColourFragmentProgram, "main", video::EPST_PS_1_1, 0, video::EMT_SOLID,
        0);
    const std::string name = fileName(asset::kRoundaboutMesh);
    for (bool shader : {true, false}) {
        auto* n = s.anim(asset::kRoundaboutMesh, {0, 0, 0}, 5, 0);
        if (shader && normalColour >= 0)
            n->setMaterialType(static_cast<video::E_MATERIAL_TYPE>(normalColour));
        cells.push_back(
            {name + (shader ? " offset map (scene 20, path A)" : " lit"), [&s, n, shader] {
                 n->setVisible(true);
                 n->setRotation({0, 17, 0});
                 if (shader)
                     s.look({-600, 420, 640}, {0, 0, 0}, kSceneFov);
                 else
                     s.look({-500, 600, 500}, {0, 0, 0}, kSceneFov);
             }});
    }
}

void addRoofCell(Sheet& s, std::vector<Cell>& cells) {
    auto* n = s.anim(asset::kRoofMesh, {0, 0, 0}, 2, 20);
    cells.push_back({fileName(asset::kRoofMesh) + " (never shown)", [&s, n] {
                         n->setVisible(true);
                         s.look({-350, 300, -350}, {0, 0, 0}, kSceneFov);
                     }});
}

// Every model cell, in the order the sheet shows them.
std::vector<Cell> modelCells(Sheet& s) {
    std::vector<Cell> cells;
    addAnimatedCells(s, cells);
    addTwirlCells(s, cells);
    addSpoutCell(s, cells);
    addRoomCells(s, cells);
    addSculptureCells(s, cells);
    addRoundaboutCells(s, cells);
    addRoofCell(s, cells);
    return cells;
}

// ---- the sheet's layout: full-size images, small textures, then the model cells ----

struct Layout {
    s32 fullCols, smallCols, cellCols;
    s32 fullTop, smallTop, cellTop, height;

    Layout(size_t fullImages, size_t smallImages, size_t cells)
        : fullCols(kSheetW / (kThumbW + kMargin)), smallCols(kSheetW / (kSmall + kMargin)),
          cellCols(kSheetW / kCellW), fullTop(kMargin) {
        smallTop = fullTop + rows(fullImages, fullCols) * (kThumbH + kLabelH + kMargin);
        cellTop = smallTop + rows(smallImages, smallCols) * (kSmall + kLabelH + kMargin);
        height = cellTop + rows(cells, cellCols) * (kCellH + kLabelH + kMargin);
    }
    static s32 rows(size_t items, s32 cols) { return (static_cast<s32>(items) + cols - 1) / cols; }
    core::position2di full(s32 i) const {
        return {(i % fullCols) * (kThumbW + kMargin),
                fullTop + (i / fullCols) * (kThumbH + kLabelH + kMargin)};
    }
    core::position2di small(s32 i) const {
        return {(i % smallCols) * (kSmall + kMargin),
                smallTop + (i / smallCols) * (kSmall + kLabelH + kMargin)};
    }
    core::position2di cell(s32 i) const {
        return {(i % cellCols) * kCellW, cellTop + (i / cellCols) * (kCellH + kLabelH + kMargin)};
    }
};

void drawImages(Sheet& s, const Layout& at, const std::vector<const char*>& full) {
    for (s32 i = 0; i < static_cast<s32>(full.size()); ++i) {
        const core::position2di p = at.full(i);
        onScreens(s, full[i], p.X, p.Y);
        label(s, p.X, p.Y + kThumbH + 2, full[i]);
    }
    for (s32 i = 0; i < static_cast<s32>(std::size(kSmallImages)); ++i) {
        const core::position2di p = at.small(i);
        image(s, kSmallImages[i], core::rect<s32>(p.X, p.Y, p.X + kSmall, p.Y + kSmall));
        label(s, p.X, p.Y + kSmall + 2, fileName(kSmallImages[i]).substr(0, 15));
    }
}

// The labels first, then each cell's view drawn into its own viewport.
void drawCells(Sheet& s, const Layout& at, const std::vector<Cell>& cells) {
    for (s32 i = 0; i < static_cast<s32>(cells.size()); ++i) {
        const core::position2di p = at.cell(i);
        label(s, p.X + 4, p.Y + kCellH + 2, cells[i].label);
    }
    for (s32 i = 0; i < static_cast<s32>(cells.size()); ++i) {
        const core::position2di p = at.cell(i);
        s.hideAll();
        cells[i].setup();
        s.camera->setAspectRatio(static_cast<f32>(kCellW - 4) / kCellH);
        s.driver->setViewPort(core::rect<s32>(p.X + 2, p.Y, p.X + kCellW - 2, p.Y + kCellH));
        s.driver->clearZBuffer();
        s.smgr->drawAll();
    }
}

// The whole sheet drawn into a render target of its size; null after saying why not.
video::ITexture* renderSheet(Sheet& s, const Layout& layout, const std::vector<const char*>& full,
                             const std::vector<Cell>& cells) {
    video::ITexture* rt =
        s.driver->addRenderTargetTexture(core::dimension2du(kSheetW, layout.height), "sheet");
    if (!rt) {
        std::fprintf(stderr, "assetsheet: no render target of %dx%d\n", kSheetW, layout.height);
        return nullptr;
    }
    s.driver->beginScene(true, true, kBackground);
    s.driver->setRenderTarget(rt, true, true, kBackground);
    drawImages(s, layout, full);
    drawCells(s, layout, cells);
    s.driver->setViewPort(core::rect<s32>(0, 0, kSheetW, layout.height));
    s.driver->setRenderTarget(0, false, false);
    s.driver->endScene();
    return rt;
}

// ---- the device ----

// An OpenGL device with the archive mounted and the show's font loaded; null after saying
// why not.
IrrlichtDevice* openDevice(const char* archive) {
    SIrrlichtCreationParameters p;
    p.DriverType = video::EDT_OPENGL;
    p.WindowSize = core::dimension2du(320, 240);
    p.Bits = 32;
    IrrlichtDevice* device = createDeviceEx(p);
    if (!device) {
        std::fprintf(stderr, "assetsheet: no OpenGL device\n");
        return nullptr;
    }
    device->getLogger()->setLogLevel(ELL_ERROR);
    if (!device->getFileSystem()->addFileArchive(archive, true, true)) {
        std::fprintf(stderr, "assetsheet: cannot mount %s\n", archive);
        return nullptr;
    }
    return device;
}

// The show's three orbit lights, parked where they pass most often.
void addLights(Sheet& s) {
    const struct {
        video::SColorf colour;
        f32 radius;
        core::vector3df pos;
    } lights[] = {{{0.7f, 0.7f, 0.8f, 1.0f}, 2500, {250, 150, 0}},
                  {{0.7f, 0.9f, 0.7f, 1.0f}, 2000, {-320, 450, -320}},
                  {{0.7f, 0.9f, 0.2f, 0.2f}, 2000, {0, 0, 450}}};
    for (const auto& l : lights)
        s.smgr->addLightSceneNode(0, l.pos, l.colour, l.radius);
}

bool writePng(video::IVideoDriver* driver, video::ITexture* rt, const char* path) {
    video::IImage* out = driver->createImage(rt, core::position2di(0, 0), rt->getOriginalSize());
    const bool ok = out && driver->writeImageToFile(out, path);
    if (out)
        out->drop();
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::printf("%s\n  renders every image of DATA.lll and every model as its scene frames it "
                    "into OUT.png\n  (needs an X display: run it through tests/with_display.sh)\n",
                    kUsage);
        return 0;
    }
    if (argc != 3) {
        std::fprintf(stderr, "%s\n", kUsage);
        return 2;
    }
    IrrlichtDevice* device = openDevice(argv[1]);
    if (!device)
        return 1;
    Sheet s{device,
            device->getVideoDriver(),
            device->getSceneManager(),
            device->getGUIEnvironment()->getFont(asset::kFont),
            nullptr,
            {}};
    if (!s.font) {
        std::fprintf(stderr, "assetsheet: the font does not load\n");
        return 1;
    }
    s.camera = s.smgr->addCameraSceneNode();
    s.camera->setFarValue(6000);
    addLights(s);
    const std::vector<Cell> cells = modelCells(s);
    const std::vector<const char*> full = fullImages();
    const Layout layout(full.size(), std::size(kSmallImages), cells.size());

    video::ITexture* rt = renderSheet(s, layout, full, cells);
    if (!rt)
        return 1;

    const bool ok = writePng(s.driver, rt, argv[2]);
    device->drop();
    if (!ok) {
        std::fprintf(stderr, "assetsheet: cannot write %s\n", argv[2]);
        return 1;
    }
    std::printf("assetsheet: %s (%dx%d, %zu model views)\n", argv[2], kSheetW, layout.height,
                cells.size());
    return 0;
}

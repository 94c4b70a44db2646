// assetsheet: one PNG of every image in the data archive and every model seen as its
// scene frames it (scene scale, position and camera distance, the scene's material).
//
//   assetsheet DATA.lll OUT.png      (needs an X display: run through tests/with_display.sh)
#include <irrlicht.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

using namespace irr;

namespace {

constexpr s32 kSheetW = 1920;
// Overlay images are shown as they hang on a 1920x1080 screen, at a sixth of the size, with
// the edges of the 1280x720 and 1280x1024 screens drawn in.
constexpr s32 kWideW = 1920, kWideH = 1080, kScreenScale = 6;
constexpr s32 kThumbW = kWideW / kScreenScale, kThumbH = kWideH / kScreenScale, kSmall = 96;
constexpr s32 kCellW = 480, kCellH = 300, kLabelH = 22, kMargin = 12;
constexpr f32 kSceneFov = 1.2566371f; // 72 degrees, the show's field of view from scene 5 on
constexpr f32 kWideFov = 2.0943952f;  // 120 degrees, the fountain room
constexpr f32 kNormalMapAmplitude = 9.0f;
const video::SColor kBackground(255, 16, 18, 24);

const char* const kFullImages[] = {
    "gfx/1280x800/loading.png",
    "gfx/1280x800/group_logo.png",
    "gfx/1280x800/title.png",
    "gfx/greyish_overlay1.png",
    "gfx/1280x800/keldrun_text.png",
    "gfx/1280x800/keldrun_items.png",
    "gfx/1280x800/pelvin_text.png",
    "gfx/1280x800/pelvin_items.png",
    "gfx/1280x800/qhv_dorr.png",
    "gfx/step1.png",
    "gfx/step8.png",
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
};
const char* const kSmallImages[] = {
    "gfx/brick_orange.jpg",
    "gfx/brick_yellow.jpg",
    "gfx/box.jpg",
    "models/Crackem.jpg",
    "gfx/JBoxes.jpg",
    "gfx/particle_white.jpg",
    "gfx/particle_checkers.jpg",
    "models/palette_tiles.jpg",

    "models/blueball_facet.jpg",
    "models/spout_stone.jpg",
    "models/hall_panels.jpg",
    "models/knot_metal.jpg",
    "models/roundabout_rim.jpg",
    "gfx/top_layer/2pix.png",
    "gfx/top_layer/32/particle_seethrough_32.png",
    "gfx/top_layer/32/arrow.png",
    "font/blockbit_small.png",
};

// The glass scene's offset-map shader, so the roundabout shows what the glass effect reads.
const char* const kNormalColourVs =
    "varying vec3 fvNormal;varying vec3 fvViewVec;void main( void ){float dist =0.00087;   "
    "gl_Position = ftransform();   fvNormal    = gl_NormalMatrix * gl_Normal;   fvViewVec = "
    "vec3(dist * gl_ModelViewMatrix * gl_Vertex);}";
const char* const kNormalColourPs =
    "varying vec3 fvNormal;varying vec3 fvViewVec;void main( void ){  vec4 color;  vec4 temp;  "
    "temp.xyz=-normalize(fvNormal);  color.r=temp.r+0.5;  color.g=temp.g+0.5;  "
    "color.b=temp.b+0.5;  float t=(1.0-fvViewVec.z)/2.0;  if(t<0.0){t=0.0;}  gl_FragColor = "
    "color*t;}";

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

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s DATA.lll OUT.png\n", argv[0]);
        return 2;
    }
    SIrrlichtCreationParameters p;
    p.DriverType = video::EDT_OPENGL;
    p.WindowSize = core::dimension2du(320, 240);
    p.Bits = 32;
    IrrlichtDevice* device = createDeviceEx(p);
    if (!device) {
        std::fprintf(stderr, "assetsheet: no OpenGL device\n");
        return 1;
    }
    device->getLogger()->setLogLevel(ELL_ERROR);
    if (!device->getFileSystem()->addFileArchive(argv[1], true, true)) {
        std::fprintf(stderr, "assetsheet: cannot mount %s\n", argv[1]);
        return 1;
    }
    Sheet s{device,
            device->getVideoDriver(),
            device->getSceneManager(),
            device->getGUIEnvironment()->getFont("font/blockbit_small.xml"),
            nullptr,
            {}};
    if (!s.font) {
        std::fprintf(stderr, "assetsheet: the font does not load\n");
        return 1;
    }
    s.camera = s.smgr->addCameraSceneNode();
    s.camera->setFarValue(6000);

    // The show's three orbit lights, parked where they pass most often.
    const struct {
        video::SColorf colour;
        f32 radius;
        core::vector3df pos;
    } lights[] = {{{0.7f, 0.7f, 0.8f, 1.0f}, 2500, {250, 150, 0}},
                  {{0.7f, 0.9f, 0.7f, 1.0f}, 2000, {-320, 450, -320}},
                  {{0.7f, 0.9f, 0.2f, 0.2f}, 2000, {0, 0, 450}}};
    for (const auto& l : lights)
        s.smgr->addLightSceneNode(0, l.pos, l.colour, l.radius);

    // Models as their scenes show them.
    std::vector<Cell> cells;
    const core::vector3df pathA0(-931.4738f, 138.3f, 987.2791f),
        pathA14(-414.8089f, 479.6914f, 4.8667f);
    for (s32 frame : {1, 34, 67}) {
        auto* n = s.anim("models/circlemania.X", {0, -200, 0}, 5, frame);
        cells.push_back(
            {"circlemania.X frame " + std::to_string(frame) + " (scene 1, path A)", [&s, n] {
                 n->setVisible(true);
                 s.look({-780, 250, 820}, {0, -150, 0}, kSceneFov);
             }});
    }
    for (s32 frame : {1, 130, 420}) {
        auto* n = s.anim("models/true_twirl.X", {0, 0, 0}, 2, frame);
        cells.push_back({"true_twirl.X frame " + std::to_string(frame) + " (scene 7)", [&s, n] {
                             n->setVisible(true);
                             s.look({-520, 380, 560}, {0, 0, 0}, kSceneFov);
                         }});
    }
    for (s32 frame : {1, 50}) {
        auto* n = s.anim("models/blueball3.X", {0, -300, 0}, 3, frame);
        cells.push_back({"blueball3.X frame " + std::to_string(frame) + " (scene 8)", [&s, n] {
                             n->setVisible(true);
                             s.look({-300, 0, 420}, {0, -300, 0}, kSceneFov);
                         }});
    }
    {
        auto* n = s.anim("models/twirl.X", {0, 0, 0}, 0.5f, 20);
        cells.push_back({"twirl.X frame 20, 20 units across", [&s, n] {
                             n->setVisible(true);
                             s.look({35, 30, -45}, {0, 0, 0}, kSceneFov);
                         }});
    }
    {
        std::vector<scene::ISceneNode*> grid;
        for (s32 a = 0; a < 16; ++a)
            for (s32 b = 0; b < 16; ++b) {
                auto* n = s.anim(
                    "models/twirl.X",
                    {-2600.0f + 250 * b, -100.0f + 60 * std::sin(a * b * 0.3f), -2600.0f + 250 * a},
                    0.5f, (a * 7 + b * 3) % 60);
                grid.push_back(n);
            }
        cells.push_back({"twirl.X x256 (scene 3 field)", [&s, grid, pathA14] {
                             for (auto* n : grid)
                                 n->setVisible(true);
                             s.look(pathA14, {-700, -100, -700}, kSceneFov);
                         }});
    }
    {
        auto* n = s.anim("models/sprutkurv.X", {0, -600, 0}, 1, 0);
        n->getMaterial(0).Shininess = 40.0f;
        n->getMaterial(0).EmissiveColor = video::SColor(0x00282828);
        cells.push_back({"sprutkurv.X (scenes 5, 6, 8, 9)", [&s, n] {
                             n->setVisible(true);
                             s.look({-900, 250, 950}, {0, -250, 0}, kSceneFov);
                         }});
    }
    scene::IMeshSceneNode* room = s.parallax("models/test_back_room.X", "gfx/box.jpg");
    room->setPosition({0, -100, 0});
    room->setScale(core::vector3df(2));
    room->getMaterial(0).SpecularColor = video::SColor(0x1E1E1E1E);
    room->getMaterial(0).Shininess = 20.0f;
    room->getMaterial(0).EmissiveColor = video::SColor(0x00282828);
    scene::IMeshSceneNode* hall = s.parallax("models/big_un.X", "models/box.jpg");
    hall->setPosition({0, 500, 0});
    hall->setScale(core::vector3df(4));
    cells.push_back({"test_back_room.X from path B (scene 4, 120 deg)", [&s, room] {
                         room->setVisible(true);
                         s.look({946.3f, 363.7f, -433.8f}, {0, 250, 0}, kWideFov);
                     }});
    cells.push_back({"test_back_room.X from path B point 25", [&s, room] {
                         room->setVisible(true);
                         s.look({-447.9f, 138.9f, -484.8f}, {400, 300, 300}, kWideFov);
                     }});
    cells.push_back({"big_un.X (never shown)", [&s, hall] {
                         hall->setVisible(true);
                         s.look({-900, 700, -900}, {0, 700, 0}, kWideFov);
                     }});
    scene::IMeshSceneNode* inner = s.parallax("models/unlimited.X", "models/Crackem.jpg");
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
    cells.push_back({"unlimited.X inner x5 + wire x7.3 (scenes 1-3)", [&s, inner, wire, pathA0] {
                         inner->setVisible(true);
                         wire->setVisible(true);
                         s.look(pathA0 + core::vector3df(300, 200, -300), {0, 600, 0}, kSceneFov);
                     }});
    cells.push_back({"unlimited.X inner x7 + wire x9 (greetings)", [&s, inner, wire] {
                         inner->setScale(core::vector3df(7));
                         wire->setScale(core::vector3df(9));
                         inner->setVisible(true);
                         wire->setVisible(true);
                         s.look({-700, 500, 800}, {0, 600, 0}, kSceneFov);
                     }});
    const s32 normalColour = s.driver->getGPUProgrammingServices()->addHighLevelShaderMaterial(
        kNormalColourVs, "main", video::EVST_VS_1_1, kNormalColourPs, "main", video::EPST_PS_1_1, 0,
        video::EMT_SOLID, 0);
    for (bool shader : {true, false}) {
        auto* n = s.anim("models/roundabout.X", {0, 0, 0}, 5, 0);
        if (shader && normalColour >= 0)
            n->setMaterialType(static_cast<video::E_MATERIAL_TYPE>(normalColour));
        cells.push_back({shader ? "roundabout.X offset map (scene 20, path A)" : "roundabout.X lit",
                         [&s, n, shader] {
                             n->setVisible(true);
                             n->setRotation({0, 17, 0});
                             if (shader)
                                 s.look({-600, 420, 640}, {0, 0, 0}, kSceneFov);
                             else
                                 s.look({-500, 600, 500}, {0, 0, 0}, kSceneFov);
                         }});
    }
    {
        auto* n = s.anim("models/living_roof.X", {0, 0, 0}, 2, 20);
        cells.push_back({"living_roof.X (never shown)", [&s, n] {
                             n->setVisible(true);
                             s.look({-350, 300, -350}, {0, 0, 0}, kSceneFov);
                         }});
    }

    // Layout: full-size images, small textures, then the model cells.
    const s32 fullCols = kSheetW / (kThumbW + kMargin);
    const s32 fullRows = (static_cast<s32>(std::size(kFullImages)) + fullCols - 1) / fullCols;
    const s32 smallCols = kSheetW / (kSmall + kMargin);
    const s32 smallRows = (static_cast<s32>(std::size(kSmallImages)) + smallCols - 1) / smallCols;
    const s32 cellCols = kSheetW / kCellW;
    const s32 cellRows = (static_cast<s32>(cells.size()) + cellCols - 1) / cellCols;
    const s32 fullTop = kMargin, smallTop = fullTop + fullRows * (kThumbH + kLabelH + kMargin);
    const s32 cellTop = smallTop + smallRows * (kSmall + kLabelH + kMargin);
    const s32 sheetH = cellTop + cellRows * (kCellH + kLabelH + kMargin);

    video::ITexture* rt =
        s.driver->addRenderTargetTexture(core::dimension2du(kSheetW, sheetH), "sheet");
    if (!rt) {
        std::fprintf(stderr, "assetsheet: no render target of %dx%d\n", kSheetW, sheetH);
        return 1;
    }
    s.driver->beginScene(true, true, kBackground);
    s.driver->setRenderTarget(rt, true, true, kBackground);
    for (s32 i = 0; i < static_cast<s32>(std::size(kFullImages)); ++i) {
        const s32 x = (i % fullCols) * (kThumbW + kMargin),
                  y = fullTop + (i / fullCols) * (kThumbH + kLabelH + kMargin);
        onScreens(s, kFullImages[i], x, y);
        label(s, x, y + kThumbH + 2, kFullImages[i]);
    }
    for (s32 i = 0; i < static_cast<s32>(std::size(kSmallImages)); ++i) {
        const s32 x = (i % smallCols) * (kSmall + kMargin),
                  y = smallTop + (i / smallCols) * (kSmall + kLabelH + kMargin);
        image(s, kSmallImages[i], core::rect<s32>(x, y, x + kSmall, y + kSmall));
        std::string name = kSmallImages[i];
        name = name.substr(name.find_last_of('/') + 1);
        label(s, x, y + kSmall + 2, name.substr(0, 15));
    }
    for (s32 i = 0; i < static_cast<s32>(cells.size()); ++i) {
        const s32 x = (i % cellCols) * kCellW,
                  y = cellTop + (i / cellCols) * (kCellH + kLabelH + kMargin);
        label(s, x + 4, y + kCellH + 2, cells[i].label);
    }
    for (s32 i = 0; i < static_cast<s32>(cells.size()); ++i) {
        const s32 x = (i % cellCols) * kCellW,
                  y = cellTop + (i / cellCols) * (kCellH + kLabelH + kMargin);
        s.hideAll();
        cells[i].setup();
        s.camera->setAspectRatio(static_cast<f32>(kCellW - 4) / kCellH);
        s.driver->setViewPort(core::rect<s32>(x + 2, y, x + kCellW - 2, y + kCellH));
        s.driver->clearZBuffer();
        s.smgr->drawAll();
    }
    s.driver->setViewPort(core::rect<s32>(0, 0, kSheetW, sheetH));
    s.driver->setRenderTarget(0, false, false);
    s.driver->endScene();

    video::IImage* out = s.driver->createImage(rt, core::position2di(0, 0), rt->getOriginalSize());
    const bool ok = out && s.driver->writeImageToFile(out, argv[2]);
    if (out)
        out->drop();
    device->drop();
    if (!ok) {
        std::fprintf(stderr, "assetsheet: cannot write %s\n", argv[2]);
        return 1;
    }
    std::printf("assetsheet: %s (%dx%d, %zu model views)\n", argv[2], kSheetW, sheetH,
                cells.size());
    return 0;
}

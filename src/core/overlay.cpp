#include "core/overlay.h"

#include "core/engine.h"
#include "platform/memory.h"

#include <cstdint>

namespace show {
namespace {

using irr::core::position2di;
using irr::core::recti;
using irr::video::SColor;

constexpr double kRowDotSpacing = 2.5;
const SColor kFaderColour(255, 255, 255, 255);
const SColor kStatusColour(255, 205, 200, 200);
const SColor kCreditsColour(255, 200, 200, 200);
const SColor kButtonTextColour(255, 100, 100, 100);

// The engine keeps a copy of every loaded texture's pixels after handing them to OpenGL, and
// nothing reads the overlay's copies again: their pages go back to the system. The copies stay
// allocated (they would read as zeros), and a read-only lock uploads nothing.
void releasePixelCopy(irr::video::ITexture* texture) {
    if (!texture || texture->isRenderTarget())
        return;
    void* pixels = texture->lock(irr::video::ETLM_READ_ONLY);
    if (pixels)
        platform::givePagesBack(pixels, size_t(texture->getPitch()) * texture->getSize().Height);
    texture->unlock();
}

struct ImageMaker {
    irr::video::IVideoDriver* driver;
    irr::gui::IGUIEnvironment* gui;

    irr::video::ITexture* texture(const char* path) const {
        irr::video::ITexture* loaded = driver->getTexture(path);
        releasePixelCopy(loaded);
        return loaded;
    }

    irr::gui::IGUIImage* add(irr::video::ITexture* texture, position2di at) const {
        irr::gui::IGUIImage* image = gui->addImage(texture, at, true, nullptr, -1, nullptr);
        image->setVisible(false);
        return image;
    }
    irr::gui::IGUIImage* add(const char* path, position2di at = position2di(0, 0)) const {
        return add(texture(path), at);
    }
};

template <size_t N>
void addImagesOf(const ImageMaker& maker, const std::array<const char*, N>& paths,
                 std::array<irr::gui::IGUIImage*, N>& images) {
    // All textures are fetched first, then their images added.
    irr::video::ITexture* textures[N];
    for (size_t i = 0; i < N; ++i)
        textures[i] = maker.texture(paths[i]);
    for (size_t i = 0; i < N; ++i)
        images[i] = maker.add(textures[i], position2di(0, 0));
}

irr::gui::IGUIStaticText* addText(irr::gui::IGUIEnvironment* gui, const recti& area,
                                  const SColor& colour) {
    irr::gui::IGUIStaticText* text = gui->addStaticText(L"", area, false, true, nullptr, -1, false);
    text->setOverrideColor(colour);
    text->setVisible(false);
    return text;
}

} // namespace

void buildOverlay(Overlay& o, const Engine& engine, int commandLineHeight) {
    irr::gui::IGUIEnvironment* gui = engine.gui;
    const ImageMaker maker{engine.driver, gui};
    const int w = engine.width;
    const int h = engine.height;
    // The GUI never samples mipmaps, and making them for two dozen full-screen images is
    // much of the start-up time on a software renderer.
    irr::video::IVideoDriver* driver = engine.driver;
    const bool mipMaps = driver->getTextureCreationFlag(irr::video::ETCF_CREATE_MIP_MAPS);
    driver->setTextureCreationFlag(irr::video::ETCF_CREATE_MIP_MAPS, false);

    o.greyOverlay = maker.add(asset::kGreyOverlay);
    o.greyOverlay->setScaleImage(true);
    o.musicianItems = maker.add(asset::kMusicianItems);
    o.musicianText = maker.add(asset::kMusicianText);
    o.coderItems = maker.add(asset::kCoderItems);
    o.coderText = maker.add(asset::kCoderText);
    o.loading = maker.add(asset::kLoading);
    o.loading->setVisible(true);
    o.fullScreen = maker.add(asset::kFullScreen);
    addImagesOf(maker, asset::kSteps, o.steps);
    for (auto* step : o.steps)
        step->setScaleImage(true);
    addImagesOf(maker, asset::kGreetings, o.greetings);

    // The rows sit on the requested height, not the granted one.
    irr::video::ITexture* dot = engine.driver->getTexture(asset::kRowDot);
    const int rowY = commandLineHeight - kRowBaseAboveBottom;
    for (int i = 0; i < kRowDots; ++i)
        o.rowA[i] = maker.add(dot, position2di(int(kRowDotSpacing * i), rowY));
    for (int i = 0; i < kRowDots; ++i)
        o.rowB[i] = maker.add(dot, position2di(int(kRowDotSpacing * i), rowY));

    o.groupLogo = maker.add(asset::kGroupLogo);
    o.title = maker.add(asset::kTitle);

    irr::video::ITexture* tile = engine.driver->getTexture(asset::kTile);
    irr::video::ITexture* arrow = engine.driver->getTexture(asset::kArrow);
    for (int k = 0; k < kTiles; ++k) {
        const int column = kTileSize * (k % kTileColumns);
        const int row = kTileSize * (k / kTileColumns);
        o.tilesA[k] = maker.add(tile, position2di(column, row));
        o.tilesB[k] = maker.add(arrow, position2di(column, h - row));
    }

    o.fader = gui->addInOutFader(nullptr, nullptr, -1);
    o.fader->setColor(kFaderColour);

    engine.device->getCursorControl()->setVisible(false);

    o.status = addText(gui, recti(10, 10, w - 10, h - 10), kStatusColour);
    o.credits = addText(gui, recti(15, h - 30, w - 15, h - 2), kCreditsColour);

    irr::gui::IGUISkin* skin = gui->getSkin();
    if (irr::gui::IGUIFont* font = gui->getFont(asset::kFont))
        skin->setFont(font, irr::gui::EGDF_DEFAULT);
    skin->setColor(irr::gui::EGDC_BUTTON_TEXT, kButtonTextColour);
    driver->setTextureCreationFlag(irr::video::ETCF_CREATE_MIP_MAPS, mipMaps);

    o.status->setText(L">");
}

} // namespace show

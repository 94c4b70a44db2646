// Every 2D element of the show, made once at start-up and then only shown, hidden and moved
// by the scenes. Creation order is drawing order (later elements draw over earlier ones).
#pragma once

#include "content/asset_paths.h"

#include <irrlicht.h>

#include <array>

namespace show {

constexpr int kStepImages = int(asset::kSteps.size());
constexpr int kGreetingImages = int(asset::kGreetings.size());
constexpr int kRowDots = 512;
constexpr int kTiles = 1000;
constexpr int kTileSize = 32;
constexpr int kTileColumns = 40;
constexpr int kRowBaseAboveBottom = 10; // spectrum rows sit this far above the requested height

struct Overlay {
    irr::gui::IGUIImage* greyOverlay = nullptr;
    irr::gui::IGUIImage* musicianItems = nullptr;
    irr::gui::IGUIImage* musicianText = nullptr;
    irr::gui::IGUIImage* coderItems = nullptr;
    irr::gui::IGUIImage* coderText = nullptr;
    irr::gui::IGUIImage* loading = nullptr;
    irr::gui::IGUIImage* fullScreen = nullptr;
    std::array<irr::gui::IGUIImage*, kStepImages> steps{};
    std::array<irr::gui::IGUIImage*, kGreetingImages> greetings{};
    std::array<irr::gui::IGUIImage*, kRowDots> rowA{};
    std::array<irr::gui::IGUIImage*, kRowDots> rowB{};
    irr::gui::IGUIImage* groupLogo = nullptr;
    irr::gui::IGUIImage* title = nullptr;
    std::array<irr::gui::IGUIImage*, kTiles> tilesA{};
    std::array<irr::gui::IGUIImage*, kTiles> tilesB{};
    irr::gui::IGUIInOutFader* fader = nullptr;
    irr::gui::IGUIStaticText* status = nullptr;
    irr::gui::IGUIStaticText* credits = nullptr; // the scenes write its text (writeCreditsLine)
};

struct Engine;

// Builds every element above in drawing order, hidden except the loading image. The spectrum
// rows stand on the height the command line asked for.
void buildOverlay(Overlay& overlay, const Engine& engine, int commandLineHeight);

template <size_t N> void setAllVisible(const std::array<irr::gui::IGUIImage*, N>& images, bool on) {
    for (auto* image : images)
        image->setVisible(on);
}

} // namespace show

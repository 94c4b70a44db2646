// The spectrum-driven displays shared by several scenes.
#include "scenes/band_displays.h"

#include "content/band_levels.h"
#include "scenes/nodes.h"
#include "scenes/show.h"

namespace show {

double beatLevel(const Show& show, int band) {
    return static_cast<double>(show.spectrum()[band]) * level::kLevelScale;
}

void spectrumLandscape(Show& show, const LandscapeLayout& layout) {
    const auto& spectrum = show.spectrum();
    for (int i = 0; i < kTwirlGridSide; ++i) {
        for (int j = 0; j < kTwirlGridSide; ++j) {
            const double height =
                static_cast<double>(spectrum[i * j / 2]) * kLandscapeLift + kLandscapeFloor;
            setPosition(show.world.twirlGrid[kTwirlGridSide * i + j],
                        irr::core::vector3df(layout.origin + layout.spacing * j,
                                             static_cast<float>(height),
                                             layout.origin + layout.spacing * i));
        }
    }
}

void spectrumTiles(const Show& show, const std::array<irr::gui::IGUIImage*, kTiles>& tiles) {
    for (int k = 0; k < kSpectrumBands; ++k)
        tiles[k]->setVisible(beatLevel(show, k) > level::kTileLoud);
}

void scaleSpectrumFountain(Show& show) {
    setScale(show.world.spectrumFountain,
             irr::core::vector3df(float(beatLevel(show, 0)), float(beatLevel(show, 1)),
                                  float(beatLevel(show, 2))));
}

} // namespace show

// Start-up hands the pages of the engine's copy of every overlay image back to the system
// once the image is on the renderer. Drawn by the GUI, each must still look exactly like the
// image loaded afresh from the archive: nothing may draw from, or upload, the released copy.
#include "common/gl_fixture.h"
#include "common/show_fixture.h"
#include "host/startup.h"
#include "scenes/show.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace show;

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 720;
constexpr int kFps = 30;
// Behind the images, so that their transparent and half-transparent parts show.
const irr::video::SColor kBackdrop(255, 60, 90, 120);

class OverlayPixels : public ::testing::Test {
  protected:
    void SetUp() override {
        archive = showtest::builtArchive();
        ASSERT_EQ(
            startShow(show, showtest::windowedShowOptions(kWidth, kHeight, kFps, archive.c_str())),
            StartupResult::Ready)
            << "needs data.lll and track/ in the build folder";
    }
    void TearDown() override { shutdownShow(show); }

    // The element drawn alone over the backdrop, as the GUI draws it.
    gltest::Image drawn(irr::gui::IGUIImage* element) {
        irr::video::IVideoDriver* driver = show.engine.driver;
        driver->setRenderTarget(static_cast<irr::video::ITexture*>(nullptr), true, true, kBackdrop);
        const bool visible = element->isVisible();
        element->setVisible(true);
        element->draw();
        element->setVisible(visible);
        return gltest::readScreen(driver);
    }

    std::string archive;
    Show show;
};

TEST_F(OverlayPixels, ImagesWithoutTheirPixelCopyDrawLikeTheArchivesImages) {
    const Overlay& o = show.overlay;
    std::vector<irr::gui::IGUIImage*> images = {o.greyOverlay, o.musicianItems, o.musicianText,
                                                o.coderItems,  o.coderText,     o.loading,
                                                o.fullScreen,  o.groupLogo,     o.title};
    images.insert(images.end(), o.steps.begin(), o.steps.end());
    images.insert(images.end(), o.greetings.begin(), o.greetings.end());

    irr::video::IVideoDriver* driver = show.engine.driver;
    for (irr::gui::IGUIImage* element : images) {
        ASSERT_NE(element, nullptr);
        irr::video::ITexture* kept = element->getImage();
        ASSERT_NE(kept, nullptr);
        const irr::io::path path = kept->getName().getPath();
        SCOPED_TRACE(path.c_str());

        irr::video::IImage* loaded = driver->createImageFromFile(path);
        ASSERT_NE(loaded, nullptr);
        const bool mipMaps = driver->getTextureCreationFlag(irr::video::ETCF_CREATE_MIP_MAPS);
        driver->setTextureCreationFlag(irr::video::ETCF_CREATE_MIP_MAPS, false);
        irr::video::ITexture* reference = driver->addTexture("reference", loaded);
        driver->setTextureCreationFlag(irr::video::ETCF_CREATE_MIP_MAPS, mipMaps);
        loaded->drop();
        ASSERT_NE(reference, nullptr);
        EXPECT_EQ(reference->getOriginalSize(), kept->getOriginalSize());

        element->setImage(reference);
        const gltest::Image expected = drawn(element);
        element->setImage(kept);
        const gltest::Image actual = drawn(element);
        const std::string name = std::string(path.c_str());
        EXPECT_TRUE(gltest::imagesMatch(driver, actual, expected, 0,
                                        "overlay_pixels_" + name.substr(name.rfind('/') + 1),
                                        gltest::kColourChannels));
        driver->removeTexture(reference);
    }
}

} // namespace

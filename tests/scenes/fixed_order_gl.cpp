// Models under the fixed-order node are drawn in the order they joined it, whatever the
// engine's sort by texture address would say; nodes it cannot draw that way still show.
#include "scenes/fixed_order.h"
#include "common/gl_fixture.h"

#include <gtest/gtest.h>

namespace {

using irr::video::SColor;

constexpr int kSize = 64;

struct Cubes {
    gltest::GlDevice gl{kSize, kSize};
    irr::video::ITexture* red = nullptr;
    irr::video::ITexture* green = nullptr;

    Cubes() {
        if (!gl.ok())
            return;
        red = gltest::makeTexture(gl.driver, "red", 4, 4,
                                  [](int, int) { return SColor(255, 255, 0, 0); });
        green = gltest::makeTexture(gl.driver, "green", 4, 4,
                                    [](int, int) { return SColor(255, 0, 255, 0); });
        gl.smgr->addCameraSceneNode(nullptr, {0, 0, -40}, {0, 0, 0});
    }

    irr::scene::ISceneNode* cube(irr::video::ITexture* texture) {
        irr::scene::ISceneNode* node = gl.smgr->addCubeSceneNode(10.0f);
        node->setMaterialFlag(irr::video::EMF_LIGHTING, false);
        node->setMaterialTexture(0, texture);
        return node;
    }

    // The middle pixel of a frame drawn with the scene manager.
    SColor middle() {
        gl.driver->beginScene(true, true, SColor(255, 0, 0, 0));
        gl.smgr->drawAll();
        const gltest::Image image = gltest::readPixels(kSize, kSize);
        gl.driver->endScene();
        const uint8_t* p = image.at(kSize / 2, kSize / 2);
        return SColor(255, p[0], p[1], p[2]);
    }
};

// Two cubes in the very same place tie in depth at every pixel: the one drawn last shows.
// The textures stay the same objects while the joining order flips, so a picture that
// followed texture addresses could not follow the flip.
TEST(FixedOrder, CoincidentModelsShowTheOneThatJoinedLast) {
    for (bool redFirst : {true, false}) {
        Cubes s;
        if (!s.gl.ok())
            GTEST_SKIP() << "no OpenGL device";
        irr::scene::ISceneNode* solids = show::addFixedOrderNode(s.gl.smgr);
        s.cube(redFirst ? s.red : s.green);
        s.cube(redFirst ? s.green : s.red);
        show::gatherSolids(s.gl.smgr, solids);
        ASSERT_EQ(solids->getChildren().size(), 2u);

        const SColor seen = s.middle();
        const SColor last = redFirst ? SColor(255, 0, 255, 0) : SColor(255, 255, 0, 0);
        EXPECT_EQ(seen.color, last.color)
            << (redFirst ? "red, then green" : "green, then red") << ": saw " << seen.getRed()
            << "," << seen.getGreen() << "," << seen.getBlue();
    }
}

// A model sent after the rest is drawn last, so of two coincident cubes it is the one seen;
// a node that is not one of the fixed-order node's models is left where it is.
TEST(FixedOrder, ModelSentAfterTheRestIsDrawnLast) {
    Cubes s;
    if (!s.gl.ok())
        GTEST_SKIP() << "no OpenGL device";
    irr::scene::ISceneNode* solids = show::addFixedOrderNode(s.gl.smgr);
    irr::scene::ISceneNode* red = s.cube(s.red);
    s.cube(s.green);
    show::gatherSolids(s.gl.smgr, solids);
    irr::scene::ISceneNode* stranger = s.gl.smgr->addEmptySceneNode();
    show::drawAfterTheRest(stranger, solids);
    show::drawAfterTheRest(nullptr, solids);
    EXPECT_EQ(stranger->getParent(), s.gl.smgr->getRootSceneNode());
    ASSERT_EQ(solids->getChildren().size(), 2u);

    show::drawAfterTheRest(red, solids);
    ASSERT_EQ(solids->getChildren().size(), 2u);
    EXPECT_EQ(*solids->getChildren().getLast(), red);
    const SColor seen = s.middle();
    EXPECT_EQ(seen.color, SColor(255, 255, 0, 0).color)
        << "saw " << seen.getRed() << "," << seen.getGreen() << "," << seen.getBlue();
}

// A transparent model needs the engine's transparent pass; under the node it still gets it,
// and a hidden model draws nothing.
TEST(FixedOrder, TransparentModelsStillShowAndHiddenOnesDoNot) {
    Cubes s;
    if (!s.gl.ok())
        GTEST_SKIP() << "no OpenGL device";
    irr::scene::ISceneNode* solids = show::addFixedOrderNode(s.gl.smgr);
    irr::scene::ISceneNode* glass = s.cube(s.green);
    glass->setMaterialType(irr::video::EMT_TRANSPARENT_ADD_COLOR);
    irr::scene::ISceneNode* hidden = s.cube(s.red);
    hidden->setScale({1.5f, 1.5f, 0.1f}); // in front of the glass, were it drawn
    hidden->setVisible(false);
    show::gatherSolids(s.gl.smgr, solids);
    ASSERT_EQ(glass->getParent(), solids);

    const SColor seen = s.middle();
    EXPECT_EQ(seen.getRed(), 0u);
    EXPECT_GT(seen.getGreen(), 200u);
}

} // namespace

// The effect chain as the show builds it: seven nodes in a fixed order and size under the
// root, never drawn by the scene manager, harmless on a driver without shaders, and a shader
// that fails to compile reported once while its node passes its input through.
#include "common/gl_fixture.h"
#include "postprocess/effect_shaders.h"
#include "postprocess/effects.h"
#include "postprocess/post_process_nodes.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using gltest::Image;
using irr::u32;
using irr::core::dimension2d;
using irr::video::ITexture;
using irr::video::SColor;

constexpr u32 kWindowWidth = 320;
constexpr u32 kWindowHeight = 240;
constexpr int kExactTolerance = 2;

std::vector<ITexture*> targetsOf(const show::Effects& e) {
    return {e.motionBlur->SceneTarget, e.motionBlur->HistoryTarget, e.motionBlur->BlendTarget,
            e.firstBlur->RenderTarget, e.secondBlur->RenderTarget,  e.invert->RenderTarget,
            e.glass->RenderTarget,     e.glass->OffsetTarget,       e.color->RenderTarget,
            e.bloom->RenderTarget};
}

std::vector<irr::scene::ISceneNode*> nodesOf(const show::Effects& e) {
    return {e.motionBlur, e.firstBlur, e.secondBlur, e.invert, e.glass, e.color, e.bloom};
}

struct ScreenWidthCase {
    irr::s32 width;
    u32 halfWidth;
};

class EffectTargets : public ::testing::TestWithParam<ScreenWidthCase> {};

TEST_P(EffectTargets, FollowTheScreenWidthForTheBlursAndStayFixedForTheRest) {
    gltest::GlDevice gl(kWindowWidth, kWindowHeight);
    ASSERT_TRUE(gl.ok());
    show::Effects effects;
    show::createEffects(effects, gl.smgr, GetParam().width);

    const dimension2d<u32> screenSized(GetParam().width, GetParam().halfWidth);
    const dimension2d<u32> fixed(show::kEffectTargetWidth, show::kEffectTargetHeight);
    const std::vector<ITexture*> targets = targetsOf(effects);
    for (size_t i = 0; i < targets.size(); ++i) {
        ASSERT_NE(targets[i], nullptr) << "target " << i;
        const bool followsScreen = i < 5; // motion blur's three and the blur pair's two
        EXPECT_EQ(targets[i]->getSize(), followsScreen ? screenSized : fixed) << "target " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(ScreenWidths, EffectTargets,
                         ::testing::Values(ScreenWidthCase{1280, 640}, ScreenWidthCase{1000, 500},
                                           ScreenWidthCase{1279, 639}));

class Chain : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(gl.ok()) << "no OpenGL device";
        show::createEffects(effects, gl.smgr, kWindowWidth);
    }
    gltest::GlDevice gl{kWindowWidth, kWindowHeight};
    show::Effects effects;
};

TEST_F(Chain, NodesHangUnderTheRootInCreationOrderWithTheEffectId) {
    const irr::core::list<irr::scene::ISceneNode*>& children =
        gl.smgr->getRootSceneNode()->getChildren();
    const std::vector<irr::scene::ISceneNode*> expected = nodesOf(effects);
    ASSERT_EQ(children.size(), expected.size());
    auto child = children.begin();
    for (irr::scene::ISceneNode* node : expected) {
        EXPECT_EQ(*child, node);
        EXPECT_EQ(node->getID(), show::kEffectNodeId);
        EXPECT_EQ(node->getParent(), gl.smgr->getRootSceneNode());
        ++child;
    }
}

TEST_F(Chain, EveryNodeKeepsTheEffectNodeContract) {
    std::vector<show::PostProcessNode*> nodes = {
        effects.motionBlur, effects.firstBlur, effects.secondBlur, effects.invert,
        effects.glass,      effects.color,     effects.bloom};
    const irr::core::aabbox3df unitBox(-1, -1, -1, 1, 1, 1);
    for (show::PostProcessNode* node : nodes) {
        SCOPED_TRACE(node->getName());
        EXPECT_EQ(node->getBoundingBox(), unitBox);
        EXPECT_EQ(node->getEffectMaterialCount(), 1);
        irr::video::SMaterial& material = node->getEffectMaterial(0);
        EXPECT_EQ(&node->getEffectMaterial(-1), &material);
        EXPECT_EQ(&node->getEffectMaterial(7), &material);
        EXPECT_GE(material.MaterialType, irr::video::EMT_ONETEXTURE_BLEND)
            << "shader material expected";
        EXPECT_FALSE(material.Lighting);
        EXPECT_FALSE(material.Wireframe);
        EXPECT_EQ(node->getMaterialCount(), 0u); // the scene manager sees no material
    }
    EXPECT_EQ(effects.bloom->Material.getTexture(0), effects.bloom->RenderTarget);
    EXPECT_EQ(effects.glass->Material.getTexture(0), effects.glass->RenderTarget);
    EXPECT_EQ(effects.glass->Material.getTexture(1), effects.glass->OffsetTarget);
    EXPECT_EQ(effects.motionBlur->Material.getTexture(0), effects.motionBlur->SceneTarget);
    EXPECT_EQ(effects.motionBlur->Material.getTexture(1), effects.motionBlur->HistoryTarget);
    EXPECT_EQ(effects.motionBlur->CopyMaterial.getTexture(0), effects.motionBlur->BlendTarget);
}

TEST_F(Chain, SceneManagerDrawLeavesTheTargetUntouchedWhenOnlyTheNodesAreInTheScene) {
    const SColor marker(200, 10, 20, 30);
    ITexture* target = gl.driver->addRenderTargetTexture(
        dimension2d<u32>(kWindowWidth, kWindowHeight), "marked", show::kTargetFormat);
    gl.smgr->addCameraSceneNode(); // a scene as the show draws it, with only the nodes in it
    gl.driver->beginScene(true, true, SColor(0));
    // Give every input something an effect would show, so a drawn node cannot go unseen.
    for (ITexture* input : targetsOf(effects)) {
        gl.driver->setRenderTarget(input, true, true, SColor(255, 255, 255, 255));
    }
    gl.driver->setRenderTarget(target, true, true, marker);
    const Image before = gltest::readTarget(gl.driver, target);
    gl.smgr->drawAll();
    const Image after = gltest::readTarget(gl.driver, target);
    gl.driver->endScene();
    EXPECT_EQ(before.at(0, 0)[0], marker.getRed());
    EXPECT_TRUE(gltest::imagesMatch(gl.driver, after, before, 0, "drawall_untouched"));
}

// A single-pass node built from any fragment source, to reach a failed compile.
class SourceEffect : public show::SinglePassNode {
  public:
    using SinglePassNode::SinglePassNode;
    void initialize(irr::s32 width, irr::s32 height, const char* fragmentSource,
                    irr::scene::ISceneManager* smgr) {
        setName("test effect");
        initializePass(smgr, width, height, fragmentSource, nullptr);
    }
};

constexpr const char* kBrokenSource = "void main(){ gl_FragColor = undeclared; }";

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

TEST_F(Chain, ABrokenShaderIsReportedOnceAndItsNodePassesItsInputThrough) {
    ::testing::internal::CaptureStderr();
    auto* node = new SourceEffect(gl.smgr->getRootSceneNode(), gl.smgr, show::kEffectNodeId);
    node->drop();
    node->initialize(kWindowWidth, kWindowHeight, kBrokenSource, gl.smgr);
    const std::vector<std::string> lines = linesOf(::testing::internal::GetCapturedStderr());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("test effect"), std::string::npos) << lines[0];

    ITexture* output = gl.driver->addRenderTargetTexture(
        dimension2d<u32>(kWindowWidth, kWindowHeight), "output", show::kTargetFormat);
    ITexture* picture =
        gltest::makeTexture(gl.driver, "picture", kWindowWidth, kWindowHeight, [](int x, int y) {
            return SColor(255, x % 256, y % 256, (x + y) % 256);
        });
    gl.driver->beginScene(true, true, SColor(0));
    gltest::fillTarget(gl.driver, node->RenderTarget, picture);
    const Image input = gltest::readTarget(gl.driver, node->RenderTarget);
    show::selectTarget(gl.driver, output);
    node->render();
    const Image out = gltest::readTarget(gl.driver, output);
    gl.driver->endScene();
    EXPECT_TRUE(gltest::imagesMatch(gl.driver, out, input, kExactTolerance, "broken_passes"));
}

// Other parts of the show test on the engine's null device, which has no render targets:
// there every sequence must draw the scene once, straight to the screen, and say nothing.
TEST(NullDevice, EverySequenceDrawsTheSceneOnceDirectly) {
    irr::IrrlichtDevice* device = irr::createDevice(irr::video::EDT_NULL);
    ASSERT_NE(device, nullptr);
    irr::scene::ISceneManager* smgr = device->getSceneManager();
    irr::video::IVideoDriver* driver = device->getVideoDriver();
    irr::scene::ISceneNode* picture = smgr->addCubeSceneNode();
    irr::scene::ISceneNode* offsetMap = smgr->addCubeSceneNode();
    constexpr irr::u32 kCubeTriangles = 12;

    ::testing::internal::CaptureStderr();
    show::Effects effects;
    show::createEffects(effects, smgr, kWindowWidth);
    for (irr::scene::ISceneNode* node : nodesOf(effects))
        ASSERT_NE(node, nullptr);
    // Triangles drawn in one frame of a sequence (the null driver counts what it is given).
    auto trianglesOf = [&](const std::function<void()>& sequence) {
        driver->beginScene(true, true, SColor(0));
        sequence();
        driver->endScene();
        return driver->getPrimitiveCountDrawn(0);
    };
    const irr::u32 bothCubes = 2 * kCubeTriangles;
    const show::FrameDraw frame{effects, smgr, true};
    EXPECT_EQ(trianglesOf([&] { show::renderDirect(frame); }), bothCubes);
    EXPECT_EQ(trianglesOf([&] { show::renderThroughBlurPair(frame); }), bothCubes);
    EXPECT_EQ(trianglesOf([&] { show::renderThroughBloom(frame); }), bothCubes);
    EXPECT_EQ(trianglesOf([&] { show::renderThroughInvert(frame); }), bothCubes);
    // The glass sequence shows its picture and hides its offset map even when it cannot
    // draw either into a target.
    EXPECT_EQ(trianglesOf([&] { show::renderGlass(frame, picture, offsetMap); }), kCubeTriangles);
    EXPECT_TRUE(picture->isVisible());
    EXPECT_FALSE(offsetMap->isVisible());
    offsetMap->setVisible(true);
    EXPECT_EQ(trianglesOf([&] { show::renderGlass(frame, nullptr, nullptr); }), bothCubes);
    // The nodes' own passes have no input there: they draw nothing at all.
    EXPECT_EQ(trianglesOf([&] {
                  effects.motionBlur->render();
                  effects.motionBlur->renderFinal();
                  effects.color->render();
              }),
              0u);
    // Skipping, a sequence draws nothing, yet shows and hides as it does when drawing.
    const show::FrameDraw skipped{effects, smgr, false};
    picture->setVisible(false);
    EXPECT_EQ(trianglesOf([&] {
                  show::renderDirect(skipped);
                  show::renderThroughBlurPair(skipped);
                  show::renderThroughBloom(skipped);
                  show::renderThroughInvert(skipped);
                  show::renderGlass(skipped, picture, offsetMap);
              }),
              0u);
    EXPECT_TRUE(picture->isVisible());
    EXPECT_FALSE(offsetMap->isVisible());
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    device->drop();
}

} // namespace

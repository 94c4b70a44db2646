// The post-process nodes: one quad, one way to draw a pass, six effects on top of it.
#include "postprocess/post_process_nodes.h"

#include "postprocess/effect_shaders.h"

#include "platform/gl_buffers.h"

#include <cstdio>

namespace show {

using irr::s32;
using irr::video::ITexture;
using irr::video::IVideoDriver;
using irr::video::SMaterial;

namespace {

// The quad's corners only need the right signs: the vertex shader ignores every matrix.
constexpr irr::u16 kQuadIndices[6] = {0, 1, 2, 3, 4, 5};
constexpr irr::u32 kQuadVertexCount = 6;
constexpr irr::u32 kQuadTriangleCount = 2;
constexpr irr::u32 kQuadColour = 0xFF00FFFF;
constexpr irr::f32 kBoxExtent = 1.0f;

struct QuadCorner {
    irr::f32 x, y, u, v;
};
constexpr QuadCorner kQuadCorners[kQuadVertexCount] = {
    {-1, -1, 0, 1}, {-1, 1, 0, 0}, {1, 1, 1, 0}, {1, -1, 1, 1}, {-1, -1, 0, 1}, {1, 1, 1, 0}};

const char* const kBlurName = "blur";
const char* const kBloomName = "bloom";
const char* const kInvertName = "invert";
const char* const kColorName = "colour";
const char* const kGlassName = "glass";
const char* const kMotionBlurName = "motion blur";

void finishMaterial(SMaterial& material, ITexture* layer0, ITexture* layer1) {
    material.Wireframe = false;
    material.Lighting = false;
    // The quad covers its whole target at mid depth and nothing nearer is ever drawn there
    // before it, so its depth test could only pass: without the test and the depth write the
    // rasteriser spares a depth read and write for every pixel of the pass.
    material.ZBuffer = irr::video::ECFN_NEVER;
    material.ZWriteEnable = false;
    material.setTexture(0, layer0);
    material.setTexture(1, layer1);
}

// For the blur passes, whose shader keeps every tap inside the target: their targets are the
// screen's width, not a power of two, so sampling them with the default repeat costs the
// software rasteriser a modulo per tap (about 1.3 ms of a 720p pass). Only the centre tap of
// the pass onto the screen, a different height, reaches half a texel past the edge, where
// repeat blended in the opposite edge. The other targets are 1024 x 512, where repeat is a
// mask and costs nothing; the glass pass shifts its taps past the edges on purpose.
void clampToEdge(SMaterial& material) {
    material.TextureLayer[0].TextureWrapU = irr::video::ETC_CLAMP_TO_EDGE;
    material.TextureLayer[0].TextureWrapV = irr::video::ETC_CLAMP_TO_EDGE;
}

// Gives back the reference the node took by making the callback; the material keeps its own.
template <class Callback> void dropCallback(Callback*& callback) {
    if (callback) {
        callback->drop();
        callback = nullptr;
    }
}

} // namespace

void selectTarget(IVideoDriver* driver, ITexture* target) {
    driver->setRenderTarget(target, true, true, irr::video::SColor(kTargetClearColour));
}

s32 compileEffectShader(IVideoDriver* driver, const char* effectName, const char* fragmentSource,
                        irr::video::IShaderConstantSetCallBack* callback) {
    irr::video::IGPUProgrammingServices* gpu =
        driver ? driver->getGPUProgrammingServices() : nullptr;
    if (!gpu || driver->getDriverType() == irr::video::EDT_NULL) {
        return -1;
    }
    const s32 id = gpu->addHighLevelShaderMaterial(
        QuadVertexShader, "main", irr::video::EVST_VS_1_1, fragmentSource, "main",
        irr::video::EPST_PS_1_1, callback, irr::video::EMT_SOLID, 0);
    if (id < 0) {
        std::fprintf(stderr,
                     "[ERROR] the %s effect's shader did not compile; it shows its "
                     "input unchanged\n",
                     effectName);
    }
    return id;
}

PostProcessNode::PostProcessNode(irr::scene::ISceneNode* parent, irr::scene::ISceneManager* mgr,
                                 s32 id)
    : irr::scene::ISceneNode(parent, mgr, id),
      Box(-kBoxExtent, -kBoxExtent, -kBoxExtent, kBoxExtent, kBoxExtent, kBoxExtent) {
    for (irr::u32 i = 0; i < kQuadVertexCount; ++i) {
        const QuadCorner& c = kQuadCorners[i];
        Vertices[i] =
            irr::video::S3DVertex(c.x, c.y, 0, 1, 1, 0, irr::video::SColor(kQuadColour), c.u, c.v);
    }
}

bool PostProcessNode::compileInto(IVideoDriver* driver, SMaterial& material,
                                  const char* fragmentSource,
                                  irr::video::IShaderConstantSetCallBack* callback) {
    const s32 id = compileEffectShader(driver, getName(), fragmentSource, callback);
    material.MaterialType = id < 0 ? irr::video::EMT_SOLID : irr::video::E_MATERIAL_TYPE(id);
    return id >= 0;
}

int targetDepthBits(IVideoDriver* driver, ITexture* target) {
    if (!target || driver->getDriverType() != irr::video::EDT_OPENGL)
        return 0;
    driver->setRenderTarget(target, false, false);
    const int bits = platform::boundBufferFormat().depthBits;
    driver->setRenderTarget(static_cast<ITexture*>(nullptr), false, false);
    return bits;
}

ITexture* PostProcessNode::addTarget(IVideoDriver* driver, s32 width, s32 height) {
    ITexture* target = driver->addRenderTargetTexture(
        irr::core::dimension2d<irr::u32>(width, height), "", kTargetFormat);
    const int depthBits = targetDepthBits(driver, target);
    if (depthBits > 0 && depthBits < kTargetDepthBits) {
        driver->setRenderTarget(target, false, false);
        platform::deepenBoundTargetDepth(kTargetDepthBits, width, height);
        driver->setRenderTarget(static_cast<ITexture*>(nullptr), false, false);
    }
    return target;
}

void PostProcessNode::drawQuad(const SMaterial& material, bool shaderReady) {
    IVideoDriver* driver = SceneManager->getVideoDriver();
    if (shaderReady) {
        driver->setMaterial(material);
        driver->setTransform(irr::video::ETS_WORLD, AbsoluteTransformation);
        driver->drawIndexedTriangleList(Vertices, kQuadVertexCount, kQuadIndices,
                                        kQuadTriangleCount);
        return;
    }
    const ITexture* input = material.getTexture(0);
    if (!input) {
        return;
    }
    const irr::core::dimension2d<irr::u32> target = driver->getCurrentRenderTargetSize();
    const irr::core::dimension2d<irr::u32> source = input->getOriginalSize();
    driver->draw2DImage(input, irr::core::rect<s32>(0, 0, target.Width, target.Height),
                        irr::core::rect<s32>(0, 0, source.Width, source.Height));
}

void SinglePassNode::render() {
    drawQuad(Material, ShaderReady);
}

void SinglePassNode::initializePass(irr::scene::ISceneManager* smgr, s32 width, s32 height,
                                    const char* fragmentSource,
                                    irr::video::IShaderConstantSetCallBack* callback) {
    IVideoDriver* driver = smgr->getVideoDriver();
    ShaderReady = compileInto(driver, Material, fragmentSource, callback);
    RenderTarget = addTarget(driver, width, height);
    finishMaterial(Material, RenderTarget, nullptr);
}

// ---- blur -------------------------------------------------------------------------------

IPostProcessBlur::IPostProcessBlur(irr::scene::ISceneNode* parent, irr::scene::ISceneManager* mgr,
                                   s32 id)
    : SinglePassNode(parent, mgr, id) {
    setName(kBlurName);
}

IPostProcessBlur::~IPostProcessBlur() {
    dropCallback(Callback);
}

void IPostProcessBlur::initialize(s32 width, s32 height, irr::f32 sampleDist,
                                  irr::scene::ISceneManager* smgr) {
    Callback = new PPE_Blur_callback();
    Callback->SampleDist = sampleDist;
    initializePass(smgr, width, height, BlurShader, Callback);
    clampToEdge(Material);
}

// ---- bloom ------------------------------------------------------------------------------

IPostProcessBloom::IPostProcessBloom(irr::scene::ISceneNode* parent, irr::scene::ISceneManager* mgr,
                                     s32 id)
    : SinglePassNode(parent, mgr, id) {
    setName(kBloomName);
}

IPostProcessBloom::~IPostProcessBloom() {
    dropCallback(Callback);
}

void IPostProcessBloom::initialize(s32 width, s32 height, irr::f32 sampleDist, irr::f32 strength,
                                   irr::f32 multiplier, irr::scene::ISceneManager* smgr) {
    Callback = new PPE_Bloom_callback();
    Callback->SampleDist = sampleDist;
    Callback->Strength = strength;
    Callback->Multiplier = multiplier;
    initializePass(smgr, width, height, BloomShader, Callback);
}

// ---- invert -----------------------------------------------------------------------------

IPostProcessInvert::IPostProcessInvert(irr::scene::ISceneNode* parent,
                                       irr::scene::ISceneManager* mgr, s32 id)
    : SinglePassNode(parent, mgr, id) {
    setName(kInvertName);
}

void IPostProcessInvert::initialize(s32 width, s32 height, irr::scene::ISceneManager* smgr) {
    initializePass(smgr, width, height, InvertShader, nullptr);
}

// ---- colour -----------------------------------------------------------------------------

IPostProcessColor::IPostProcessColor(irr::scene::ISceneNode* parent, irr::scene::ISceneManager* mgr,
                                     s32 id)
    : SinglePassNode(parent, mgr, id) {
    setName(kColorName);
}

IPostProcessColor::~IPostProcessColor() {
    dropCallback(Callback);
}

void IPostProcessColor::initialize(s32 width, s32 height, irr::f32 saturation,
                                   irr::f32 coloringStrength, irr::f32 red, irr::f32 green,
                                   irr::f32 blue, irr::f32 alpha, irr::scene::ISceneManager* smgr) {
    Callback = new PPE_Color_callback();
    Callback->Saturation = saturation;
    Callback->ColoringStrength = coloringStrength;
    Callback->Coloring[0] = red;
    Callback->Coloring[1] = green;
    Callback->Coloring[2] = blue;
    Callback->Coloring[3] = alpha;
    initializePass(smgr, width, height, ColorShader, Callback);
}

// ---- glass ------------------------------------------------------------------------------

IPostProcessGlass::IPostProcessGlass(irr::scene::ISceneNode* parent, irr::scene::ISceneManager* mgr,
                                     s32 id)
    : SinglePassNode(parent, mgr, id) {
    setName(kGlassName);
}

IPostProcessGlass::~IPostProcessGlass() {
    dropCallback(Callback);
}

void IPostProcessGlass::initialize(s32 width, s32 height, irr::f32 strength,
                                   irr::scene::ISceneManager* smgr) {
    Callback = new PPE_Glass_callback();
    Callback->Strength = strength;
    initializePass(smgr, width, height, GlassShader, Callback);
    OffsetTarget = addTarget(smgr->getVideoDriver(), width, height);
    Material.setTexture(1, OffsetTarget);
}

// ---- motion blur ------------------------------------------------------------------------

IPostProcessMotionBlur::IPostProcessMotionBlur(irr::scene::ISceneNode* parent,
                                               irr::scene::ISceneManager* mgr, s32 id)
    : PostProcessNode(parent, mgr, id) {
    setName(kMotionBlurName);
}

IPostProcessMotionBlur::~IPostProcessMotionBlur() {
    dropCallback(Callback);
}

void IPostProcessMotionBlur::initialize(s32 width, s32 height, irr::f32 strength,
                                        irr::scene::ISceneManager* smgr) {
    IVideoDriver* driver = smgr->getVideoDriver();
    Callback = new PPE_MotionBlur_callback();
    Callback->Strength = strength;
    BlendReady = compileInto(driver, Material, BlendShader, Callback);
    CopyReady = compileInto(driver, CopyMaterial, CopyShader, nullptr);
    SceneTarget = addTarget(driver, width, height);
    HistoryTarget = addTarget(driver, width, height);
    BlendTarget = addTarget(driver, width, height);
    finishMaterial(Material, SceneTarget, HistoryTarget);
    finishMaterial(CopyMaterial, BlendTarget, nullptr);
}

void IPostProcessMotionBlur::render() {
    if (!SceneTarget || !HistoryTarget || !BlendTarget) {
        return; // without its targets the node would draw over the caller's target
    }
    IVideoDriver* driver = SceneManager->getVideoDriver();
    selectTarget(driver, SceneTarget);
    SceneManager->drawAll();
    selectTarget(driver, BlendTarget);
    drawQuad(Material, BlendReady);
    selectTarget(driver, HistoryTarget);
    drawQuad(CopyMaterial, CopyReady);
}

void IPostProcessMotionBlur::renderFinal() {
    drawQuad(CopyMaterial, CopyReady);
}

} // namespace show

// The six post-process scene nodes. Each owns its render targets and a full-screen quad that
// it draws through its effect's shader into whatever target is current when render() is
// called; the caller fills the node's inputs (RenderTarget, and the glass node's
// OffsetTarget) earlier in the frame. The nodes hang under the root node but never register
// for drawing, so ISceneManager::drawAll never draws them.
//
// Life: construct with (parent, manager, id), then initialize exactly once. A shader that
// does not compile leaves its node drawing its first input unchanged, after one line on
// standard error naming the effect. A driver with neither render targets nor shaders (the
// null device) leaves the nodes in place, drawing nothing.
#pragma once

#include "postprocess/effect_callbacks.h"

#include <irrlicht.h>

namespace show {

// Every render-target switch of the effects clears colour and depth to this colour.
constexpr irr::u32 kTargetClearColour = 0x00000000; // transparent black, 0xAARRGGBB
// Targets keep an alpha channel: the effects mix and invert it with the colour.
constexpr irr::video::ECOLOR_FORMAT kTargetFormat = irr::video::ECF_A8R8G8B8;

// Every render target asks for a depth buffer this deep. The engine would give a target the
// window's depth, and some drivers give a window at most 24 bits while a target can still have
// 32: surfaces far apart near the far plane then keep depth values of their own.
constexpr int kTargetDepthBits = 32;

// The depth bits of target's depth buffer, as the driver reports them; 0 on a driver without
// GL render targets. Leaves the frame buffer selected.
int targetDepthBits(irr::video::IVideoDriver* driver, irr::video::ITexture* target);

// Selects target (null: the frame buffer), clearing colour and depth.
void selectTarget(irr::video::IVideoDriver* driver, irr::video::ITexture* target);

// Builds one effect's material from the shared quad vertex shader and fragmentSource.
// Returns the material id, or -1 after one line on standard error naming effectName. A driver
// without shader support gets -1 and no line: it draws nothing anyway.
irr::s32 compileEffectShader(irr::video::IVideoDriver* driver, const char* effectName,
                             const char* fragmentSource,
                             irr::video::IShaderConstantSetCallBack* callback);

// What the six classes share: the engine-node contract, the quad and the drawing of a pass.
class PostProcessNode : public irr::scene::ISceneNode {
  public:
    PostProcessNode(irr::scene::ISceneNode* parent, irr::scene::ISceneManager* mgr, irr::s32 id);

    const irr::core::aabbox3df& getBoundingBox() const override { return Box; }
    virtual void beforeRender() {}
    virtual irr::s32 getEffectMaterialCount() { return 1; }
    // The effect's material, whatever the index.
    virtual irr::video::SMaterial& getEffectMaterial(irr::s32 index) { return Material; }

    irr::core::aabbox3df Box;
    irr::video::S3DVertex Vertices[6];
    irr::video::SMaterial Material;

  protected:
    // Draws the quad with material into the current target; without a compiled shader, the
    // material's layer-0 texture is stretched over the target unchanged instead.
    void drawQuad(const irr::video::SMaterial& material, bool shaderReady);
    // Compiles the effect's shader into material (named after this node in any error line);
    // returns whether it compiled.
    bool compileInto(irr::video::IVideoDriver* driver, irr::video::SMaterial& material,
                     const char* fragmentSource, irr::video::IShaderConstantSetCallBack* callback);
    static irr::video::ITexture* addTarget(irr::video::IVideoDriver* driver, irr::s32 width,
                                           irr::s32 height);
};

// The five nodes that draw one pass of Material over RenderTarget.
class SinglePassNode : public PostProcessNode {
  public:
    using PostProcessNode::PostProcessNode;
    void render() override;

    irr::video::ITexture* RenderTarget = nullptr;

  protected:
    // Compiles the effect, creates RenderTarget and puts it on material layer 0.
    void initializePass(irr::scene::ISceneManager* smgr, irr::s32 width, irr::s32 height,
                        const char* fragmentSource,
                        irr::video::IShaderConstantSetCallBack* callback);

    bool ShaderReady = false;
};

class IPostProcessBlur : public SinglePassNode {
  public:
    IPostProcessBlur(irr::scene::ISceneNode* parent, irr::scene::ISceneManager* mgr, irr::s32 id);
    ~IPostProcessBlur() override;
    void initialize(irr::s32 width, irr::s32 height, irr::f32 sampleDist,
                    irr::scene::ISceneManager* smgr);

    PPE_Blur_callback* Callback = nullptr;
};

class IPostProcessBloom : public SinglePassNode {
  public:
    IPostProcessBloom(irr::scene::ISceneNode* parent, irr::scene::ISceneManager* mgr, irr::s32 id);
    ~IPostProcessBloom() override;
    void initialize(irr::s32 width, irr::s32 height, irr::f32 sampleDist, irr::f32 strength,
                    irr::f32 multiplier, irr::scene::ISceneManager* smgr);

    PPE_Bloom_callback* Callback = nullptr;
};

class IPostProcessInvert : public SinglePassNode {
  public:
    IPostProcessInvert(irr::scene::ISceneNode* parent, irr::scene::ISceneManager* mgr, irr::s32 id);
    void initialize(irr::s32 width, irr::s32 height, irr::scene::ISceneManager* smgr);
};

class IPostProcessColor : public SinglePassNode {
  public:
    IPostProcessColor(irr::scene::ISceneNode* parent, irr::scene::ISceneManager* mgr, irr::s32 id);
    ~IPostProcessColor() override;
    // saturation and coloringStrength weigh 0..10; the colouring components are 0..255.
    void initialize(irr::s32 width, irr::s32 height, irr::f32 saturation, irr::f32 coloringStrength,
                    irr::f32 red, irr::f32 green, irr::f32 blue, irr::f32 alpha,
                    irr::scene::ISceneManager* smgr);

    PPE_Color_callback* Callback = nullptr;
};

// RenderTarget holds the picture, OffsetTarget the map whose red and green displace it.
class IPostProcessGlass : public SinglePassNode {
  public:
    IPostProcessGlass(irr::scene::ISceneNode* parent, irr::scene::ISceneManager* mgr, irr::s32 id);
    ~IPostProcessGlass() override;
    void initialize(irr::s32 width, irr::s32 height, irr::f32 strength,
                    irr::scene::ISceneManager* smgr);

    irr::video::ITexture* OffsetTarget = nullptr;
    PPE_Glass_callback* Callback = nullptr;
};

// Draws the scene itself and keeps a history between frames: render() draws the scene into
// SceneTarget, blends it with HistoryTarget into BlendTarget and copies that back into the
// history, leaving HistoryTarget selected. renderFinal() then draws BlendTarget into the
// caller's target.
class IPostProcessMotionBlur : public PostProcessNode {
  public:
    IPostProcessMotionBlur(irr::scene::ISceneNode* parent, irr::scene::ISceneManager* mgr,
                           irr::s32 id);
    ~IPostProcessMotionBlur() override;
    void initialize(irr::s32 width, irr::s32 height, irr::f32 strength,
                    irr::scene::ISceneManager* smgr);
    void render() override;
    virtual void renderFinal();

    irr::video::SMaterial CopyMaterial;
    irr::video::ITexture* SceneTarget = nullptr;
    irr::video::ITexture* HistoryTarget = nullptr;
    irr::video::ITexture* BlendTarget = nullptr;
    PPE_MotionBlur_callback* Callback = nullptr;

  private:
    bool BlendReady = false;
    bool CopyReady = false;
};

} // namespace show

// The constant callbacks of the effect shaders. Each keeps its effect's parameters as plain
// floats and sends them by uniform name every time the engine sets the material, so a value
// changed between two frames reaches the next frame with no other call.
#pragma once

#include <irrlicht.h>

namespace show {

class PPE_Blur_callback : public irr::video::IShaderConstantSetCallBack {
  public:
    void OnSetConstants(irr::video::IMaterialRendererServices* services,
                        irr::s32 userData) override;
    irr::f32 SampleDist = 0.0f;
};

class PPE_Bloom_callback : public irr::video::IShaderConstantSetCallBack {
  public:
    void OnSetConstants(irr::video::IMaterialRendererServices* services,
                        irr::s32 userData) override;
    irr::f32 SampleDist = 0.0f;
    irr::f32 Strength = 0.0f;
    irr::f32 Multiplier = 0.0f;
};

class PPE_Color_callback : public irr::video::IShaderConstantSetCallBack {
  public:
    void OnSetConstants(irr::video::IMaterialRendererServices* services,
                        irr::s32 userData) override;
    irr::f32 Saturation = 0.0f;
    irr::f32 ColoringStrength = 0.0f;
    irr::f32 Coloring[4] = {0.0f, 0.0f, 0.0f, 1.0f}; // red, green, blue, alpha on 0..255
};

// Also names the two texture units: "Texture1" the scene image, "Texture2" the offset map.
class PPE_Glass_callback : public irr::video::IShaderConstantSetCallBack {
  public:
    void OnSetConstants(irr::video::IMaterialRendererServices* services,
                        irr::s32 userData) override;
    irr::f32 Strength = 0.0f;
};

// Also names the two texture units: "texture1" the new frame, "texture2" the history.
class PPE_MotionBlur_callback : public irr::video::IShaderConstantSetCallBack {
  public:
    void OnSetConstants(irr::video::IMaterialRendererServices* services,
                        irr::s32 userData) override;
    irr::f32 Strength = 0.0f;
};

} // namespace show

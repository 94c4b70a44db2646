// Uniforms by name. Floats go through the float-array call; samplers through the integer
// one, because the engine's float call would convert a unit number instead of passing it.
#include "postprocess/effect_callbacks.h"

namespace show {
namespace {

constexpr irr::s32 kFirstTextureUnit = 0;
constexpr irr::s32 kSecondTextureUnit = 1;

void setFloat(irr::video::IMaterialRendererServices* services, const char* name,
              const irr::f32& value) {
    services->setVertexShaderConstant(name, &value, 1);
}

void setSamplers(irr::video::IMaterialRendererServices* services, const char* first,
                 const char* second) {
    services->setPixelShaderConstant(first, &kFirstTextureUnit, 1);
    services->setPixelShaderConstant(second, &kSecondTextureUnit, 1);
}

} // namespace

void PPE_Blur_callback::OnSetConstants(irr::video::IMaterialRendererServices* services, irr::s32) {
    setFloat(services, "sampleDist", SampleDist);
}

void PPE_Bloom_callback::OnSetConstants(irr::video::IMaterialRendererServices* services, irr::s32) {
    setFloat(services, "sampleDist", SampleDist);
    setFloat(services, "strength", Strength);
    setFloat(services, "multiplier", Multiplier);
}

void PPE_Color_callback::OnSetConstants(irr::video::IMaterialRendererServices* services, irr::s32) {
    setFloat(services, "saturation", Saturation);
    setFloat(services, "coloringStrength", ColoringStrength);
    services->setPixelShaderConstant("coloring", Coloring, 4);
}

void PPE_Glass_callback::OnSetConstants(irr::video::IMaterialRendererServices* services, irr::s32) {
    setFloat(services, "strength", Strength);
    setSamplers(services, "Texture1", "Texture2");
}

void PPE_MotionBlur_callback::OnSetConstants(irr::video::IMaterialRendererServices* services,
                                             irr::s32) {
    setFloat(services, "strength", Strength);
    setSamplers(services, "texture1", "texture2");
}

} // namespace show

// The roundabout's normal-colour material: surface normals become colours, darkened with
// distance from the eye, so the glass effect has an offset map that follows the object. The
// world builds it; the contact sheet shows the roundabout through the same programs.
#pragma once

namespace show::shader {

inline constexpr const char* kNormalColourVertexProgram =
    "varying vec3 fvNormal;varying vec3 fvViewVec;void main( void ){float dist =0.00087;   "
    "gl_Position = ftransform();   fvNormal    = gl_NormalMatrix * gl_Normal;   fvViewVec = "
    "vec3(dist * gl_ModelViewMatrix * gl_Vertex);}";
inline constexpr const char* kNormalColourFragmentProgram =
    "varying vec3 fvNormal;varying vec3 fvViewVec;void main( void ){  vec4 color;  vec4 temp;  "
    "temp.xyz=-normalize(fvNormal);  color.r=temp.r+0.5;  color.g=temp.g+0.5;  "
    "color.b=temp.b+0.5;  float t=(1.0-fvViewVec.z)/2.0;  if(t<0.0){t=0.0;}  gl_FragColor = "
    "color*t;}";

} // namespace show::shader

// The GLSL text of the post-process effects: one vertex shader shared by every effect, one
// fragment shader per effect. Each source is a single line, compiled once per node.
//
// The vertex shader ignores every matrix and places the quad's corners at the signs of their
// coordinates, so any quad drawn with it covers the whole current target, and it derives the
// texture coordinate from that position: (0, 0) at the target's lower left, (1, 1) upper right.
// Samplers declared as "texture[2]" are never set and default to unit 0, the node's input.
#pragma once

namespace show {

constexpr const char* QuadVertexShader =
    "varying vec2 vTexCoord;void main(void){ vec2 Position; Position.xy = sign(gl_Vertex.xy); "
    "gl_Position = vec4(Position.xy, 0.0, 1.0);vTexCoord =Position.xy *.5 + .5;}";

// Motion blur: the new frame (texture1) mixed with the history (texture2) by strength.
constexpr const char* BlendShader =
    "uniform sampler2D texture1;uniform sampler2D texture2;varying vec2 vTexCoord;uniform float "
    "strength;void main(){  gl_FragColor = mix( texture2D( texture1, vTexCoord ), texture2D( "
    "texture2, vTexCoord ), vec4( strength,strength,strength,strength) );}";

constexpr const char* CopyShader =
    "uniform sampler2D texture1;varying vec2 vTexCoord;void main(){  gl_FragColor =texture2D( "
    "texture1, vTexCoord );}";

constexpr const char* InvertShader =
    "uniform sampler2D texture[2];varying vec2 vTexCoord;void main(){  vec4 "
    "col=texture2D(texture[0],vTexCoord);   gl_FragColor =vec4(1.0,1.0,1.0,1.0)-col;}";

constexpr const char* ColorShader =
    "uniform sampler2D texture[2];varying vec2 vTexCoord;uniform float saturation;uniform float "
    "coloringStrength;uniform vec4  coloring;void main(){   vec4 sample = texture2D(texture[0], "
    "vTexCoord);   float sat=saturation/10.0;   float hue=coloringStrength/10.0;   float "
    "greyscale=sample.r*0.3+sample.g*0.49+sample.b*0.11;   vec4 cGreyScale;   "
    "cGreyScale.r=greyscale;   cGreyScale.g=greyscale;   cGreyScale.b=greyscale;   "
    "sample=(sample*(1.0-hue))+coloring/255.0*greyscale*(hue);   gl_FragColor = "
    "(cGreyScale*sat)+sample*(1.0-sat);}";

// Glass: the scene image (Texture1) sampled at uv displaced by the offset map (Texture2).
constexpr const char* GlassShader =
    "uniform float strength;varying vec2 vTexCoord;uniform sampler2D Texture2; uniform sampler2D "
    "Texture1;void main(void){   vec2 offset= texture2D( Texture2, vTexCoord).xy;   float "
    "d=length(offset);   if(d!=0.0){offset-=0.5*d;}   offset=offset*strength+vTexCoord;   "
    "gl_FragColor = texture2D( Texture1, offset );}";

// Blur and bloom share the same twelve-tap disc, scaled by sampleDist in texture units.
constexpr const char* BlurShader =
    "uniform sampler2D texture[2];varying vec2 vTexCoord;uniform float sampleDist;void main(){   "
    "vec2 samples[12];    samples[0]  = vTexCoord + sampleDist * vec2(-0.326212, -0.405805);   "
    "samples[1]  = vTexCoord + sampleDist * vec2(-0.840144, -0.073580);   samples[2]  = "
    "vTexCoord + sampleDist * vec2(-0.695914,  0.457137);   samples[3]  = vTexCoord + sampleDist "
    "* vec2(-0.203345,  0.620716);   samples[4]  = vTexCoord + sampleDist * vec2(0.962340, "
    "-0.194983);   samples[5]  = vTexCoord + sampleDist * vec2(0.473434, -0.480026);   "
    "samples[6]  = vTexCoord + sampleDist * vec2(0.519456,  0.767022);   samples[7]  = vTexCoord "
    "+ sampleDist * vec2(0.185461, -0.893124);   samples[8]  = vTexCoord + sampleDist * "
    "vec2(0.507431,  0.064425);   samples[9]  = vTexCoord + sampleDist * vec2(0.896420,  "
    "0.412458);   samples[10]  = vTexCoord + sampleDist * vec2(-0.321940, -0.932615);   "
    "samples[11]  = vTexCoord + sampleDist * vec2(-0.791559, -0.597705);   vec4 sample = "
    "texture2D(texture[0], vTexCoord);   vec4 avg = sample;   vec4 col;   for (int i = 0; i < "
    "12; i++)   {      vec2 tC=min(vec2(0.999,0.999),max(vec2(0.001,0.001),samples[i]));      "
    "col=texture2D(texture[0],tC );      float intensity=col.r+col.g+col.b;      avg += col;     "
    "}   avg /= 13.0;   gl_FragColor = avg;}";

constexpr const char* BloomShader =
    "uniform sampler2D texture[2];varying vec2 vTexCoord;uniform float sampleDist;uniform float "
    "strength;uniform float multiplier;void main(){   vec2 samples[12];    samples[0]  = "
    "vTexCoord + sampleDist * vec2(-0.326212, -0.405805);   samples[1]  = vTexCoord + sampleDist "
    "* vec2(-0.840144, -0.073580);   samples[2]  = vTexCoord + sampleDist * vec2(-0.695914,  "
    "0.457137);   samples[3]  = vTexCoord + sampleDist * vec2(-0.203345,  0.620716);   "
    "samples[4]  = vTexCoord + sampleDist * vec2(0.962340, -0.194983);   samples[5]  = vTexCoord "
    "+ sampleDist * vec2(0.473434, -0.480026);   samples[6]  = vTexCoord + sampleDist * "
    "vec2(0.519456,  0.767022);   samples[7]  = vTexCoord + sampleDist * vec2(0.185461, "
    "-0.893124);   samples[8]  = vTexCoord + sampleDist * vec2(0.507431,  0.064425);   "
    "samples[9]  = vTexCoord + sampleDist * vec2(0.896420,  0.412458);   samples[10]  = "
    "vTexCoord + sampleDist * vec2(-0.321940, -0.932615);   samples[11]  = vTexCoord + "
    "sampleDist * vec2(-0.791559, -0.597705);   vec4 sample = texture2D(texture[0], vTexCoord);  "
    " vec4 avg = sample;   vec4 col;   for (int i = 0; i < 12; i++)   {      vec2 "
    "tC=min(vec2(0.999,0.999),max(vec2(0.001,0.001),samples[i]));      avg "
    "+=texture2D(texture[0],tC);   }   avg /= 13.0;   avg.r=pow(avg.r,strength);   "
    "avg.g=pow(avg.g,strength);   avg.b=pow(avg.b,strength);   gl_FragColor = "
    "sample+avg*multiplier;}";

} // namespace show

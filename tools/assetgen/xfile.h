// Text DirectX (.X) models as the engine's loader reads them: one Frame per rigid part,
// each with a FrameTransformMatrix and a Mesh (normals, texture coordinates, vertex
// colours, material list), and an AnimationSet of matrix keys (type 4) per animated part.
// A model may instead hang one skinned mesh on its parts: each of its corners follows one
// part, and the engine draws the whole mesh in one call.
// Key times are frame numbers. Matrices use the engine's storage: element [12..14] is the
// translation and a point p maps to p.x*m[0..2] + p.y*m[4..6] + p.z*m[8..10] + m[12..14].
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace assetgen {

struct Vec3 {
    float x = 0, y = 0, z = 0;
};
Vec3 operator+(Vec3 a, Vec3 b);
Vec3 operator-(Vec3 a, Vec3 b);
Vec3 operator*(Vec3 a, float k);
Vec3 cross(Vec3 a, Vec3 b);
float dot(Vec3 a, Vec3 b);
Vec3 normalized(Vec3 a);
float length(Vec3 a);

struct Mat4 {
    std::array<float, 16> m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    static Mat4 translation(Vec3 t);
    // Right-handed turn by `radians` about `axis` in the engine's left-handed frame
    // (same sense as the engine's setRotationRadians for the principal axes).
    static Mat4 rotation(Vec3 axis, float radians);
    Vec3 apply(Vec3 p) const;
    Vec3 applyDir(Vec3 d) const;
};
// (a * b).apply(p) == a.apply(b.apply(p))
Mat4 operator*(const Mat4& a, const Mat4& b);

struct Material {
    float diffuse[4] = {1, 1, 1, 1};
    float power = 0;
    float specular[3] = {0, 0, 0};
    float emissive[3] = {0, 0, 0};
    std::string texture; // archive path; the loader finds it by base name
};

struct Vertex {
    Vec3 pos, normal;
    float u = 0, v = 0;
    uint32_t color = 0xFFFFFFFF; // ARGB
};

struct Mesh {
    std::vector<Vertex> vertices;
    std::vector<std::array<uint32_t, 3>> triangles; // front face: (b-a)x(c-a) along the normal
    std::vector<uint32_t> triangleMaterial;
    std::vector<Material> materials;
    bool vertexColors = false;

    uint32_t addVertex(const Vertex& v);
    void addTriangle(uint32_t a, uint32_t b, uint32_t c, uint32_t material = 0);
    // Flat-shaded quad a,b,c,d in order round its front face (counter-clockwise seen from the
    // front in the engine's frame), with its own four vertices.
    void addQuad(Vec3 a, Vec3 b, Vec3 c, Vec3 d, float u0, float v0, float u1, float v1,
                 uint32_t color = 0xFFFFFFFF, uint32_t material = 0);
    void append(const Mesh& other, const Mat4& transform);
    size_t triangleCount() const { return triangles.size(); }
};

struct Part {
    std::string name;
    Mat4 transform;
    Mesh mesh;
    std::map<int, Mat4> keys; // frame -> pose; empty for a still part
};

// One mesh whose corners each follow one part (a bone: a part without a mesh of its own),
// written as skin weights of 1. The engine moves the corners itself once per frame and draws
// the mesh in one call, where rigid parts cost one call each.
struct Skin {
    std::string name;
    Mesh mesh;
    std::vector<uint32_t> bone; // per vertex: the index of the part whose keys move it
};

struct Model {
    std::vector<Part> parts;
    Skin skin; // empty unless the parts are bones
    size_t triangleCount() const;
};

std::string writeX(const Model& model);

// Axis-aligned box with outward faces, UVs 0..1 per face; `inward` flips faces and normals.
Mesh boxMesh(Vec3 lo, Vec3 hi, uint32_t color = 0xFFFFFFFF, bool inward = false);

} // namespace assetgen

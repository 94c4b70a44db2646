// Writer for text .X models and a few mesh helpers.
#include "xfile.h"

#include <cmath>
#include <cstdio>

namespace assetgen {

Vec3 operator+(Vec3 a, Vec3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Vec3 operator-(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec3 operator*(Vec3 a, float k) {
    return {a.x * k, a.y * k, a.z * k};
}
Vec3 cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
float length(Vec3 a) {
    return std::sqrt(dot(a, a));
}
Vec3 normalized(Vec3 a) {
    const float l = length(a);
    return l > 0 ? a * (1.0f / l) : Vec3{0, 1, 0};
}

Mat4 Mat4::translation(Vec3 t) {
    Mat4 r;
    r.m[12] = t.x;
    r.m[13] = t.y;
    r.m[14] = t.z;
    return r;
}

Mat4 Mat4::rotation(Vec3 axis, float a) {
    const Vec3 n = normalized(axis);
    const float c = std::cos(a), s = std::sin(a), t = 1 - c;
    // R[row][col] of the column-vector rotation; stored as m[col*4+row] so apply() matches.
    const float R[3][3] = {{t * n.x * n.x + c, t * n.x * n.y - s * n.z, t * n.x * n.z + s * n.y},
                           {t * n.x * n.y + s * n.z, t * n.y * n.y + c, t * n.y * n.z - s * n.x},
                           {t * n.x * n.z - s * n.y, t * n.y * n.z + s * n.x, t * n.z * n.z + c}};
    Mat4 r;
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            r.m[col * 4 + row] = R[row][col];
    return r;
}

Vec3 Mat4::apply(Vec3 p) const {
    return {p.x * m[0] + p.y * m[4] + p.z * m[8] + m[12],
            p.x * m[1] + p.y * m[5] + p.z * m[9] + m[13],
            p.x * m[2] + p.y * m[6] + p.z * m[10] + m[14]};
}

Vec3 Mat4::applyDir(Vec3 p) const {
    return {p.x * m[0] + p.y * m[4] + p.z * m[8], p.x * m[1] + p.y * m[5] + p.z * m[9],
            p.x * m[2] + p.y * m[6] + p.z * m[10]};
}

Mat4 operator*(const Mat4& a, const Mat4& b) {
    // In column-vector terms the stored arrays are column-major: C = A * B.
    Mat4 r;
    for (int col = 0; col < 4; ++col)
        for (int row = 0; row < 4; ++row) {
            float s = 0;
            for (int k = 0; k < 4; ++k)
                s += a.m[k * 4 + row] * b.m[col * 4 + k];
            r.m[col * 4 + row] = s;
        }
    return r;
}

uint32_t Mesh::addVertex(const Vertex& v) {
    vertices.push_back(v);
    return static_cast<uint32_t>(vertices.size() - 1);
}

void Mesh::addTriangle(uint32_t a, uint32_t b, uint32_t c, uint32_t material) {
    triangles.push_back({a, b, c});
    triangleMaterial.push_back(material);
}

void Mesh::addQuad(Vec3 a, Vec3 b, Vec3 c, Vec3 d, float u0, float v0, float u1, float v1,
                   uint32_t color, uint32_t material) {
    // Counter-clockwise a,b,c,d seen from the front; the engine's front faces wind
    // clockwise on screen, so the triangles are emitted as (a,c,b) and (a,d,c).
    const Vec3 n = normalized(cross(c - a, b - a));
    const uint32_t ia = addVertex({a, n, u0, v1, color});
    const uint32_t ib = addVertex({b, n, u1, v1, color});
    const uint32_t ic = addVertex({c, n, u1, v0, color});
    const uint32_t id = addVertex({d, n, u0, v0, color});
    addTriangle(ia, ic, ib, material);
    addTriangle(ia, id, ic, material);
}

void Mesh::append(const Mesh& o, const Mat4& t) {
    const uint32_t base = static_cast<uint32_t>(vertices.size());
    for (Vertex v : o.vertices) {
        v.pos = t.apply(v.pos);
        v.normal = normalized(t.applyDir(v.normal));
        vertices.push_back(v);
    }
    for (size_t i = 0; i < o.triangles.size(); ++i)
        addTriangle(o.triangles[i][0] + base, o.triangles[i][1] + base, o.triangles[i][2] + base,
                    o.triangleMaterial[i]);
}

size_t Model::triangleCount() const {
    size_t n = skin.mesh.triangleCount();
    for (const Part& p : parts)
        n += p.mesh.triangleCount();
    return n;
}

Mesh boxMesh(Vec3 lo, Vec3 hi, uint32_t color, bool inward) {
    Mesh m;
    const Vec3 p[8] = {{lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {hi.x, hi.y, lo.z},
                       {lo.x, hi.y, lo.z}, {lo.x, lo.y, hi.z}, {hi.x, lo.y, hi.z},
                       {hi.x, hi.y, hi.z}, {lo.x, hi.y, hi.z}};
    const int faces[6][4] = {{0, 1, 2, 3}, {5, 4, 7, 6}, {4, 0, 3, 7},
                             {1, 5, 6, 2}, {3, 2, 6, 7}, {4, 5, 1, 0}};
    const Vec3 centre = (lo + hi) * 0.5f;
    for (const auto& f : faces) {
        // Orient each face by where it lies, so a listing slip cannot turn a face inside out.
        const Vec3 faceCentre = (p[f[0]] + p[f[2]]) * 0.5f;
        const bool outward =
            dot(cross(p[f[2]] - p[f[0]], p[f[1]] - p[f[0]]), faceCentre - centre) > 0;
        if (outward != inward)
            m.addQuad(p[f[0]], p[f[1]], p[f[2]], p[f[3]], 0, 0, 1, 1, color);
        else
            m.addQuad(p[f[3]], p[f[2]], p[f[1]], p[f[0]], 0, 0, 1, 1, color);
    }
    return m;
}

namespace {

void appendf(std::string& out, const char* fmt, double a) {
    char buf[64];
    std::snprintf(buf, sizeof buf, fmt, a);
    out += buf;
}

std::string num(float v) {
    char buf[32];
    // Fixed precision keeps the text stable across runs; -0 prints as 0.
    if (std::fabs(v) < 5e-7f)
        v = 0.0f;
    std::snprintf(buf, sizeof buf, "%.6f", static_cast<double>(v));
    return buf;
}

void writeMatrix(std::string& out, const Mat4& m) {
    for (int i = 0; i < 16; ++i) {
        out += num(m.m[i]);
        out += i < 15 ? "," : ";";
    }
}

void writeMaterial(std::string& out, const Material& mat) {
    out += "   Material {\n    ";
    for (int i = 0; i < 4; ++i)
        out += num(mat.diffuse[i]) + ";";
    out += ";\n    " + num(mat.power) + ";\n    ";
    for (int i = 0; i < 3; ++i)
        out += num(mat.specular[i]) + ";";
    out += ";\n    ";
    for (int i = 0; i < 3; ++i)
        out += num(mat.emissive[i]) + ";";
    out += ";\n";
    if (!mat.texture.empty())
        out += "    TextureFilename { \"" + mat.texture + "\"; }\n";
    out += "   }\n";
}

void writeMesh(std::string& out, const std::string& name, const Mesh& mesh,
               const std::string& skinWeights = "") {
    const size_t nv = mesh.vertices.size(), nt = mesh.triangles.size();
    out += "  Mesh " + name + "_mesh {\n   " + std::to_string(nv) + ";\n";
    for (size_t i = 0; i < nv; ++i) {
        const Vec3& p = mesh.vertices[i].pos;
        out +=
            "   " + num(p.x) + ";" + num(p.y) + ";" + num(p.z) + ";" + (i + 1 < nv ? ",\n" : ";\n");
    }
    auto faces = [&](std::string& o) {
        o += "   " + std::to_string(nt) + ";\n";
        for (size_t i = 0; i < nt; ++i) {
            const auto& t = mesh.triangles[i];
            o += "   3;" + std::to_string(t[0]) + "," + std::to_string(t[1]) + "," +
                 std::to_string(t[2]) + ";" + (i + 1 < nt ? ",\n" : ";\n");
        }
    };
    faces(out);
    out += "   MeshNormals {\n   " + std::to_string(nv) + ";\n";
    for (size_t i = 0; i < nv; ++i) {
        const Vec3& n = mesh.vertices[i].normal;
        out +=
            "   " + num(n.x) + ";" + num(n.y) + ";" + num(n.z) + ";" + (i + 1 < nv ? ",\n" : ";\n");
    }
    faces(out);
    out += "   }\n   MeshTextureCoords {\n   " + std::to_string(nv) + ";\n";
    for (size_t i = 0; i < nv; ++i)
        out += "   " + num(mesh.vertices[i].u) + ";" + num(mesh.vertices[i].v) + ";" +
               (i + 1 < nv ? ",\n" : ";\n");
    out += "   }\n";
    if (mesh.vertexColors) {
        out += "   MeshVertexColors {\n   " + std::to_string(nv) + ";\n";
        for (size_t i = 0; i < nv; ++i) {
            const uint32_t c = mesh.vertices[i].color;
            out += "   " + std::to_string(i) + ";";
            appendf(out, "%.4f;", ((c >> 16) & 0xFF) / 255.0);
            appendf(out, "%.4f;", ((c >> 8) & 0xFF) / 255.0);
            appendf(out, "%.4f;", (c & 0xFF) / 255.0);
            appendf(out, "%.4f;", ((c >> 24) & 0xFF) / 255.0);
            out += i + 1 < nv ? ";,\n" : ";;\n";
        }
        out += "   }\n";
    }
    out += "   MeshMaterialList {\n   " + std::to_string(mesh.materials.size()) + ";\n   " +
           std::to_string(nt) + ";\n";
    for (size_t i = 0; i < nt; ++i)
        out += "   " + std::to_string(mesh.triangleMaterial[i]) + (i + 1 < nt ? ",\n" : ";;\n");
    for (const Material& m : mesh.materials)
        writeMaterial(out, m);
    out += "   }\n" + skinWeights + "  }\n";
}

// The skin's header and one SkinWeights object per bone that moves any corner: every corner
// follows its bone alone, and the bones start from the model's own space.
std::string skinWeights(const Model& model) {
    const Skin& skin = model.skin;
    std::vector<std::vector<size_t>> corners(model.parts.size());
    for (size_t v = 0; v < skin.bone.size(); ++v)
        corners.at(skin.bone[v]).push_back(v);
    size_t bones = 0;
    for (const auto& c : corners)
        bones += !c.empty();
    std::string out =
        "   XSkinMeshHeader {\n    1;\n    3;\n    " + std::to_string(bones) + ";\n   }\n";
    for (size_t b = 0; b < corners.size(); ++b) {
        if (corners[b].empty())
            continue;
        const size_t n = corners[b].size();
        out += "   SkinWeights {\n    \"" + model.parts[b].name + "\";\n    " + std::to_string(n) +
               ";\n";
        for (size_t i = 0; i < n; ++i)
            out += "    " + std::to_string(corners[b][i]) + (i + 1 < n ? ",\n" : ";\n");
        for (size_t i = 0; i < n; ++i)
            out += "    " + num(1.0f) + (i + 1 < n ? ",\n" : ";\n");
        out += "    ";
        writeMatrix(out, Mat4());
        out += ";\n   }\n";
    }
    return out;
}

} // namespace

std::string writeX(const Model& model) {
    std::string out = "xof 0303txt 0032\n\n";
    for (const Part& part : model.parts) {
        out += "Frame " + part.name + " {\n  FrameTransformMatrix {\n   ";
        writeMatrix(out, part.transform);
        out += ";\n  }\n";
        if (!part.mesh.triangles.empty())
            writeMesh(out, part.name, part.mesh);
        out += "}\n\n";
    }
    if (!model.skin.mesh.triangles.empty()) {
        out += "Frame " + model.skin.name + " {\n  FrameTransformMatrix {\n   ";
        writeMatrix(out, Mat4());
        out += ";\n  }\n";
        writeMesh(out, model.skin.name, model.skin.mesh, skinWeights(model));
        out += "}\n\n";
    }
    bool animated = false;
    for (const Part& part : model.parts)
        animated = animated || !part.keys.empty();
    if (!animated)
        return out;
    out += "AnimationSet loop {\n";
    for (const Part& part : model.parts) {
        if (part.keys.empty())
            continue;
        out += " Animation {\n  { " + part.name + " }\n  AnimationKey {\n   4;\n   " +
               std::to_string(part.keys.size()) + ";\n";
        size_t i = 0;
        for (const auto& [frame, pose] : part.keys) {
            out += "   " + std::to_string(frame) + ";16;";
            writeMatrix(out, pose);
            out += ++i < part.keys.size() ? ";,\n" : ";;\n";
        }
        out += "  }\n }\n";
    }
    out += "}\n";
    return out;
}

} // namespace assetgen

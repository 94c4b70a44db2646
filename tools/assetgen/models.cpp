// Model geometry and animation. Units are model units; the scenes scale the nodes.
#include "models.h"

#include "look.h"
#include "textures.h"

#include "content/asset_paths.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace assetgen {

namespace {

using namespace look;

constexpr float kPi = 3.14159265f;
constexpr float kTau = 2 * kPi;

Material material(const char* texture, float power, float specular, float emissive) {
    Material m;
    m.texture = texture;
    m.power = power;
    for (float& s : m.specular)
        s = specular;
    for (float& e : m.emissive)
        e = emissive;
    return m;
}

// Moves a vertex's 0..1 texture coordinates onto one plate of the palette texture.
void paintVertex(Vertex& v, Tile tile) {
    constexpr float kInset = 0.02f;
    const float count = static_cast<float>(Tile::Count);
    const float u = std::clamp(v.u, 0.0f, 1.0f), w = std::clamp(v.v, 0.0f, 1.0f);
    v.u = (static_cast<float>(tile) + kInset + u * (1 - 2 * kInset)) / count;
    v.v = kInset + w * (1 - 2 * kInset);
}

void paint(Mesh& m, Tile tile) {
    for (Vertex& v : m.vertices)
        paintVertex(v, tile);
}

float smooth(float t) {
    t = std::clamp(t, 0.0f, 1.0f);
    return t * t * (3 - 2 * t);
}

// Moves a part's whole motion by `by`: every key first poses the part, then shifts it.
void shiftKeys(Part& part, Vec3 by) {
    for (auto& key : part.keys)
        key.second = Mat4::translation(by) * key.second;
}

// Keys for a looping part: `pose(t)` with t = 0 at frame `first` and t = 1 at frame `last`,
// sampled every `step` frames and at every frame from `from` to `to`'s edges.
void loopKeys(Part& part, int from, int first, int last, int to, int step,
              const std::function<Mat4(float)>& pose) {
    auto at = [&](int f) {
        part.keys[f] = pose(static_cast<float>(f - first) / static_cast<float>(last - first));
    };
    for (int f = from; f <= to; f += step)
        at(f);
    at(first);
    at(last);
    at(to);
}

// ---- circle sculpture: concentric rings of segments, tumbling and spinning -------------

// One curved block of a ring lying in the XZ plane: radial span [r0, r1], height h,
// angular span [a0, a1], `subdiv` facets along the arc.
void arcBlock(Mesh& m, float r0, float r1, float h, float a0, float a1, int subdiv,
              uint32_t color) {
    auto p = [&](float r, float a, float y) { return Vec3{r * std::cos(a), y, r * std::sin(a)}; };
    const float y0 = -h / 2, y1 = h / 2;
    for (int i = 0; i < subdiv; ++i) {
        const float b0 = a0 + (a1 - a0) * i / subdiv, b1 = a0 + (a1 - a0) * (i + 1) / subdiv;
        const float u0 = static_cast<float>(i) / subdiv, u1 = static_cast<float>(i + 1) / subdiv;
        m.addQuad(p(r1, b1, y0), p(r1, b0, y0), p(r1, b0, y1), p(r1, b1, y1), u0, 0, u1, 1, color);
        m.addQuad(p(r0, b0, y0), p(r0, b1, y0), p(r0, b1, y1), p(r0, b0, y1), u0, 0, u1, 1, color);
        m.addQuad(p(r0, b0, y1), p(r0, b1, y1), p(r1, b1, y1), p(r1, b0, y1), u0, 0, u1, 1, color);
        m.addQuad(p(r1, b0, y0), p(r1, b1, y0), p(r0, b1, y0), p(r0, b0, y0), u0, 0, u1, 1, color);
    }
    m.addQuad(p(r1, a0, y0), p(r0, a0, y0), p(r0, a0, y1), p(r1, a0, y1), 0, 0, 1, 1, color);
    m.addQuad(p(r0, a1, y0), p(r1, a1, y0), p(r1, a1, y1), p(r0, a1, y1), 0, 0, 1, 1, color);
}

// Regular octahedron, flat shaded.
Mesh octahedron(float r, uint32_t color) {
    Mesh m;
    const Vec3 v[6] = {{r, 0, 0}, {-r, 0, 0}, {0, r, 0}, {0, -r, 0}, {0, 0, r}, {0, 0, -r}};
    const int f[8][3] = {{0, 2, 4}, {4, 2, 1}, {1, 2, 5}, {5, 2, 0},
                         {0, 4, 3}, {4, 1, 3}, {1, 5, 3}, {5, 0, 3}};
    for (const auto& t : f) {
        Vec3 a = v[t[0]], b = v[t[1]], c = v[t[2]];
        Vec3 n = normalized(cross(b - a, c - a));
        if (dot(n, a + b + c) < 0) {
            std::swap(b, c);
            n = n * -1.0f;
        }
        const uint32_t i0 = m.addVertex({a, n, 0, 1, color});
        const uint32_t i1 = m.addVertex({b, n, 1, 1, color});
        const uint32_t i2 = m.addVertex({c, n, 0.5f, 0, color});
        m.addTriangle(i0, i1, i2);
    }
    return m;
}

} // namespace

// Scene 1 stands the sculpture 200 units below the origin at five times its size, while the
// camera looks at 400 units above the origin: the rings turn round a centre lifted into the
// opening's picture, and are small enough to stay whole in it but for the camera's closest
// pass, and to turn under the sculpture pair that hovers at 600 (its lowest point some 465).
constexpr float kCircleSpan = 0.7f; // the rings' size, as a share of the sizes listed below
constexpr Vec3 kCircleCentre = {0, 76, 0};

Model circleSculpture() {
    struct Ring {
        float radius, width, height;
        int segments;
        Vec3 tumbleAxis;
        float tumbleTurns; // half-turns per loop keep a mirror-symmetric ring seamless
        int spinSegments;  // segments advanced per loop, either way round
    };
    const Ring rings[] = {{80, 7, 5, 16, {1, 0, 0}, 1, 2},
                          {64, 6, 6, 12, {0, 0, 1}, -1, -2},
                          {48, 5, 7, 10, {1, 0, 0}, -2, 2},
                          {33, 5, 8, 8, {0, 0, 1}, 2, -1}};
    constexpr float kFill = 0.78f; // share of each segment's arc that is solid
    constexpr int kArcFacets = 2;
    Model model;
    int index = 0;
    for (const Ring& r : rings) {
        Part part;
        part.name = "ring" + std::to_string(index);
        Mesh& m = part.mesh;
        m.materials.push_back(material(tex::kPaletteTiles, 24, 0.6f, 0.04f));
        for (int s = 0; s < r.segments; ++s) {
            const float step = kTau / r.segments;
            const float a = s * step;
            Mesh block;
            const float radius = r.radius * kCircleSpan, width = r.width * kCircleSpan;
            arcBlock(block, radius - width / 2, radius + width / 2, r.height * kCircleSpan,
                     a - step * kFill / 2, a + step * kFill / 2, kArcFacets, 0xFFFFFFFF);
            paint(block, s % 4 == 0 ? Tile::Brick : (s % 2 ? Tile::Ice : Tile::Steel));
            m.append(block, Mat4());
        }
        const float spin = kTau * r.spinSegments / r.segments;
        loopKeys(part, 0, 1, frames::kCircleLoopEnd, frames::kCircleLoopEnd + frames::kTail, 1,
                 [&r, spin](float t) {
                     return Mat4::rotation(r.tumbleAxis, kPi * r.tumbleTurns * t) *
                            Mat4::rotation({0, 1, 0}, spin * t);
                 });
        shiftKeys(part, kCircleCentre);
        model.parts.push_back(std::move(part));
        ++index;
    }
    Part core;
    core.name = "core";
    core.mesh = octahedron(16 * kCircleSpan, 0xFFFFFFFF);
    paint(core.mesh, Tile::Amber);
    core.mesh.materials.push_back(material(tex::kPaletteTiles, 30, 0.8f, 0.15f));
    // A quarter turn per loop: the octahedron's own symmetry closes the loop.
    loopKeys(core, 0, 1, frames::kCircleLoopEnd, frames::kCircleLoopEnd + frames::kTail, 1,
             [](float t) {
                 return Mat4::rotation({0, 1, 0}, kPi / 2 * t);
             });
    shiftKeys(core, kCircleCentre);
    model.parts.push_back(std::move(core));
    return model;
}

// ---- cube puzzle: 3x3x3 slices turning in sequence, then undoing it --------------------

namespace {

// Scene 7 shows the puzzle at twice its size from the origin while the camera looks at 400
// units above it: the puzzle turns round a centre lifted to meet that gaze, and its 3x3x3
// cubies stand large enough to fill the middle of the picture.
constexpr float kPuzzlePitch = 66, kCubie = 61;
constexpr Vec3 kPuzzleCentre = {0, 200, 0};
constexpr int kMoveFrames = 36, kSlotFrames = 45, kFirstMoveFrame = frames::kPuzzleStillEnd + 1;
constexpr int kSubKeys = 4;

struct Move {
    int axis;  // 0 x, 1 y, 2 z
    int layer; // -1, 0, 1
    int dir;   // +1 or -1 quarter turn
};

struct Cubie {
    Vec3 home;
    Mat4 pose; // accumulated turns
};

// Eight turns, then the same eight undone in reverse: the loop ends solved.
std::vector<Move> puzzleMoves() {
    const Move scramble[] = {{1, 1, 1}, {0, -1, -1}, {2, 1, 1}, {1, -1, -1},
                             {0, 1, 1}, {2, 0, -1},  {1, 0, 1}, {0, 0, -1}};
    std::vector<Move> moves(std::begin(scramble), std::end(scramble));
    for (int i = static_cast<int>(std::size(scramble)) - 1; i >= 0; --i)
        moves.push_back({scramble[i].axis, scramble[i].layer, -scramble[i].dir});
    static_assert(kFirstMoveFrame + 16 * kSlotFrames <= frames::kPuzzleLoopEnd,
                  "the turns must fit the loop");
    return moves;
}

// The sticker of a face with outward normal n on the cubie at (x, y, z): a face that looks
// out of the puzzle gets its side's colour, an inner one the dark plate.
Tile stickerTile(Vec3 n, int x, int y, int z) {
    // Outward sticker colours by face direction: +x, -x, +y, -y, +z, -z.
    const Tile faceTile[6] = {Tile::Brick, Tile::Amber, Tile::White,
                              Tile::Steel, Tile::Cyan,  Tile::Ember};
    int face = -1;
    if (n.x > 0.5f && x == 1)
        face = 0;
    if (n.x < -0.5f && x == -1)
        face = 1;
    if (n.y > 0.5f && y == 1)
        face = 2;
    if (n.y < -0.5f && y == -1)
        face = 3;
    if (n.z > 0.5f && z == 1)
        face = 4;
    if (n.z < -0.5f && z == -1)
        face = 5;
    return face < 0 ? Tile::Night : faceTile[face];
}

Mesh cubieMesh(int x, int y, int z) {
    const Vec3 c = Vec3{float(x), float(y), float(z)} * kPuzzlePitch;
    const Vec3 h = {kCubie / 2, kCubie / 2, kCubie / 2};
    Mesh box = boxMesh(c - h, c + h);
    for (size_t q = 0; q < box.triangles.size(); q += 2) {
        const Tile tile = stickerTile(box.vertices[box.triangles[q][0]].normal, x, y, z);
        // Each quad has its own four vertices: paint them once.
        const uint32_t first = box.triangles[q][0];
        for (uint32_t vi = first; vi < first + 4; ++vi)
            paintVertex(box.vertices[vi], tile);
    }
    // The stickers glow a little of their own: the faces the lights do not reach still show
    // their colours, and the bloom, which only adds to what is already bright, lifts them.
    box.materials.push_back(material(tex::kPaletteTiles, 40, 0.5f, 0.4f));
    return box;
}

// Keys every part of the model at `frame` with the pose of its cubie.
void keyAll(Model& model, const std::vector<Cubie>& cubies, int frame,
            const std::function<Mat4(const Cubie&)>& pose) {
    for (size_t i = 0; i < cubies.size(); ++i)
        model.parts[i].keys[frame] = pose(cubies[i]);
}

// Keys one turn starting at frame `start`, then settles the turned cubies into their new
// places.
void keyTurn(Model& model, std::vector<Cubie>& cubies, const Move& mv, int start) {
    const Vec3 axes[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    auto inSlice = [&](const Cubie& c) {
        const Vec3 p = c.pose.apply(c.home);
        const float coord = mv.axis == 0 ? p.x : (mv.axis == 1 ? p.y : p.z);
        return std::lround(coord) == mv.layer;
    };
    for (int k = 0; k <= kSubKeys; ++k) {
        const float angle = mv.dir * kPi / 2 * smooth(static_cast<float>(k) / kSubKeys);
        const Mat4 turn = Mat4::rotation(axes[mv.axis], angle);
        keyAll(model, cubies, start + kMoveFrames * k / kSubKeys,
               [&](const Cubie& c) { return inSlice(c) ? turn * c.pose : c.pose; });
    }
    const Mat4 quarter = Mat4::rotation(axes[mv.axis], mv.dir * kPi / 2);
    for (Cubie& c : cubies)
        if (inSlice(c))
            c.pose = quarter * c.pose;
    // Snap the accumulated pose to exact quarter turns so rounding cannot drift.
    for (Cubie& c : cubies)
        for (float& v : c.pose.m)
            v = std::round(v);
}

} // namespace

Model cubePuzzle() {
    Model model;
    std::vector<Cubie> cubies;
    for (int x = -1; x <= 1; ++x)
        for (int y = -1; y <= 1; ++y)
            for (int z = -1; z <= 1; ++z) {
                if (x == 0 && y == 0 && z == 0)
                    continue;
                cubies.push_back({{float(x), float(y), float(z)}, Mat4()});
                Part part;
                part.name = "cubie" + std::to_string(cubies.size() - 1);
                part.mesh = cubieMesh(x, y, z);
                model.parts.push_back(std::move(part));
            }
    auto settled = [](const Cubie& c) { return c.pose; };
    keyAll(model, cubies, 0, settled);
    keyAll(model, cubies, 1, settled);
    keyAll(model, cubies, frames::kPuzzleStillEnd, settled);
    int start = kFirstMoveFrame;
    for (const Move& mv : puzzleMoves()) {
        keyTurn(model, cubies, mv, start);
        start += kSlotFrames;
    }
    keyAll(model, cubies, frames::kPuzzleLoopEnd, settled);
    keyAll(model, cubies, frames::kPuzzleLoopEnd + frames::kTail, settled);
    for (Part& part : model.parts)
        shiftKeys(part, kPuzzleCentre);
    return model;
}

// ---- blue ball: faceted sphere whose facet patches breathe outwards ---------------------

namespace {

struct Tri {
    Vec3 a, b, c;
};

std::vector<Tri> icosahedron(float r) {
    const float t = (1 + std::sqrt(5.0f)) / 2;
    std::vector<Vec3> v = {{-1, t, 0}, {1, t, 0}, {-1, -t, 0}, {1, -t, 0},
                           {0, -1, t}, {0, 1, t}, {0, -1, -t}, {0, 1, -t},
                           {t, 0, -1}, {t, 0, 1}, {-t, 0, -1}, {-t, 0, 1}};
    for (Vec3& p : v)
        p = normalized(p) * r;
    const int f[20][3] = {{0, 11, 5}, {0, 5, 1},  {0, 1, 7},   {0, 7, 10}, {0, 10, 11},
                          {1, 5, 9},  {5, 11, 4}, {11, 10, 2}, {10, 7, 6}, {7, 1, 8},
                          {3, 9, 4},  {3, 4, 2},  {3, 2, 6},   {3, 6, 8},  {3, 8, 9},
                          {4, 9, 5},  {2, 4, 11}, {6, 2, 10},  {8, 6, 7},  {9, 8, 1}};
    std::vector<Tri> out;
    for (const auto& i : f)
        out.push_back({v[i[0]], v[i[1]], v[i[2]]});
    return out;
}

std::vector<Tri> subdivide(const std::vector<Tri>& in, float r) {
    std::vector<Tri> out;
    for (const Tri& t : in) {
        const Vec3 ab = normalized((t.a + t.b) * 0.5f) * r, bc = normalized((t.b + t.c) * 0.5f) * r,
                   ca = normalized((t.c + t.a) * 0.5f) * r;
        out.push_back({t.a, ab, ca});
        out.push_back({ab, t.b, bc});
        out.push_back({ca, bc, t.c});
        out.push_back({ab, bc, ca});
    }
    return out;
}

// Adds a flat-shaded triangle facing away from the origin.
void addFacet(Mesh& m, Tri t, uint32_t color) {
    Vec3 n = normalized(cross(t.b - t.a, t.c - t.a));
    if (dot(n, t.a + t.b + t.c) < 0) {
        std::swap(t.b, t.c);
        n = n * -1.0f;
    }
    const uint32_t i0 = m.addVertex({t.a, n, 0, 1, color});
    const uint32_t i1 = m.addVertex({t.b, n, 1, 1, color});
    const uint32_t i2 = m.addVertex({t.c, n, 0.5f, 0, color});
    m.addTriangle(i0, i1, i2);
}

} // namespace

Model blueBall() {
    constexpr float kRadius = 44, kCoreRadius = 38, kBreath = 7;
    constexpr int kKeyStep = 3;
    Model model;
    const std::vector<Tri> base = icosahedron(kRadius);
    for (size_t p = 0; p < base.size(); ++p) {
        Part part;
        part.name = "facet" + std::to_string(p);
        part.mesh.vertexColors = true;
        part.mesh.materials.push_back(material(tex::kBallFacet, 32, 0.9f, 0.02f));
        const float tone = 0.75f + 0.25f * hashNoise(static_cast<int>(p), 0, 81);
        const uint32_t color = argb(scaled(mix(rgba(30, 80, 210), kCyan, 0.35f), tone));
        for (const Tri& t : subdivide(subdivide({base[p]}, kRadius), kRadius))
            addFacet(part.mesh, t, color);
        const Vec3 out = normalized(base[p].a + base[p].b + base[p].c);
        // Patches lift off the core and settle back once per loop, each a little later.
        const float lag = 0.12f * hashNoise(static_cast<int>(p), 1, 82);
        loopKeys(part, 0, 1, frames::kBallLoopEnd, frames::kBallLoopEnd + frames::kTail, kKeyStep,
                 [out, lag](float t) {
                     const float s = std::sin(kPi * (t - lag));
                     return Mat4::translation(out * (kBreath * s * s));
                 });
        model.parts.push_back(std::move(part));
    }
    Part core;
    core.name = "core";
    core.mesh.vertexColors = true;
    core.mesh.materials.push_back(material(tex::kBallFacet, 10, 0.3f, 0.45f));
    for (const Tri& t : subdivide(icosahedron(kCoreRadius), kCoreRadius))
        addFacet(core.mesh, t, argb(kIce));
    model.parts.push_back(std::move(core));
    return model;
}

// ---- twirl: four stacked plates twisting a quarter turn per loop ------------------------

// The plates are bones of one skinned mesh: the scenes draw 256 twirls a frame, and one draw
// call each costs the software renderer far less than four.
//
// The scenes show it at half size, and at rest (a quiet band) 100 units below the origin,
// while the fountain room's wave floor undulates round 10 units below it. The stack stands on
// a lift so that at rest it rises through the waves, and on screen it is 50 units across: a
// cube that reads at the wide field's 250-unit spacing, and a closed landscape on the fountain
// room's 40-unit one. The top plate is dark: lit from above under bloom, a light one burns
// white.
Model twirl() {
    constexpr int kPlates = 4;
    constexpr float kHalf = 50, kPlateH = 22, kGap = 4, kTwist = 0.7f, kLift = 170;
    constexpr int kKeyStep = 2;
    const Tile plateTiles[kPlates] = {Tile::Brick, Tile::Ice, Tile::Brick, Tile::Night};
    Model model;
    model.skin.name = "plates";
    model.skin.mesh.materials.push_back(material(tex::kPaletteTiles, 0, 0.0f, 0.05f));
    for (int k = 0; k < kPlates; ++k) {
        Part part;
        part.name = "plate" + std::to_string(k);
        const float y0 = kLift + k * (kPlateH + kGap);
        Mesh plate = boxMesh({-kHalf, y0, -kHalf}, {kHalf, y0 + kPlateH, kHalf});
        paint(plate, plateTiles[k]);
        model.skin.mesh.append(plate, Mat4());
        model.skin.bone.resize(model.skin.mesh.vertices.size(), static_cast<uint32_t>(k));
        const float phase = (k - (kPlates - 1) / 2.0f) / ((kPlates - 1) / 2.0f);
        loopKeys(part, 0, 0, frames::kTwirlLoopEnd, frames::kTwirlLoopEnd + frames::kTail, kKeyStep,
                 [phase](float t) {
                     const float a = kPi / 2 * smooth(t) + kTwist * phase * std::sin(kTau * t);
                     return Mat4::rotation({0, 1, 0}, a);
                 });
        model.parts.push_back(std::move(part));
    }
    return model;
}

// ---- spout: a tall basin on a slender stem, turned on a lathe ---------------------------

namespace {

// Surface of revolution about Y of a closed profile (r, y) listed so that walking along it
// keeps the solid on the right-hand side when seen from +Z... orientation is fixed up per
// quad by pointing normals away from the axis on outer walls (see `outward`).
Mesh lathe(const std::vector<std::pair<float, float>>& profile, int sides, float vRepeat,
           uint32_t color) {
    Mesh m;
    float arc = 0;
    std::vector<float> vs = {0};
    for (size_t i = 1; i < profile.size(); ++i) {
        arc += std::hypot(profile[i].first - profile[i - 1].first,
                          profile[i].second - profile[i - 1].second);
        vs.push_back(arc);
    }
    for (size_t i = 0; i + 1 < profile.size(); ++i) {
        const auto [r0, y0] = profile[i];
        const auto [r1, y1] = profile[i + 1];
        // Profile normal in the (r, y) plane: the profile runs with the solid on its left,
        // so its outward normal is the segment direction turned clockwise.
        const float dr = r1 - r0, dy = y1 - y0, len = std::hypot(dr, dy);
        if (len <= 0)
            continue;
        const float nr = dy / len, ny = -dr / len;
        for (int s = 0; s < sides; ++s) {
            const float a0 = kTau * s / sides, a1 = kTau * (s + 1) / sides;
            auto P = [](float r, float y, float a) {
                return Vec3{r * std::cos(a), y, r * std::sin(a)};
            };
            auto N = [&](float a) {
                return normalized(Vec3{nr * std::cos(a), ny, nr * std::sin(a)});
            };
            const float u0 = static_cast<float>(s) / sides * 4,
                        u1 = static_cast<float>(s + 1) / sides * 4;
            const float v0 = vs[i] / vRepeat, v1 = vs[i + 1] / vRepeat;
            const uint32_t i0 = m.addVertex({P(r0, y0, a0), N(a0), u0, v0, color});
            const uint32_t i1 = m.addVertex({P(r0, y0, a1), N(a1), u1, v0, color});
            const uint32_t i2 = m.addVertex({P(r1, y1, a1), N(a1), u1, v1, color});
            const uint32_t i3 = m.addVertex({P(r1, y1, a0), N(a0), u0, v1, color});
            // Wind each triangle to agree with its normal.
            auto tri = [&](uint32_t a, uint32_t b, uint32_t c) {
                const Vec3 fn = cross(m.vertices[b].pos - m.vertices[a].pos,
                                      m.vertices[c].pos - m.vertices[a].pos);
                if (dot(fn, m.vertices[a].normal + m.vertices[b].normal + m.vertices[c].normal) >=
                    0)
                    m.addTriangle(a, b, c);
                else
                    m.addTriangle(a, c, b);
            };
            tri(i0, i1, i2);
            tri(i0, i2, i3);
        }
    }
    return m;
}

} // namespace

// The ground the spout stands on: a plaza of stone slabs laid in rings round its foot, with
// the black below showing through the joints. Every scene that shows the spout looks down on
// it from 700 to 1600 units above, up to 4000 units far: the rings reach further than the
// camera's far plane sees to the side, and their outer thousand units fade to black, so no
// edge ever shows against the black sky. Vertex colours carry each slab's tone and the fade
// (the material adds no light of its own); the joints give the finale's glass lines to bend.
// It has no texture: on a software renderer, sampling one over a third of the screen costs
// more than the plaza's five hundred slabs.
Part spoutGround() {
    constexpr float kInner = 1800, kRim = 2800, kJoint = 8;
    constexpr float kRadii[] = {0,    150,  300,  450,  600,  750,  900, 1100,
                                1300, 1550, 1800, 2050, 2300, 2550, 2800};
    // Lit by the scenes' lights and clamped per vertex, the slabs need far less colour than a
    // texture modulating the light would keep.
    constexpr float kBright = 0.2f;
    constexpr uint32_t kSeed = 44;
    Part part;
    part.name = "ground";
    Mesh& m = part.mesh;
    m.vertexColors = true;
    auto corner = [&](float r, float angle, Rgba tone) {
        const Vec3 p = {r * std::cos(angle), 0, r * std::sin(angle)};
        const float fade = std::clamp((r - kInner) / (kRim - kInner), 0.0f, 1.0f);
        const Rgba c = scaled(tone, kBright * (1 - smooth(fade)));
        const uint32_t colour =
            0xFF000000u | uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | uint32_t(c.b);
        return m.addVertex({p, {0, 1, 0}, 0, 0, colour});
    };
    for (size_t i = 0; i + 1 < std::size(kRadii); ++i) {
        const float inner = kRadii[i] + (i > 0 ? kJoint / 2 : 0);
        const float outer = kRadii[i + 1] - kJoint / 2;
        // Slabs about as long as the ring is wide, in multiples of eight round the ring.
        const float middle = (kRadii[i] + kRadii[i + 1]) / 2, width = kRadii[i + 1] - kRadii[i];
        const int slabs = std::max(8, 8 * static_cast<int>(std::lround(kTau * middle / width / 8)));
        const float step = kTau / static_cast<float>(slabs);
        for (int s = 0; s < slabs; ++s) {
            // Each slab a tone of its own, between the cool metal and a warm stone.
            const int row = static_cast<int>(i);
            const float tone = 0.8f + 0.35f * hashNoise(row, s, kSeed);
            const Rgba slab =
                scaled(mix(kSteel, rgba(150, 120, 100), hashNoise(row, s, kSeed + 1) * 0.6f), tone);
            const float a0 = s * step + kJoint / 2 / middle;
            const float a1 = (s + 1) * step - kJoint / 2 / middle;
            const uint32_t a = corner(inner, a0, slab), b = corner(inner, a1, slab),
                           c = corner(outer, a1, slab), d = corner(outer, a0, slab);
            // Seen from above the slabs run clockwise; the innermost ring is a fan.
            if (i > 0)
                m.addTriangle(a, b, c);
            m.addTriangle(a, c, d);
        }
    }
    m.materials.push_back(material("", 0, 0.0f, 0.0f));
    return part;
}

Model spout() {
    // (radius, height) from the foot up the outside, over the lip and down into the bowl.
    // The lip stands at 600 so that, placed at y = -600, the basin opens at the origin
    // where the spectrum fountain rises.
    const std::vector<std::pair<float, float>> profile = {
        {0, 0},     {230, 0},   {230, 24},  {150, 40},  {70, 70},   {46, 120},
        {40, 300},  {44, 440},  {60, 500},  {130, 545}, {230, 578}, {262, 596},
        {262, 606}, {244, 606}, {220, 590}, {150, 566}, {0, 560}};
    Model model;
    Part part;
    part.name = "spout";
    part.mesh = lathe(profile, 32, 120, 0xFFFFFFFF);
    part.mesh.materials.push_back(material(tex::kSpoutStone, 40, 0.4f, 0.0f));
    model.parts.push_back(std::move(part));
    model.parts.push_back(spoutGround());
    return model;
}

// ---- living roof: a field of tiles rocking in a travelling wave -------------------------

Model livingRoof() {
    constexpr int kTiles = 6;
    constexpr float kPitch = 34, kHalf = 15, kThick = 2, kRock = 0.5f;
    constexpr int kKeyStep = 4;
    Model model;
    for (int i = 0; i < kTiles; ++i)
        for (int j = 0; j < kTiles; ++j) {
            Part part;
            part.name = "tile" + std::to_string(i * kTiles + j);
            part.mesh = boxMesh({-kHalf, -kThick, -kHalf}, {kHalf, kThick, kHalf});
            paint(part.mesh, (i + j) % 3 ? Tile::Steel : Tile::Amber);
            part.mesh.materials.push_back(material(tex::kPaletteTiles, 20, 0.4f, 0.02f));
            const Vec3 centre = {(i - (kTiles - 1) / 2.0f) * kPitch, 0,
                                 (j - (kTiles - 1) / 2.0f) * kPitch};
            const float phase = (i + j) / static_cast<float>(2 * kTiles);
            loopKeys(part, 0, 0, frames::kRoofLoopEnd, frames::kRoofLoopEnd + frames::kTail,
                     kKeyStep, [centre, phase](float t) {
                         return Mat4::translation(centre) *
                                Mat4::rotation({1, 0, 1}, kRock * std::sin(kTau * (t + phase)));
                     });
            model.parts.push_back(std::move(part));
        }
    return model;
}

// ---- halls: enclosed rooms seen from inside ---------------------------------------------

namespace {

// A wall grid from corner `o` along `du` and `dv`, `nu` x `nv` quads facing `facing`,
// texture repeating every `texel` units.
void grid(Mesh& m, Vec3 o, Vec3 du, Vec3 dv, Vec3 facing, int nu, int nv, float texel) {
    const bool flip = dot(cross(du + dv, du), facing) < 0;
    const float lu = length(du), lv = length(dv);
    for (int i = 0; i < nu; ++i)
        for (int j = 0; j < nv; ++j) {
            const Vec3 a =
                o + du * (static_cast<float>(i) / nu) + dv * (static_cast<float>(j) / nv);
            const Vec3 b = a + du * (1.0f / nu), d = a + dv * (1.0f / nv), c = b + dv * (1.0f / nv);
            const float u0 = lu * i / nu / texel, u1 = lu * (i + 1) / nu / texel;
            const float v0 = lv * j / nv / texel, v1 = lv * (j + 1) / nv / texel;
            if (flip)
                m.addQuad(a, d, c, b, u0, v1, u1, v0);
            else
                m.addQuad(a, b, c, d, u0, v1, u1, v0);
        }
}

// An inward-facing box room subdivided for per-vertex lighting.
void room(Mesh& m, Vec3 lo, Vec3 hi, int n, float texel) {
    const float w = hi.x - lo.x, h = hi.y - lo.y, d = hi.z - lo.z;
    // Floor (seen from above), ceiling (seen from below), then the four walls.
    grid(m, {lo.x, lo.y, hi.z}, {w, 0, 0}, {0, 0, -d}, {0, 1, 0}, n, n, texel);
    grid(m, {lo.x, hi.y, lo.z}, {w, 0, 0}, {0, 0, d}, {0, -1, 0}, n, n, texel);
    grid(m, {lo.x, lo.y, lo.z}, {w, 0, 0}, {0, h, 0}, {0, 0, 1}, n, n / 2, texel);
    grid(m, {hi.x, lo.y, hi.z}, {-w, 0, 0}, {0, h, 0}, {0, 0, -1}, n, n / 2, texel);
    grid(m, {lo.x, lo.y, hi.z}, {0, 0, -d}, {0, h, 0}, {1, 0, 0}, n, n / 2, texel);
    grid(m, {hi.x, lo.y, lo.z}, {0, 0, d}, {0, h, 0}, {-1, 0, 0}, n, n / 2, texel);
}

// A box standing in a room: faces lying flat on the room's shell are never seen and are
// left out.
void addBox(Mesh& m, Vec3 lo, Vec3 hi, float texel, Vec3 shellLo, Vec3 shellHi) {
    Mesh all = boxMesh(lo, hi);
    Mesh b;
    for (size_t q = 0; q < all.triangles.size(); q += 2) {
        const Vec3 p = all.vertices[all.triangles[q][0]].pos;
        const Vec3 n = all.vertices[all.triangles[q][0]].normal;
        auto on = [](float v, float plane) { return std::fabs(v - plane) < 1e-3f; };
        const bool hidden =
            (n.x < -0.5f && on(p.x, shellLo.x)) || (n.x > 0.5f && on(p.x, shellHi.x)) ||
            (n.y < -0.5f && on(p.y, shellLo.y)) || (n.y > 0.5f && on(p.y, shellHi.y)) ||
            (n.z < -0.5f && on(p.z, shellLo.z)) || (n.z > 0.5f && on(p.z, shellHi.z));
        if (hidden)
            continue;
        for (int k = 0; k < 2; ++k) {
            const auto& t = all.triangles[q + k];
            b.addTriangle(b.addVertex(all.vertices[t[0]]), b.addVertex(all.vertices[t[1]]),
                          b.addVertex(all.vertices[t[2]]));
        }
    }
    // Tile the texture by size instead of stretching it over each face.
    for (Vertex& v : b.vertices) {
        const Vec3 n = v.normal;
        const Vec3 p = v.pos;
        if (std::fabs(n.x) > 0.5f) {
            v.u = p.z / texel;
            v.v = -p.y / texel;
        } else if (std::fabs(n.y) > 0.5f) {
            v.u = p.x / texel;
            v.v = p.z / texel;
        } else {
            v.u = p.x / texel;
            v.v = -p.y / texel;
        }
    }
    m.append(b, Mat4());
}

} // namespace

Model backRoom() {
    // Scaled by 2 and lowered by 100 in the show: this spans x -1120..1120,
    // y -100..740 and z -1080..1080 in the world, round the whole of camera path B.
    constexpr float kHalfX = 560, kHalfZ = 540, kHeight = 420, kTexel = 140;
    constexpr float kPillar = 36, kPillarDepth = 28;
    Model model;
    Part part;
    part.name = "hall";
    Mesh& m = part.mesh;
    const Vec3 shellLo = {-kHalfX, 0, -kHalfZ}, shellHi = {kHalfX, kHeight, kHalfZ};
    room(m, shellLo, shellHi, 8, kTexel);
    // Pillars standing against the long and short walls give the fly-through depth cues.
    for (int i = -2; i <= 2; ++i) {
        const float x = i * kHalfX / 2.5f;
        addBox(m, {x - kPillar / 2, 0, kHalfZ - kPillarDepth}, {x + kPillar / 2, kHeight, kHalfZ},
               kTexel, shellLo, shellHi);
        addBox(m, {x - kPillar / 2, 0, -kHalfZ}, {x + kPillar / 2, kHeight, -kHalfZ + kPillarDepth},
               kTexel, shellLo, shellHi);
    }
    for (int i = -1; i <= 1; ++i) {
        const float z = i * kHalfZ / 2;
        addBox(m, {kHalfX - kPillarDepth, 0, z - kPillar / 2}, {kHalfX, kHeight, z + kPillar / 2},
               kTexel, shellLo, shellHi);
        addBox(m, {-kHalfX, 0, z - kPillar / 2}, {-kHalfX + kPillarDepth, kHeight, z + kPillar / 2},
               kTexel, shellLo, shellHi);
    }
    // A ceiling beam across the middle.
    addBox(m, {-kHalfX, kHeight - 30, -20}, {kHalfX, kHeight, 20}, kTexel, shellLo, shellHi);
    m.materials.push_back(material(tex::kHallPanels, 20, 0.12f, 0.0f));
    model.parts.push_back(std::move(part));
    return model;
}

Model boxHall() {
    constexpr float kHalf = 300, kHeight = 250, kTexel = 100, kCrate = 40;
    Model model;
    Part part;
    part.name = "boxhall";
    Mesh& m = part.mesh;
    const Vec3 shellLo = {-kHalf, 0, -kHalf}, shellHi = {kHalf, kHeight, kHalf};
    room(m, shellLo, shellHi, 6, kTexel);
    // Crates stacked in a ring round the middle.
    for (int i = 0; i < 12; ++i) {
        const float a = kTau * i / 12;
        const Vec3 c = {std::cos(a) * 200, 0, std::sin(a) * 200};
        const int stack = 1 + i % 3;
        for (int s = 0; s < stack; ++s)
            addBox(m, {c.x - kCrate / 2, s * kCrate, c.z - kCrate / 2},
                   {c.x + kCrate / 2, (s + 1) * kCrate, c.z + kCrate / 2}, kTexel, shellLo,
                   shellHi);
    }
    m.materials.push_back(material(tex::kHallPanels, 20, 0.12f, 0.0f));
    model.parts.push_back(std::move(part));
    return model;
}

// ---- endless knot: a trefoil tube ------------------------------------------------------

Model endlessKnot() {
    constexpr int kAlong = 120, kAround = 8;
    constexpr float kScale = 13, kTube = 5.5f, kURepeat = 6;
    auto curve = [](float a) {
        const float r = std::cos(3 * a) + 2;
        return Vec3{r * std::cos(2 * a), -std::sin(3 * a), r * std::sin(2 * a)} * kScale;
    };
    Model model;
    Part part;
    part.name = "knot";
    Mesh& m = part.mesh;
    std::vector<uint32_t> ring;
    for (int i = 0; i <= kAlong; ++i) {
        const float a = kTau * (i % kAlong) / kAlong, e = 1e-3f;
        const Vec3 p = curve(a);
        const Vec3 t = normalized(curve(a + e) - curve(a - e));
        // Frenet frame: the trefoil's curvature never vanishes, and the frame closes.
        const Vec3 acc = curve(a + e) + curve(a - e) - p * 2;
        const Vec3 n = normalized(acc - t * dot(acc, t));
        const Vec3 b = cross(t, n);
        for (int j = 0; j <= kAround; ++j) {
            const float phi = kTau * (j % kAround) / kAround;
            const Vec3 dir = n * std::cos(phi) + b * std::sin(phi);
            ring.push_back(m.addVertex(
                {p + dir * kTube, dir, kURepeat * i / kAlong, static_cast<float>(j) / kAround}));
        }
    }
    const int stride = kAround + 1;
    for (int i = 0; i < kAlong; ++i)
        for (int j = 0; j < kAround; ++j) {
            const uint32_t a = ring[i * stride + j], b = ring[(i + 1) * stride + j],
                           c = ring[(i + 1) * stride + j + 1], d = ring[i * stride + j + 1];
            auto tri = [&](uint32_t x, uint32_t y, uint32_t z) {
                const Vec3 fn = cross(m.vertices[y].pos - m.vertices[x].pos,
                                      m.vertices[z].pos - m.vertices[x].pos);
                if (dot(fn, m.vertices[x].normal) >= 0)
                    m.addTriangle(x, y, z);
                else
                    m.addTriangle(x, z, y);
            };
            tri(a, b, c);
            tri(a, c, d);
        }
    m.materials.push_back(material(tex::kKnotMetal, 30, 0.7f, 0.05f));
    model.parts.push_back(std::move(part));
    return model;
}

// ---- roundabout: a fluted dome whose facets make a rich offset map ----------------------

Model roundabout() {
    constexpr int kRings = 6, kFlutes = 24;
    constexpr float kRadius = 100, kDome = 45, kRidge = 9, kSkirt = 12;
    auto height = [](float r, int j) {
        const float k = r / kRadius;
        return kDome * (1 - k * k) + (j % 2 == 0 ? kRidge * k : 0.0f) + kSkirt;
    };
    auto point = [&](int i, int j) {
        const float r = kRadius * i / kRings, a = kPi * j / kFlutes;
        return Vec3{r * std::cos(a), height(r, j), r * std::sin(a)};
    };
    Model model;
    Part part;
    part.name = "dome";
    Mesh& m = part.mesh;
    auto facet = [&](Vec3 a, Vec3 b, Vec3 c, Vec3 up) {
        Vec3 n = normalized(cross(b - a, c - a));
        if (dot(n, up) < 0) {
            std::swap(b, c);
            n = n * -1.0f;
        }
        auto uv = [](Vec3 p) {
            return std::pair{p.x / (2 * kRadius) + 0.5f, p.z / (2 * kRadius) + 0.5f};
        };
        const auto [ua, va] = uv(a);
        const auto [ub, vb] = uv(b);
        const auto [uc, vc] = uv(c);
        const uint32_t i0 = m.addVertex({a, n, ua, va});
        const uint32_t i1 = m.addVertex({b, n, ub, vb});
        const uint32_t i2 = m.addVertex({c, n, uc, vc});
        m.addTriangle(i0, i1, i2);
    };
    const int steps = 2 * kFlutes;
    for (int i = 0; i < kRings; ++i)
        for (int j = 0; j < steps; ++j) {
            const Vec3 a = point(i, j), b = point(i + 1, j), c = point(i + 1, j + 1),
                       d = point(i, j + 1);
            const Vec3 up = {0, 1, 0};
            if (i > 0)
                facet(a, b, c, up);
            facet(a, c, d, up);
        }
    // The skirt down to the ground, and the underside.
    for (int j = 0; j < steps; ++j) {
        const Vec3 a = point(kRings, j), b = point(kRings, j + 1);
        const Vec3 a0 = {a.x, 0, a.z}, b0 = {b.x, 0, b.z};
        const Vec3 out = normalized(Vec3{a.x + b.x, 0, a.z + b.z});
        facet(a0, b0, b, out);
        facet(a0, b, a, out);
        facet({0, 0, 0}, a0, b0, {0, -1, 0});
    }
    m.materials.push_back(material(tex::kRoundabout, 20, 0.5f, 0.0f));
    model.parts.push_back(std::move(part));
    return model;
}

void addModels(Entries& out) {
    namespace asset = show::asset;
    addText(out, asset::kCircleSculptureMesh, writeX(circleSculpture()));
    addText(out, asset::kCubePuzzleMesh, writeX(cubePuzzle()));
    addText(out, asset::kBlueBallMesh, writeX(blueBall()));
    addText(out, asset::kTwirlMesh, writeX(twirl()));
    addText(out, asset::kSpoutMesh, writeX(spout()));
    addText(out, asset::kRoofMesh, writeX(livingRoof()));
    addText(out, asset::kBackRoomMesh, writeX(backRoom()));
    addText(out, asset::kBoxHallMesh, writeX(boxHall()));
    addText(out, asset::kSculptureMesh, writeX(endlessKnot()));
    addText(out, asset::kRoundaboutMesh, writeX(roundabout()));
}

} // namespace assetgen

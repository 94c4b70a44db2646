// assetgen: writes the show's data archive (models, textures, overlay images, font) from
// code. Same inputs, same bytes.
//
//   assetgen OUTPUT.lll
#include "archive.h"
#include "models.h"
#include "overlays.h"
#include "textures.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <exception>

namespace {

using namespace assetgen;

// A front face must agree with its vertex normals; a slip here turns faces inside out
// and the engine culls them.
void checkWinding(const char* name, const std::string& part, const Mesh& m) {
    for (const auto& t : m.triangles) {
        const Vec3 a = m.vertices[t[0]].pos, b = m.vertices[t[1]].pos, c = m.vertices[t[2]].pos;
        const Vec3 n = m.vertices[t[0]].normal + m.vertices[t[1]].normal + m.vertices[t[2]].normal;
        if (dot(cross(b - a, c - a), n) < 0) {
            std::fprintf(stderr, "assetgen: %s/%s has a triangle facing against its normals\n",
                         name, part.c_str());
            std::exit(1);
        }
    }
}

void checkWinding(const char* name, const Model& model) {
    for (const Part& part : model.parts)
        checkWinding(name, part.name, part.mesh);
    checkWinding(name, model.skin.name, model.skin.mesh);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT.lll\n", argv[0]);
        return 2;
    }
    // Zip time stamps are written in local time: pin the zone so every machine agrees.
    setenv("TZ", "UTC0", 1);
    tzset();
    const auto start = std::chrono::steady_clock::now();
    try {
        const struct {
            const char* name;
            Model (*build)();
        } models[] = {{"circlemania", circleSculpture},
                      {"true_twirl", cubePuzzle},
                      {"blueball3", blueBall},
                      {"twirl", twirl},
                      {"sprutkurv", spout},
                      {"living_roof", livingRoof},
                      {"test_back_room", backRoom},
                      {"big_un", boxHall},
                      {"unlimited", endlessKnot},
                      {"roundabout", roundabout}};
        for (const auto& m : models)
            checkWinding(m.name, m.build());

        Entries entries;
        addOverlays(entries);
        addFont(entries);
        addTextures(entries);
        addModels(entries);
        writeArchive(argv[1], entries);

        size_t bytes = 0;
        for (const Entry& e : entries)
            bytes += e.data.size();
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("assetgen: %zu files, %.1f MB before zip, %.2f s -> %s\n", entries.size(),
                    bytes / 1e6, seconds, argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "assetgen: %s\n", e.what());
        return 1;
    }
    return 0;
}

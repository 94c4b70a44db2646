#include "scenes/wave_floor.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace show {

using irr::f32;
using irr::u16;
using irr::u32;
using irr::core::vector3df;
using irr::scene::IMeshBuffer;
using irr::scene::ISceneNode;

namespace {

constexpr u16 kUnlisted = 0xFFFF; // a corner that no triangle lists keeps its normal

// Gives every corner of the node's mesh the normal of the triangle that lists it last in the
// plane's own order: what the engine's recalculation gives when the triangles come row by row.
class RowOrderNormals final : public irr::scene::ISceneNodeAnimator {
  public:
    // lastTriangle: per corner, the three corners of that triangle, in its winding.
    explicit RowOrderNormals(std::vector<u16> lastTriangle)
        : lastTriangle_(std::move(lastTriangle)) {}

    void animateNode(ISceneNode* node, u32) override {
        if (!node || (node->getType() != irr::scene::ESNT_WATER_SURFACE &&
                      node->getType() != irr::scene::ESNT_MESH))
            return;
        irr::scene::IMesh* mesh = static_cast<irr::scene::IMeshSceneNode*>(node)->getMesh();
        if (!mesh || mesh->getMeshBufferCount() == 0)
            return;
        IMeshBuffer* buffer = mesh->getMeshBuffer(0);
        const u32 corners = std::min<u32>(buffer->getVertexCount(), lastTriangle_.size() / 3);
        for (u32 v = 0; v < corners; ++v) {
            const u16* t = &lastTriangle_[3 * v];
            if (t[0] == kUnlisted)
                continue;
            buffer->getNormal(v) =
                irr::core::plane3df(buffer->getPosition(t[0]), buffer->getPosition(t[1]),
                                    buffer->getPosition(t[2]))
                    .Normal;
        }
    }

    irr::scene::ISceneNodeAnimator* createClone(ISceneNode*, irr::scene::ISceneManager*) override {
        return new RowOrderNormals(lastTriangle_);
    }

  private:
    std::vector<u16> lastTriangle_;
};

} // namespace

irr::scene::ISceneNodeAnimator* drawNearestFirst(IMeshBuffer* drawn, const IMeshBuffer* rowOrder,
                                                 f32 tileSize) {
    if (!drawn || !rowOrder || drawn->getIndexType() != irr::video::EIT_16BIT ||
        rowOrder->getIndexType() != irr::video::EIT_16BIT ||
        drawn->getIndexCount() != rowOrder->getIndexCount() ||
        drawn->getVertexCount() != rowOrder->getVertexCount() || tileSize <= 0.0f)
        return nullptr;
    const u16* rows = rowOrder->getIndices();
    const u32 triangles = rowOrder->getIndexCount() / 3;

    std::vector<u16> lastTriangle(size_t(rowOrder->getVertexCount()) * 3, kUnlisted);
    for (u32 t = 0; t < triangles; ++t)
        for (u32 corner = 0; corner < 3; ++corner)
            std::copy(rows + 3 * t, rows + 3 * t + 3, &lastTriangle[3 * rows[3 * t + corner]]);

    // Ring of tiles around the middle (the larger of the two distances); within a ring the
    // rows' order stays, so neighbours still share their corners from one triangle to the next.
    const vector3df middle = rowOrder->getBoundingBox().getCenter();
    std::vector<std::pair<u32, u32>> rings(triangles); // (ring, triangle)
    for (u32 t = 0; t < triangles; ++t) {
        const vector3df centre =
            (rowOrder->getPosition(rows[3 * t]) + rowOrder->getPosition(rows[3 * t + 1]) +
             rowOrder->getPosition(rows[3 * t + 2])) /
                3.0f -
            middle;
        rings[t] = {u32(std::max(std::fabs(centre.X), std::fabs(centre.Z)) / tileSize), t};
    }
    std::stable_sort(rings.begin(), rings.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    u16* indices = drawn->getIndices();
    for (u32 t = 0; t < triangles; ++t)
        std::copy(rows + 3 * rings[t].second, rows + 3 * rings[t].second + 3, indices + 3 * t);
    drawn->setDirty(irr::scene::EBT_INDEX);
    return new RowOrderNormals(std::move(lastTriangle));
}

} // namespace show

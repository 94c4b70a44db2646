#include "buffers.h"

namespace capture {
namespace {

std::string multisampling(int samples) {
    return samples >= 2 ? std::to_string(samples) + "x multisampling" : "no multisampling";
}

} // namespace

std::string bufferShortfall(const Buffers& b) {
    std::string lacks;
    if (b.windowDepthBits < b.askedDepthBits)
        lacks = std::to_string(b.windowDepthBits) + " depth bits of the " +
                std::to_string(b.askedDepthBits) + " asked";
    if (b.askedSamples >= 2 && b.windowSamples < b.askedSamples)
        lacks += (lacks.empty() ? "" : " and ") + multisampling(b.windowSamples) + " of the " +
                 std::to_string(b.askedSamples) + "x asked";
    if (lacks.empty())
        return "";
    return "the window got " + lacks +
           "; its frames may differ from those of a system that gives them";
}

std::string describeBuffers(const Buffers& b) {
    return "window: " + std::to_string(b.windowDepthBits) + " depth bits, " +
           multisampling(b.windowSamples) + " (asked " + std::to_string(b.askedDepthBits) + ", " +
           (b.askedSamples >= 2 ? std::to_string(b.askedSamples) + "x" : "none") +
           "); render targets: " + std::to_string(b.targetDepthBits) + " depth bits";
}

} // namespace capture

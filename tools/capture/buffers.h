// What the driver gave the frames a capture draws, against what the capture asked for. A
// driver may give less without failing: Mesa from 25 on gives a window no 32-bit depth and no
// multisampling, wine may give no multisampling.
#pragma once

#include <string>

namespace capture {

struct Buffers {
    int askedDepthBits = 0;
    int askedSamples = 0; // 0 or 1: no multisampling asked
    int windowDepthBits = 0;
    int windowSamples = 0;
    int targetDepthBits = 0; // the effects' render targets, the shallowest of them
};

// One line saying what the window got less of than asked; empty when it got everything.
std::string bufferShortfall(const Buffers& b);
// The benchmark's line: what the window and the render targets got, and what was asked.
std::string describeBuffers(const Buffers& b);

} // namespace capture

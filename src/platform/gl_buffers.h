// What the GL driver gave the frame buffers the show draws into. The engine keeps only what it
// asked for, and a driver may give less: a window without multisampling, or a depth buffer of
// 24 bits where 32 were asked.
#pragma once

namespace platform {

struct BufferFormat {
    int depthBits = 0;
    int samples = 0; // per pixel; 0 when the buffer is not multisampled
};

// The frame buffer now bound for drawing (the window's, or a render target's), as the driver
// reports it. Needs the engine's GL context to be current.
BufferFormat boundBufferFormat();

// Gives the depth buffer attached to the bound render target the deepest storage, of
// wantedBits or fewer (32, 24, 16), that leaves the target complete, and returns the bits it
// has then. A target with a depth texture instead of a depth buffer, or a driver without the
// calls, keeps what it has.
int deepenBoundTargetDepth(int wantedBits, int width, int height);

// A GL entry point by name, from the system's GL loader; null when the driver lacks it.
void* glProcedure(const char* name);

} // namespace platform

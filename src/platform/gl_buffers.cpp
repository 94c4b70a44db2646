// GL itself is the same on every system; only finding its entry points is not (glProcedure,
// in posix/ and windows/).
#include "platform/gl_buffers.h"

#include <GL/gl.h>

namespace platform {
namespace {

// From the GL headers' extension list, which not every system's gl.h carries.
constexpr GLenum kSamples = 0x80A9;
constexpr GLenum kFramebuffer = 0x8D40;
constexpr GLenum kRenderbuffer = 0x8D41;
constexpr GLenum kDepthAttachment = 0x8D00;
constexpr GLenum kAttachmentObjectType = 0x8CD0;
constexpr GLenum kAttachmentObjectName = 0x8CD1;
constexpr GLenum kRenderbufferDepthSize = 0x8D54;
constexpr GLenum kFramebufferComplete = 0x8CD5;

struct DepthFormat {
    int bits;
    GLenum internalFormat;
};
constexpr DepthFormat kDepthFormats[] = {{32, 0x81A7}, {24, 0x81A6}, {16, 0x81A5}};

// The engine makes its render targets through GL_EXT_framebuffer_object, so these are there
// whenever a render target is.
using GetAttachmentParameter = void(APIENTRY*)(GLenum, GLenum, GLenum, GLint*);
using BindRenderbuffer = void(APIENTRY*)(GLenum, GLuint);
using RenderbufferStorage = void(APIENTRY*)(GLenum, GLenum, GLsizei, GLsizei);
using GetRenderbufferParameter = void(APIENTRY*)(GLenum, GLenum, GLint*);
using CheckFramebufferStatus = GLenum(APIENTRY*)(GLenum);

struct FramebufferCalls {
    GetAttachmentParameter attachmentParameter = nullptr;
    BindRenderbuffer bindRenderbuffer = nullptr;
    RenderbufferStorage renderbufferStorage = nullptr;
    GetRenderbufferParameter renderbufferParameter = nullptr;
    CheckFramebufferStatus checkStatus = nullptr;

    bool complete() const {
        return attachmentParameter && bindRenderbuffer && renderbufferStorage &&
               renderbufferParameter && checkStatus;
    }
};

template <class Fn> Fn entry(const char* name) {
    return reinterpret_cast<Fn>(glProcedure(name));
}

FramebufferCalls framebufferCalls() {
    FramebufferCalls calls;
    calls.attachmentParameter =
        entry<GetAttachmentParameter>("glGetFramebufferAttachmentParameterivEXT");
    calls.bindRenderbuffer = entry<BindRenderbuffer>("glBindRenderbufferEXT");
    calls.renderbufferStorage = entry<RenderbufferStorage>("glRenderbufferStorageEXT");
    calls.renderbufferParameter =
        entry<GetRenderbufferParameter>("glGetRenderbufferParameterivEXT");
    calls.checkStatus = entry<CheckFramebufferStatus>("glCheckFramebufferStatusEXT");
    return calls;
}

} // namespace

BufferFormat boundBufferFormat() {
    BufferFormat format;
    GLint value = 0;
    glGetIntegerv(GL_DEPTH_BITS, &value);
    format.depthBits = value;
    value = 0;
    glGetIntegerv(kSamples, &value);
    format.samples = value;
    while (glGetError() != GL_NO_ERROR) {
    }
    return format;
}

int deepenBoundTargetDepth(int wantedBits, int width, int height) {
    const int had = boundBufferFormat().depthBits;
    const FramebufferCalls gl = framebufferCalls();
    if (!gl.complete())
        return had;
    GLint type = 0, name = 0;
    gl.attachmentParameter(kFramebuffer, kDepthAttachment, kAttachmentObjectType, &type);
    gl.attachmentParameter(kFramebuffer, kDepthAttachment, kAttachmentObjectName, &name);
    if (GLenum(type) != kRenderbuffer || name == 0)
        return had;

    gl.bindRenderbuffer(kRenderbuffer, GLuint(name));
    int got = 0;
    for (const DepthFormat& format : kDepthFormats) {
        if (format.bits > wantedBits)
            continue;
        if (format.bits <= had)
            break; // nothing deeper than what it has
        gl.renderbufferStorage(kRenderbuffer, format.internalFormat, width, height);
        GLint bits = 0;
        gl.renderbufferParameter(kRenderbuffer, kRenderbufferDepthSize, &bits);
        if (glGetError() == GL_NO_ERROR && gl.checkStatus(kFramebuffer) == kFramebufferComplete &&
            bits >= format.bits) {
            got = bits;
            break;
        }
    }
    if (got == 0) {
        // None deeper took: back to the depth it had, which the engine made complete.
        for (const DepthFormat& format : kDepthFormats)
            if (format.bits == had)
                gl.renderbufferStorage(kRenderbuffer, format.internalFormat, width, height);
    }
    gl.bindRenderbuffer(kRenderbuffer, 0);
    while (glGetError() != GL_NO_ERROR) {
    }
    return got ? got : boundBufferFormat().depthBits;
}

} // namespace platform

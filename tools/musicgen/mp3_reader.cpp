#include "mp3_reader.h"

#include <mpg123.h>

#include <memory>

#include "timeline.h"

namespace musicgen {

std::vector<float> Decoded::mono() const {
    std::vector<float> m(left.size());
    for (size_t i = 0; i < m.size(); ++i) {
        m[i] = 0.5f * (left[i] + right[i]);
    }
    return m;
}

Decoded readMp3(const std::string& path) {
    Decoded out;
#if MPG123_API_VERSION < 46
    mpg123_init();
#endif
    int err = MPG123_OK;
    std::unique_ptr<mpg123_handle, void (*)(mpg123_handle*)> mh(mpg123_new(nullptr, &err),
                                                                mpg123_delete);
    if (!mh) {
        out.error = "could not start the MP3 decoder";
        return out;
    }
    mpg123_param(mh.get(), MPG123_FLAGS, MPG123_GAPLESS | MPG123_QUIET, 0.0);
    mpg123_format_none(mh.get());
    mpg123_format(mh.get(), kSampleRate, MPG123_STEREO, MPG123_ENC_FLOAT_32);
    if (mpg123_open(mh.get(), path.c_str()) != MPG123_OK) {
        out.error = "could not open " + path;
        return out;
    }
    std::vector<float> buffer(16384);
    for (;;) {
        size_t bytes = 0;
        err = mpg123_read(mh.get(), reinterpret_cast<unsigned char*>(buffer.data()),
                          buffer.size() * sizeof(float), &bytes);
        const size_t frames = bytes / sizeof(float) / kChannels;
        for (size_t i = 0; i < frames; ++i) {
            out.left.push_back(buffer[kChannels * i]);
            out.right.push_back(buffer[kChannels * i + 1]);
        }
        if (err == MPG123_DONE) {
            break;
        }
        if (err != MPG123_OK && err != MPG123_NEW_FORMAT) {
            out.error = std::string("could not decode ") + path + ": " + mpg123_plain_strerror(err);
            break;
        }
    }
    mpg123_close(mh.get());
    return out;
}

} // namespace musicgen

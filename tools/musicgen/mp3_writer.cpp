#include "mp3_writer.h"

#include <lame/lame.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "timeline.h"

namespace musicgen {

std::string writeMp3(const Audio& audio, const std::string& path) {
    std::unique_ptr<lame_global_flags, int (*)(lame_global_flags*)> lame(lame_init(), lame_close);
    if (!lame) {
        return "could not start the MP3 encoder";
    }
    lame_set_in_samplerate(lame.get(), kSampleRate);
    lame_set_out_samplerate(lame.get(), kSampleRate);
    lame_set_num_channels(lame.get(), kChannels);
    lame_set_mode(lame.get(), JOINT_STEREO);
    lame_set_VBR(lame.get(), vbr_off);
    lame_set_brate(lame.get(), kBitRate);
    lame_set_quality(lame.get(), kLameQuality);
    lame_set_bWriteVbrTag(lame.get(), 1);
    lame_set_write_id3tag_automatic(lame.get(), 0);
    if (lame_init_params(lame.get()) < 0) {
        return "the MP3 encoder rejected its settings";
    }

    std::vector<unsigned char> mp3;
    std::vector<unsigned char> chunk(size_t(1.25 * kEncodeBlock + 7200));
    for (int64_t at = 0; at < audio.frames(); at += kEncodeBlock) {
        const int n = int(std::min<int64_t>(kEncodeBlock, audio.frames() - at));
        const int got = lame_encode_buffer_ieee_float(lame.get(), &audio.left[at], &audio.right[at],
                                                      n, chunk.data(), int(chunk.size()));
        if (got < 0) {
            return "the MP3 encoder failed";
        }
        mp3.insert(mp3.end(), chunk.begin(), chunk.begin() + got);
    }
    const int flushed = lame_encode_flush(lame.get(), chunk.data(), int(chunk.size()));
    if (flushed < 0) {
        return "the MP3 encoder failed to flush";
    }
    mp3.insert(mp3.end(), chunk.begin(), chunk.begin() + flushed);

    // The first frame was left blank for the tag that only now knows the whole stream.
    const size_t tag = lame_get_lametag_frame(lame.get(), chunk.data(), chunk.size());
    if (tag == 0 || tag > chunk.size() || tag > mp3.size()) {
        return "the MP3 encoder gave no LAME tag";
    }
    std::copy(chunk.begin(), chunk.begin() + tag, mp3.begin());

    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
    if (!file) {
        return "could not write " + path;
    }
    if (std::fwrite(mp3.data(), 1, mp3.size(), file.get()) != mp3.size()) {
        return "could not write " + path;
    }
    return {};
}

} // namespace musicgen

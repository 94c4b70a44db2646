// H.264 through Debian's ffmpeg: raw RGB frames are piped to one ffmpeg process as they are
// drawn; the sound, known only once the show has played the range (the pan is decided by
// the show as it goes), is muxed in afterwards by a second, quick ffmpeg run.
//
// The drawing thread never waits on the pipe while there is room: frames go into a small
// ring of buffers, made once, and a writer thread feeds them to ffmpeg, so the software
// renderer draws the next frame while x264 encodes the last ones. Frames stay as GL reads
// them, bottom row first; ffmpeg turns them over, which costs it no copy.
#pragma once

#include "platform/process.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace capture {

class VideoEncoder {
  public:
    ~VideoEncoder();
    // Starts ffmpeg writing an H.264 MP4 (video only) to path, and the writer thread.
    bool start(const std::string& path, int width, int height, int fps);
    // Where the next frame goes: width*height*3 bytes of RGB, bottom row first. Waits while
    // every buffer of the ring is still queued; null once ffmpeg has stopped taking frames.
    uint8_t* nextFrame();
    // Queues the frame written into the buffer nextFrame() gave. False once ffmpeg has stopped
    // taking frames.
    bool submit();
    // Sends what is queued, ends the stream and waits for ffmpeg; true when it wrote the file.
    bool finish();
    // Milliseconds the drawing thread has spent waiting for a free buffer: time the encoder,
    // not the drawing, held the capture back.
    double waitedMs() const { return waitedMs_; }

  private:
    void writeFrames();

    platform::ChildProcess ffmpeg_; // fed raw frames through its standard input
    size_t frameBytes_ = 0;
    std::vector<std::vector<uint8_t>> ring_;
    std::thread writer_;

    std::mutex mutex_;
    std::condition_variable changed_;
    size_t head_ = 0;   // next buffer the drawing thread fills
    size_t queued_ = 0; // filled buffers the writer has not finished sending
    bool closing_ = false;
    bool broken_ = false; // a write failed: ffmpeg is gone
    double waitedMs_ = 0.0;
};

// The video of videoPath with the WAV's sound as AAC, into out.
bool muxSound(const std::string& videoPath, const std::string& wavPath, const std::string& out);

} // namespace capture

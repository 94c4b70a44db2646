// H.264 through Debian's ffmpeg: raw RGB frames are piped to one ffmpeg process as they are
// drawn; the sound, known only once the show has played the range (the pan is decided by
// the show as it goes), is muxed in afterwards by a second, quick ffmpeg run.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace capture {

// Runs a program found on PATH with these arguments and waits for it. True on exit status 0.
bool runProgram(const std::vector<std::string>& args);

class VideoEncoder {
  public:
    ~VideoEncoder();
    // Starts ffmpeg writing an H.264 MP4 (video only) to path.
    bool start(const std::string& path, int width, int height, int fps);
    // One frame of width*height*3 bytes, top row first.
    bool write(const unsigned char* rgb, size_t bytes);
    // Ends the stream and waits for ffmpeg; true when it wrote the file.
    bool finish();

  private:
    int pipe_ = -1;
    pid_t child_ = -1;
};

// The video of videoPath with the WAV's sound as AAC, into out.
bool muxSound(const std::string& videoPath, const std::string& wavPath, const std::string& out);

} // namespace capture

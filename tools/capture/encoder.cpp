#include "encoder.h"

#include "tunables.h"

#include "platform/process.h"

#include <chrono>

namespace capture {
namespace {

// ffmpeg says only what went wrong.
const std::vector<std::string> kQuietFfmpeg = {"ffmpeg",    "-hide_banner", "-nostdin",
                                               "-loglevel", "error",        "-y"};

} // namespace

VideoEncoder::~VideoEncoder() {
    finish();
}

bool VideoEncoder::start(const std::string& path, int width, int height, int fps) {
    std::vector<std::string> args = kQuietFfmpeg;
    const std::vector<std::string> rest = {
        "-f",          "rawvideo",
        "-pix_fmt",    "rgb24",
        "-video_size", std::to_string(width) + "x" + std::to_string(height),
        "-framerate",  std::to_string(fps),
        "-i",          "-",
        "-vf",         "vflip", // GL's rows come bottom first
        "-c:v",        "libx264",
        "-preset",     kX264Preset,
        "-crf",        kX264Crf,
        "-pix_fmt",    "yuv420p",
        "-f",          "mp4",
        path};
    args.insert(args.end(), rest.begin(), rest.end());
    if (!ffmpeg_.start(args, true))
        return false;
    frameBytes_ = size_t(width) * height * 3;
    ring_.assign(kEncoderQueueFrames, std::vector<uint8_t>(frameBytes_));
    writer_ = std::thread(&VideoEncoder::writeFrames, this);
    return true;
}

uint8_t* VideoEncoder::nextFrame() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (queued_ == ring_.size()) {
        const auto waitFrom = std::chrono::steady_clock::now();
        changed_.wait(lock, [this] { return queued_ < ring_.size() || broken_; });
        waitedMs_ +=
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - waitFrom)
                .count();
    }
    return broken_ ? nullptr : ring_[head_].data();
}

bool VideoEncoder::submit() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (broken_)
        return false;
    head_ = (head_ + 1) % ring_.size();
    ++queued_;
    changed_.notify_all();
    return true;
}

void VideoEncoder::writeFrames() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return queued_ > 0 || closing_; });
        if (queued_ == 0)
            return; // closing, and everything queued is sent
        const uint8_t* frame = ring_[(head_ + ring_.size() - queued_) % ring_.size()].data();
        lock.unlock();
        const bool sent = ffmpeg_.write(frame, frameBytes_);
        lock.lock();
        --queued_;
        if (!sent)
            broken_ = true;
        changed_.notify_all();
        if (broken_)
            return;
    }
}

bool VideoEncoder::finish() {
    if (writer_.joinable()) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            closing_ = true;
            changed_.notify_all();
        }
        writer_.join();
    }
    return ffmpeg_.finish() && !broken_;
}

bool muxSound(const std::string& videoPath, const std::string& wavPath, const std::string& out) {
    std::vector<std::string> args = kQuietFfmpeg;
    const std::vector<std::string> rest = {
        "-i",        videoPath,    "-i",   wavPath, "-map", "0:v",  "-map",
        "1:a",       "-c:v",       "copy", "-c:a",  "aac",  "-b:a", kAudioBitrate,
        "-movflags", "+faststart", "-f",   "mp4",   out};
    args.insert(args.end(), rest.begin(), rest.end());
    return platform::runProgram(args);
}

} // namespace capture

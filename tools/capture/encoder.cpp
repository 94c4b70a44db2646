#include "encoder.h"

#include "tunables.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace capture {
namespace {

// ffmpeg says only what went wrong.
const std::vector<std::string> kQuietFfmpeg = {"ffmpeg",    "-hide_banner", "-nostdin",
                                               "-loglevel", "error",        "-y"};

pid_t spawn(const std::vector<std::string>& args, int stdinFd) {
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (stdinFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, stdinFd, STDIN_FILENO);
    pid_t pid = -1;
    const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

bool waitOk(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR)
            return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool writeAll(int fd, const uint8_t* bytes, size_t count) {
    while (count > 0) {
        const ssize_t n = ::write(fd, bytes, count);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes += n;
        count -= size_t(n);
    }
    return true;
}

} // namespace

bool runProgram(const std::vector<std::string>& args) {
    const pid_t pid = spawn(args, -1);
    return pid > 0 && waitOk(pid);
}

VideoEncoder::~VideoEncoder() {
    finish();
}

bool VideoEncoder::start(const std::string& path, int width, int height, int fps) {
    // A dead encoder must show up as a failed write, not end this process.
    std::signal(SIGPIPE, SIG_IGN);
    // Close-on-exec, or ffmpeg would hold its own input open and never see its end.
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return false;
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
    child_ = spawn(args, fds[0]);
    close(fds[0]);
    if (child_ <= 0) {
        close(fds[1]);
        return false;
    }
    pipe_ = fds[1];
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
        const bool sent = writeAll(pipe_, frame, frameBytes_);
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
    if (pipe_ >= 0) {
        close(pipe_);
        pipe_ = -1;
    }
    if (child_ <= 0)
        return false;
    const bool ok = waitOk(child_);
    child_ = -1;
    return ok && !broken_;
}

bool muxSound(const std::string& videoPath, const std::string& wavPath, const std::string& out) {
    std::vector<std::string> args = kQuietFfmpeg;
    const std::vector<std::string> rest = {
        "-i",        videoPath,    "-i",   wavPath, "-map", "0:v",  "-map",
        "1:a",       "-c:v",       "copy", "-c:a",  "aac",  "-b:a", kAudioBitrate,
        "-movflags", "+faststart", "-f",   "mp4",   out};
    args.insert(args.end(), rest.begin(), rest.end());
    return runProgram(args);
}

} // namespace capture

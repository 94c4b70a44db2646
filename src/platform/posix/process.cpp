#include "platform/process.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace platform {
namespace {

constexpr double kKilobytesPerMegabyte = 1024.0;

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

} // namespace

ChildProcess::~ChildProcess() {
    finish();
}

bool ChildProcess::start(const std::vector<std::string>& args, bool feedInput) {
    if (args.empty() || process_ >= 0)
        return false;
    if (!feedInput) {
        const pid_t pid = spawn(args, -1);
        process_ = pid;
        return pid > 0;
    }
    // A reader that is gone must show up as a failed write, not end this process.
    std::signal(SIGPIPE, SIG_IGN);
    // Close-on-exec, or the child would hold its own input open and never see its end.
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0)
        return false;
    const pid_t pid = spawn(args, fds[0]);
    close(fds[0]);
    if (pid <= 0) {
        close(fds[1]);
        return false;
    }
    process_ = pid;
    input_ = fds[1];
    return true;
}

bool ChildProcess::write(const void* bytes, size_t count) {
    if (input_ < 0)
        return false;
    const auto* at = static_cast<const uint8_t*>(bytes);
    while (count > 0) {
        const ssize_t n = ::write(int(input_), at, count);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        at += n;
        count -= size_t(n);
    }
    return true;
}

bool ChildProcess::finish() {
    if (input_ >= 0) {
        close(int(input_));
        input_ = -1;
    }
    if (process_ <= 0)
        return false;
    const bool ok = waitOk(pid_t(process_));
    process_ = -1;
    return ok;
}

bool runProgram(const std::vector<std::string>& args) {
    ChildProcess child;
    return child.start(args, false) && child.finish();
}

long peakMemoryMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return long(usage.ru_maxrss / kKilobytesPerMegabyte + 0.5);
}

bool standardErrorIsTerminal() {
    return isatty(fileno(stderr)) != 0;
}

} // namespace platform

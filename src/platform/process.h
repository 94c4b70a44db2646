// Other programs, and what the system knows about this one: a child process fed through a
// pipe (the capture's encoder), peak memory, whether standard error is a terminal.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

class ChildProcess {
  public:
    ChildProcess() = default;
    ~ChildProcess(); // closes its input and waits for it
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Starts args[0], looked up on the search path, with these arguments. With feedInput its
    // standard input reads what write() sends; otherwise it shares ours. False when it could
    // not be started.
    bool start(const std::vector<std::string>& args, bool feedInput);
    // Sends count bytes, whole; false once the program no longer reads (it ended or failed).
    // Never ends this process, whatever became of the reader.
    bool write(const void* bytes, size_t count);
    // Closes its input and waits for it to end; true on exit status 0.
    bool finish();

  private:
    intptr_t input_ = -1;   // the pipe's writing end, -1 when none
    intptr_t process_ = -1; // the system's handle of the child, -1 when none
};

// Runs a program found on the search path with these arguments and waits for it. True on
// exit status 0.
bool runProgram(const std::vector<std::string>& args);
// The most memory this process has had resident, in megabytes.
long peakMemoryMegabytes();
// Whether standard error goes to a terminal (progress redraws one line there).
bool standardErrorIsTerminal();

} // namespace platform

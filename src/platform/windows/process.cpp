// Child processes through CreateProcess and an anonymous pipe. The program is looked up the
// way CreateProcess does with no application name: the folder this program was started from
// first (an ffmpeg.exe carried beside it), then the current folder, the system folders and the
// PATH, with ".exe" added.
#include "platform/process.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <psapi.h>

#include <cstdio>
#include <io.h>

namespace platform {
namespace {

constexpr double kBytesPerMegabyte = 1024.0 * 1024.0;

std::wstring wide(const std::string& text) {
    if (text.empty())
        return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring out(size_t(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), &out[0], n);
    return out;
}

// One argument as the C runtime's command-line parser will split it back out: quoted when it
// holds a blank or a quote, backslashes doubled only where they precede a quote.
void appendQuoted(std::wstring& line, const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        line += arg;
        return;
    }
    line += L'"';
    size_t backslashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"')
            line.append(backslashes * 2 + 1, L'\\');
        else
            line.append(backslashes, L'\\');
        backslashes = 0;
        line += c;
    }
    line.append(backslashes * 2, L'\\');
    line += L'"';
}

HANDLE asHandle(intptr_t value) {
    return reinterpret_cast<HANDLE>(value);
}

} // namespace

ChildProcess::~ChildProcess() {
    finish();
}

bool ChildProcess::start(const std::vector<std::string>& args, bool feedInput) {
    if (args.empty() || process_ != -1)
        return false;
    std::wstring line;
    for (const std::string& a : args) {
        if (!line.empty())
            line += L' ';
        appendQuoted(line, wide(a));
    }

    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (feedInput) {
        SECURITY_ATTRIBUTES inheritable{};
        inheritable.nLength = sizeof inheritable;
        inheritable.bInheritHandle = TRUE;
        if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0))
            return false;
        // Only the child's end is inherited, or the child would hold its own input open and
        // never see its end.
        SetHandleInformation(writeEnd, HANDLE_FLAG_INHERIT, 0);
    }

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = feedInput ? readEnd : GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION child{};
    const BOOL started = CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &child);
    if (readEnd)
        CloseHandle(readEnd);
    if (!started) {
        if (writeEnd)
            CloseHandle(writeEnd);
        return false;
    }
    CloseHandle(child.hThread);
    process_ = reinterpret_cast<intptr_t>(child.hProcess);
    if (writeEnd)
        input_ = reinterpret_cast<intptr_t>(writeEnd);
    return true;
}

bool ChildProcess::write(const void* bytes, size_t count) {
    if (input_ == -1)
        return false;
    const auto* at = static_cast<const uint8_t*>(bytes);
    while (count > 0) {
        const DWORD chunk = count > 0x40000000u ? 0x40000000u : DWORD(count);
        DWORD written = 0;
        // A reader that is gone fails the write (ERROR_NO_DATA, ERROR_BROKEN_PIPE); nothing
        // like SIGPIPE ends this process.
        if (!WriteFile(asHandle(input_), at, chunk, &written, nullptr) || written == 0)
            return false;
        at += written;
        count -= written;
    }
    return true;
}

bool ChildProcess::finish() {
    if (input_ != -1) {
        CloseHandle(asHandle(input_));
        input_ = -1;
    }
    if (process_ == -1)
        return false;
    HANDLE process = asHandle(process_);
    process_ = -1;
    DWORD status = 1;
    const bool ended = WaitForSingleObject(process, INFINITE) == WAIT_OBJECT_0 &&
                       GetExitCodeProcess(process, &status);
    CloseHandle(process);
    return ended && status == 0;
}

bool runProgram(const std::vector<std::string>& args) {
    ChildProcess child;
    return child.start(args, false) && child.finish();
}

long peakMemoryMegabytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        return 0;
    return long(double(counters.PeakWorkingSetSize) / kBytesPerMegabyte + 0.5);
}

bool standardErrorIsTerminal() {
    return _isatty(_fileno(stderr)) != 0;
}

} // namespace platform

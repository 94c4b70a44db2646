#include "platform/quiet_output.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>

namespace platform {

QuietStandardError::QuietStandardError() {
    std::fflush(stderr);
    const int errorFd = _fileno(stderr);
    saved_ = _dup(errorFd);
    const int nothing = _open("NUL", _O_WRONLY | _O_NOINHERIT);
    if (saved_ >= 0 && nothing >= 0)
        _dup2(nothing, errorFd);
    if (nothing >= 0)
        _close(nothing);
}

QuietStandardError::~QuietStandardError() {
    if (saved_ < 0)
        return;
    std::fflush(stderr);
    _dup2(saved_, _fileno(stderr));
    _close(saved_);
}

} // namespace platform

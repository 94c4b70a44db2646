#include "platform/quiet_output.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace platform {

QuietStandardError::QuietStandardError() {
    std::fflush(stderr);
    saved_ = dup(STDERR_FILENO);
    const int nothing = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved_ >= 0 && nothing >= 0)
        dup2(nothing, STDERR_FILENO);
    if (nothing >= 0)
        close(nothing);
}

QuietStandardError::~QuietStandardError() {
    if (saved_ < 0)
        return;
    std::fflush(stderr);
    dup2(saved_, STDERR_FILENO);
    close(saved_);
}

} // namespace platform

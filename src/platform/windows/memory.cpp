// Windows has no madvise. MEM_RESET tells the system the pages' contents no longer matter, so
// they are dropped instead of being written to the page file; unlocking pages that were never
// locked then takes them out of the working set at once. Together: what MADV_DONTNEED does,
// except that the pages read back undefined rather than zero, which nobody reads.
#include "platform/memory.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <cstdint>

namespace platform {

void givePagesBack(void* start, size_t bytes) {
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    const uintptr_t page = system.dwPageSize;
    const uintptr_t from = (uintptr_t(start) + page - 1) & ~(page - 1);
    const uintptr_t to = (uintptr_t(start) + bytes) & ~(page - 1);
    if (to <= from)
        return;
    void* first = reinterpret_cast<void*>(from);
    if (VirtualAlloc(first, to - from, MEM_RESET, PAGE_READWRITE))
        VirtualUnlock(first, to - from);
}

} // namespace platform

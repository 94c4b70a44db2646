// Memory handed back to the system while its addresses stay ours.
#pragma once

#include <cstddef>

namespace platform {

// The whole pages inside [start, start + bytes) go back to the system; what they held is
// lost. For copies that are never read again but whose owner keeps the allocation.
void givePagesBack(void* start, size_t bytes);

} // namespace platform

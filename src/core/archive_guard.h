// The data archive is mounted behind one guard. This engine version's JPEG reader trusts its
// input: it never bounds a skip and never ends its input, so a cut or garbled JPEG makes it
// read past its buffer, and a very wide one overflows its 16-bit row size. The guard checks
// every JPEG the show opens from the archive and hides one that would do either: the lookup
// then finds nothing, exactly as for a missing file, and the element stays empty.
#pragma once

#include <cstddef>
#include <cstdint>

namespace irr {
namespace io {
class IFileSystem;
}
} // namespace irr

namespace show {

// The widest JPEG the engine's reader can hold: its row size (width times up to four
// components) is a 16-bit number.
constexpr uint32_t kMaxJpegRowBytes = 0xFFFF;
constexpr uint32_t kJpegMaxComponents = 4;

// True when every marker segment and scan of the JPEG lies inside the bytes, it ends with its
// end-of-image marker after at least one scan, and its rows fit the engine's reader.
bool jpegIsSafeToDecode(const uint8_t* bytes, size_t size);

// Mounts the zip at path (case and directories ignored, as every asset path expects) behind
// the guard. False when there is no readable archive there; the show then goes on without.
bool mountGuardedArchive(irr::io::IFileSystem* fileSystem, const char* path);

} // namespace show

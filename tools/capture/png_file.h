// Writes 8-bit RGB pictures as PNG files.
#pragma once

#include <cstdint>
#include <string>

namespace capture {

enum class RowOrder { TopFirst, BottomFirst };

// rgb holds height rows of width*3 bytes, in the given order (GL reads the bottom row first).
// False when the file cannot be made.
bool writePng(const std::string& path, int width, int height, const uint8_t* rgb,
              RowOrder order = RowOrder::TopFirst);

} // namespace capture

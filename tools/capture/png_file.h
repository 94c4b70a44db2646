// Writes 8-bit RGB pictures as PNG files.
#pragma once

#include <cstdint>
#include <string>

namespace capture {

// rgb holds height rows of width*3 bytes, top row first. False when the file cannot be made.
bool writePng(const std::string& path, int width, int height, const uint8_t* rgb);

} // namespace capture

// The data archive: a zip whose bytes depend only on its entries (fixed time stamps,
// fixed order, fixed compression per entry).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace assetgen {

struct Entry {
    std::string path;
    std::vector<uint8_t> data;
    bool deflate = false; // already-compressed images are stored as they are
};

using Entries = std::vector<Entry>;

void addText(Entries& out, const std::string& path, const std::string& text);
void addBytes(Entries& out, const std::string& path, std::vector<uint8_t> data);

// Writes the archive, replacing any file at `path`. Throws on failure.
void writeArchive(const std::string& path, const Entries& entries);

} // namespace assetgen

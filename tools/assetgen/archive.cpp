// Deterministic zip writing with libzip.
#include "archive.h"

#include <cstdio>
#include <ctime>
#include <stdexcept>
#include <zip.h>

namespace assetgen {

namespace {
// 2009-06-01 12:00:00 UTC; every entry carries it so rebuilds give the same bytes.
constexpr time_t kEntryTime = 1243857600;
} // namespace

void addText(Entries& out, const std::string& path, const std::string& text) {
    out.push_back({path, std::vector<uint8_t>(text.begin(), text.end()), true});
}

void addBytes(Entries& out, const std::string& path, std::vector<uint8_t> data) {
    out.push_back({path, std::move(data), false});
}

void writeArchive(const std::string& path, const Entries& entries) {
    std::remove(path.c_str());
    int err = 0;
    zip_t* za = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    if (!za)
        throw std::runtime_error("cannot create archive " + path);
    for (const Entry& e : entries) {
        zip_source_t* src = zip_source_buffer(za, e.data.data(), e.data.size(), 0);
        const zip_int64_t idx = src ? zip_file_add(za, e.path.c_str(), src, ZIP_FL_ENC_UTF_8) : -1;
        if (idx < 0) {
            if (src)
                zip_source_free(src);
            const std::string msg = zip_strerror(za);
            zip_discard(za);
            throw std::runtime_error("cannot add " + e.path + ": " + msg);
        }
        zip_set_file_compression(za, static_cast<zip_uint64_t>(idx),
                                 e.deflate ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 9);
        zip_file_set_mtime(za, static_cast<zip_uint64_t>(idx), kEntryTime, 0);
        zip_file_set_external_attributes(za, static_cast<zip_uint64_t>(idx), 0, ZIP_OPSYS_UNIX,
                                         0100644u << 16);
    }
    if (zip_close(za) != 0) {
        const std::string msg = zip_strerror(za);
        zip_discard(za);
        throw std::runtime_error("cannot write archive " + path + ": " + msg);
    }
}

} // namespace assetgen

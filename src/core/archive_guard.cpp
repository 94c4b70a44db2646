#include "core/archive_guard.h"

#include <irrlicht.h>

#include <algorithm>
#include <vector>

namespace show {
namespace {

// JPEG markers: 0xFF then a code. Stuffed zeros and restarts carry no segment.
constexpr uint8_t kMarker = 0xFF;
constexpr uint8_t kStuffedZero = 0x00;
constexpr uint8_t kTem = 0x01;
constexpr uint8_t kFirstRestart = 0xD0;
constexpr uint8_t kLastRestart = 0xD7;
constexpr uint8_t kStartOfImage = 0xD8;
constexpr uint8_t kEndOfImage = 0xD9;
constexpr uint8_t kStartOfScan = 0xDA;
constexpr uint8_t kFirstFrame = 0xC0;
constexpr uint8_t kLastFrame = 0xCF;
constexpr uint8_t kHuffmanTables = 0xC4; // in the frame range, but not a frame
constexpr uint8_t kJpgExtension = 0xC8;
constexpr uint8_t kArithmeticTables = 0xCC;
// Start-of-frame segment: length(2) precision(1) height(2) width(2) components(1).
constexpr size_t kFrameWidthAt = 5;
constexpr size_t kFrameMinLength = 8;
const uint8_t kJpegSignature[] = {0xFF, 0xD8, 0xFF};

bool isRestart(uint8_t code) {
    return code >= kFirstRestart && code <= kLastRestart;
}

bool isFrame(uint8_t code) {
    return code >= kFirstFrame && code <= kLastFrame && code != kHuffmanTables &&
           code != kJpgExtension && code != kArithmeticTables;
}

uint32_t bigEndian16(const uint8_t* at) {
    return uint32_t(at[0]) << 8 | at[1];
}

// Index of the marker that ends the entropy-coded data starting at p, or size if none does.
size_t endOfScan(const uint8_t* b, size_t size, size_t p) {
    while (p < size) {
        if (b[p] != kMarker) {
            ++p;
            continue;
        }
        size_t code = p + 1;
        while (code < size && b[code] == kMarker)
            ++code;
        if (code >= size)
            return size;
        if (b[code] != kStuffedZero && !isRestart(b[code]))
            return p;
        p = code + 1;
    }
    return size;
}

bool looksLikeJpeg(irr::io::IReadFile* file) {
    if (irr::core::hasFileExtension(file->getFileName(), "jpg", "jpeg"))
        return true;
    uint8_t head[sizeof kJpegSignature] = {};
    file->seek(0);
    const bool signed_ = file->read(head, sizeof head) == irr::s32(sizeof head) &&
                         std::equal(head, head + sizeof head, kJpegSignature);
    file->seek(0);
    return signed_;
}

bool isSafe(irr::io::IReadFile* file) {
    std::vector<uint8_t> bytes(size_t(file->getSize()));
    file->seek(0);
    const bool whole = file->read(bytes.data(), irr::u32(bytes.size())) == irr::s32(bytes.size());
    file->seek(0);
    return whole && jpegIsSafeToDecode(bytes.data(), bytes.size());
}

// The zip as the engine mounted it, with unsafe JPEGs left out of every lookup.
class GuardedArchive final : public irr::io::IFileArchive {
  public:
    explicit GuardedArchive(irr::io::IFileArchive* zip) : zip_(zip) { zip_->grab(); }
    ~GuardedArchive() override { zip_->drop(); }

    irr::io::IReadFile* createAndOpenFile(const irr::io::path& name) override {
        return checked(zip_->createAndOpenFile(name));
    }
    irr::io::IReadFile* createAndOpenFile(irr::u32 index) override {
        return checked(zip_->createAndOpenFile(index));
    }
    const irr::io::IFileList* getFileList() const override { return zip_->getFileList(); }
    irr::io::E_FILE_ARCHIVE_TYPE getType() const override { return zip_->getType(); }

  private:
    static irr::io::IReadFile* checked(irr::io::IReadFile* file) {
        if (!file || !looksLikeJpeg(file) || isSafe(file))
            return file;
        file->drop();
        return nullptr;
    }

    irr::io::IFileArchive* zip_;
};

} // namespace

bool jpegIsSafeToDecode(const uint8_t* b, size_t size) {
    if (size < sizeof kJpegSignature || b[0] != kMarker || b[1] != kStartOfImage)
        return false;
    bool scanned = false;
    size_t p = 2;
    for (;;) {
        if (p >= size || b[p] != kMarker)
            return false;
        while (p < size && b[p] == kMarker)
            ++p;
        if (p >= size)
            return false;
        const uint8_t code = b[p++];
        if (code == kEndOfImage)
            return scanned;
        if (code == kTem || isRestart(code))
            continue;
        if (code == kStuffedZero || p + 2 > size)
            return false;
        const size_t length = bigEndian16(b + p);
        if (length < 2 || p + length > size)
            return false;
        if (isFrame(code)) {
            if (length < kFrameMinLength)
                return false;
            const uint32_t width = bigEndian16(b + p + kFrameWidthAt);
            if (width * kJpegMaxComponents > kMaxJpegRowBytes)
                return false;
        }
        p += length;
        if (code == kStartOfScan) {
            scanned = true;
            p = endOfScan(b, size, p);
        }
    }
}

bool mountGuardedArchive(irr::io::IFileSystem* fileSystem, const char* path) {
    const irr::u32 before = fileSystem->getFileArchiveCount();
    if (!fileSystem->addFileArchive(path, true, true) ||
        fileSystem->getFileArchiveCount() != before + 1)
        return false;
    irr::io::IFileArchive* zip = fileSystem->getFileArchive(before);
    auto* guarded = new GuardedArchive(zip); // grabs the zip before the file system lets go
    fileSystem->removeFileArchive(zip);
    // This engine version takes over the caller's reference here instead of grabbing.
    const bool mounted = fileSystem->addFileArchive(guarded);
    if (!mounted)
        guarded->drop();
    return mounted;
}

} // namespace show

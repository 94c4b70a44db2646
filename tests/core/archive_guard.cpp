// Which JPEGs the archive guard lets the engine's reader see: whole ones, never one that is
// cut short, whose segment lengths point past its end, or whose rows overflow the reader.
#include "core/archive_guard.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace show;

namespace {

using Bytes = std::vector<uint8_t>;

Bytes jpeg(const std::string& name, const std::string& filterArgs) {
    const std::string path = std::string(TEST_BUILD_DIR) + "/jpeg_guard_" + name + ".jpg";
    const std::string command =
        "ffmpeg -loglevel error -y -f lavfi -i " + filterArgs + " -frames:v 1 '" + path + "'";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool safe(const Bytes& b) {
    return jpegIsSafeToDecode(b.data(), b.size());
}

// Offset of the first segment with this marker code.
size_t segment(const Bytes& b, uint8_t code) {
    for (size_t i = 2; i + 1 < b.size(); ++i)
        if (b[i] == 0xFF && b[i + 1] == code)
            return i;
    return 0;
}

} // namespace

TEST(JpegGuard, WholeImagesPass) {
    EXPECT_TRUE(safe(jpeg("plain", "testsrc=size=64x48")));
    EXPECT_TRUE(safe(jpeg("odd", "testsrc=size=333x1")));
    EXPECT_TRUE(safe(jpeg("busy", "testsrc2=size=97x61")));
}

TEST(JpegGuard, CutGarbledOrOverlongImagesAreHidden) {
    const Bytes whole = jpeg("whole", "testsrc=size=64x48");
    ASSERT_TRUE(safe(whole));
    // Cut anywhere: in the header, in the tables, in the scan, just before the end marker.
    for (size_t cut : {size_t(1), size_t(3), size_t(20), whole.size() / 2, whole.size() - 1})
        EXPECT_FALSE(safe(Bytes(whole.begin(), whole.begin() + cut))) << "cut at " << cut;
    EXPECT_FALSE(safe({}));

    // A table segment whose length runs past the end of the file.
    Bytes longTable = whole;
    const size_t dqt = segment(longTable, 0xDB);
    ASSERT_GT(dqt, 0u);
    longTable[dqt + 2] = 0xFF;
    EXPECT_FALSE(safe(longTable));

    // No scan at all: the header straight into the end marker.
    const size_t sos = segment(whole, 0xDA);
    Bytes noScan(whole.begin(), whole.begin() + sos);
    noScan.push_back(0xFF);
    noScan.push_back(0xD9);
    EXPECT_FALSE(safe(noScan));

    // Garbage where the first marker should be.
    Bytes garbled = whole;
    garbled[2] = 0x42;
    EXPECT_FALSE(safe(garbled));
}

TEST(JpegGuard, RowsWiderThanTheReaderCanCountAreHidden) {
    Bytes wide = jpeg("narrow", "testsrc=size=64x48");
    const size_t sof = segment(wide, 0xC0);
    ASSERT_GT(sof, 0u);
    // Width sits after the marker(2), length(2), precision(1) and height(2).
    const uint32_t widest = kMaxJpegRowBytes / kJpegMaxComponents;
    wide[sof + 7] = uint8_t(widest >> 8);
    wide[sof + 8] = uint8_t(widest);
    EXPECT_TRUE(safe(wide));
    wide[sof + 7] = uint8_t((widest + 1) >> 8);
    wide[sof + 8] = uint8_t(widest + 1);
    EXPECT_FALSE(safe(wide));
}

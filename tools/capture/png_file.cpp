#include "png_file.h"

#include "tunables.h"

#include <png.h>

#include <cstdio>

namespace capture {

bool writePng(const std::string& path, int width, int height, const uint8_t* rgb, RowOrder order) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    bool ok = png && info;
    if (ok && setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, file);
        png_set_compression_level(png, kPngCompression);
        png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGB,
                     PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        const size_t stride = size_t(width) * 3;
        for (int y = 0; y < height; ++y) {
            const int row = order == RowOrder::TopFirst ? y : height - 1 - y;
            png_write_row(png, const_cast<png_bytep>(rgb + size_t(row) * stride));
        }
        png_write_end(png, nullptr);
    } else {
        ok = false;
    }
    png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
    return std::fclose(file) == 0 && ok;
}

} // namespace capture

#include "support/text_png.h"

#include <cstdio>
#include <filesystem>
#include <png.h>
#include <vector>

namespace test {

bool writeTextPng(const std::string& path, const uint16_t* pixels, int32_t pitch, int32_t width, int32_t height)
{
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
        PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<png_byte> row(size_t(width) * 3);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            uint16_t pixel = pixels[size_t(x) + size_t(pitch) * size_t(y)];
            auto expand = [](int channel) { return png_byte((channel << 3) | (channel >> 2)); };
            row[size_t(x) * 3] = expand((pixel >> 10) & 0x1F);
            row[size_t(x) * 3 + 1] = expand((pixel >> 5) & 0x1F);
            row[size_t(x) * 3 + 2] = expand(pixel & 0x1F);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

uint64_t textPixelHash(const uint16_t* pixels, int32_t pitch, int32_t width, int32_t height)
{
    uint64_t hash = 1469598103934665603ull;
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            uint16_t pixel = pixels[size_t(x) + size_t(pitch) * size_t(y)];
            for (int shift : { 0, 8 }) {
                hash ^= uint8_t(pixel >> shift);
                hash *= 1099511628211ull;
            }
        }
    }
    return hash;
}

} // namespace test

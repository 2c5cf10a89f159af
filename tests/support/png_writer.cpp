#include "support/png_writer.h"

#include <png.h>

#include <cstdio>
#include <vector>

namespace test {

namespace {

void expand(uint16_t p, SurfaceFormat format, uint8_t* rgb)
{
    uint32_t r, g, b;
    if (format == SurfaceFormat::Rgb565) {
        r = (p >> 11) & 31;
        g = (p >> 5) & 63;
        b = p & 31;
        rgb[1] = static_cast<uint8_t>(g << 2 | g >> 4);
    } else {
        r = (p >> 10) & 31;
        g = (p >> 5) & 31;
        b = p & 31;
        rgb[1] = static_cast<uint8_t>(g << 3 | g >> 2);
    }
    rgb[0] = static_cast<uint8_t>(r << 3 | r >> 2);
    rgb[2] = static_cast<uint8_t>(b << 3 | b >> 2);
}

} // namespace

bool writeSurfacePng(const std::string& path, const uint16_t* pixels, int32_t width, int32_t height, int32_t pitch,
    SurfaceFormat format)
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    std::vector<uint8_t> row(static_cast<size_t>(width) * 3);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(file);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_RGB,
        PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x)
            expand(pixels[static_cast<size_t>(y) * pitch + x], format, &row[static_cast<size_t>(x) * 3]);
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fclose(file) == 0;
}

uint64_t surfaceHash(const uint16_t* pixels, int32_t width, int32_t height, int32_t pitch)
{
    uint64_t hash = 0xcbf29ce484222325ull;
    auto mix = [&hash](uint8_t byte) {
        hash ^= byte;
        hash *= 0x100000001b3ull;
    };
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            uint16_t p = pixels[static_cast<size_t>(y) * pitch + x];
            mix(static_cast<uint8_t>(p));
            mix(static_cast<uint8_t>(p >> 8));
        }
    return hash;
}

} // namespace test

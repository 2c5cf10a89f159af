#pragma once
// Writes a 16-bit surface as an 8-bit RGB PNG so that a test's picture can be
// looked at, and hashes its pixels so that a picture can be kept as a golden.

#include <cstdint>
#include <filesystem>
#include <string>

namespace test {

enum class SurfaceFormat {
    Rgb555,
    Rgb565,
};

// Pitch in pixels. False when the file cannot be written.
bool writeSurfacePng(const std::string& path, const uint16_t* pixels, int32_t width, int32_t height, int32_t pitch,
    SurfaceFormat format = SurfaceFormat::Rgb555);

// FNV-1a over the width x height pixels (row by row, the pitch's padding left
// out), each pixel as two little-endian bytes.
uint64_t surfaceHash(const uint16_t* pixels, int32_t width, int32_t height, int32_t pitch);

// Where a test keeps pictures for looking at: the "pictures" folder of the test
// programs' build directory (created on demand). Inline so that the including
// test program's build directory is the one used.
inline std::string picturePath(const std::string& name)
{
#ifdef VARDUN_TEST_BINARY_DIR
    std::filesystem::path dir = std::filesystem::path(VARDUN_TEST_BINARY_DIR) / "pictures";
#else
    std::filesystem::path dir = std::filesystem::temp_directory_path() / "vardun-pictures";
#endif
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    return (dir / name).string();
}

} // namespace test

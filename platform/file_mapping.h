#pragma once
// A read-only mapping of a whole file. Empty files cannot be mapped. The bytes
// stay valid until the mapping is destroyed; they may be read from any thread.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

class FileMapping {
public:
    ~FileMapping();
    FileMapping(const FileMapping&) = delete;
    FileMapping& operator=(const FileMapping&) = delete;

    // Null when the file is missing, empty, not a regular file or cannot be
    // mapped, with errno saying why (EISDIR for a directory, ENXIO for any
    // other file that is not a regular one, EINVAL for an empty one). The
    // open never waits, whatever is in the file's place.
    static std::unique_ptr<FileMapping> open(const std::string& realPath);

    const uint8_t* data() const { return m_data; }
    size_t size() const { return m_size; }

private:
    FileMapping(const uint8_t* data, size_t size);
    const uint8_t* m_data;
    size_t m_size;
};

} // namespace platform

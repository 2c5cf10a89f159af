#include "platform/file_mapping.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

FileMapping::FileMapping(const uint8_t* data, size_t size)
    : m_data(data)
    , m_size(size)
{
}

FileMapping::~FileMapping() { munmap(const_cast<uint8_t*>(m_data), m_size); }

std::unique_ptr<FileMapping> FileMapping::open(const std::string& realPath)
{
    int descriptor;
    // Without waiting: a named pipe in a file's place would block the open.
    do
        descriptor = ::open(realPath.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    while (descriptor < 0 && errno == EINTR);
    if (descriptor < 0)
        return nullptr;
    struct stat info { };
    void* bytes = MAP_FAILED;
    int error = 0;
    // Only regular files have a fixed size worth mapping; a zero-length
    // mapping is refused by the kernel anyway.
    if (fstat(descriptor, &info) != 0)
        error = errno;
    else if (S_ISDIR(info.st_mode))
        error = EISDIR;
    else if (!S_ISREG(info.st_mode))
        error = ENXIO;
    else if (info.st_size <= 0)
        error = EINVAL;
    else if ((bytes = mmap(nullptr, size_t(info.st_size), PROT_READ, MAP_PRIVATE, descriptor, 0)) == MAP_FAILED)
        error = errno;
    // The mapping keeps the file alive by itself.
    close(descriptor);
    if (bytes == MAP_FAILED) {
        errno = error;
        return nullptr;
    }
    // Records are read here and there, not front to back.
    madvise(bytes, size_t(info.st_size), MADV_RANDOM);
    return std::unique_ptr<FileMapping>(new FileMapping(static_cast<const uint8_t*>(bytes), size_t(info.st_size)));
}

} // namespace platform

#include "platform/file_mapping.h"
#include "platform/posix/regular_file.h"

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
    struct stat info { };
    int descriptor = openRegularDescriptor(realPath, O_RDONLY, info);
    if (descriptor < 0)
        return nullptr;
    void* bytes = MAP_FAILED;
    int error = 0;
    // A zero-length mapping is refused by the kernel anyway.
    if (info.st_size <= 0)
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

#include "platform/file_system.h"
#include "platform/ascii_text.h"
#include "platform/posix/regular_file.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {

namespace {

bool exists(const std::string& path)
{
    struct stat info { };
    return stat(path.c_str(), &info) == 0;
}

// Directory listings by real directory path, read once.
std::map<std::string, std::vector<std::string>>& directoryCache()
{
    static std::map<std::string, std::vector<std::string>> cache;
    return cache;
}

const std::vector<std::string>& listDirectory(const std::string& directory)
{
    auto& cache = directoryCache();
    auto found = cache.find(directory);
    if (found != cache.end())
        return found->second;
    std::vector<std::string>& names = cache[directory];
    if (DIR* stream = opendir(directory.c_str())) {
        while (dirent* entry = readdir(stream)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..")
                names.push_back(std::move(name));
        }
        closedir(stream);
    }
    return names;
}

// Joins a directory (as it will be written in the result) and a name.
std::string join(const std::string& directory, const std::string& name)
{
    if (directory.empty())
        return name;
    if (directory.back() == '/')
        return directory + name;
    return directory + "/" + name;
}

std::vector<std::string> splitComponents(const std::string& path)
{
    std::vector<std::string> components;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        if (end > start)
            components.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return components;
}

std::string homeDirectory()
{
    if (const char* home = std::getenv("HOME"); home && home[0] == '/')
        return home;
    if (const passwd* entry = getpwuid(geteuid()); entry && entry->pw_dir)
        return entry->pw_dir;
    return {};
}

// Links followed before the chain is taken for a loop.
constexpr int kMaxLinkDepth = 40;

// The file a path finally names: symbolic links are followed (a relative one
// from the directory it sits in); the path itself when it is no link or when
// the link cannot be read. Nothing for a chain of links that never ends.
std::optional<std::string> finalLinkTarget(const std::string& path)
{
    std::string current = path;
    for (int depth = 0; depth < kMaxLinkDepth; ++depth) {
        struct stat info { };
        if (lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return current;
        std::vector<char> buffer(size_t(info.st_size > 0 ? info.st_size : 0) + 256);
        ssize_t length = readlink(current.c_str(), buffer.data(), buffer.size());
        if (length <= 0 || size_t(length) >= buffer.size())
            return current;
        std::string target(buffer.data(), size_t(length));
        current = target.front() == '/' ? target : join(parentDirectory(current), target);
    }
    return std::nullopt;
}

// The open(2) flags of a stdio mode, without truncation (which waits until
// the file is known to be a regular one); false for a mode stdio refuses.
bool openFlagsOf(const char* mode, int& flags, bool& truncate)
{
    if (!mode)
        return false;
    bool update = std::strchr(mode, '+') != nullptr;
    truncate = false;
    switch (mode[0]) {
    case 'r':
        flags = update ? O_RDWR : O_RDONLY;
        break;
    case 'w':
        flags = (update ? O_RDWR : O_WRONLY) | O_CREAT;
        truncate = true;
        break;
    case 'a':
        flags = (update ? O_RDWR : O_WRONLY) | O_CREAT | O_APPEND;
        break;
    default:
        return false;
    }
    if (std::strchr(mode, 'x'))
        flags |= O_EXCL;
    return true;
}

// umask can only be read by setting it; put it straight back.
mode_t currentUmask()
{
    mode_t mask = umask(0022);
    umask(mask);
    return mask;
}

} // namespace

std::string normalizeSeparators(std::string path)
{
    for (char& c : path) {
        if (c == '\\')
            c = '/';
    }
    return path;
}

std::optional<std::string> resolvePath(const std::string& path, bool allowMissingLeaf)
{
    std::string normalized = normalizeSeparators(path);
    if (normalized.empty())
        return std::nullopt;
    std::vector<std::string> components = splitComponents(normalized);
    // The result keeps the caller's form: absolute stays absolute, relative
    // stays relative to the working directory.
    std::string resolved = normalized.front() == '/' ? "/" : "";
    for (size_t i = 0; i < components.size(); ++i) {
        const std::string& component = components[i];
        bool isLeaf = i + 1 == components.size();
        std::string exact = join(resolved, component);
        if (component == "." || component == ".." || exists(exact)) {
            resolved = exact;
            continue;
        }
        const std::string* match = nullptr;
        for (const std::string& candidate : listDirectory(resolved.empty() ? "." : resolved)) {
            // Several spellings of one name: take the first in byte order, so
            // that the choice never depends on the directory's order.
            if (equalIgnoringAsciiCase(candidate, component) && (!match || candidate < *match))
                match = &candidate;
        }
        if (match && exists(join(resolved, *match))) {
            resolved = join(resolved, *match);
            continue;
        }
        if (isLeaf && allowMissingLeaf) {
            resolved = exact;
            continue;
        }
        return std::nullopt;
    }
    if (resolved.empty())
        resolved = ".";
    return resolved;
}

void forgetDirectoryCache() { directoryCache().clear(); }

bool fileExists(const std::string& realPath)
{
    struct stat info { };
    return stat(realPath.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool isDirectory(const std::string& realPath)
{
    struct stat info { };
    return stat(realPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

int64_t fileSize(const std::string& realPath)
{
    struct stat info { };
    if (stat(realPath.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return -1;
    return int64_t(info.st_size);
}

std::string parentDirectory(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool makeDirectories(const std::string& realPath)
{
    if (realPath.empty())
        return false;
    std::string path = normalizeSeparators(realPath);
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        std::string parent = path.substr(0, slash);
        if (mkdir(parent.c_str(), 0777) != 0 && errno != EEXIST)
            return false;
    }
    if (mkdir(path.c_str(), 0777) != 0 && errno != EEXIST)
        return false;
    return isDirectory(path);
}

int openRegularDescriptor(const std::string& path, int flags, struct stat& info)
{
    int descriptor;
    // Without waiting: a named pipe opened for reading would otherwise wait
    // for a writer for ever.
    do
        descriptor = ::open(path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    while (descriptor < 0 && errno == EINTR);
    if (descriptor < 0)
        return -1;
    int refusal = 0;
    if (fstat(descriptor, &info) != 0)
        refusal = errno;
    else if (S_ISDIR(info.st_mode))
        refusal = EISDIR;
    else if (!S_ISREG(info.st_mode))
        refusal = ENXIO;
    if (!refusal) {
        // Reads and writes of the regular file may block as usual.
        int status = fcntl(descriptor, F_GETFL);
        if (status < 0 || fcntl(descriptor, F_SETFL, status & ~O_NONBLOCK) != 0)
            refusal = errno;
    }
    if (refusal) {
        close(descriptor);
        errno = refusal;
        return -1;
    }
    return descriptor;
}

FILE* openRegularFile(const std::string& realPath, const char* mode)
{
    int flags = 0;
    bool truncate = false;
    if (realPath.empty() || !openFlagsOf(mode, flags, truncate)) {
        errno = EINVAL;
        return nullptr;
    }
    struct stat info { };
    int descriptor = openRegularDescriptor(realPath, flags, info);
    if (descriptor < 0)
        return nullptr;
    // Only now that it is known to be a regular file.
    FILE* stream = truncate && ftruncate(descriptor, 0) != 0 ? nullptr : fdopen(descriptor, mode);
    if (!stream) {
        int error = errno;
        close(descriptor);
        errno = error;
    }
    return stream;
}

bool replaceFileContents(const std::string& path, const std::string& bytes)
{
    if (path.empty())
        return false;
    // A settings file kept elsewhere and linked into the data directory stays
    // linked: the new file replaces the one the link names, not the link,
    // which would otherwise become a copy that the player's own file no
    // longer follows.
    std::optional<std::string> target = finalLinkTarget(path);
    if (!target)
        return false;
    const std::string& realPath = *target;
    std::string temporary = realPath + ".XXXXXX";
    int descriptor = mkstemp(temporary.data());
    if (descriptor < 0)
        return false;
    // Keep the permissions an existing file had (mkstemp makes 0600).
    struct stat info { };
    if (stat(realPath.c_str(), &info) == 0)
        fchmod(descriptor, info.st_mode & 07777);
    else
        fchmod(descriptor, 0666 & ~currentUmask());
    size_t done = 0;
    bool ok = true;
    while (ok && done < bytes.size()) {
        ssize_t written = write(descriptor, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        ok = written > 0;
        if (ok)
            done += size_t(written);
    }
    ok = ok && fsync(descriptor) == 0;
    ok = close(descriptor) == 0 && ok;
    if (!ok || rename(temporary.c_str(), realPath.c_str()) != 0) {
        unlink(temporary.c_str());
        return false;
    }
    // The rename itself must reach the disk too.
    int directoryDescriptor = open(parentDirectory(realPath).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directoryDescriptor >= 0) {
        fsync(directoryDescriptor);
        close(directoryDescriptor);
    }
    return true;
}

std::string executablePath()
{
    std::vector<char> buffer(256);
    for (;;) {
        ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0)
            return {};
        // A full buffer may mean the name was cut: try again with more room.
        if (size_t(length) < buffer.size())
            return std::string(buffer.data(), size_t(length));
        if (buffer.size() >= 65536)
            return {};
        buffer.resize(buffer.size() * 2);
    }
}

std::string configDirectory()
{
    std::string directory;
    if (const char* overridden = std::getenv("VARDUN_CONFIG_DIR"); overridden && *overridden)
        directory = overridden;
    else if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && config[0] == '/')
        directory = std::string(config) + "/vardun";
    else if (std::string home = homeDirectory(); !home.empty())
        directory = home + "/.config/vardun";
    else
        return {};
    makeDirectories(directory);
    return directory;
}

} // namespace platform

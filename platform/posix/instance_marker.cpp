#include "platform/instance_marker.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

// Marker names become file names: refuse anything that could leave the
// directory or make an unusable name.
bool isUsableName(const std::string& name)
{
    if (name.empty() || name == "." || name == ".." || name.size() > 200)
        return false;
    for (char c : name) {
        if (c == '/' || c == '\0')
            return false;
    }
    return true;
}

// The directory must be ours and private: another user able to create files
// there could hold our markers or plant a link.
bool ensurePrivateDirectory(const std::string& path)
{
    if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat info { };
    if (lstat(path.c_str(), &info) != 0)
        return false;
    return S_ISDIR(info.st_mode) && info.st_uid == geteuid();
}

std::string markerPath(const std::string& name, const char* suffix)
{
    std::string directory = instanceMarkerDirectory();
    if (directory.empty() || !ensurePrivateDirectory(directory))
        return {};
    return directory + "/" + name + suffix;
}

int openMarkerFile(const std::string& path, bool create)
{
    if (path.empty())
        return -1;
    int flags = O_RDWR | O_CLOEXEC | O_NOFOLLOW | (create ? O_CREAT : 0);
    int descriptor;
    do
        descriptor = open(path.c_str(), flags, 0600);
    while (descriptor < 0 && errno == EINTR);
    return descriptor;
}

bool lock(int descriptor, int operation)
{
    int result;
    do
        result = flock(descriptor, operation);
    while (result != 0 && errno == EINTR);
    return result == 0;
}

bool tryLock(int descriptor, int operation) { return lock(descriptor, operation | LOCK_NB); }

} // namespace

std::string instanceMarkerDirectory()
{
    if (const char* overridden = std::getenv("VARDUN_RUNTIME_DIR"); overridden && *overridden)
        return overridden;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && runtime[0] == '/')
        return std::string(runtime) + "/vardun";
    return "/tmp/vardun-" + std::to_string(geteuid());
}

InstanceMarker::InstanceMarker(int descriptor)
    : m_descriptor(descriptor)
{
}

InstanceMarker::~InstanceMarker()
{
    // Closing the only descriptor of the open file releases its lock. The
    // file stays: removing it would race with a process about to lock it.
    if (m_descriptor >= 0)
        close(m_descriptor);
}

bool InstanceMarker::probe(const std::string& name)
{
    if (!isUsableName(name))
        return false;
    int descriptor = openMarkerFile(markerPath(name, ".lock"), false);
    if (descriptor < 0)
        return false; // Never made, so never held.
    bool held = !tryLock(descriptor, LOCK_EX);
    close(descriptor);
    return held;
}

std::unique_ptr<InstanceMarker> InstanceMarker::acquire(const std::string& name, bool& existedBefore)
{
    existedBefore = false;
    if (!isUsableName(name))
        return nullptr;
    int descriptor = openMarkerFile(markerPath(name, ".lock"), true);
    if (descriptor < 0)
        return nullptr;
    if (!tryLock(descriptor, LOCK_EX)) {
        existedBefore = errno == EWOULDBLOCK;
        close(descriptor);
        return nullptr;
    }
    return std::unique_ptr<InstanceMarker>(new InstanceMarker(descriptor));
}

std::unique_ptr<InstanceMarker> InstanceMarker::join(const std::string& name, bool& othersHolding)
{
    othersHolding = false;
    if (!isUsableName(name))
        return nullptr;
    // Joiners pass one at a time through a guard file. Without it, two
    // starting at once could each take the exclusive test lock in turn and
    // both believe they were alone, because flock converts an exclusive lock
    // to a shared one by releasing it first.
    int guard = openMarkerFile(markerPath(name, ".guard"), true);
    if (guard < 0)
        return nullptr;
    std::unique_ptr<InstanceMarker> marker;
    int descriptor = lock(guard, LOCK_EX) ? openMarkerFile(markerPath(name, ".lock"), true) : -1;
    if (descriptor >= 0) {
        othersHolding = !tryLock(descriptor, LOCK_EX);
        // A marker someone took with acquire() admits no joiner.
        if (tryLock(descriptor, LOCK_SH))
            marker.reset(new InstanceMarker(descriptor));
        else
            close(descriptor);
    }
    close(guard);
    return marker;
}

} // namespace platform

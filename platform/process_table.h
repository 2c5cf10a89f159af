#pragma once
// The processes of this user and the means to end them, and starting another
// program. Used once, before the client starts, to make the launcher give
// way to a patch. Process ids are the system's. Main thread only.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

struct ProcessEntry {
    int32_t id = 0;
    // The executable's file name without its directory.
    std::string executableName;
};

class ProcessTable {
public:
    virtual ~ProcessTable() = default;
    // Every running process of this user but this one; false when the
    // system offers no listing.
    virtual bool list(std::vector<ProcessEntry>& out) = 0;
    virtual bool isRunning(int32_t id) = 0;
    // Asks the process to end (it may clean up first).
    virtual bool requestEnd(int32_t id) = 0;
    // Ends it at once.
    virtual bool forceEnd(int32_t id) = 0;
};

// The processes under /proc that belong to this user.
std::unique_ptr<ProcessTable> createSystemProcessTable();

// Starts `path` with the arguments (argv[0] is the path) in
// `workingDirectory` (unchanged when empty), without waiting for it. False
// when it could not be started.
bool startProgram(
    const std::string& path, const std::vector<std::string>& arguments, const std::string& workingDirectory);

} // namespace platform

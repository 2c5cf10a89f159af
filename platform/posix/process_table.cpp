#include "platform/process_table.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace platform {

namespace {

std::string baseName(const std::string& path)
{
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The executable's name: the target of /proc/<id>/exe, else the first word
// of its command line (a program run by an interpreter shows there).
std::string executableNameOf(const std::string& directory)
{
    char target[4096];
    ssize_t length = readlink((directory + "/exe").c_str(), target, sizeof target - 1);
    if (length > 0)
        return baseName(std::string(target, size_t(length)));
    FILE* stream = std::fopen((directory + "/cmdline").c_str(), "rb");
    if (!stream)
        return {};
    std::string first;
    int c;
    while ((c = std::fgetc(stream)) != EOF && c != '\0')
        first.push_back(char(c));
    std::fclose(stream);
    return baseName(first);
}

class ProcProcessTable final : public ProcessTable {
public:
    bool list(std::vector<ProcessEntry>& out) override
    {
        out.clear();
        DIR* directory = opendir("/proc");
        if (!directory)
            return false;
        uid_t user = getuid();
        pid_t self = getpid();
        while (dirent* entry = readdir(directory)) {
            char* end = nullptr;
            long id = std::strtol(entry->d_name, &end, 10);
            if (!end || *end != '\0' || id <= 0 || id == self)
                continue;
            std::string path = std::string("/proc/") + entry->d_name;
            struct stat info { };
            if (stat(path.c_str(), &info) != 0 || info.st_uid != user)
                continue;
            out.push_back({ int32_t(id), executableNameOf(path) });
        }
        closedir(directory);
        return true;
    }

    bool isRunning(int32_t id) override
    {
        // A child of ours that ended is collected so that it stops counting.
        int status = 0;
        waitpid(pid_t(id), &status, WNOHANG);
        return kill(pid_t(id), 0) == 0 || errno == EPERM;
    }

    bool requestEnd(int32_t id) override { return kill(pid_t(id), SIGTERM) == 0; }
    bool forceEnd(int32_t id) override { return kill(pid_t(id), SIGKILL) == 0; }
};

} // namespace

std::unique_ptr<ProcessTable> createSystemProcessTable() { return std::make_unique<ProcProcessTable>(); }

bool startProgram(
    const std::string& path, const std::vector<std::string>& arguments, const std::string& workingDirectory)
{
    if (!workingDirectory.empty() && chdir(workingDirectory.c_str()) != 0)
        return false;
    if (access(path.c_str(), X_OK) != 0)
        return false;
    std::vector<std::string> copies = arguments;
    std::vector<char*> argv;
    for (std::string& argument : copies)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    pid_t child = 0;
    return posix_spawn(&child, path.c_str(), nullptr, nullptr, argv.data(), environ) == 0;
}

} // namespace platform

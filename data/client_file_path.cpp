#include "data/client_file_path.h"

#include "data/file_manager.h"
#include "platform/file_system.h"

#include <cstdio>

namespace {

std::string pathIn(std::string directory, const std::string& name)
{
    if (directory.empty())
        return platform::normalizeSeparators(name);
    if (directory.back() != '/' && directory.back() != '\\')
        directory += '/';
    return platform::normalizeSeparators(directory + name);
}

} // namespace

std::string clientFilePath(const std::string& name) { return pathIn(fileManager().getClientDir(), name); }

std::string installFilePath(const std::string& name) { return pathIn(fileManager().getInstallDir(), name); }

std::string dataDirectoryNote()
{
    std::string directory = fileManager().getClientDir();
    if (!platform::isDirectory(directory)) {
        return "\nThe data directory " + directory
            + " does not exist. Start the client with -r DIR to name the folder that holds the game's data files.";
    }
    return "\nThe data directory searched was " + directory + ". Start the client with -r DIR to name another folder.";
}

void notePassedOverFiles(const std::vector<std::string>& names, const char* why)
{
    if (names.empty())
        return;
    std::string list;
    for (const std::string& name : names)
        list += (list.empty() ? "" : ", ") + name;
    std::fprintf(stderr, "vardun: going on without %s (%s)\n", list.c_str(), why);
    std::fflush(stderr);
}

bool readOptionalStartupFile(const std::string& name, std::vector<uint8_t>& bytes)
{
    FileManager& files = fileManager();
    if (files.readWhole(name, bytes) > 0)
        return true;
    FILE* stream = files.open(name, "rb");
    if (stream)
        files.close(stream);
    notePassedOverFiles({ name }, stream ? "empty" : "missing");
    return false;
}

#include "data/client_file_path.h"

#include "data/file_manager.h"
#include "platform/file_system.h"

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

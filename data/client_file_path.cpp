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

#include "app/client_file_path.h"

#include "app/file_manager.h"
#include "platform/file_system.h"

std::string clientFilePath(const std::string& name)
{
    std::string directory = fileManager().getClientDir();
    if (directory.empty())
        return platform::normalizeSeparators(name);
    if (directory.back() != '/' && directory.back() != '\\')
        directory += '/';
    return platform::normalizeSeparators(directory + name);
}

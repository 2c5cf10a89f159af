#pragma once
// Paths of files in the client directory. Main thread only.

#include <cstdint>
#include <string>
#include <vector>

// The client directory (FileManager::getClientDir) and `name`, with a
// separator between them unless the directory already ends in one; just the
// name when the client directory is empty. Backslashes become slashes.
std::string clientFilePath(const std::string& name);
// The same with the install directory (FileManager::getInstallDir).
std::string installFilePath(const std::string& name);

// For messages about game files that cannot be found: the data directory that
// was searched and how to name another ("-r DIR"), as one or two sentences
// starting on a line of their own.
std::string dataDirectoryNote();

// Start-up files the client can run without are passed over with one line on
// standard error that names them and says why (`why`: "missing", "empty").
void notePassedOverFiles(const std::vector<std::string>& names, const char* why);
// Reads such a file whole through the file manager; a missing or empty one is
// noted as passed over and gives no bytes (false).
bool readOptionalStartupFile(const std::string& name, std::vector<uint8_t>& bytes);

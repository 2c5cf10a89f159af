#include "data/managed_files.h"

#include "data/client_file_path.h"
#include "data/client_services.h"
#include "data/file_manager.h"
#include "platform/file_system.h"

#include <algorithm>
#include <cstdio>

bool nextTextLine(const std::string& bytes, size_t at, TextLineSpan& line)
{
    if (at >= bytes.size())
        return false;
    size_t end = at;
    while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r')
        ++end;
    line.begin = at;
    line.text = std::string_view(bytes).substr(at, std::min(end - at, kMaxTextLineLength));
    line.next = end;
    if (end < bytes.size()) {
        char first = bytes[end];
        line.next = end + 1;
        if (line.next < bytes.size() && (bytes[line.next] == '\n' || bytes[line.next] == '\r')
            && bytes[line.next] != first)
            ++line.next;
    }
    return true;
}

std::vector<std::string> splitTextLines(const std::string& bytes)
{
    std::vector<std::string> lines;
    TextLineSpan line;
    for (size_t at = 0; nextTextLine(bytes, at, line); at = line.next)
        lines.emplace_back(line.text);
    return lines;
}

bool readManagedFile(const std::string& name, std::string& bytes, size_t maximum)
{
    bytes.clear();
    FileManager& files = fileManager();
    FILE* stream = files.open(name, "rb");
    if (!stream)
        return false;
    char chunk[4096];
    size_t got;
    bool fits = true;
    while (fits && (got = std::fread(chunk, 1, sizeof chunk, stream)) > 0) {
        fits = got <= maximum - bytes.size();
        if (fits)
            bytes.append(chunk, got);
    }
    files.close(stream);
    if (fits)
        return true;
    bytes.clear();
    notePassedOverFiles({ name }, ("larger than " + std::to_string(maximum) + " bytes").c_str());
    return false;
}

std::optional<std::string> managedRealPath(const std::string& name, bool create)
{
    FileManager& files = fileManager();
    FILE* stream = files.open(name, "rb");
    if (!stream && create)
        stream = files.open(name, "ab");
    if (!stream)
        return std::nullopt;
    std::optional<std::string> path;
    for (const OpenFileEntry& entry : files.openFiles()) {
        if (entry.handle == stream)
            path = entry.path;
    }
    files.close(stream);
    return path;
}

bool writeManagedFile(const std::string& name, const std::string& bytes)
{
    std::optional<std::string> path = managedRealPath(name, true);
    return path && platform::replaceFileContents(*path, bytes);
}

void reportSaveFailure(const std::string& name)
{
    constexpr uint16_t kWarningHue = 33;
    constexpr uint16_t kNoticeFont = 3;
    const std::string text = "Could not save " + name + "; the file was left as it was.";
    std::fprintf(stderr, "%s\n", text.c_str());
    windowNotices().addSystemMessage(kWarningHue, kNoticeFont, text);
}

bool saveManagedFile(const std::string& name, const std::string& bytes)
{
    if (writeManagedFile(name, bytes))
        return true;
    reportSaveFailure(name);
    return false;
}

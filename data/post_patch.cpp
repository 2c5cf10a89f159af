#include "data/post_patch.h"

#include "core/error_report.h"
#include "platform/ascii_text.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/instance_marker.h"

#include <cstdio>
#include <optional>

namespace {

constexpr size_t kMaxWordLength = 255;
constexpr size_t kMaxVersionWordLength = 511;
constexpr uint32_t kTickMs = 1000;
constexpr uint32_t kEndCheckMs = 100;
constexpr int kEndChecks = 99;
constexpr uint32_t kStarterWaitMs = 5000;

// Reads words and numbers the way the list files were written: separated by
// any blanks, numbers with an optional sign.
class WordScanner {
public:
    explicit WordScanner(std::string_view text)
        : m_text(text)
    {
    }
    bool atEnd()
    {
        skipBlanks();
        return m_at >= m_text.size();
    }
    bool readWord(std::string& word, size_t maximum)
    {
        skipBlanks();
        size_t begin = m_at;
        while (m_at < m_text.size() && !platform::isAsciiSpace(m_text[m_at]))
            ++m_at;
        if (m_at == begin)
            return false;
        word.assign(m_text.substr(begin, std::min(m_at - begin, maximum)));
        return true;
    }
    bool readLong(long& value)
    {
        skipBlanks();
        size_t at = m_at;
        bool negative = false;
        if (at < m_text.size() && (m_text[at] == '-' || m_text[at] == '+'))
            negative = m_text[at++] == '-';
        size_t digits = at;
        long long number = 0;
        while (at < m_text.size() && m_text[at] >= '0' && m_text[at] <= '9') {
            if (number < (1LL << 40))
                number = number * 10 + (m_text[at] - '0');
            ++at;
        }
        if (at == digits)
            return false;
        m_at = at;
        value = long(negative ? -number : number);
        return true;
    }

private:
    void skipBlanks()
    {
        while (m_at < m_text.size() && platform::isAsciiSpace(m_text[m_at]))
            ++m_at;
    }
    std::string_view m_text;
    size_t m_at = 0;
};

std::optional<std::string> readFile(const std::string& path)
{
    FILE* stream = platform::openRegularFile(path, "rb");
    if (!stream)
        return std::nullopt;
    std::string bytes;
    char chunk[4096];
    size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, stream)) > 0)
        bytes.append(chunk, got);
    bool failed = std::ferror(stream) != 0;
    std::fclose(stream);
    if (failed)
        return std::nullopt;
    return bytes;
}

// A name from the command file, found in the working directory whatever
// its case and separators.
std::string localPath(const std::string& name)
{
    std::string path = platform::normalizeSeparators(name);
    return platform::resolvePath(path, true).value_or(path);
}

void moveAndReplaceFile(const std::string& target, const std::string& source)
{
    std::string targetPath = localPath(target);
    std::string sourcePath = localPath(source);
    // Only a target that exists is replaced. The rename replaces it in one
    // step, so a failed move keeps the old file instead of losing it.
    if (!platform::fileExists(targetPath) || platform::isDirectory(targetPath))
        return;
    std::rename(sourcePath.c_str(), targetPath.c_str());
}

void changePatchNumber(const std::string& name, long number)
{
    std::vector<VersionEntry> entries;
    if (!readVersionInfo(kVersionInfoFile, entries, kMaxVersionPairs))
        return;
    bool matched = false;
    for (VersionEntry& entry : entries) {
        if (entry.name == name) {
            entry.number = number;
            matched = true;
        }
    }
    if (matched)
        writeVersionInfo(kVersionInfoFile, entries);
}

std::optional<int32_t> findProcess(platform::ProcessTable& processes, const std::string& wanted, bool& listed)
{
    std::vector<platform::ProcessEntry> entries;
    listed = processes.list(entries);
    for (const platform::ProcessEntry& entry : entries) {
        std::string name = entry.executableName;
        size_t separator = name.find_last_of("\\/");
        if (separator != std::string::npos)
            name = name.substr(separator + 1);
        if (platform::equalIgnoringAsciiCase(name, wanted))
            return entry.id;
    }
    return std::nullopt;
}

// Checks every 100 ms, at most 99 times, whether the process has ended.
bool waitForEnd(platform::ProcessTable& processes, int32_t id)
{
    for (int check = 0; check < kEndChecks; ++check) {
        if (!processes.isRunning(id))
            return true;
        platform::clock().sleepMs(kEndCheckMs);
    }
    return !processes.isRunning(id);
}

} // namespace

std::string programFilePath(const std::string& programDirectory, std::string_view key)
{
    if (programDirectory.empty())
        return {};
    if (key == "ExePath")
        return programDirectory + "client.exe";
    if (key == "StartExePath")
        return programDirectory + "vo.exe";
    if (key == "PatchExePath")
        return programDirectory + "vopatch.exe";
    if (key == "InstCDPath")
        return programDirectory;
    return {};
}

bool postPatchPending()
{
    FILE* stream = platform::openRegularFile(kPostPatchFile, "rb");
    if (!stream)
        return false;
    std::fclose(stream);
    return true;
}

bool waitForLauncherExit(PostPatchEnvironment& environment)
{
    std::string launcher = programFilePath(environment.programDirectory, "StartExePath");
    if (launcher.empty())
        return false;
    std::string wanted = launcher.substr(launcher.find_last_of('/') + 1);
    platform::ProcessTable& processes = environment.processes;
    bool listed = false;
    std::optional<int32_t> id = findProcess(processes, wanted, listed);
    if (!listed)
        return false;
    if (id) {
        bool ended = false;
        for (int tick = 1; tick <= kLauncherWaitTicks && !ended; ++tick) {
            platform::clock().sleepMs(kTickMs);
            if (tick < kLauncherWaitTicks && !processes.isRunning(*id))
                ended = true;
        }
        if (!ended && processes.isRunning(*id)) {
            // Asked first, so that it may save its state; forced when it
            // does not listen.
            processes.requestEnd(*id);
            if (!waitForEnd(processes, *id)) {
                processes.forceEnd(*id);
                waitForEnd(processes, *id);
            }
        }
    }
    if (platform::InstanceMarker::probe("VoStarterApp"))
        platform::clock().sleepMs(kStarterWaitMs);
    return !findProcess(processes, wanted, listed) && listed;
}

void runPostPatchCommands(std::string_view text)
{
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find_first_of("\r\n", at);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(at, end - at);
        at = end + 1;
        WordScanner words(line);
        std::string command;
        if (!words.readWord(command, kMaxWordLength))
            continue;
        if (platform::equalIgnoringAsciiCase(command, "moveandreplacefile")) {
            std::string target;
            std::string source;
            if (words.readWord(target, kMaxWordLength) && words.readWord(source, kMaxWordLength))
                moveAndReplaceFile(target, source);
        } else if (platform::equalIgnoringAsciiCase(command, "changepatchnumber")) {
            std::string name;
            long number = 0;
            if (words.readWord(name, kMaxWordLength) && words.readLong(number))
                changePatchNumber(name, number);
        }
    }
}

bool runPostPatchStep(PostPatchEnvironment& environment)
{
    FILE* stream = platform::openRegularFile(kPostPatchFile, "rb");
    if (!stream)
        return false;
    // The command file is gone whatever follows, even when it cannot be
    // read: a patch runs once. The open stream still reads it.
    std::remove(kPostPatchFile);
    if (!waitForLauncherExit(environment))
        reportFatal("%s", "");
    // The size is checked before anything is read: a damaged or hostile file
    // may claim any length.
    std::string text;
    long size = std::fseek(stream, 0, SEEK_END) == 0 ? std::ftell(stream) : -1;
    if (size > 0 && size_t(size) <= kMaxPostPatchFileSize && std::fseek(stream, 0, SEEK_SET) == 0) {
        text.resize(size_t(size));
        if (std::fread(text.data(), 1, text.size(), stream) != text.size())
            text.clear();
    }
    std::fclose(stream);
    if (text.empty())
        return false;
    runPostPatchCommands(text);
    std::string launcher = programFilePath(environment.programDirectory, "StartExePath");
    if (!launcher.empty()) {
        std::string directory = launcher.substr(0, launcher.find_last_of('/') + 1);
        environment.startProgram(launcher, { launcher }, directory);
    }
    return true;
}

bool readVersionInfo(const std::string& path, std::vector<VersionEntry>& entries, size_t maximum)
{
    std::optional<std::string> text = readFile(path);
    if (!text)
        return false;
    entries.clear();
    WordScanner scanner(*text);
    while (entries.size() < maximum && !scanner.atEnd()) {
        VersionEntry entry;
        if (!scanner.readWord(entry.name, kMaxVersionWordLength))
            return true;
        if (entry.name == "0") {
            std::string skipped;
            long value = 0;
            if (!scanner.readWord(skipped, kMaxVersionWordLength) || !scanner.readWord(skipped, kMaxVersionWordLength))
                return false;
            for (int i = 0; i < 5; ++i) {
                if (!scanner.readLong(value))
                    return false;
            }
            if (!scanner.readWord(entry.name, kMaxVersionWordLength))
                return true;
        }
        if (!scanner.readLong(entry.number))
            return false;
        entries.push_back(std::move(entry));
    }
    return true;
}

bool writeVersionInfo(const std::string& path, const std::vector<VersionEntry>& entries)
{
    std::string text;
    char number[32];
    for (const VersionEntry& entry : entries) {
        std::snprintf(number, sizeof number, " %ld\n", entry.number);
        text += entry.name;
        text += number;
    }
    return platform::replaceFileContents(path, text);
}

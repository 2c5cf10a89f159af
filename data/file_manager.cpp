#include "data/file_manager.h"
#include "platform/ascii_text.h"

#include "core/error_report.h"
#include "platform/file_system.h"
#include "platform/key_store.h"

#include <cerrno>
#include <cstring>
#include <limits>
#include <utility>

const char* const kProductKeyPath = "SOFTWARE\\Halcyr Worlds Online\\Vardun Online\\1.0";

namespace {

FileManager* g_installedManager = nullptr;

// Directory and name composed by findFile may not be longer than this.
constexpr size_t kMaxComposedLength = 4091;
// The registry value and the "client/" appended to it share a buffer of this size.
constexpr size_t kInstallPathBufferSize = 1024;

constexpr const char* kClientFolder = "client/";
constexpr const char* kTutorialFolder = "tutorial/";

std::string withTrailingSeparator(const std::string& directory)
{
    std::string result = platform::normalizeSeparators(directory);
    if (!result.empty() && result.back() != '/')
        result += '/';
    return result;
}

// stdio here knows no text mode: "t" is dropped, everything else is kept.
std::string stdioMode(const char* mode)
{
    std::string result;
    for (const char* c = mode; *c; ++c) {
        if (*c != 't')
            result += *c;
    }
    return result;
}

// Whether opening with this mode may create the file.
bool modeCreates(const char* mode) { return std::strchr(mode, 'w') || std::strchr(mode, 'a'); }

int32_t sizeOnDisk(const std::string& path)
{
    int64_t size = platform::fileSize(path);
    if (size < 0 || size > std::numeric_limits<int32_t>::max())
        return 0;
    return int32_t(size);
}

// Opens a real path that names a regular file: never a directory (which
// stdio would open for reading), and never a named pipe or device in a
// file's place, which would block the open or never end.
FILE* openRealPath(const std::string& path, const char* mode)
{
    FILE* stream = platform::openRegularFile(path, stdioMode(mode).c_str());
    // A file may just have been created: the resolver's listings are stale.
    if (stream && modeCreates(mode))
        platform::forgetDirectoryCache();
    return stream;
}

// The fatal stop of the file manager carries no text.
[[noreturn]] void stopFatally() { reportFatal("%s", ""); }

} // namespace

void FileManager::setCommandLine(int argc, const char* const* argv)
{
    std::vector<std::string> arguments;
    for (int i = 1; i < argc && argv; ++i) {
        if (argv[i])
            arguments.emplace_back(argv[i]);
    }
    setCommandLine(std::move(arguments));
}

void FileManager::setCommandLine(std::vector<std::string> arguments) { m_arguments = std::move(arguments); }

void FileManager::init(int argc, const char* const* argv)
{
    setCommandLine(argc, argv);
    init();
}

void FileManager::init()
{
    if (m_initialising || m_initialised)
        return;
    m_initialising = true;
    m_searchPaths.clear();
    m_openFiles.clear();
    initSearchPaths();
    m_initialising = false;
    m_initialised = true;
}

void FileManager::ensureInitialised()
{
    if (!m_initialising && !m_initialised)
        init();
}

void FileManager::initSearchPaths()
{
    // "-r <directory>" names the client directory. Only an argument that is
    // exactly "-r" counts, so a path or a word that merely contains the two
    // characters never does; a "-r" with nothing after it is ignored.
    m_clientDir.clear();
    for (size_t i = 0; i < m_arguments.size(); ++i) {
        if (m_arguments[i] != "-r")
            continue;
        if (i + 1 < m_arguments.size() && !m_arguments[i + 1].empty())
            m_clientDir = withTrailingSeparator(m_arguments[i + 1]);
        break;
    }
    if (m_clientDir.empty()) {
        m_clientDir = getModuleDirAlloc();
        if (m_clientDir.empty())
            reportError("FileManager::getModuleDirAlloc(): error in GetModuleFileName(): %d\n", errno);
    }
    // The longest search path made from the client directory is its
    // tutorial folder; a directory too long for that is refused by name
    // here rather than as a search path the player never gave.
    const size_t longestClientDir = kMaxSearchPathLength - std::strlen(kTutorialFolder);
    if (m_clientDir.size() > longestClientDir) {
        reportFatal("The data directory path is too long: %zu characters with its closing '/', and at most %zu can "
                    "be used.\n%s\nStart the client with -r DIR to name a folder with a shorter path.\n",
            m_clientDir.size(), longestClientDir, m_clientDir.c_str());
    }
    addSearchPath(getClientDir());

    // The install directory: the registered installation path, or the
    // program's own folder, with "client/" under it. A registered path too
    // long to take "client/" as well is refused like a missing one.
    char buffer[kInstallPathBufferSize];
    std::string installBase;
    if (readProductRegistryValue("InstCDPath", buffer, sizeof buffer) && buffer[0] != '\0') {
        installBase = withTrailingSeparator(buffer);
        if (installBase.size() + std::strlen(kClientFolder) >= sizeof buffer)
            installBase.clear();
    }
    if (installBase.empty()) {
        getModuleDir(buffer, sizeof buffer);
        installBase = buffer;
    }
    m_installDir = installBase + kClientFolder;
    addSearchPath(getInstallDir());

    addSearchPath(m_clientDir + kTutorialFolder);
    addSearchPath(m_installDir + kTutorialFolder);
}

void FileManager::shutdown()
{
    if (!m_initialised)
        return;
    m_clientDir.clear();
    m_installDir.clear();
    m_searchPaths.clear();
    m_openFiles.clear();
    m_initialising = false;
    m_initialised = false;
}

const std::string& FileManager::getClientDir()
{
    ensureInitialised();
    if (m_clientDir.empty())
        stopFatally();
    return m_clientDir;
}

const std::string& FileManager::getInstallDir()
{
    ensureInitialised();
    if (m_installDir.empty())
        stopFatally();
    return m_installDir;
}

void FileManager::addSearchPath(const std::string& directory)
{
    ensureInitialised();
    if (directory.size() > kMaxSearchPathLength) {
        reportFatal("The folder %s cannot be searched for game files: its path is %zu characters long, and at most "
                    "%zu can be used.\n",
            directory.c_str(), directory.size(), kMaxSearchPathLength);
    }
    if (m_searchPaths.size() >= kMaxSearchPaths) {
        reportFatal("The folder %s cannot be searched for game files: at most %zu folders can be searched.\n",
            directory.c_str(), kMaxSearchPaths);
    }
    m_searchPaths.push_back({ withTrailingSeparator(directory) });
}

bool FileManager::addSearchPathOnce(const std::string& directory)
{
    ensureInitialised();
    std::string wanted = withTrailingSeparator(platform::normalizeSeparators(directory));
    for (const SearchPath& path : m_searchPaths) {
        if (path.directory == wanted)
            return false;
    }
    if (directory.empty() || directory.size() > kMaxSearchPathLength || m_searchPaths.size() >= kMaxSearchPaths)
        return false;
    m_searchPaths.push_back({ wanted });
    return true;
}

const SearchPath* FileManager::getSearchPath(size_t index)
{
    ensureInitialised();
    return index < m_searchPaths.size() ? &m_searchPaths[index] : nullptr;
}

size_t FileManager::searchPathCount()
{
    ensureInitialised();
    return m_searchPaths.size();
}

std::optional<std::string> FileManager::findFile(const char* directory, const char* name)
{
    ensureInitialised();
    if (!directory || !name || std::strlen(directory) + std::strlen(name) > kMaxComposedLength)
        stopFatally();
    return platform::resolvePath(std::string(directory) + name);
}

OpenFileEntry* FileManager::findEntryByName(const std::string& name)
{
    for (OpenFileEntry& entry : m_openFiles) {
        if (platform::equalIgnoringAsciiCase(entry.name, name))
            return &entry;
    }
    return nullptr;
}

OpenFileEntry* FileManager::findOpenEntryByStream(FILE* stream)
{
    if (!stream)
        return nullptr;
    for (OpenFileEntry& entry : m_openFiles) {
        if (entry.open && entry.handle == stream)
            return &entry;
    }
    return nullptr;
}

FILE* FileManager::reopenEntry(OpenFileEntry& entry, const char* mode)
{
    if (entry.open && entry.handle)
        close(entry.handle);
    // A recorded path that no longer opens in this mode (a read-only install
    // directory opened for writing, a file removed since) is the caller's
    // failure to handle, like a name found nowhere; it does not end the client.
    FILE* stream = openRealPath(entry.path, mode);
    if (!stream)
        return nullptr;
    entry.handle = stream;
    entry.size = sizeOnDisk(entry.path);
    entry.open = true;
    return stream;
}

FILE* FileManager::recordOpenFile(const std::string& name, const std::string& path, FILE* handle)
{
    if (name.size() > kMaxNameLength || path.size() > kMaxNameLength || m_openFiles.size() >= kMaxOpenFiles)
        stopFatally();
    OpenFileEntry entry;
    entry.name = name;
    entry.path = path;
    entry.handle = handle;
    entry.open = true;
    entry.size = sizeOnDisk(path);
    m_openFiles.push_back(std::move(entry));
    return handle;
}

FILE* FileManager::openAndRecord(const std::string& name, const std::string& path, const char* mode)
{
    std::optional<std::string> real = platform::resolvePath(path, modeCreates(mode));
    if (!real)
        return nullptr;
    FILE* stream = openRealPath(*real, mode);
    if (!stream)
        return nullptr;
    return recordOpenFile(name, *real, stream);
}

FILE* FileManager::open(const std::string& name, const char* mode)
{
    ensureInitialised();
    if (!mode)
        return nullptr;
    std::string key = platform::normalizeSeparators(name);
    if (OpenFileEntry* entry = findEntryByName(key))
        return reopenEntry(*entry, mode);
    for (const SearchPath& searchPath : m_searchPaths) {
        if (FILE* stream = openAndRecord(key, searchPath.directory + key, mode))
            return stream;
    }
    return nullptr;
}

FILE* FileManager::openPath(const std::string& path, const char* mode)
{
    ensureInitialised();
    if (!mode)
        return nullptr;
    std::string key = platform::normalizeSeparators(path);
    if (OpenFileEntry* entry = findEntryByName(key))
        return reopenEntry(*entry, mode);
    return openAndRecord(key, key, mode);
}

void FileManager::close(FILE* stream)
{
    ensureInitialised();
    OpenFileEntry* entry = findOpenEntryByStream(stream);
    if (!entry)
        return;
    std::fclose(entry->handle);
    entry->handle = nullptr;
    entry->open = false;
}

int FileManager::seek(FILE* stream, long offset, int whence)
{
    ensureInitialised();
    if (!findOpenEntryByStream(stream))
        stopFatally();
    return std::fseek(stream, offset, whence);
}

size_t FileManager::read(void* buffer, size_t size, size_t count, FILE* stream)
{
    ensureInitialised();
    if (!buffer || !stream)
        return 0;
    return std::fread(buffer, size, count, stream);
}

size_t FileManager::write(const void* buffer, size_t size, size_t count, FILE* stream)
{
    ensureInitialised();
    if (!buffer || !stream)
        return 0;
    return std::fwrite(buffer, size, count, stream);
}

int32_t FileManager::readWhole(const std::string& name, std::vector<uint8_t>& bytes)
{
    bytes.clear();
    FILE* stream = open(name, "rb");
    if (!stream)
        return 0;
    int32_t size = getFileSize(stream);
    if (size > 0) {
        bytes.resize(size_t(size));
        if (std::fread(bytes.data(), 1, size_t(size), stream) != size_t(size))
            stopFatally();
    } else {
        size = 0;
    }
    close(stream);
    return size;
}

int32_t FileManager::getFileSize(FILE* stream)
{
    ensureInitialised();
    const OpenFileEntry* entry = findOpenEntryByStream(stream);
    if (!entry)
        stopFatally();
    return entry->size;
}

std::string FileManager::getModuleDirAlloc()
{
    std::string path = platform::executablePath();
    size_t lastSeparator = path.rfind('/');
    if (lastSeparator == std::string::npos)
        return {};
    path.resize(lastSeparator + 1);
    return path;
}

char* FileManager::getModuleDir(char* buffer, size_t capacity)
{
    if (!buffer || capacity == 0)
        return nullptr;
    std::string directory = getModuleDirAlloc();
    if (directory.empty() || directory.size() + 1 > capacity) {
        buffer[0] = '\0';
        return nullptr;
    }
    std::memcpy(buffer, directory.c_str(), directory.size() + 1);
    return buffer;
}

FileManager& fileManager()
{
    static FileManager processWide;
    return g_installedManager ? *g_installedManager : processWide;
}

FileManager* installFileManager(FileManager* replacement) { return std::exchange(g_installedManager, replacement); }

char* readProductRegistryValue(const char* valueName, char* buffer, size_t capacity)
{
    if (!buffer || capacity == 0)
        return nullptr;
    buffer[0] = '\0';
    if (!valueName)
        return nullptr;
    std::string value;
    if (!platform::keyStore().readString(kProductKeyPath, valueName, value))
        return nullptr;
    // The value must fit with its terminator; a longer one is refused whole
    // rather than cut, since a cut path names some other directory.
    size_t length = std::strlen(value.c_str());
    if (length + 1 > capacity)
        return nullptr;
    std::memcpy(buffer, value.c_str(), length + 1);
    return buffer;
}

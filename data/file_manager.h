#pragma once
// The registry through which the client finds, opens, reads, writes, positions
// and closes its loose files. It keeps an ordered list of search directories
// and a table of every name it has opened with the real path where the name was
// found, so a name once found is always reopened at the same place, whatever
// the mode, and opening a name again closes the stream its earlier open gave.
//
// Names are given as the data files spell them (either separator, any case):
// "Desktop\common\vo.cfg" and "desktop/Common/VO.CFG" are one entry, and each
// is looked up case-insensitively inside every search directory. Directories
// are kept with "/" separators and a trailing "/". Streams are stdio FILE*.
//
// One process-wide instance (fileManager()); start-up hands it the command line
// and registers shutdown() as a clean-up. Every operation initialises the
// manager first when that has not happened. Main thread only.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

// One search directory, ending in "/".
struct SearchPath {
    std::string directory;
};

// One name the manager has opened. Entries are appended and never removed.
struct OpenFileEntry {
    std::string name; // as the caller gave it, with "/" separators
    std::string path; // the real path that was opened
    FILE* handle = nullptr; // the stream of the last open, or null
    bool open = false; // set while that stream is open
    int32_t size = 0; // taken from the file system at each open; 0 when unknown
};

class FileManager {
public:
    static constexpr size_t kMaxSearchPaths = 9;
    static constexpr size_t kMaxOpenFiles = 999;
    static constexpr size_t kMaxSearchPathLength = 511;
    static constexpr size_t kMaxNameLength = 1023;

    FileManager() = default;
    ~FileManager() = default;
    FileManager(const FileManager&) = delete;
    FileManager& operator=(const FileManager&) = delete;

    // Keeps a copy of the command line for init(). Only "-r <directory>", as two
    // arguments of their own, is read from it: the directory becomes the client
    // directory and the first search path. argv[0], the program, is skipped;
    // the vector form takes the arguments after it.
    void setCommandLine(int argc, const char* const* argv);
    void setCommandLine(std::vector<std::string> arguments);

    // Builds the client and install directories and the first four search
    // paths, once: the client directory, the install directory (the registry's
    // "InstCDPath", else the module directory, with "client/" appended), then
    // each of the two with "tutorial/" appended.
    void init();
    void init(int argc, const char* const* argv);
    bool isInitialised() const { return m_initialised; }
    // Forgets the directories, search paths and open-file table so that init()
    // runs again. Streams still open are not closed.
    void shutdown();

    // Fatal when unset.
    const std::string& getClientDir();
    const std::string& getInstallDir();

    // Appends a search directory (a "/" is added when it has no trailing
    // separator). A directory of more than 511 characters, or a tenth search
    // path, is fatal.
    void addSearchPath(const std::string& directory);
    // The same for a directory named by a settings file, which may be read
    // several times in a run: a directory already searched is not added
    // again, and one that does not fit is refused (false) rather than fatal.
    bool addSearchPathOnce(const std::string& directory);
    // Null for an index outside 0..count-1.
    const SearchPath* getSearchPath(size_t index);
    size_t searchPathCount();

    // directory + name (no separator inserted), resolved case-insensitively;
    // the real path when that file exists. A null directory, or a directory and
    // name longer than 4091 characters together, is fatal.
    std::optional<std::string> findFile(const char* directory, const char* name);

    // Opens a file by name: a recorded name is reopened at its recorded path
    // (closing the stream of the earlier open); any other name is tried in each
    // search path in order and recorded where it first opens. Null when no
    // search path gives the file, or when the reopen fails. Modes are stdio's;
    // "t" is accepted and means nothing here (no line-end translation).
    FILE* open(const std::string& name, const char* mode);
    // Like open, but a name not yet recorded is opened as a path as given
    // (relative to the working directory, or absolute) and recorded with it.
    FILE* openPath(const std::string& path, const char* mode);
    // Closes a stream the manager opened; a null or foreign stream is left alone.
    void close(FILE* stream);
    // fseek's result. Fatal when the manager holds no such stream.
    int seek(FILE* stream, long offset, int whence);
    size_t read(void* buffer, size_t size, size_t count, FILE* stream);
    size_t write(const void* buffer, size_t size, size_t count, FILE* stream);
    // Reads a whole file opened by name with "rb" into `bytes` (resized to the
    // file's size) and closes it. Returns the bytes read: 0 for a missing or
    // empty file, which leaves `bytes` empty. A short read is fatal.
    int32_t readWhole(const std::string& name, std::vector<uint8_t>& bytes);
    // The size recorded at the last open of the stream's entry. Fatal when the
    // manager holds no such stream.
    int32_t getFileSize(FILE* stream);

    // The directory of the running program, ending in "/"; empty when unknown.
    static std::string getModuleDirAlloc();
    // The same copied into `buffer` when it fits (length + 1 <= capacity);
    // otherwise the buffer is made empty and null is returned.
    static char* getModuleDir(char* buffer, size_t capacity);

    // The open-file table as it stands (read by tests and diagnostics).
    const std::vector<OpenFileEntry>& openFiles() const { return m_openFiles; }

private:
    void ensureInitialised();
    void initSearchPaths();
    OpenFileEntry* findEntryByName(const std::string& name);
    OpenFileEntry* findOpenEntryByStream(FILE* stream);
    FILE* reopenEntry(OpenFileEntry& entry, const char* mode);
    FILE* recordOpenFile(const std::string& name, const std::string& path, FILE* handle);
    // Resolves `path`, opens it and records it under `name`; null when it
    // does not open.
    FILE* openAndRecord(const std::string& name, const std::string& path, const char* mode);

    std::vector<std::string> m_arguments;
    std::string m_clientDir;
    std::string m_installDir;
    std::vector<SearchPath> m_searchPaths;
    std::vector<OpenFileEntry> m_openFiles;
    bool m_initialising = false;
    bool m_initialised = false;
};

// The process-wide manager, unless one was installed.
FileManager& fileManager();
// Installs `replacement` (null restores the process-wide one); returns the
// previously installed one.
FileManager* installFileManager(FileManager* replacement);

class ScopedFileManager {
public:
    explicit ScopedFileManager(FileManager& manager)
        : m_previous(installFileManager(&manager))
    {
    }
    ~ScopedFileManager() { installFileManager(m_previous); }
    ScopedFileManager(const ScopedFileManager&) = delete;
    ScopedFileManager& operator=(const ScopedFileManager&) = delete;

private:
    FileManager* m_previous;
};

// The product key's registry path ("SOFTWARE\Halcyr Worlds Online\Vardun Online\1.0").
extern const char* const kProductKeyPath;

// Reads a string value of the product key into `buffer`. Returns `buffer`, or
// null (with the buffer emptied) when the key or value is missing or the value
// and its terminator do not fit in `capacity` bytes.
char* readProductRegistryValue(const char* valueName, char* buffer, size_t capacity);

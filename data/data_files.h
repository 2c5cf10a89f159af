#pragma once
// The 49 indexed game data files. Each row of the table is one file whose row
// number is the file number used everywhere; at start-up every file is probed
// in the client directory and mapped read-only as a whole, and records are
// then handed out as pointers into the mappings: directly for fixed-size
// records, through an index file of 12-byte entries for the others. Pointers
// stay valid until the next record write or closeDataFiles. Main thread only.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace platform {
class FileMapping;
}

constexpr int kDataFileCount = 49;
// Record size of the rows reached through an index.
constexpr int32_t kVariableRecordSize = -1;
constexpr int32_t kIndexEntrySize = 12;
// Entries of the art index below this are land tiles, from it on statics.
constexpr int32_t kFirstStaticArt = 0x4000;

// The rows a few callers name.
enum DataFileNumber : int {
    kMap0File = 0,
    kArtIndexFile = 3,
    kArtFile = 4,
    kAnimIndexFile = 5,
    kAnimFile = 6,
    kSoundIndexFile = 7,
    kSoundFile = 8,
};

struct DataFileRow {
    int32_t recordSize;
    const char* name;
    bool required;
};

// The fixed table; null for a number outside 0..48.
const DataFileRow* dataFileRow(int file);

// One index entry, as read from an index file.
struct IdxEntry {
    int32_t offset; // negative: no record
    int32_t length;
    uint32_t extra;
};

// A whole file mapped read-only. The path is kept across unmap so that the
// file can be mapped again after a write.
class MappedFile {
public:
    explicit MappedFile(std::string path);
    ~MappedFile();
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    // The base of the mapping, or null: the path is empty, the file cannot be
    // opened (a box "File Error" when `showErrors`) or it is empty (an empty
    // file cannot be mapped; the same box with the mapping text).
    const uint8_t* map(bool showErrors);
    // Why the last map gave null, as its box says it; empty after a mapping.
    const std::string& mapError() const { return m_mapError; }
    void unmap();
    void close();

    const uint8_t* base() const;
    size_t size() const;
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
    std::string m_mapError;
    std::unique_ptr<platform::FileMapping> m_mapping;
};

// What the world does when the server replaces an art record: land tiles
// showing the texture are redrawn, statics and items showing the graphic are
// placed again.
class ArtRecordListener {
public:
    virtual ~ArtRecordListener() = default;
    virtual void landArtChanged(uint16_t id) = 0;
    virtual void staticArtChanged(uint16_t graphic) = 0;
};

class DataFiles {
public:
    DataFiles();
    ~DataFiles();
    DataFiles(const DataFiles&) = delete;
    DataFiles& operator=(const DataFiles&) = delete;

    // Forgets every mapping and composes the cache file's path. Refuses to
    // go on beside another running copy of the client: the process ends at
    // once with exit code 1.
    void reset();
    // Probes every row (a missing required file is fatal), then maps every
    // present one. Runs once; later calls do nothing.
    void load();
    // Unmaps everything and deletes the cache file.
    void close();

    bool isPresent(int file) const;
    const uint8_t* base(int file) const;
    size_t mappedSize(int file) const;

    // Record n of a fixed-size row; null when the row is absent or unmapped or
    // the record does not lie wholly inside the file.
    const uint8_t* getFixedRecord(int file, int32_t n) const;

    // Selects animation set 1..4 for the next lookup of the main animation
    // files (row 5 with 6); the redirect is taken once.
    void setAnimationFileSet(uint8_t set);
    uint8_t animationFileSet() const { return m_animationSet; }

    // The record that entry n of `indexFile` points to in `dataFile`, with its
    // length and extra value; null when either row is absent, the entry lies
    // outside the index, the record is marked absent (length 0, extra still
    // given) or the record does not lie wholly inside the mapped data file
    // (then counted as absent too).
    const uint8_t* lookupIndexedRecord(int indexFile, int dataFile, int32_t n, int32_t& length, uint32_t& extra);

    // Replaces entry n's record: in place when the new one fits where the old
    // one was, else appended to the data file; a length of 0 or less marks
    // the entry absent. Both files are mapped again afterwards, so every
    // pointer into them is invalid. False when either file cannot be opened
    // for update or n is negative.
    bool writeIndexedRecord(
        int indexFile, int dataFile, int32_t n, uint32_t extra, const uint8_t* data, int32_t length);

    // Stores (deleteFlag != -1) or deletes one art record sent by the server.
    // `image` holds `imageBytes` received bytes; a record that claims more
    // bytes than were received is refused. False when nothing was written.
    bool writeArtRecord(const uint8_t* image, size_t imageBytes, int32_t id, int32_t deleteFlag, uint32_t extra);
    void setArtRecordListener(ArtRecordListener* listener) { m_artListener = listener; }

    const std::string& cacheFilePath() const { return m_cacheFilePath; }

private:
    bool rowUsable(int file) const;
    void remap(int file);

    std::unique_ptr<MappedFile> m_files[kDataFileCount];
    bool m_present[kDataFileCount] = {};
    uint8_t m_animationSet = 0;
    bool m_loaded = false;
    std::string m_cacheFilePath;
    ArtRecordListener* m_artListener = nullptr;
};

// The process-wide table, unless one was installed.
DataFiles& dataFiles();
// Installs `replacement` (null restores the process-wide one); returns the
// previously installed one.
DataFiles* installDataFiles(DataFiles* replacement);

// The process-wide table's operations, under the names the callers use.
// resetDataFiles registers closeDataFiles for the orderly exit.
void resetDataFiles();
void loadDataFiles();
void closeDataFiles();
const uint8_t* getFixedRecord(int file, int32_t n);
void setAnimationFileSet(uint8_t set);
// Whether both files of additional animation set 1..4 were found.
bool isAnimationSetPresent(int set);
const uint8_t* lookupIndexedRecord(int indexFile, int dataFile, int32_t n, int32_t& length, uint32_t& extra);
bool writeIndexedRecord(int indexFile, int dataFile, int32_t n, uint32_t extra, const uint8_t* data, int32_t length);

// Reads index entry n out of a mapped index file; false when the entry does
// not lie wholly inside the `size` bytes at `index`.
bool readIdxEntry(const uint8_t* index, size_t size, int32_t n, IdxEntry& entry);

// The animation-info table: per body number 0..999, two values used by
// walking. A missing "animinfo.mul" gives (4, 2) everywhere; damaged entries
// (a zero in either byte, or past the end of a short file) get (4, 2) and one
// warning box.
struct AnimInfo {
    int8_t first;
    int8_t second;
};
constexpr int kAnimInfoCount = 1000;
void loadAnimInfo();
AnimInfo animInfo(int body);

#include "data/data_files.h"

#include "core/byte_cursor.h"
#include "core/byte_writer.h"
#include "core/error_report.h"
#include "core/exit_started.h"
#include "core/message_boxes.h"
#include "data/client_file_path.h"
#include "data/file_manager.h"
#include "platform/file_mapping.h"
#include "platform/file_system.h"
#include "platform/message_box.h"
#include "platform/process_exit.h"

#include <cerrno>
#include <climits>
#include <cstdio>

namespace {

constexpr uint8_t kAnimationSetCount = 4;
// Per animation set 1..4: the index and data rows that replace rows 5 and 6.
constexpr int kAnimationSetRows[kAnimationSetCount][2] = { { 35, 36 }, { 37, 38 }, { 42, 43 }, { 47, 48 } };
constexpr size_t kLandArtBytes = 2048;

// The real file behind a row's name in the client directory, or the name as
// composed when no spelling of it exists.
std::string rowPath(int file)
{
    std::string composed = clientFilePath(dataFileRow(file)->name);
    return platform::resolvePath(composed).value_or(composed);
}

bool writeEntry(FILE* index, const IdxEntry& entry)
{
    ByteWriter bytes;
    bytes.u32(uint32_t(entry.offset));
    bytes.u32(uint32_t(entry.length));
    bytes.u32(entry.extra);
    return std::fwrite(bytes.bytes().data(), 1, bytes.size(), index) == bytes.size();
}

std::string fileErrorText(const char* format, const std::string& path, int code)
{
    char text[1200];
    std::snprintf(text, sizeof text, format, path.c_str(), code);
    return text;
}

DataFiles*& installedDataFiles()
{
    static DataFiles* installed = nullptr;
    return installed;
}

AnimInfo g_animInfo[kAnimInfoCount];
bool g_animInfoFilled = false;

constexpr AnimInfo kDefaultAnimInfo { 4, 2 };

} // namespace

bool readIdxEntry(const uint8_t* index, size_t size, int32_t n, IdxEntry& entry)
{
    if (!index || n < 0)
        return false;
    ByteCursor cursor({ index, size });
    cursor.seek(size_t(n) * kIndexEntrySize);
    IdxEntry read;
    read.offset = cursor.readI32();
    read.length = cursor.readI32();
    read.extra = cursor.readU32();
    if (cursor.failed())
        return false;
    entry = read;
    return true;
}

// MappedFile ------------------------------------------------------------------

MappedFile::MappedFile(std::string path)
    : m_path(std::move(path))
{
}

MappedFile::~MappedFile() = default;

const uint8_t* MappedFile::map(bool showErrors)
{
    m_mapError.clear();
    if (m_path.empty())
        return nullptr;
    m_mapping = platform::FileMapping::open(m_path);
    if (m_mapping)
        return m_mapping->data();
    int code = errno;
    if (code == ENOMEM)
        reportOutOfMemory();
    int64_t size = platform::fileSize(m_path);
    // An empty file opens but cannot be mapped.
    if (size == 0)
        m_mapError = fileErrorText("Failed to create mapping for file %s: Error %d.", m_path, EINVAL);
    else if (size > 0)
        m_mapError = fileErrorText("Failed to create mapping for file %s: Error %d.", m_path, code);
    else if (code == EISDIR)
        m_mapError = fileErrorText("Failed to open file %s: it is a directory, not a file (Error %d).", m_path, code);
    else
        m_mapError = fileErrorText("Failed to open file %s: Error %d.", m_path, code);
    if (showErrors)
        showMessageBox(m_mapError.c_str(), "File Error", AfterBox::Return);
    return nullptr;
}

void MappedFile::unmap() { m_mapping.reset(); }

void MappedFile::close()
{
    unmap();
    m_path.clear();
}

const uint8_t* MappedFile::base() const { return m_mapping ? m_mapping->data() : nullptr; }

size_t MappedFile::size() const { return m_mapping ? m_mapping->size() : 0; }

// DataFiles -------------------------------------------------------------------

DataFiles::DataFiles() = default;

DataFiles::~DataFiles() = default;

void DataFiles::reset()
{
    for (int file = 0; file < kDataFileCount; ++file) {
        m_files[file].reset();
        m_present[file] = false;
    }
    m_cacheFilePath = clientFilePath("cache0.vo");
    // Another copy of the client is still starting or running without its
    // window: two copies must not share the data files and the cache file.
    // Like the other refusals of a second copy this ends the process at once
    // with exit code 1, without the clean-ups.
    if (reporterInstanceCount() != 0)
        platform::immediateExit(1);
}

void DataFiles::load()
{
    if (m_loaded)
        return;
    m_loaded = true;
    std::string paths[kDataFileCount];
    for (int file = 0; file < kDataFileCount; ++file) {
        const DataFileRow* row = dataFileRow(file);
        paths[file] = rowPath(file);
        // Only a regular file counts, and the probe never waits: a named pipe
        // in a data file's place would block it for ever.
        if (FILE* probe = platform::openRegularFile(paths[file], "rb")) {
            m_present[file] = true;
            std::fclose(probe);
        } else if (row->required && errno == EISDIR) {
            reportFatal("Failed to open '%s': %s is a directory, not a file.\n%s", row->name, paths[file].c_str(),
                dataDirectoryNote().c_str());
        } else if (row->required) {
            reportFatal("Failed to open '%s' from HD using a maximum install. Either this file is not readable, your "
                        "system needs to be rebooted, or the file does not exist and you either need to reinstall or "
                        "switch to a non-maximum install.\n%s",
                row->name, dataDirectoryNote().c_str());
        }
    }
    // The game cannot run without a required file that it cannot map (an
    // empty one cannot be): start-up ends with the mapping's message. An
    // optional file is passed over, with a line saying so.
    std::vector<std::string> missing;
    std::vector<std::string> unmapped;
    for (int file = 0; file < kDataFileCount; ++file) {
        const DataFileRow* row = dataFileRow(file);
        m_files[file] = std::make_unique<MappedFile>(paths[file]);
        if (!m_present[file])
            missing.push_back(row->name);
        else if (!m_files[file]->map(false) && row->required)
            reportFatal("%s\n%s", m_files[file]->mapError().c_str(), dataDirectoryNote().c_str());
        else if (!m_files[file]->base())
            unmapped.push_back(row->name);
    }
    notePassedOverFiles(missing, "missing");
    notePassedOverFiles(unmapped, "empty or unreadable");
}

void DataFiles::close()
{
    for (auto& mapped : m_files) {
        if (mapped)
            mapped->close();
        mapped.reset();
    }
    if (!m_cacheFilePath.empty())
        std::remove(m_cacheFilePath.c_str());
    m_cacheFilePath.clear();
}

bool DataFiles::isPresent(int file) const { return file >= 0 && file < kDataFileCount && m_present[file]; }

const uint8_t* DataFiles::base(int file) const
{
    return isPresent(file) && m_files[file] ? m_files[file]->base() : nullptr;
}

size_t DataFiles::mappedSize(int file) const { return base(file) ? m_files[file]->size() : 0; }

bool DataFiles::rowUsable(int file) const { return base(file) != nullptr; }

const uint8_t* DataFiles::getFixedRecord(int file, int32_t n) const
{
    if (!rowUsable(file) || n < 0)
        return nullptr;
    int32_t recordSize = dataFileRow(file)->recordSize;
    if (recordSize <= 0)
        return nullptr;
    // 64 bits: n x size of a large n overflows 32.
    uint64_t end = (uint64_t(n) + 1) * uint64_t(recordSize);
    if (end > mappedSize(file))
        return nullptr;
    return base(file) + (end - uint64_t(recordSize));
}

void DataFiles::setAnimationFileSet(uint8_t set) { m_animationSet = set; }

const uint8_t* DataFiles::lookupIndexedRecord(int indexFile, int dataFile, int32_t n, int32_t& length, uint32_t& extra)
{
    if (!isPresent(indexFile) || !isPresent(dataFile))
        return nullptr;
    if (indexFile == kAnimIndexFile && m_animationSet >= 1 && m_animationSet <= kAnimationSetCount) {
        const int* rows = kAnimationSetRows[m_animationSet - 1];
        if (isPresent(rows[0]) && isPresent(rows[1])) {
            indexFile = rows[0];
            dataFile = rows[1];
            m_animationSet = 0;
        }
    }
    if (isExitStarted()) {
        length = 0;
        return nullptr;
    }
    IdxEntry entry;
    if (!readIdxEntry(base(indexFile), mappedSize(indexFile), n, entry))
        return nullptr;
    length = entry.length;
    extra = entry.extra;
    // An absent record, a data file that could not be mapped (an empty one)
    // and a damaged entry reaching past the data all count as no record.
    const uint8_t* data = base(dataFile);
    if (entry.offset < 0 || entry.length < 0 || !data
        || uint64_t(entry.offset) + uint64_t(entry.length) > mappedSize(dataFile)) {
        length = 0;
        return nullptr;
    }
    return data + entry.offset;
}

void DataFiles::remap(int file)
{
    if (m_files[file])
        m_files[file]->map(true);
}

bool DataFiles::writeIndexedRecord(
    int indexFile, int dataFile, int32_t n, uint32_t extra, const uint8_t* data, int32_t length)
{
    if (!dataFileRow(indexFile) || !dataFileRow(dataFile) || !m_files[indexFile] || !m_files[dataFile] || n < 0
        || dataFileRow(indexFile)->recordSize != kIndexEntrySize || (length > 0 && !data))
        return false;

    m_files[indexFile]->unmap();
    FILE* index = platform::openRegularFile(m_files[indexFile]->path(), "r+b");
    if (!index) {
        remap(indexFile);
        return false;
    }
    m_files[dataFile]->unmap();
    FILE* dataStream = platform::openRegularFile(m_files[dataFile]->path(), "r+b");
    if (!dataStream) {
        remap(dataFile);
        std::fclose(index);
        remap(indexFile);
        return false;
    }

    bool ok = true;
    long entryPosition = long(n) * kIndexEntrySize;
    std::fseek(index, 0, SEEK_END);
    long indexEnd = std::ftell(index);
    IdxEntry old { -1, 0, 0 };
    // No index grows by more than this in one write: a wild entry number must
    // not fill the disk with absent entries.
    constexpr long kMaxGrowth = 0x10000;
    if (indexEnd < 0 || (entryPosition > indexEnd && (entryPosition - indexEnd) / kIndexEntrySize > kMaxGrowth))
        ok = false;
    else if (indexEnd >= entryPosition + kIndexEntrySize) {
        uint8_t bytes[kIndexEntrySize];
        ok = std::fseek(index, entryPosition, SEEK_SET) == 0
            && std::fread(bytes, 1, sizeof bytes, index) == sizeof bytes && readIdxEntry(bytes, sizeof bytes, 0, old);
    } else {
        // An entry past the end of the index: the entries in between are
        // written as absent ones rather than left as a hole of zeros, which
        // would read as records at offset 0.
        std::fseek(index, indexEnd - indexEnd % kIndexEntrySize, SEEK_SET);
        for (long at = indexEnd / kIndexEntrySize; ok && at < n; ++at)
            ok = writeEntry(index, { -1, 0, 0 });
    }
    if (old.length < 0)
        old.length = 0;

    std::fseek(dataStream, 0, SEEK_END);
    long dataEnd = std::ftell(dataStream);
    // The old place is reused only when it lies wholly inside the data file.
    // A negative old offset has no place at all, and a damaged entry reaching
    // past the end would grow the file by a hole: such records go to the end
    // like a longer one.
    bool oldPlaceUsable = old.offset >= 0 && dataEnd >= 0 && int64_t(old.offset) + old.length <= dataEnd;
    IdxEntry entry { -1, 0, extra };
    bool append = length > 0 && (old.length < length || !oldPlaceUsable);
    if (ok && append) {
        ok = dataEnd >= 0 && dataEnd <= long(INT32_MAX) - length;
        entry = { int32_t(dataEnd), length, extra };
        ok = ok && std::fwrite(data, 1, size_t(length), dataStream) == size_t(length);
    } else if (ok && length > 0) {
        entry = { old.offset, length, extra };
        ok = std::fseek(dataStream, old.offset, SEEK_SET) == 0
            && std::fwrite(data, 1, size_t(length), dataStream) == size_t(length);
    }
    // The entry is written last, so that it never points at data that is not
    // there yet.
    ok = ok && std::fseek(index, entryPosition, SEEK_SET) == 0 && writeEntry(index, entry);

    ok = std::fclose(index) == 0 && ok;
    remap(indexFile);
    ok = std::fclose(dataStream) == 0 && ok;
    remap(dataFile);
    return ok;
}

bool DataFiles::writeArtRecord(const uint8_t* image, size_t imageBytes, int32_t id, int32_t deleteFlag, uint32_t extra)
{
    if (id < 0 || id > 0xFFFF)
        return false;
    bool written;
    if (deleteFlag == -1) {
        written = writeIndexedRecord(kArtIndexFile, kArtFile, id, extra, nullptr, 0);
    } else if (id < kFirstStaticArt) {
        if (!image || imageBytes < kLandArtBytes)
            return false;
        written = writeIndexedRecord(kArtIndexFile, kArtFile, id, extra, image, int32_t(kLandArtBytes));
    } else {
        // A static image states its own length; it must not claim more bytes
        // than the server actually sent.
        if (!image)
            return false;
        ByteCursor header({ image, imageBytes });
        uint64_t claimed = header.readU32();
        header.skip(2);
        claimed += 2 * uint64_t(header.readU16()) + 8;
        if (header.failed() || claimed > imageBytes || claimed > uint64_t(INT32_MAX))
            return false;
        written = writeIndexedRecord(kArtIndexFile, kArtFile, id, extra, image, int32_t(claimed));
    }
    if (written && m_artListener) {
        if (id < kFirstStaticArt)
            m_artListener->landArtChanged(uint16_t(id));
        else
            m_artListener->staticArtChanged(uint16_t(id - kFirstStaticArt));
    }
    return written;
}

// Process-wide table -----------------------------------------------------------

DataFiles& dataFiles()
{
    if (DataFiles* installed = installedDataFiles())
        return *installed;
    static DataFiles processTable;
    return processTable;
}

DataFiles* installDataFiles(DataFiles* replacement)
{
    DataFiles* previous = installedDataFiles();
    installedDataFiles() = replacement;
    return previous;
}

void resetDataFiles()
{
    // The mappings are closed and the cache file deleted at every orderly
    // exit from here on.
    static bool closeRegistered = false;
    if (!closeRegistered) {
        closeRegistered = true;
        platform::atExit(closeDataFiles);
    }
    dataFiles().reset();
}

void loadDataFiles() { dataFiles().load(); }

void closeDataFiles() { dataFiles().close(); }

const uint8_t* getFixedRecord(int file, int32_t n) { return dataFiles().getFixedRecord(file, n); }

void setAnimationFileSet(uint8_t set) { dataFiles().setAnimationFileSet(set); }

bool isAnimationSetPresent(int set)
{
    if (set < 1 || set > kAnimationSetCount)
        return false;
    const int* rows = kAnimationSetRows[set - 1];
    return dataFiles().isPresent(rows[0]) && dataFiles().isPresent(rows[1]);
}

const uint8_t* lookupIndexedRecord(int indexFile, int dataFile, int32_t n, int32_t& length, uint32_t& extra)
{
    return dataFiles().lookupIndexedRecord(indexFile, dataFile, n, length, extra);
}

bool writeIndexedRecord(int indexFile, int dataFile, int32_t n, uint32_t extra, const uint8_t* data, int32_t length)
{
    return dataFiles().writeIndexedRecord(indexFile, dataFile, n, extra, data, length);
}

// Animation info ----------------------------------------------------------------

void loadAnimInfo()
{
    g_animInfoFilled = true;
    for (AnimInfo& entry : g_animInfo)
        entry = kDefaultAnimInfo;
    FILE* file = fileManager().open("animinfo.mul", "rb");
    if (!file)
        return;
    uint8_t bytes[kAnimInfoCount * 2] = {};
    size_t got = fileManager().read(bytes, 1, sizeof bytes, file);
    fileManager().close(file);
    bool damaged = false;
    for (int body = 0; body < kAnimInfoCount; ++body) {
        size_t at = size_t(body) * 2;
        if (at + 2 > got || bytes[at] == 0 || bytes[at + 1] == 0) {
            damaged = true;
            continue;
        }
        g_animInfo[body] = { int8_t(bytes[at]), int8_t(bytes[at + 1]) };
    }
    if (damaged)
        platform::showMessageBox("File Error",
            "Your \"animinfo.mul\" file is corrupted!\nYou will need to recopy it from the original CD.\n\nDefaulting "
            "settings temporarily...",
            platform::MessageBoxIcon::Warning);
}

AnimInfo animInfo(int body)
{
    if (!g_animInfoFilled || body < 0 || body >= kAnimInfoCount)
        return kDefaultAnimInfo;
    return g_animInfo[body];
}

#pragma once
// Language string files: small IFF files, one per table and language (for
// example "intro.enu"), holding a counted list of texts and, optionally,
// per-text colours, fonts, positions, time ranges and look-up keys. Files are
// loaded on first request and kept in a process-wide cache until shutdown.
// Damaged files are read as far as they are sound: every count and record is
// bounded by its chunk, so a file never yields more than it holds. Main
// thread only.

#include "core/wide_string.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class StringFile {
public:
    static constexpr int32_t kMaxKeysPerRecord = 1000;

    struct KeyRecord {
        int32_t textIndex = 0;
        std::vector<int32_t> keys;
    };

    // Finds the file under its names (given code, then unless exact the
    // current and the default code, each plain and under "language\") and
    // reads it. False when no file was found.
    bool load(const std::string& name, const std::string& language, bool exact);
    // Reads an image already in memory; true once the image is there, however
    // damaged (the damage goes to diagnostics()).
    bool loadImage(const std::string& name, const uint8_t* data, size_t size);

    const std::string& name() const { return m_name; }
    const std::string& language() const { return m_language; }
    const std::string& tableName() const { return m_tableName; }
    int32_t characterSize() const { return m_characterSize; }
    int32_t count() const { return int32_t(m_texts.size()); }

    // The text at index (or, with key lists, the text whose record lists
    // index as a key); null when there is none.
    const WString* getString(int32_t index) const;
    // The first text whose time range holds t; index -1 and null when none.
    const WString* findByTime(int32_t t, int32_t& index) const;

    // Per-text arrays; empty when the file has no such chunk.
    const std::vector<int32_t>& colours() const { return m_colours; }
    const std::vector<int32_t>& fonts() const { return m_fonts; }
    const std::vector<int32_t>& positionsX() const { return m_x; }
    const std::vector<int32_t>& positionsY() const { return m_y; }
    const std::vector<int32_t>& timeStarts() const { return m_timeStart; }
    const std::vector<int32_t>& timeEnds() const { return m_timeEnd; }
    const std::vector<KeyRecord>& keyRecords() const { return m_keys; }

    // The lines of the reader's silent diagnostic step, for inspection.
    const std::vector<std::string>& diagnostics() const { return m_diagnostics; }

private:
    std::string m_name;
    std::string m_language;
    std::string m_tableName;
    int32_t m_characterSize = 0;
    std::vector<WString> m_texts; // null where the file gave none
    std::vector<int32_t> m_colours;
    std::vector<int32_t> m_fonts;
    std::vector<int32_t> m_x;
    std::vector<int32_t> m_y;
    std::vector<int32_t> m_timeStart;
    std::vector<int32_t> m_timeEnd;
    std::vector<KeyRecord> m_keys;
    bool m_hasKeys = false;
    std::vector<std::string> m_diagnostics;

    friend class StringFileParser;
};

// The cached file for (name, language, tableName), loaded on first use. With
// reload the cached copy is read again; with reportMissing a missing file is
// fatal. Callers pass the same text as name and tableName and the current
// language code as language.
StringFile* findStringFile(const std::string& name, const std::string& language, const std::string& tableName,
    bool reload, bool reportMissing, bool exact);
// The cache look-up alone; unless exact it also tries the current and the
// default language.
StringFile* findLoadedStringFile(const std::string& name, const std::string& language,
    const std::string& tableName, bool exact);
void freeStringFiles();

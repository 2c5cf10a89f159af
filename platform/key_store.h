#pragma once
// Stand-in for the system registry: a small text file of sections (key paths
// such as "SOFTWARE\\Halcyr Worlds Online") holding DWORD and string values,
// stored as "<config dir>/vardun/registry.ini". Every write is flushed to disk
// at once, because some values must survive a crash. A key exists only when
// its section exists: reading never creates one. Main thread only.

#include <cstdint>
#include <string>

namespace platform {

// The file the process-wide store uses ($XDG_CONFIG_HOME/vardun/registry.ini,
// or ~/.config/vardun/registry.ini). VARDUN_CONFIG_DIR overrides the folder.
std::string defaultKeyStorePath();

class KeyStore {
public:
    explicit KeyStore(std::string filePath);

    bool keyExists(const std::string& keyPath) const;
    bool createKey(const std::string& keyPath);

    bool readDword(const std::string& keyPath, const std::string& valueName, uint32_t& value) const;
    // A string value; false when the key or the value is missing.
    bool readString(const std::string& keyPath, const std::string& valueName, std::string& value) const;

    // Writes fail when the key does not exist.
    bool writeDword(const std::string& keyPath, const std::string& valueName, uint32_t value);
    bool writeString(const std::string& keyPath, const std::string& valueName, const std::string& value);

    const std::string& filePath() const { return m_filePath; }

private:
    std::string m_filePath;
};

// The process-wide store on defaultKeyStorePath(), unless one was installed.
KeyStore& keyStore();
// Installs `replacement` (null goes back to the default store) and returns the
// store installed before it.
KeyStore* installKeyStore(KeyStore* replacement);

} // namespace platform

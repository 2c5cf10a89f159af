#pragma once
// A client directory for tests that read data files through the file
// manager: a fresh TempDir as the "-r" directory, a private key store, and a
// file manager installed for the life of the object.

#include "app/file_manager.h"
#include "platform/key_store.h"
#include "support/temp_dir.h"

#include <string>

namespace test {

class TextDataDir {
public:
    TextDataDir()
        : m_keyStore(m_root.file("registry.ini"))
        , m_previousStore(platform::installKeyStore(&m_keyStore))
        , m_guard(m_manager)
    {
        m_root.write("run/.keep", "");
        std::string client = m_root.path() + "/run";
        const char* argv[] = { "vardun", "-r", client.c_str() };
        m_manager.init(3, argv);
    }
    ~TextDataDir() { platform::installKeyStore(m_previousStore); }

    // Writes a data file into the client directory.
    void write(const std::string& name, const std::string& bytes) { m_root.write("run/" + name, bytes); }

private:
    TempDir m_root;
    platform::KeyStore m_keyStore;
    platform::KeyStore* m_previousStore;
    FileManager m_manager;
    ScopedFileManager m_guard;
};

} // namespace test

#pragma once
// What the fuzz programs that read files share: a client directory in a fresh
// folder under the temporary directory (removed at exit), a file manager
// started with "-r <folder>", the configuration and marker folders moved
// inside it, and message boxes swallowed. One per process, made on first use.

#include "data/file_manager.h"
#include "platform/file_system.h"
#include "platform/message_box.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

namespace fuzz {

// The whole file; empty when it cannot be read.
inline std::string readFile(const std::string& path)
{
    std::string bytes;
    if (FILE* file = std::fopen(path.c_str(), "rb")) {
        char chunk[4096];
        size_t got;
        while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
            bytes.append(chunk, got);
        std::fclose(file);
    }
    return bytes;
}

class SilentBoxes final : public platform::MessageBoxSink {
public:
    void show(const std::string&, const std::string&, platform::MessageBoxIcon) override { }
};

class ClientDirectory {
public:
    static ClientDirectory& get()
    {
        static ClientDirectory directory;
        return directory;
    }

    const std::string& path() const { return m_client; }

    // Writes `size` bytes as the file `name` of the client directory.
    void write(const std::string& name, const uint8_t* data, size_t size) const
    {
        if (FILE* file = std::fopen((m_client + "/" + name).c_str(), "wb")) {
            if (size)
                std::fwrite(data, 1, size, file);
            std::fclose(file);
        }
        platform::forgetDirectoryCache();
    }
    void write(const std::string& name, const std::string& bytes) const
    {
        write(name, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }

private:
    ClientDirectory()
    {
        std::random_device random;
        m_root = (std::filesystem::temp_directory_path() / ("vardun-fuzz-" + std::to_string(random()))).string();
        m_client = m_root + "/client";
        std::error_code ignored;
        std::filesystem::create_directories(m_client, ignored);
        setenv("VARDUN_CONFIG_DIR", (m_root + "/config").c_str(), 1);
        setenv("VARDUN_RUNTIME_DIR", (m_root + "/runtime").c_str(), 1);
        m_manager.setCommandLine(std::vector<std::string> { "-r", m_client });
        installFileManager(&m_manager);
        platform::installMessageBoxSink(&m_boxes);
    }

    ~ClientDirectory()
    {
        installFileManager(nullptr);
        platform::installMessageBoxSink(nullptr);
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }

    std::string m_root;
    std::string m_client;
    FileManager m_manager;
    SilentBoxes m_boxes;
};

} // namespace fuzz

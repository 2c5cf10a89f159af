#pragma once
// A fresh directory under the system's temporary folder, removed with
// everything in it when the object goes away.

#include <string>

namespace test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }
    // path() + "/" + name
    std::string file(const std::string& name) const;
    // Writes `bytes` to path()/name (creating sub-directories), returns the full path.
    std::string write(const std::string& name, const std::string& bytes) const;
    // Reads a whole file; empty when it is missing.
    static std::string read(const std::string& fullPath);

private:
    std::string m_path;
};

} // namespace test

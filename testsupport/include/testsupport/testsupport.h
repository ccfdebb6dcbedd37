// Helpers shared by the test executables of both builds.
#pragma once
#include <string>

namespace testsupport {

// A fresh, empty folder that is removed with everything in it on destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return m_path; }
    // path() joined with a relative name, using the platform's separator.
    std::string file(const std::string& name) const;
private:
    std::string m_path;
};

// A path in the source tree (relative to its root), as this process must spell it
// (under Wine the source tree is reached through drive Z:).
std::string SourcePath(const std::string& relative);

// Whole file as bytes; empty when it cannot be read.
std::string ReadFile(const std::string& path);
// Writes bytes, replacing the file; false on failure.
bool WriteFile(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);

} // namespace testsupport

#include "testsupport/testsupport.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

namespace fs = std::filesystem;

namespace testsupport {

namespace {
std::string Native(fs::path p) { return p.make_preferred().string(); }
}

TempDir::TempDir() {
    static std::atomic<unsigned> counter{0};
    std::random_device rd;
    fs::path base = fs::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate = base / ("vxtest-" + std::to_string(rd()) + "-" + std::to_string(counter++));
        std::error_code ec;
        if (fs::create_directory(candidate, ec)) {
            m_path = Native(candidate);
            return;
        }
    }
    std::abort();
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(m_path, ec);
}

std::string TempDir::file(const std::string& name) const {
    return Native(fs::path(m_path) / fs::path(name));
}

std::string SourcePath(const std::string& relative) {
    const char* root = std::getenv("VX_SOURCE_ROOT");
    std::string base = root ? root : ".";
#ifdef _WIN32
    // The tree is a Unix path; Wine shows the Unix root as drive Z:.
    if (!base.empty() && base[0] == '/') base = "Z:" + base;
#endif
    return Native(fs::path(base) / fs::path(relative));
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

bool FileExists(const std::string& path) {
    std::error_code ec;
    return fs::exists(path, ec);
}

} // namespace testsupport

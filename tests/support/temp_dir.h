#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace vantrel::testing {

// count bytes following a pattern that repeats only every 64,256 bytes, so that a misplaced,
// dropped or repeated chunk shows; seed gives another pattern.
inline std::string PatternBytes(std::size_t count, unsigned seed = 0) {
    std::string bytes(count, '\0');
    for (std::size_t i = 0; i < count; ++i) {
        bytes[i] = static_cast<char>((i * 7 + i / 251 + seed * 13) & 0xFF);
    }
    return bytes;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// A fresh directory removed with everything in it when the test ends.
class TempDir {
  public:
    TempDir() {
        static int made = 0;  // numbered per process; names left from earlier runs are skipped
        const std::string base =
            (std::filesystem::temp_directory_path() / "vantrel-test-").string() +
            std::to_string(::getpid()) + "-";
        do {
            path_ = base + std::to_string(made++);
        } while (!std::filesystem::create_directory(path_));
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

    // Writes a file with the given bytes and returns its path.
    std::string write(const std::string& name, const std::string& bytes) const {
        WriteFile(file(name), bytes);
        return file(name);
    }

  private:
    std::filesystem::path path_;
};

}  // namespace vantrel::testing

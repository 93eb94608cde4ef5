#pragma once

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <system_error>

namespace vantrel::testing {

// A fresh directory under the temporary directory, removed with everything in it at the end.
class ScratchDirectory {
  public:
    ScratchDirectory() {
        std::random_device random;
        auto base = std::filesystem::temp_directory_path();
        do {
            path_ = base / ("vantrel-test-" + std::to_string(random()));
        } while (!std::filesystem::create_directory(path_));
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string string() const { return path_.string(); }

    // Writes bytes exactly as given to a file in this directory; returns its path.
    std::string write(const std::string& name, const std::string& bytes) const {
        auto file = path_ / name;
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << bytes;
        return file.string();
    }

  private:
    std::filesystem::path path_;
};

}  // namespace vantrel::testing

#pragma once

#include <cstddef>
#include <cstdio>
#include <stdexcept>
#include <string>

namespace vantrel {

// Reads one file sequentially as bytes, with plain I/O (no decompression, no translation);
// closes it when destroyed.
class RawFileReader {
  public:
    // Throws FileReadError when the file cannot be opened.
    explicit RawFileReader(const std::string& path);
    ~RawFileReader();
    RawFileReader(const RawFileReader&) = delete;
    RawFileReader& operator=(const RawFileReader&) = delete;

    // Fills buffer with up to size bytes; fewer only at the end of the file. Throws FileReadError.
    std::size_t read(char* buffer, std::size_t size);

  private:
    std::string path_;
    std::FILE* file_ = nullptr;
};

class FileReadError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

}  // namespace vantrel

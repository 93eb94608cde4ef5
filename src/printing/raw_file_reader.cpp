#include "printing/raw_file_reader.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "platform/plain_file.h"

namespace vantrel {

namespace {

std::string ErrnoText(int error) {
    return std::strerror(error);
}

}  // namespace

RawFileReader::RawFileReader(const std::string& path) : path_(path) {
    // Only regular files (or links to them): a pipe or a device would block or never end.
    if (!IsPlainFile(path)) {
        throw FileReadError("it does not exist or is not a plain file");
    }
    errno = 0;
    file_ = std::fopen(path.c_str(), "rb");
    if (!file_) throw FileReadError(ErrnoText(errno ? errno : ENOENT));
}

RawFileReader::~RawFileReader() {
    if (file_) std::fclose(file_);
}

std::size_t RawFileReader::read(char* buffer, std::size_t size) {
    std::size_t total = 0;
    while (total < size) {
        errno = 0;
        std::size_t got = std::fread(buffer + total, 1, size - total, file_);
        total += got;
        if (got == 0) {
            if (std::ferror(file_)) throw FileReadError(ErrnoText(errno ? errno : EIO));
            break;  // end of file
        }
    }
    return total;
}

}  // namespace vantrel

#include "platform/plain_file.h"

#include <filesystem>
#include <system_error>

#include "platform/path_text.h"

namespace vantrel {

bool IsPlainFile(const std::string& path) {
    std::error_code error;
    auto status = std::filesystem::status(PathOf(path), error);
    return !error && status.type() == std::filesystem::file_type::regular;
}

}  // namespace vantrel

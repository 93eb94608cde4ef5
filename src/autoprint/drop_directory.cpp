#include "autoprint/drop_directory.h"

#include <filesystem>
#include <system_error>

#include "platform/system_places.h"

namespace vantrel {

namespace fs = std::filesystem;

std::string ChooseDropDirectory(const std::string& appPath, const std::string& userDataDir) {
    const bool portable = !IsSystemProgramDirectory(appPath);
    if (portable || userDataDir.empty()) {
        return (fs::path(appPath) / "RawSpool").string();
    }
    return (fs::path(userDataDir) / "RawSpool").string();
}

std::optional<std::string> EnsureDropDirectory(const std::string& dropDirectory) {
    std::error_code error;
    if (fs::is_directory(fs::path(dropDirectory), error)) return std::nullopt;
    fs::create_directories(fs::path(dropDirectory), error);
    if (error) return error.message();
    if (!fs::is_directory(fs::path(dropDirectory), error)) {
        return "a file of that name is in the way";
    }
    return std::nullopt;
}

}  // namespace vantrel

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

std::optional<std::string> EnsureDropDirectory(FileSystem& files,
                                               const std::string& dropDirectory) {
    const std::error_code error = files.makeDirectories(dropDirectory);
    if (error == std::errc::not_a_directory) return "a file of that name is in the way";
    if (error) return error.message();
    return std::nullopt;
}

}  // namespace vantrel

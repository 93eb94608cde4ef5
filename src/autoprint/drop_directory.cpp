#include "autoprint/drop_directory.h"

#include <system_error>

#include "platform/path_text.h"
#include "platform/system_places.h"

namespace vantrel {

std::string ChooseDropDirectory(const std::string& appPath, const std::string& userDataDir) {
    const bool portable = !IsSystemProgramDirectory(appPath);
    if (portable || userDataDir.empty()) {
        return JoinPath(appPath, "RawSpool");
    }
    return JoinPath(userDataDir, "RawSpool");
}

std::optional<std::string> EnsureDropDirectory(FileSystem& files,
                                               const std::string& dropDirectory) {
    const std::error_code error = files.makeDirectories(dropDirectory);
    if (error == std::errc::not_a_directory) return "a file of that name is in the way";
    if (error) return error.message();
    return std::nullopt;
}

}  // namespace vantrel

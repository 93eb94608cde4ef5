#include "platform/system_places.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace vantrel {

std::string HomeDirectory() {
    if (const char* profile = std::getenv("USERPROFILE"); profile && *profile) return profile;
    return "c:\\";
}

void EnsureHomeEnvironment() {}  // the registry store does not read HOME

std::string DefaultStartDirectory() {
    return "c:\\";
}

std::string DefaultCopyDirectory() {
    return "c:\\temp\\";
}

std::string UserDataDirectory() {
    return {};  // a Windows installation keeps the drop directory beside the program
}

std::string UserStateDirectory() {
    const char* local = std::getenv("LOCALAPPDATA");
    if (!local || !*local) return {};
    return (std::filesystem::path(local) / "Vantrel").string();
}

bool IsSystemProgramDirectory(const std::string& path) {
    std::error_code error;
    return !std::filesystem::is_directory(std::filesystem::path(path), error);
}

bool FileNamesIgnoreCase() {
    return true;
}

std::string MissingDisplayReason() {
    return {};  // a Windows session always has its desktop
}

}  // namespace vantrel

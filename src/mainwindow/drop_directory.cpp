#include "mainwindow/drop_directory.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace vantrel {

namespace fs = std::filesystem;

namespace {

// A program installed by the system's package manager: its directory is no place for user data,
// even for root, who may write there.
bool IsSystemProgramDirectory(const std::string& path) {
#ifdef _WIN32
    (void)path;
    return false;
#else
    for (const char* prefix : {"/usr/", "/bin", "/sbin"}) {
        if (path.starts_with(prefix)) return true;
    }
    return false;
#endif
}

bool IsWritableDirectory(const std::string& path) {
#ifdef _WIN32
    std::error_code error;
    return fs::is_directory(fs::path(path), error);
#else
    return ::access(path.c_str(), W_OK | X_OK) == 0;
#endif
}

}  // namespace

std::string ChooseDropDirectory(const std::string& appPath, const std::string& userDataDir) {
    const bool portable = IsWritableDirectory(appPath) && !IsSystemProgramDirectory(appPath);
    if (portable || userDataDir.empty()) {
        return (fs::path(appPath) / "RawSpool").string();
    }
    return (fs::path(userDataDir) / "RawSpool").string();
}

std::string UserDataDirectory() {
#ifdef _WIN32
    return {};  // a Windows installation keeps the drop directory beside the program
#else
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg == '/') {
        return (fs::path(xdg) / "Vantrel").string();
    }
    if (const char* home = std::getenv("HOME"); home && *home) {
        return (fs::path(home) / ".local" / "share" / "Vantrel").string();
    }
    return {};
#endif
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

#include "platform/system_places.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/path_separator.h"
#include "text/runtime_text.h"

namespace vantrel {

namespace fs = std::filesystem;

namespace {

std::string PasswordDatabaseHome() {
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr && *found->pw_dir != '\0') {
        return found->pw_dir;
    }
    return "/";
}

// $XDG_<kind>_HOME/Vantrel when it is an absolute path, else ~/<fallback>/Vantrel.
std::string XdgDirectory(const char* variable, const char* fallback) {
    if (const char* xdg = std::getenv(variable); xdg && *xdg == '/') {
        return (fs::path(xdg) / "Vantrel").string();
    }
    return (fs::path(HomeDirectory()) / fallback / "Vantrel").string();
}

}  // namespace

std::string HomeDirectory() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
    return PasswordDatabaseHome();
}

void EnsureHomeEnvironment() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return;
    ::setenv("HOME", PasswordDatabaseHome().c_str(), 1);
}

std::string DefaultStartDirectory() {
    return WithTrailingSeparator(HomeDirectory());
}

std::string DefaultCopyDirectory() {
    std::error_code error;
    auto temp = fs::temp_directory_path(error);
    if (error || temp.empty()) return "/tmp/";
    return WithTrailingSeparator(temp.string());
}

std::string UserDataDirectory() {
    return XdgDirectory("XDG_DATA_HOME", ".local/share");
}

std::string UserStateDirectory() {
    return XdgDirectory("XDG_STATE_HOME", ".local/state");
}

bool IsSystemProgramDirectory(const std::string& path) {
    // Even root, who may write there, keeps no user data among the packaged programs.
    for (const char* prefix : {"/usr/", "/bin", "/sbin"}) {
        if (path.starts_with(prefix)) return true;
    }
    return ::access(path.c_str(), W_OK | X_OK) != 0;
}

bool FileNamesIgnoreCase() {
    return false;
}

std::string MissingDisplayReason() {
    auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    // A platform named for Qt (offscreen, vnc, eglfs...) needs no display of the desktop's.
    if (set("DISPLAY") || set("WAYLAND_DISPLAY") || set("QT_QPA_PLATFORM")) return {};
    return "there is no display to show the window on (neither DISPLAY nor WAYLAND_DISPLAY is "
           "set)";
}

}  // namespace vantrel

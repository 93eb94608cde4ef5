#include <filesystem>
#include <system_error>

#include "platform/runtime_text.h"
#include "settings/setting_names.h"

#ifndef _WIN32
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>
#endif

namespace vantrel::settings_detail {

#ifdef _WIN32

std::string DefaultStartDir() {
    return "c:\\";
}

std::string DefaultCopyDir() {
    return "c:\\temp\\";
}

#else

namespace {

std::string HomeDirectory() {
    if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
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

}  // namespace

std::string DefaultStartDir() {
    return WithTrailingSeparator(HomeDirectory());
}

std::string DefaultCopyDir() {
    std::error_code error;
    auto temp = std::filesystem::temp_directory_path(error);
    if (error || temp.empty()) return "/tmp/";
    return WithTrailingSeparator(temp.string());
}

#endif

}  // namespace vantrel::settings_detail

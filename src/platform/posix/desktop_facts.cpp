#include "platform/desktop_facts.h"

#include <mntent.h>
#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "platform/system_places.h"

namespace vantrel {

namespace {

bool IsRemovableMount(const std::string& root) {
    for (const char* place : {"/media/", "/mnt/", "/run/media/"}) {
        if (root.starts_with(place)) return true;
    }
    return false;
}

std::vector<std::string> RemovableMounts() {
    std::vector<std::string> mounts;
    FILE* table = ::setmntent("/proc/self/mounts", "r");
    if (!table) return mounts;
    while (const mntent* entry = ::getmntent(table)) {
        if (IsRemovableMount(entry->mnt_dir)) mounts.emplace_back(entry->mnt_dir);
    }
    ::endmntent(table);
    std::sort(mounts.begin(), mounts.end(), [](const std::string& a, const std::string& b) {
        return ::strcasecmp(a.c_str(), b.c_str()) < 0;
    });
    return mounts;
}

}  // namespace

std::vector<std::string> DriveRoots() {
    std::vector<std::string> roots{"/"};
    std::string home = HomeDirectory();
    while (home.size() > 1 && home.back() == '/') home.pop_back();
    std::error_code error;
    if (home != "/" && std::filesystem::is_directory(home, error)) roots.push_back(home);
    for (const std::string& mount : RemovableMounts()) {
        if (std::find(roots.begin(), roots.end(), mount) == roots.end()) roots.push_back(mount);
    }
    return roots;
}

std::vector<std::string> DesktopSysInfoPrograms() {
    return {"kinfocenter", "gnome-system-monitor", "hardinfo2", "hardinfo"};
}

}  // namespace vantrel

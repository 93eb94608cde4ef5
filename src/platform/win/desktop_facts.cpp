#include "platform/desktop_facts.h"

#include <windows.h>

namespace vantrel {

std::vector<std::string> DriveRoots() {
    std::vector<std::string> roots;
    const DWORD drives = ::GetLogicalDrives();
    for (int letter = 0; letter < 26; ++letter) {
        if (drives & (DWORD{1} << letter)) {
            roots.push_back(std::string(1, char('A' + letter)) + ":\\");
        }
    }
    return roots;
}

std::vector<std::string> DesktopSysInfoPrograms() {
    return {};
}

}  // namespace vantrel

#pragma once

#include <string>
#include <vector>

namespace vantrel {

// What the forms need to know of the desktop system, one definition per system.

// The drives the directory picker offers: the drive letters on Windows ("C:\"); elsewhere the
// root "/", the user's home directory and the removable volumes mounted under /media, /mnt and
// /run/media, which stand for drives on a system without drive letters.
std::vector<std::string> DriveRoots();

// The desktop environments' own system-information programs, in the order they are looked for
// on the search path when the registry names no System Information program. None on Windows,
// where the registry answers for it.
std::vector<std::string> DesktopSysInfoPrograms();

}  // namespace vantrel

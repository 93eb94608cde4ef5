// One FindFirstFile pass; the attributes come with each entry, so nothing is asked per file.
#include "platform/directory_listing.h"

#include <windows.h>

namespace vantrel {

std::vector<DirectoryEntry> ListDirectory(const std::string& path) {
    std::string pattern = path;
    if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/') pattern += '\\';
    pattern += '*';
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileExA(pattern.c_str(), FindExInfoBasic, &found,
                                     FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) return {};  // an empty drive root
        throw std::system_error(static_cast<int>(error), std::system_category(), path);
    }
    std::vector<DirectoryEntry> entries;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        const DWORD attributes = found.dwFileAttributes;
        const auto kind = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? DirectoryEntry::Kind::Directory
                          : (attributes & FILE_ATTRIBUTE_DEVICE)  ? DirectoryEntry::Kind::Other
                                                                  : DirectoryEntry::Kind::File;
        entries.push_back({name, kind, (attributes & FILE_ATTRIBUTE_HIDDEN) != 0});
    } while (FindNextFileA(search, &found));
    const DWORD error = GetLastError();
    FindClose(search);
    if (error != ERROR_NO_MORE_FILES) {
        throw std::system_error(static_cast<int>(error), std::system_category(), path);
    }
    return entries;
}

}  // namespace vantrel

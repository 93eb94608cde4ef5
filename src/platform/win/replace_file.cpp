#include "platform/replace_file.h"

#include <windows.h>

#include <filesystem>

namespace vantrel {

namespace {

std::error_code LastError() {
    return {static_cast<int>(GetLastError()), std::system_category()};
}

}  // namespace

// The user's profile folders are the user's own; missing folders inherit their protection.
std::error_code MakePrivateFolders(const std::string& dir) {
    std::error_code error;
    if (!dir.empty()) std::filesystem::create_directories(dir, error);
    return error;
}

std::error_code ReplaceFileAtomically(const std::string& path, const std::string& bytes) {
    if (auto error = MakePrivateFolders(std::filesystem::path(path).parent_path().string()))
        return error;
    const std::string temporary = path + "." + std::to_string(GetCurrentProcessId()) + ".new";
    HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return LastError();
    std::error_code error;
    DWORD wrote = 0;
    if (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr) ||
        wrote != bytes.size() || !FlushFileBuffers(file)) {
        error = LastError();
    }
    CloseHandle(file);
    if (!error && !MoveFileExA(temporary.c_str(), path.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = LastError();
    }
    if (error) DeleteFileA(temporary.c_str());
    return error;
}

}  // namespace vantrel

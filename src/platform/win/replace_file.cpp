#include "platform/replace_file.h"

#include <windows.h>

#include <filesystem>

#include "platform/path_text.h"

namespace vantrel {

namespace {

std::error_code LastError() {
    return {static_cast<int>(GetLastError()), std::system_category()};
}

}  // namespace

// The user's profile folders are the user's own; missing folders inherit their protection.
std::error_code MakePrivateFolders(const std::string& dir) {
    std::error_code error;
    if (!dir.empty()) std::filesystem::create_directories(PathOf(dir), error);
    return error;
}

std::error_code AppendToPrivateFile(const std::string& path, const std::string& text,
                                    bool durable) {
    HANDLE file = CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) return LastError();
    std::error_code error;
    BY_HANDLE_FILE_INFORMATION info{};
    DWORD wrote = 0;
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY))) {
        error = std::make_error_code(std::errc::not_supported);
    } else if (!WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &wrote, nullptr) ||
               wrote != text.size() || (durable && !FlushFileBuffers(file))) {
        error = LastError();
    }
    CloseHandle(file);
    return error;
}

std::optional<std::string> ReadPrivateFile(const std::string& path, std::string& why) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return std::string();
        why = std::system_category().message(static_cast<int>(error));
        return std::nullopt;
    }
    std::optional<std::string> text;
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY))) {
        why = "it is not a plain file";
    } else {
        text.emplace();
        char buffer[65536];
        DWORD got = 0;
        while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) {
            text->append(buffer, got);
        }
    }
    CloseHandle(file);
    return text;
}

// The user's profile folders carry the user's own protection; their ACLs are not examined.
std::optional<std::string> WhyNotPrivateFolder(const std::string&) {
    return std::nullopt;
}

std::error_code ReplaceFileAtomically(const std::string& path, const std::string& bytes) {
    if (auto error = MakePrivateFolders(ParentOf(path))) return error;
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

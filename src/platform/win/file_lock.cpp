// Locks with LockFileEx on a handle of their own: released when it is closed, or when the
// process ends in any way.
#include "platform/file_lock.h"

#include <windows.h>

#include <system_error>

namespace vantrel {

namespace {

class WinLock : public FileLock {
  public:
    explicit WinLock(HANDLE handle) : handle_(handle) {}
    ~WinLock() override { CloseHandle(handle_); }
    WinLock(const WinLock&) = delete;
    WinLock& operator=(const WinLock&) = delete;

  private:
    HANDLE handle_;
};

std::unique_ptr<FileLock> Lock(const std::string& path, DWORD flags) {
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), path);
    }
    OVERLAPPED whole{};
    if (LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | flags, 0, MAXDWORD, MAXDWORD, &whole)) {
        return std::make_unique<WinLock>(handle);
    }
    const DWORD error = GetLastError();
    CloseHandle(handle);
    if (error == ERROR_LOCK_VIOLATION) return nullptr;
    throw std::system_error(static_cast<int>(error), std::system_category(), path);
}

}  // namespace

std::unique_ptr<FileLock> TryLockFile(const std::string& path) {
    return Lock(path, LOCKFILE_FAIL_IMMEDIATELY);
}

std::unique_ptr<FileLock> LockFile(const std::string& path) {
    return Lock(path, 0);
}

// The lock is on a byte far past the holder's words, so that others may read them: Windows'
// locks keep out reads as well.
FolderWatch TryWatchFolder(const std::string& folder, const std::string& lockName,
                           const std::string& me) {
    FolderWatch watch;
    const std::string path = folder + (folder.ends_with('\\') ? "" : "\\") + lockName;
    HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_ALWAYS, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        watch.error = {static_cast<int>(GetLastError()), std::system_category()};
        return watch;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(handle, &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY))) {
        CloseHandle(handle);
        watch.error = std::make_error_code(std::errc::not_supported);
        return watch;
    }
    OVERLAPPED beyond{};
    beyond.OffsetHigh = 1;
    if (LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &beyond)) {
        const std::string text = me + "\r\n";
        DWORD wrote = 0;
        SetFilePointer(handle, 0, nullptr, FILE_BEGIN);
        if (WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &wrote, nullptr)) {
            SetEndOfFile(handle);
        }
        watch.lock = std::make_unique<WinLock>(handle);
        return watch;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING) {
        char said[256];
        DWORD got = 0;
        SetFilePointer(handle, 0, nullptr, FILE_BEGIN);
        if (ReadFile(handle, said, sizeof said, &got, nullptr)) watch.holder.assign(said, got);
        if (auto end = watch.holder.find_first_of("\r\n"); end != std::string::npos)
            watch.holder.resize(end);
        if (watch.holder.empty()) watch.holder = "another AutoPrint";
    } else if (error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION) {
        watch.locksUnsupported = true;
    } else {
        watch.error = {static_cast<int>(error), std::system_category()};
    }
    CloseHandle(handle);
    return watch;
}

std::string ThisProcessName() {
    char host[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD hostSize = sizeof host;
    GetComputerNameA(host, &hostSize);
    char user[257] = {};
    DWORD userSize = sizeof user;
    GetUserNameA(user, &userSize);
    return std::string("host ") + host + ", process " + std::to_string(GetCurrentProcessId()) +
           " of user " + user;
}

}  // namespace vantrel

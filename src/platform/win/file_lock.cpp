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

std::optional<std::string> FolderKey(const std::string& folder) {
    HANDLE handle =
        CreateFileA(folder.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
    BY_HANDLE_FILE_INFORMATION info{};
    const bool known = GetFileInformationByHandle(handle, &info) &&
                       (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    CloseHandle(handle);
    if (!known) return std::nullopt;
    const auto index =
        (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return std::to_string(info.dwVolumeSerialNumber) + "-" + std::to_string(index);
}

}  // namespace vantrel

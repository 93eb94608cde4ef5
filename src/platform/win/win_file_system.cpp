// The file operations on Windows: the identity of a file is its volume serial number and file
// index, read from the very handle that is printed.
#include <windows.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/file_system.h"
#include "platform/path_text.h"
#include "platform/win/win_error.h"

namespace vantrel {

namespace {

FileIdentity IdentityOf(const BY_HANDLE_FILE_INFORMATION& info) {
    return {info.dwVolumeSerialNumber,
            (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow,
            (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow,
            static_cast<std::int64_t>(
                (static_cast<std::uint64_t>(info.ftLastWriteTime.dwHighDateTime) << 32) |
                info.ftLastWriteTime.dwLowDateTime) *
                100};
}

class Handle {
  public:
    explicit Handle(HANDLE handle, bool owned = true) : handle_(handle), owned_(owned) {}
    ~Handle() {
        if (valid() && owned_) CloseHandle(handle_);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }

  private:
    HANDLE handle_;
    bool owned_;
};

// Opens path for reading, or only for its attributes; directories open too, so they can be told.
// Others may still write, rename or delete the file meanwhile, as on POSIX: a producer that
// renames a new file into place must not fail because its old one is being printed, and the
// identity check keeps the new one from being deleted.
HANDLE OpenPath(const std::string& path, DWORD access) {
    return CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS,
                       nullptr);
}

// The entry at path itself: a link or junction is opened as itself, never followed.
HANDLE OpenEntry(const std::string& path, DWORD access) {
    return CreateFileA(
        path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING,
        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
}

// The identity of the plain file open in handle; nothing for a link, a directory or a failure.
std::optional<FileIdentity> PlainEntryIdentity(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle, &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))) {
        return std::nullopt;
    }
    return IdentityOf(info);
}

// The volume and file index of the directory at path, links followed; nothing for anything else.
std::optional<std::pair<DWORD, std::uint64_t>> DirectoryIdentity(const std::string& path) {
    Handle handle(OpenPath(path, 0));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!handle.valid() || !GetFileInformationByHandle(handle.get(), &info) ||
        !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return std::nullopt;
    }
    return std::pair{info.dwVolumeSerialNumber,
                     (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

// The last error of making a new name: one that is taken is said as on every system.
std::error_code NewNameError() {
    const DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) {
        return std::make_error_code(std::errc::file_exists);
    }
    return {static_cast<int>(error), std::system_category()};
}

class WinFileReader : public FileReader {
  public:
    // Reads an inherited handle (standard input), which stays open.
    explicit WinFileReader(HANDLE inherited) : handle_(inherited, false) {}

    explicit WinFileReader(const std::string& path) : handle_(OpenPath(path, GENERIC_READ)) {
        if (!handle_.valid()) throw FileReadError(LastWindowsErrorText());
        if (GetFileType(handle_.get()) == FILE_TYPE_PIPE) throw FileReadError("is a pipe");
        if (GetFileType(handle_.get()) != FILE_TYPE_DISK) throw FileReadError("is a device");
        BY_HANDLE_FILE_INFORMATION info{};
        if (!GetFileInformationByHandle(handle_.get(), &info)) {
            throw FileReadError(LastWindowsErrorText());
        }
        if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            throw FileReadError("is a directory");
        }
        identity_ = IdentityOf(info);
    }

    // The file at path itself (a link is never followed), only while it is still `expected`.
    WinFileReader(const std::string& path, const FileIdentity& expected)
        : handle_(OpenEntry(path, GENERIC_READ)) {
        if (!handle_.valid()) throw FileReadError(LastWindowsErrorText());
        const auto identity = PlainEntryIdentity(handle_.get());
        if (!identity || GetFileType(handle_.get()) != FILE_TYPE_DISK || !(*identity == expected)) {
            throw FileChangedError("it changed after it was looked at");
        }
        identity_ = *identity;
    }

    std::size_t read(char* buffer, std::size_t size) override {
        std::size_t total = 0;
        while (total < size) {
            DWORD want = static_cast<DWORD>(std::min<std::size_t>(size - total, 1u << 30));
            DWORD got = 0;
            if (!ReadFile(handle_.get(), buffer + total, want, &got, nullptr)) {
                if (GetLastError() == ERROR_BROKEN_PIPE) break;  // the writer closed the pipe
                throw FileReadError(LastWindowsErrorText());
            }
            if (got == 0) break;  // end of file
            total += got;
        }
        return total;
    }

    const FileIdentity& identity() const override { return identity_; }

    std::optional<FileIdentity> identityNow() override {
        if (isStream()) return std::nullopt;
        BY_HANDLE_FILE_INFORMATION info{};
        if (!GetFileInformationByHandle(handle_.get(), &info)) {
            throw FileReadError(LastWindowsErrorText());
        }
        return IdentityOf(info);
    }

  private:
    Handle handle_;
    FileIdentity identity_;
};

// A scratch file that the system deletes when its last handle closes, however the program ends.
// Its name stays until then, so each copy reads it through a handle of its own.
class DeletedOnClose : public PrivateFile {
  public:
    explicit DeletedOnClose(std::string path)
        : path_(std::move(path)),
          handle_(CreateFileA(path_.c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              TRUNCATE_EXISTING,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr)) {
        if (!handle_.valid()) {
            const std::string why = LastWindowsErrorText();
            DeleteFileA(path_.c_str());
            throw FileReadError(why);
        }
    }

    void write(const char* data, std::size_t size) override {
        while (size > 0) {
            DWORD put = 0;
            const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
            if (!WriteFile(handle_.get(), data, want, &put, nullptr) || put == 0) {
                throw FileReadError("could not keep it in " + path_ + ": " +
                                    LastWindowsErrorText());
            }
            data += put;
            size -= put;
        }
    }
    std::unique_ptr<FileReader> openForReading() override {
        return std::make_unique<WinFileReader>(path_);
    }

  private:
    std::string path_;
    Handle handle_;
};

class WinFileSystem : public FileSystem {
  public:
    std::unique_ptr<FileReader> openForReading(const std::string& path) override {
        return std::make_unique<WinFileReader>(path);
    }

    std::optional<FileIdentity> identityOf(const std::string& path) override {
        Handle handle(OpenPath(path, 0));
        BY_HANDLE_FILE_INFORMATION info{};
        if (!handle.valid() || !GetFileInformationByHandle(handle.get(), &info) ||
            (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            return std::nullopt;
        }
        return IdentityOf(info);
    }

    std::error_code removeFile(const std::string& path) override {
        if (DeleteFileA(path.c_str())) return {};
        return {static_cast<int>(GetLastError()), std::system_category()};
    }

    std::unique_ptr<FileReader> openSettled(const std::string& path,
                                            const FileIdentity& expected) override {
        return std::make_unique<WinFileReader>(path, expected);
    }

    // Deleted through the handle that was compared, so that nothing else can take its place.
    std::error_code removeIfSame(const std::string& path, const FileIdentity& expected) override {
        Handle handle(OpenEntry(path, DELETE | FILE_READ_ATTRIBUTES));
        if (!handle.valid()) return {static_cast<int>(GetLastError()), std::system_category()};
        const auto identity = PlainEntryIdentity(handle.get());
        if (!identity || !(*identity == expected)) return std::make_error_code(kNotTheSameFile);
        FILE_DISPOSITION_INFO dispose{TRUE};
        if (SetFileInformationByHandle(handle.get(), FileDispositionInfo, &dispose,
                                       sizeof dispose)) {
            return {};
        }
        return {static_cast<int>(GetLastError()), std::system_category()};
    }

    std::unique_ptr<FileReader> openStandardInput() override {
        return std::make_unique<WinFileReader>(GetStdHandle(STD_INPUT_HANDLE));
    }

    std::unique_ptr<PrivateFile> createPrivateFile() override {
        // The user's own temporary directory is not readable by other users.
        char directory[MAX_PATH + 1];
        char path[MAX_PATH + 1];
        if (!GetTempPathA(sizeof directory, directory) ||
            !GetTempFileNameA(directory, "vtl", 0, path)) {
            throw FileReadError(LastWindowsErrorText());
        }
        return std::make_unique<DeletedOnClose>(path);
    }

    std::error_code makeDirectory(const std::string& path) override {
        if (CreateDirectoryA(path.c_str(), nullptr)) return {};
        const std::error_code error = NewNameError();
        if (error == std::errc::file_exists && kindOf(path) == PathKind::Directory) return {};
        return error;
    }

    // Without MOVEFILE_REPLACE_EXISTING, a name that is taken fails the move.
    std::error_code moveWithoutReplacing(const std::string& from, const std::string& to) override {
        if (MoveFileExA(from.c_str(), to.c_str(), 0)) return {};
        return NewNameError();
    }

    // The subfolder is opened as itself, not where a link or junction of that name leads, and
    // held without FILE_SHARE_DELETE while the file moves in, so that it stays that folder.
    std::error_code moveIntoSubfolder(const std::string& folder, const std::string& subfolder,
                                      const std::string& name,
                                      const std::string& newName) override {
        const std::string sub = JoinPath(folder, subfolder);
        if (!CreateDirectoryA(sub.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
            return NewNameError();
        }
        Handle held(CreateFileA(
            sub.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        BY_HANDLE_FILE_INFORMATION info{};
        if (!held.valid() || !GetFileInformationByHandle(held.get(), &info)) return NewNameError();
        if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            return std::make_error_code(std::errc::too_many_symbolic_link_levels);
        }
        if (!(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            return std::make_error_code(std::errc::not_a_directory);
        }
        const std::string from = JoinPath(folder, name);
        const std::string to = JoinPath(sub, newName);
        if (MoveFileExA(from.c_str(), to.c_str(), 0)) return {};
        return NewNameError();
    }

    std::error_code createMark(const std::string& folder, const std::string& name,
                               const std::string& text) override {
        const std::string path = JoinPath(folder, name);
        Handle out(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_HIDDEN, nullptr));
        if (!out.valid()) return NewNameError();
        DWORD wrote = 0;
        WriteFile(out.get(), text.data(), static_cast<DWORD>(text.size()), &wrote, nullptr);
        return {};
    }

    std::optional<std::string> readMark(const std::string& folder,
                                        const std::string& name) override {
        const std::string path = JoinPath(folder, name);
        Handle in(CreateFileA(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        if (!in.valid() || GetFileType(in.get()) != FILE_TYPE_DISK) return std::nullopt;
        char text[256];
        DWORD got = 0;
        if (!ReadFile(in.get(), text, sizeof text, &got, nullptr)) return std::nullopt;
        std::string line(text, got);
        return line.substr(0, line.find_first_of("\r\n"));
    }

    std::error_code copyWithoutReplacing(const std::string& from, const std::string& to) override {
        if (CopyFileA(from.c_str(), to.c_str(), TRUE)) return {};
        const std::error_code error = NewNameError();
        if (error != std::errc::file_exists) DeleteFileA(to.c_str());
        return error;
    }

    PathKind kindOf(const std::string& path) override {
        Handle handle(OpenPath(path, 0));
        BY_HANDLE_FILE_INFORMATION info{};
        if (!handle.valid() || !GetFileInformationByHandle(handle.get(), &info)) {
            return PathKind::Missing;
        }
        if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return PathKind::Directory;
        return GetFileType(handle.get()) == FILE_TYPE_DISK ? PathKind::PlainFile : PathKind::Other;
    }

    // Only links and junctions: other reparse points, such as files kept in the cloud, are the
    // files themselves.
    bool isSymbolicLink(const std::string& path) override {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA(path.c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return false;
        FindClose(search);
        return (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
               (found.dwReserved0 == IO_REPARSE_TAG_SYMLINK ||
                found.dwReserved0 == IO_REPARSE_TAG_MOUNT_POINT);
    }

    bool sameDirectory(const std::string& a, const std::string& b) override {
        const auto first = DirectoryIdentity(a);
        return first && first == DirectoryIdentity(b);
    }
};

}  // namespace

std::unique_ptr<FileSystem> MakeSystemFileSystem() {
    return std::make_unique<WinFileSystem>();
}

}  // namespace vantrel

#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

namespace vantrel {

// What tells one file apart from another that later takes its name, or from itself after it
// changed: the file's device and number, its size and its modification time.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modifiedNs = 0;
    bool operator==(const FileIdentity&) const = default;
};

// A file could not be opened or read; what() says why, in words a user can act on
// ("is a pipe", "is a directory", the system's own error text).
class FileReadError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The file at a path is no longer the one that was looked at: another file or a link took its
// name, or it was written to. Nothing of it was read.
class FileChangedError : public FileReadError {
  public:
    using FileReadError::FileReadError;
};

// What removeIfSame gives when the path names another file, or a link, now.
inline constexpr std::errc kNotTheSameFile = std::errc::operation_canceled;

// One plain file open for reading, as bytes.
class FileReader {
  public:
    virtual ~FileReader() = default;
    // Fills buffer with up to size bytes; fewer only at the end of the file. Throws FileReadError.
    virtual std::size_t read(char* buffer, std::size_t size) = 0;
    // The file as it was when it was opened.
    virtual const FileIdentity& identity() const = 0;
    // The open file as it is now, asked through the open descriptor, so that a file that grew,
    // was cut short or was rewritten in place while it was read can be told; nothing for a
    // stream such as standard input. Throws FileReadError.
    virtual std::optional<FileIdentity> identityNow() = 0;
    // Whether the reader is a stream, whose length is not known in advance.
    bool isStream() const { return identity() == FileIdentity{}; }
};

// A scratch file that no directory names: it goes with the program however the program ends, a
// signal or a crash included.
class PrivateFile {
  public:
    virtual ~PrivateFile() = default;
    // Appends size bytes. Throws FileReadError (a full disk).
    virtual void write(const char* data, std::size_t size) = 0;
    // A new reader of everything written, from its start. Throws FileReadError.
    virtual std::unique_ptr<FileReader> openForReading() = 0;
};

// What a path names once links are followed.
enum class PathKind { Missing, PlainFile, Directory, Other };

// The file operations of the print flows.
class FileSystem {
  public:
    virtual ~FileSystem() = default;
    // Opens a plain file (or a link to one); anything else, or a failure, throws FileReadError.
    virtual std::unique_ptr<FileReader> openForReading(const std::string& path) = 0;
    // The identity of the plain file at path now (links followed); nothing when there is none.
    virtual std::optional<FileIdentity> identityOf(const std::string& path) = 0;
    // Deletes the directory entry at path; an empty error code on success.
    virtual std::error_code removeFile(const std::string& path) = 0;
    // Opens the plain file at path itself, never through a link, and only while it is still the
    // file expected: its identity is read from the opened file, so what was checked is what is
    // read. Throws FileChangedError when it is not, FileReadError when it cannot be opened.
    virtual std::unique_ptr<FileReader> openSettled(const std::string& path,
                                                    const FileIdentity& expected) = 0;
    // Deletes the entry at path only while it is the file expected itself, not a link; gives
    // kNotTheSameFile, leaving it, when it is not. An empty error code when it was deleted.
    virtual std::error_code removeIfSame(const std::string& path, const FileIdentity& expected) = 0;
    // The program's standard input, as bytes; its identity is all zero. Throws FileReadError.
    virtual std::unique_ptr<FileReader> openStandardInput() = 0;
    // A new, empty file that only this user may read, in the temporary directory. Throws
    // FileReadError.
    virtual std::unique_ptr<PrivateFile> createPrivateFile() = 0;

    // The names in the directory, in the system's order, without "." and ".."; none, and why in
    // error, when it cannot be read. Every system lists through ListDirectory.
    virtual std::vector<std::string> entryNames(const std::string& directory,
                                                std::error_code& error);
    // Makes the directory at path; an empty error code also when a directory is there already.
    virtual std::error_code makeDirectory(const std::string& path) = 0;
    // Makes the directory at path and every missing one above it; an empty error code also when
    // a directory is there already, std::errc::not_a_directory when something else is.
    virtual std::error_code makeDirectories(const std::string& path);
    // The directory's absolute path with every link resolved; nothing when path names no
    // directory.
    virtual std::optional<std::string> resolvedDirectory(const std::string& path);
    // Gives the file at from the name to in one step, never replacing what has that name: then
    // std::errc::file_exists, and the file keeps its name. An empty error code on success.
    virtual std::error_code moveWithoutReplacing(const std::string& from,
                                                 const std::string& to) = 0;
    // Moves the entry name of folder into folder's subfolder (made when missing) as newName, in
    // one step and never replacing what has that name (then std::errc::file_exists). The
    // subfolder is entered as itself: when it is a link, std::errc::too_many_symbolic_link_levels,
    // when it is no folder, std::errc::not_a_directory, and the entry stays where it is.
    virtual std::error_code moveIntoSubfolder(const std::string& folder,
                                              const std::string& subfolder, const std::string& name,
                                              const std::string& newName) = 0;
    // Makes the small file name in folder holding text, only when no entry has that name (then
    // std::errc::file_exists), never through a link; writable by the folder's group when the
    // group may write to the folder. An empty error code when it was made.
    virtual std::error_code createMark(const std::string& folder, const std::string& name,
                                       const std::string& text) = 0;
    // The first line of the small plain file name in folder, never through a link or from a
    // pipe; nothing when there is none.
    virtual std::optional<std::string> readMark(const std::string& folder,
                                                const std::string& name) = 0;
    // Copies the file at from (links followed) into a new file to, never replacing what has
    // that name: then std::errc::file_exists. A copy that fails midway is removed.
    virtual std::error_code copyWithoutReplacing(const std::string& from,
                                                 const std::string& to) = 0;
    // What path names, links followed; Missing also when it cannot be asked.
    virtual PathKind kindOf(const std::string& path) = 0;
    // Whether path itself is a symbolic link (or, on Windows, a junction); it is not followed.
    virtual bool isSymbolicLink(const std::string& path) = 0;
    // Whether both paths name one and the same directory, by whatever names or links.
    virtual bool sameDirectory(const std::string& a, const std::string& b) = 0;
};

std::unique_ptr<FileSystem> MakeSystemFileSystem();

}  // namespace vantrel

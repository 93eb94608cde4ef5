#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "platform/forwarding_systems.h"

namespace vantrel::testing {

// Owns the system's file operations before the forwarding base is made on them.
struct OwnedFileSystem {
    std::unique_ptr<FileSystem> system_ = MakeSystemFileSystem();
};

// The system's own file operations, with hooks that let a test change a file at an exact point
// of a print (after the Nth read), or make deletes and moves fail, without sleeping.
class HookedFileSystem : private OwnedFileSystem, public ForwardingFileSystem {
  public:
    HookedFileSystem() : ForwardingFileSystem(*system_) {}

    // Called after every read of a file opened through this object, with the read's number
    // (1 for the first) and the path.
    std::function<void(int, const std::string&)> afterRead;
    // removeFile and removeIfSame fail with this when set, as in a folder with the sticky bit
    // where the files are another user's: AutoPrint's own marks go all the same.
    std::error_code removeError;
    // Called before a settled file is opened, with its path: the last moment to swap it.
    std::function<void(const std::string&)> beforeOpen;
    // Called before a printed file is deleted if unchanged, with its path: the last moment to
    // replace it.
    std::function<void(const std::string&)> beforeRemove;
    // Called before any delete, checked or not, with its path.
    std::function<void(const std::string&)> beforeDelete;
    // Called before a file is moved, with both paths: the last moment to take the new name. The
    // move fails with what it gives, if anything.
    std::function<std::error_code(const std::string&, const std::string&)> beforeMove;

    std::unique_ptr<FileReader> openForReading(const std::string& path) override {
        return std::make_unique<Reader>(system_->openForReading(path), path, *this);
    }
    std::error_code removeFile(const std::string& path) override {
        if (beforeDelete) beforeDelete(path);
        const bool mark =
            std::filesystem::path(path).filename().string().starts_with(".vantrel-printing-");
        return removeError && !mark ? removeError : system_->removeFile(path);
    }
    std::unique_ptr<FileReader> openSettled(const std::string& path,
                                            const FileIdentity& expected) override {
        if (beforeOpen) beforeOpen(path);
        return std::make_unique<Reader>(system_->openSettled(path, expected), path, *this);
    }
    std::error_code removeIfSame(const std::string& path, const FileIdentity& expected) override {
        if (beforeDelete) beforeDelete(path);
        if (beforeRemove) beforeRemove(path);
        return removeError ? removeError : system_->removeIfSame(path, expected);
    }
    std::error_code moveWithoutReplacing(const std::string& from, const std::string& to) override {
        const std::error_code error = beforeMove ? beforeMove(from, to) : std::error_code();
        return error ? error : system_->moveWithoutReplacing(from, to);
    }
    std::error_code moveIntoSubfolder(const std::string& folder, const std::string& subfolder,
                                      const std::string& name,
                                      const std::string& newName) override {
        const std::filesystem::path in(folder);
        const std::error_code error =
            beforeMove ? beforeMove((in / name).string(), (in / subfolder / newName).string())
                       : std::error_code();
        return error ? error : system_->moveIntoSubfolder(folder, subfolder, name, newName);
    }

  private:
    class Reader : public FileReader {
      public:
        Reader(std::unique_ptr<FileReader> real, std::string path, HookedFileSystem& owner)
            : real_(std::move(real)), path_(std::move(path)), owner_(owner) {}
        std::size_t read(char* buffer, std::size_t size) override {
            std::size_t got = real_->read(buffer, size);
            if (owner_.afterRead) owner_.afterRead(++reads_, path_);
            return got;
        }
        const FileIdentity& identity() const override { return real_->identity(); }
        std::optional<FileIdentity> identityNow() override { return real_->identityNow(); }

      private:
        std::unique_ptr<FileReader> real_;
        std::string path_;
        HookedFileSystem& owner_;
        int reads_ = 0;
    };
};

}  // namespace vantrel::testing

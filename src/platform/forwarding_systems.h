#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/printer_system.h"

namespace vantrel {

// The file system and the spooler handing every call on to the real ones: a wrapper overrides
// only what it changes, and an operation the seam gains later reaches the real one without a
// word in each wrapper.
class ForwardingFileSystem : public FileSystem {
  public:
    explicit ForwardingFileSystem(FileSystem& inner) : inner_(inner) {}
    std::unique_ptr<FileReader> openForReading(const std::string& path) override {
        return inner_.openForReading(path);
    }
    std::optional<FileIdentity> identityOf(const std::string& path) override {
        return inner_.identityOf(path);
    }
    std::error_code removeFile(const std::string& path) override { return inner_.removeFile(path); }
    std::unique_ptr<FileReader> openSettled(const std::string& path,
                                            const FileIdentity& expected) override {
        return inner_.openSettled(path, expected);
    }
    std::error_code removeIfSame(const std::string& path, const FileIdentity& expected) override {
        return inner_.removeIfSame(path, expected);
    }
    std::unique_ptr<FileReader> openStandardInput() override { return inner_.openStandardInput(); }
    std::unique_ptr<PrivateFile> createPrivateFile() override { return inner_.createPrivateFile(); }
    std::vector<std::string> entryNames(const std::string& directory,
                                        std::error_code& error) override {
        return inner_.entryNames(directory, error);
    }
    std::error_code makeDirectory(const std::string& path) override {
        return inner_.makeDirectory(path);
    }
    std::error_code makeDirectories(const std::string& path) override {
        return inner_.makeDirectories(path);
    }
    std::optional<std::string> resolvedDirectory(const std::string& path) override {
        return inner_.resolvedDirectory(path);
    }
    std::error_code moveWithoutReplacing(const std::string& from, const std::string& to) override {
        return inner_.moveWithoutReplacing(from, to);
    }
    std::error_code moveIntoSubfolder(const std::string& folder, const std::string& subfolder,
                                      const std::string& name,
                                      const std::string& newName) override {
        return inner_.moveIntoSubfolder(folder, subfolder, name, newName);
    }
    std::error_code createMark(const std::string& folder, const std::string& name,
                               const std::string& text) override {
        return inner_.createMark(folder, name, text);
    }
    std::optional<std::string> readMark(const std::string& folder,
                                        const std::string& name) override {
        return inner_.readMark(folder, name);
    }
    std::error_code copyWithoutReplacing(const std::string& from, const std::string& to) override {
        return inner_.copyWithoutReplacing(from, to);
    }
    PathKind kindOf(const std::string& path) override { return inner_.kindOf(path); }
    bool isSymbolicLink(const std::string& path) override { return inner_.isSymbolicLink(path); }
    bool sameDirectory(const std::string& a, const std::string& b) override {
        return inner_.sameDirectory(a, b);
    }

  private:
    FileSystem& inner_;
};

class ForwardingPrinterSystem : public PrinterSystem {
  public:
    explicit ForwardingPrinterSystem(PrinterSystem& inner) : inner_(inner) {}
    std::vector<Printer> printers() override { return inner_.printers(); }
    std::optional<std::string> defaultPrinterEntry() override {
        return inner_.defaultPrinterEntry();
    }
    std::unique_ptr<PrinterConnection> openPrinter(const std::string& deviceName) override {
        return inner_.openPrinter(deviceName);
    }
    bool anyPrinters() override { return inner_.anyPrinters(); }
    std::optional<Printer> printerNamed(const std::string& name) override {
        return inner_.printerNamed(name);
    }
    JobStatus jobStatus(const std::string& deviceName, int jobId) override {
        return inner_.jobStatus(deviceName, jobId);
    }
    JobFacts jobFacts(const std::string& deviceName, int jobId) override {
        return inner_.jobFacts(deviceName, jobId);
    }
    std::vector<int> ownJobsWithoutDocument(const std::string& deviceName,
                                            const std::string& documentName) override {
        return inner_.ownJobsWithoutDocument(deviceName, documentName);
    }
    void cancelJob(const std::string& deviceName, int jobId) override {
        inner_.cancelJob(deviceName, jobId);
    }
    QueueLook lookAtQueue(const std::string& deviceName, const std::vector<int>& jobIds) override {
        return inner_.lookAtQueue(deviceName, jobIds);
    }
    void giveUpWaits() override { inner_.giveUpWaits(); }

  private:
    PrinterSystem& inner_;
};

}  // namespace vantrel

#include "autoprint/autoprint_rules.h"

#include <algorithm>
#include <filesystem>

#include "platform/replace_file.h"
#include "printing/printer_selection.h"
#include "text/runtime_text.h"

namespace vantrel {

namespace fs = std::filesystem;

namespace {

// A file name in the Failed directory that is not taken yet.
fs::path FreeName(const fs::path& directory, const std::string& name) {
    fs::path candidate = directory / name;
    std::error_code error;
    for (int n = 2; fs::exists(candidate, error); ++n) {
        candidate = directory / (name + "." + std::to_string(n));
    }
    return candidate;
}

}  // namespace

std::vector<std::string> VisibleEntryNames(const std::string& folder, std::error_code* error) {
    std::vector<std::string> names;
    std::error_code failed;
    for (fs::directory_iterator it(fs::path(folder), failed), end; !failed && it != end;
         it.increment(failed)) {
        std::string name = it->path().filename().string();
        if (!name.starts_with('.')) names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    if (error) *error = failed;
    return names;
}

AutoPrintPrinter FindAutoPrintPrinter(PrinterSystem& system,
                                      const std::optional<std::string>& name) {
    AutoPrintPrinter found;
    std::string wanted;
    if (name) {
        wanted = *name;
    } else {
        const auto entry = system.defaultPrinterEntry();
        if (!entry) {
            found.missing = "no default printer is set";
            return found;
        }
        wanted = Trim(DefaultPrinterName(*entry));
    }
    const auto printers = system.printers();
    const std::string selection = SelectionForPrinterName(printers, wanted);
    const auto printer = FindSelectedPrinter(printers, selection);
    if (selection == kNoPrinterSelection || !printer) {
        found.missing = name ? "no printer name begins with \"" + wanted + "\""
                             : "the default printer " + wanted + " is not installed";
        return found;
    }
    found.selection = selection;
    found.deviceName = printer->deviceName;
    return found;
}

AutoPrintPrinter FindBoundPrinter(PrinterSystem& system, const std::string& deviceName) {
    AutoPrintPrinter found;
    for (const Printer& printer : system.printers()) {
        if (printer.deviceName == deviceName) {
            found.selection = SelectionString(printer);
            found.deviceName = deviceName;
            return found;
        }
    }
    found.missing = "the printer " + deviceName + " is gone";
    return found;
}

std::optional<std::string> ExactlyNamedPrinter(const std::vector<Printer>& printers,
                                               const std::string& name) {
    const auto printer = FindSelectedPrinter(printers, SelectionForPrinterName(printers, name));
    if (!printer || UCase(printer->deviceName) != UCase(name)) return std::nullopt;
    return printer->deviceName;
}

std::string FolderLockPath(const std::string& stateDirectory, const std::string& folder) {
    const auto key = FolderKey(folder);
    if (!key || stateDirectory.empty()) return {};
    return (fs::path(stateDirectory) / ("autoprint-" + *key + ".lock")).string();
}

std::unique_ptr<FileLock> TryLockFolder(const std::string& stateDirectory,
                                        const std::string& folder) {
    const std::string path = FolderLockPath(stateDirectory, folder);
    if (path.empty())
        throw std::system_error(std::make_error_code(std::errc::not_a_directory), folder);
    if (auto error = MakePrivateFolders(stateDirectory))
        throw std::system_error(error, stateDirectory);
    return TryLockFile(path);
}

FailedMove MoveToFailedFolder(const std::string& folder, const std::string& path) {
    FailedMove move;
    const fs::path failedDir = fs::path(folder) / kFailedDirectoryName;
    move.failedDir = failedDir.string();
    fs::create_directory(failedDir, move.error);
    if (move.error) return move;
    const fs::path to = FreeName(failedDir, fs::path(path).filename().string());
    fs::rename(fs::path(path), to, move.error);
    if (!move.error) move.to = to.string();
    return move;
}

}  // namespace vantrel

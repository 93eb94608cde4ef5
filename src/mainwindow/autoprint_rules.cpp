#include "mainwindow/autoprint_rules.h"

#include <algorithm>
#include <filesystem>

#include "platform/runtime_text.h"
#include "printing/printer_selection.h"

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

std::vector<std::string> VisibleEntryNames(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(fs::path(folder), error), end; !error && it != end;
         it.increment(error)) {
        std::string name = it->path().filename().string();
        if (!name.starts_with('.')) names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::optional<int> AutoPrintCopies(const std::string& copiesText) {
    auto copies = RoundHalfEven(Val(copiesText), 1, 32767);
    if (!copies) return std::nullopt;
    return static_cast<int>(*copies);
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

#include "mainwindow/print_press.h"

#include <filesystem>
#include <system_error>

#include "platform/plain_file.h"
#include "platform/runtime_text.h"
#include "platform/system_places.h"
#include "printing/print_copies.h"

namespace vantrel {

namespace fs = std::filesystem;

std::optional<int> InteractiveCopies(const std::string& copiesText) {
    auto copies = RoundHalfEven(Val(copiesText), 1, 32767);
    if (!copies) return std::nullopt;
    return static_cast<int>(*copies);
}

std::string PrintName(const std::string& listEntry) {
    // Names keep their case where the file system tells case apart.
    return FileNamesIgnoreCase() ? UCase(Trim(listEntry)) : Trim(listEntry);
}

namespace {

// A directory path without its trailing separator: the C runtime of Windows finds no directory
// C:\dir\ where it finds C:\dir. A root keeps its separator.
fs::path WithoutTrailingSeparator(const std::string& directory) {
    fs::path path(directory);
    if (!path.has_filename() && path.has_relative_path()) path = path.parent_path();
    return path;
}

bool SameDirectory(const std::string& a, const std::string& b) {
    std::error_code error;
    bool same = fs::equivalent(WithoutTrailingSeparator(a), WithoutTrailingSeparator(b), error);
    return !error && same;
}

bool DirectoryExists(const std::string& path) {
    std::error_code error;
    return fs::is_directory(fs::path(path), error);
}

// Copies one printed file into the copy directory. False when the press must stop; the file
// then stays where it is.
bool MoveCopy(const std::string& sourceDir, const std::string& name, const LiveSettings& live,
              MessageSink& messages) {
    const std::string copyDir = WithTrailingSeparator(Trim(live.copyDir()));
    const std::string source = sourceDir + name;
    if (!DirectoryExists(copyDir)) {
        messages.show("The Copy To Directory Does Not Exist. File Not Moved");
        return false;
    }
    if (SameDirectory(copyDir, sourceDir)) {
        // Moving a file onto itself would delete the only copy.
        messages.show("The Copy To Directory is the file's own directory. File Not Moved: " +
                      source);
        return false;
    }
    const std::string destination = copyDir + name;
    std::error_code error;
    if (IsPlainFile(destination)) {
        if (messages.show("File Already Exists in Copy Directory, Overwrite?", MsgStyle::YesNo) !=
            MsgAnswer::Yes) {
            return false;
        }
        if (!fs::remove(fs::path(destination), error) && error) {
            messages.show(
                "Could not replace " + destination + ": " + error.message() + ". File Not Moved",
                MsgStyle::Exclamation);
            return false;
        }
    }
    if (!fs::copy_file(fs::path(source), fs::path(destination), error)) {
        std::error_code ignored;
        if (error != std::errc::file_exists) fs::remove(fs::path(destination), ignored);
        messages.show("Could not copy " + source + " to " + destination + ": " + error.message() +
                          ". File Not Moved",
                      MsgStyle::Exclamation);
        return false;
    }
    return true;
}

bool DeleteSource(const std::string& path, FileSystem& files, MessageSink& messages) {
    if (auto error = files.removeFile(path)) {
        messages.show("Could not delete " + path + ": " + error.message(), MsgStyle::Exclamation);
        return false;
    }
    return true;
}

// Prints one file and carries out the action. False when the press must stop.
bool HandleFile(PrintPressView& view, const std::string& sourceDir, const std::string& entry,
                PrinterSystem& system, FileSystem& files, const LiveSettings& live,
                MessageSink& messages) {
    const std::string name = PrintName(entry);
    const std::string path = sourceDir + name;
    if (!IsPlainFile(path)) {
        messages.show("Can't find file: " + path, MsgStyle::Exclamation, "Error");
        return false;
    }
    // The copies box is read again for every file.
    const auto asked = InteractiveCopies(view.copiesText());
    if (!asked) {
        messages.show("Invalid number of Copies.", MsgStyle::OkCancel);
        return false;
    }
    const auto printed =
        PrintCopies(path, view.selectedPrinter(), *asked, system, files, live, messages);
    const int action = view.actionIndex();
    const bool goes = action == kActionDelete || action == kActionMove;
    // A file left in place needs no check that it is still the printed one.
    const AfterPrint check = goes                   ? CheckPrintedFile(printed, files, path)
                             : printed.allSpooled() ? AfterPrint::MayGo
                                                    : AfterPrint::NotAllCopies;
    if (check != AfterPrint::MayGo) {
        messages.show(KeptFileText(check, path), MsgStyle::Exclamation);
        return false;
    }
    if (action == kActionMove) {
        if (!MoveCopy(sourceDir, name, live, messages)) return false;
        // The overwrite question may have stood open for a while: look again before deleting.
        if (CheckPrintedFile(printed, files, path) != AfterPrint::MayGo) {
            messages.show(KeptFileText(AfterPrint::Changed, path), MsgStyle::Exclamation);
            return false;
        }
    }
    if (goes) return DeleteSource(path, files, messages);
    return true;
}

}  // namespace

PressResult PressPrint(PrintPressView& view, PrinterSystem& system, FileSystem& files,
                       const LiveSettings& live, MessageSink& messages) {
    if (view.fileListIndex() == -1) {
        messages.show("Must Pick a File.", MsgStyle::OkCancel);
        return PressResult::Refused;
    }
    if (view.printerListIndex() == -1) {
        messages.show("Must Pick a Printer.", MsgStyle::OkCancel);
        return PressResult::Refused;
    }
    if (!InteractiveCopies(view.copiesText())) {
        messages.show("Invalid number of Copies.", MsgStyle::OkCancel);
        return PressResult::Refused;
    }
    const std::string sourceDir = WithTrailingSeparator(Trim(view.currentDirectory()));
    const auto entries = view.fileEntries();
    const auto selection = view.fileSelection();
    for (std::size_t i = 0; i < entries.size() && i < selection.size(); ++i) {
        if (!selection[i]) continue;
        if (!HandleFile(view, sourceDir, entries[i], system, files, live, messages)) {
            return PressResult::Stopped;
        }
    }
    view.refreshLists();
    return PressResult::Completed;
}

}  // namespace vantrel

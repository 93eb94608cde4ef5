#include "printing/after_print.h"

#include <filesystem>

#include "platform/path_separator.h"
#include "platform/path_text.h"

namespace vantrel {

namespace fs = std::filesystem;

// The table's places are the actions' numbers.
static_assert([] {
    int number = 0;
    for (const auto& entry : kAfterPrintActions) {
        if (static_cast<int>(entry.action) != number++) return false;
    }
    return true;
}());

std::optional<AfterPrintAction> AfterPrintActionAt(int number) {
    if (number < 0 || number >= static_cast<int>(std::size(kAfterPrintActions))) {
        return std::nullopt;
    }
    return kAfterPrintActions[number].action;
}

int AfterPrintActionNumber(AfterPrintAction action) {
    return static_cast<int>(action);
}

const char* AfterPrintActionName(AfterPrintAction action) {
    return kAfterPrintActions[AfterPrintActionNumber(action)].name;
}

std::optional<AfterPrintAction> AfterPrintActionNamed(const std::string& name) {
    for (const auto& entry : kAfterPrintActions) {
        if (name == entry.name) return entry.action;
    }
    return std::nullopt;
}

namespace {

using Fate = AfterPrintFate;

// A directory path without its trailing separator, as the system is asked about it: the C
// runtime of Windows finds no directory C:\dir\ where it finds C:\dir. A root keeps its separator.
std::string WithoutTrailingSeparator(const std::string& directory) {
    fs::path path = PathOf(directory);
    if (!path.has_filename() && path.has_relative_path()) path = path.parent_path();
    return TextOf(path);
}

// Deletes the file only while it is the very one printed.
AfterPrintOutcome RemovePrinted(const std::string& path, const FileIdentity& printed,
                                FileSystem& files, Fate done, AfterPrintOutcome outcome = {}) {
    outcome.error = files.removeIfSame(path, printed);
    if (outcome.error == kNotTheSameFile) {
        outcome.fate = Fate::Changed;
    } else if (!outcome.error || outcome.error == std::errc::no_such_file_or_directory) {
        outcome.error.clear();  // taken away by someone else meanwhile: gone, as asked
        outcome.fate = done;
    } else {
        outcome.fate = Fate::NotDeleted;
    }
    return outcome;
}

// Renames the file into a subfolder of its own folder under the first free name.
AfterPrintOutcome MoveBesideItself(const std::string& path, const std::string& subfolder,
                                   FileSystem& files) {
    const std::string folder = ParentOf(path);
    const std::string name = NameOf(path);
    AfterPrintOutcome outcome;
    // The move itself takes the name, so that a file that got there first is never replaced:
    // the next name is tried instead.
    for (int n = 1;; ++n) {
        const std::string newName = n == 1 ? name : name + "." + std::to_string(n);
        outcome.destination = JoinPath(JoinPath(folder, subfolder), newName);
        outcome.error = files.moveIntoSubfolder(folder, subfolder, name, newName);
        if (outcome.error == std::errc::file_exists) continue;
        outcome.fate = outcome.error ? Fate::NotMoved : Fate::Moved;
        return outcome;
    }
}

// Copies the file into the folder, never over another file, then deletes it.
AfterPrintOutcome MoveByCopy(const std::string& path, const FileIdentity& printed,
                             const std::string& folder, FileSystem& files) {
    const std::string into = WithoutTrailingSeparator(folder);
    AfterPrintOutcome outcome;
    outcome.destination = WithTrailingSeparator(folder) + NameOf(path);
    if (files.kindOf(into) != PathKind::Directory) {
        outcome.fate = Fate::NoFolder;
    } else if (files.sameDirectory(into, ParentOf(path))) {
        outcome.fate = Fate::OwnFolder;
    } else if (files.kindOf(outcome.destination) == PathKind::PlainFile) {
        outcome.fate = Fate::NameTaken;
    } else if ((outcome.error = files.copyWithoutReplacing(path, outcome.destination))) {
        outcome.fate = Fate::NotMoved;
    } else {
        return RemovePrinted(path, printed, files, Fate::Moved, outcome);
    }
    return outcome;
}

}  // namespace

AfterPrintOutcome CarryOutAfterPrint(AfterPrintAction action, const std::string& path,
                                     const FileIdentity& printed, FileSystem& files,
                                     const MoveTarget& target) {
    if (action == AfterPrintAction::Leave) return FateOnly(Fate::Left);
    const auto now = files.identityOf(path);
    if (!now) return FateOnly(Fate::Gone);
    if (!(*now == printed)) return FateOnly(Fate::Changed);
    if (action == AfterPrintAction::Delete)
        return RemovePrinted(path, printed, files, Fate::Deleted);
    return target.besideItself ? MoveBesideItself(path, target.folder, files)
                               : MoveByCopy(path, printed, target.folder, files);
}

AfterPrintOutcome CarryOutAfterPrint(AfterPrintAction action, const CopiesOutcome& printed,
                                     const std::string& path, FileSystem& files,
                                     const MoveTarget& target) {
    if (!printed.allSpooled()) return FateOnly(Fate::NotAllCopies);
    // A file left in place needs no check that it is still the printed one.
    if (action == AfterPrintAction::Leave) return FateOnly(Fate::Left);
    if (!printed.identity) return FateOnly(Fate::Changed);
    return CarryOutAfterPrint(action, path, *printed.identity, files, target);
}

}  // namespace vantrel

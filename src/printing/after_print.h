#pragma once

#include <optional>
#include <string>
#include <system_error>

#include "platform/file_system.h"
#include "printing/print_copies.h"

namespace vantrel {

// What becomes of a file once it was printed.
enum class AfterPrintAction { Leave, Delete, Move };

// Each action once, in the order of the window's action list and the options' method list: an
// action's number is its place here, its name what the lists show and the settings keep.
struct AfterPrintActionName {
    AfterPrintAction action;
    const char* name;
};
inline constexpr AfterPrintActionName kAfterPrintActions[] = {
    {AfterPrintAction::Leave, "Leave"},
    {AfterPrintAction::Delete, "Delete"},
    {AfterPrintAction::Move, "Move"},
};

// The action at a list's place; nothing for -1 (no entry chosen) or a place past the end.
std::optional<AfterPrintAction> AfterPrintActionAt(int number);
int AfterPrintActionNumber(AfterPrintAction action);
const char* AfterPrintActionName(AfterPrintAction action);
// The action of that exact name; nothing for any other text.
std::optional<AfterPrintAction> AfterPrintActionNamed(const std::string& name);

// Where Move puts a file, never in place of another.
struct MoveTarget {
    std::string folder;  // the folder it goes into
    // folder is a subfolder of the file's own, entered as itself (never through a link) and made
    // when missing: the file is renamed into it, as name.2, name.3, ... when its name is taken
    // there. Otherwise the file is copied into folder and then deleted, and a name taken there
    // keeps the file where it is (NameTaken).
    bool besideItself = false;
};

// What became of a file after its print; only Left, Deleted and Moved are done as asked.
enum class AfterPrintFate {
    Left,          // left where it is, as asked
    Deleted,       // deleted, or taken away by someone else meanwhile
    Moved,         // in its new place, gone from its old one
    NotAllCopies,  // kept: no copy, or not every copy, was spooled
    Changed,       // kept: the path names other content now (replaced, grown or cut)
    Gone,          // the path names no file any more
    NoFolder,      // kept: the folder to move it to is not there
    OwnFolder,     // kept: the folder to move it to is its own, and a move would delete it
    NameTaken,     // kept: the folder to move it to has a file of its name
    NotMoved,      // kept: it could not be moved (error)
    NotDeleted,    // kept: it could not be deleted (error); a copy made by Move stays too
};

struct AfterPrintOutcome {
    AfterPrintFate fate = AfterPrintFate::Left;
    std::error_code error;    // why it could not be moved or deleted
    std::string destination;  // where Move puts it, or meant to
    bool done() const {
        return fate == AfterPrintFate::Left || fate == AfterPrintFate::Deleted ||
               fate == AfterPrintFate::Moved;
    }
};
// An outcome told by its fate alone.
inline AfterPrintOutcome FateOnly(AfterPrintFate fate) {
    AfterPrintOutcome outcome;
    outcome.fate = fate;
    return outcome;
}

// Carries out the action for the file at path that was printed as `printed`. A file is deleted
// or moved only while the path still names that very file: a producer that renames a new file
// into place, or appends, while the old one is printed must not lose the new content.
AfterPrintOutcome CarryOutAfterPrint(AfterPrintAction action, const std::string& path,
                                     const FileIdentity& printed, FileSystem& files,
                                     const MoveTarget& target = {});
// The same for a print of copies: a file of which not every copy was spooled stays.
AfterPrintOutcome CarryOutAfterPrint(AfterPrintAction action, const CopiesOutcome& printed,
                                     const std::string& path, FileSystem& files,
                                     const MoveTarget& target = {});

}  // namespace vantrel

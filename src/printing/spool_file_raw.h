#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/file_system.h"
#include "platform/printer_system.h"

namespace vantrel {

// Bytes per write to the spooler.
constexpr std::size_t kSpoolChunkSize = 16384;
// The form feed sent after the file when "Eject page between jobs" is ticked.
constexpr char kFormFeed = 12;

// How each document is sent.
struct SpoolOptions {
    bool formFeed = false;  // a form feed after the file ("Eject page between jobs" ticked)
};

// Why a copy was not spooled.
enum class SpoolFailure {
    None,
    PrinterName,         // no installed printer matches the selection, or it can't be opened
    SpoolerUnreachable,  // the spooler could not be asked or went away; it may come back
    SpoolerRefused,      // the spooler said no on its own account
    SpoolerBusy,         // the spooler takes no more jobs for now; that passes as jobs end
    File,                // the file could not be opened or read whole
    Changed,             // the file changed while it was sent; the document was withdrawn
};

struct SpoolOutcome {
    bool spooled = false;
    SpoolFailure failure = SpoolFailure::None;
    std::string reason;                    // why not, when not spooled
    std::optional<FileIdentity> identity;  // the file as it was opened, once it was
    std::string shownName;                 // the input as messages name it
    std::string printer;                   // the device name, or the selection when none matched
    int jobId = 0;  // the spooler's number of the job, once spooled; 0 when nothing was sent
};

// Where the bytes of one document come from.
struct SpoolInput {
    std::string shownName;     // in messages: the path, or "standard input"
    std::string documentName;  // what the spooler's queue shows
    std::function<std::unique_ptr<FileReader>()> open;  // throws FileReadError
    bool ejectWhenEmpty = true;  // an empty input still sends the form feed (a lone page eject)
    // Told the job's number once the spooler created the job, before any byte of the document
    // is sent, so that a record of it can be made first.
    std::function<void(int)> jobCreated = nullptr;
};

// The file at path as the input of a document, named for the queue by its file name.
SpoolInput FileInput(const std::string& path, FileSystem& files);

// Sends the bytes of the input, unchanged, to the printer that selection names, as one raw
// document; then the form feed when the options ask for it. Shows nothing: the outcome says
// what became of it, in the words the caller tells a person (outcome_texts.h). A failed
// document is withdrawn, never printed half-written. Exactly the length a file had when it was
// opened is read; a file that grew, was cut short or was rewritten meanwhile is withdrawn too
// (SpoolFailure::Changed).
SpoolOutcome SpoolFileRaw(const SpoolInput& input, const std::string& selection,
                          PrinterSystem& system, const SpoolOptions& options);

}  // namespace vantrel

#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <system_error>

#include "autoprint/autoprint_rules.h"
#include "autoprint/kept_files_record.h"
#include "autoprint/spooled_jobs_record.h"
#include "platform/file_system.h"
#include "platform/printer_system.h"
#include "printing/spool_file_raw.h"

namespace vantrel {

// The one rule every AutoPrint keeps for a file that settled in its folder, the window's ticker
// and the headless service alike: find the folder's printer, print the file in its copies,
// then delete it, or remember it, or move it to Failed/. The schedulers only choose when a file
// is due and tell what became of it, each in its own words.

// A file of a watched folder that stayed the same for its settle time.
struct DroppedFile {
    std::string folder;
    std::string path;
    FileIdentity settled;  // as it was when it settled
};

// What an AutoPrint works with.
struct DropSeams {
    PrinterSystem& printers;
    FileSystem& files;
    KeptFilesRecord& kept;
};

// The record of one file's copies, for a print that resumes where an earlier run left it: each
// copy is noted as being sent before its document starts, and with its job once it is known.
struct CopyLedger {
    SpooledJobsRecord& record;
    std::string path;
    SpooledFile entry;        // the copies begun so far, none of them being sent
    bool keepFile = false;    // the file stays once spooled, until its jobs have ended
    std::error_code unsaved;  // why the record could not be saved, the last time
    std::string holder;       // who prints, in the words of a file's printing mark
};

// The folder's printer as the spooler lists it now; throws SpoolError when it cannot be asked.
using PrinterLookup = std::function<AutoPrintPrinter()>;

// What became of a dropped file.
enum class DroppedFate {
    Printed,            // every copy spooled, then the file was deleted
    Spooled,            // every copy spooled; the file stays until its jobs have ended
    Changed,            // found changed when opened or while sent: withdrawn, settles again
    ChangedAfterPrint,  // printed, but the path names other content now: stays, settles again
    PrintedKept,        // printed, but could not be deleted: remembered, not printed again
    Failed,             // refused or unreadable: moved to Failed/
    FailedKept,         // refused or unreadable, and could not be moved: remembered
    FailedGone,         // refused or unreadable, and gone meanwhile
    SpoolerAway,        // the spooler could not be asked: the file stays for a later try
    PrinterMissing,     // no printer is what the folder asks for: the file stays
    PrinterUnopenable,  // the printer was found but could not be opened: the file stays
    PrinterGone,        // the job was refused and the printer is gone: the file stays
    // Whether a copy an earlier run was sending printed can no longer be told: the file stays,
    // remembered, and is not printed again unasked.
    CompletionUnknown,
    // Another AutoPrint, of another user or machine, began it and was stopped: it is left to
    // that one (the reason names it), never printed a second time.
    PrintedElsewhere,
};

struct DroppedOutcome {
    DroppedFate fate = DroppedFate::SpoolerAway;
    std::string printer;          // the printer's device name, once it was found
    std::string reason;           // why it was not printed, or why the printer is away
    bool busy = false;            // away only for now: the spooler takes no more jobs at present
    bool printerFound = false;    // the spooler answered the lookup
    std::uint64_t size = 0;       // bytes of one copy, once printed
    std::string movedTo;          // the file's path in Failed/
    std::string failedDir;        // the folder's Failed subdirectory
    std::error_code error;        // why it could not be deleted or moved
    bool remembered = false;      // the file was added to the kept-files record
    std::error_code unsaved;      // why the record could not be saved then
    bool spooledEarlier = false;  // every copy was spooled by an earlier run already
};

// Prints the dropped file in copies on the printer lookup finds, and carries out the rule. With a
// ledger, only the copies it does not hold yet are printed, and each is noted in it.
DroppedOutcome PrintDroppedFile(const DroppedFile& file, const PrinterLookup& lookup, int copies,
                                const SpoolOptions& options, DropSeams seams,
                                CopyLedger* ledger = nullptr);

// PrintDroppedFile for an AutoPrint that keeps a record of its prints in ledger.record: a file
// the record holds as it is now resumes where the run that began it stopped, on the printer it
// began on, in the copies asked then, after the copies spooled already; the copy that was being
// sent then is settled by its job first (SettleCopyBeingSent). ledger.entry is set here.
DroppedOutcome PrintRecordedFile(const DroppedFile& file, const PrinterLookup& lookup, int copies,
                                 const SpoolOptions& options, DropSeams seams, CopyLedger& ledger);

// Done with a recorded file, whatever became of it: its entry and its mark in the folder go.
std::error_code ReleaseRecordedFile(FileSystem& files, SpooledJobsRecord& record,
                                    const std::string& folder, const std::string& path);

// The end of a file whose every copy was spooled as `printed` (Spooled) and whose jobs ended:
// deleted when they completed, else moved to Failed/ for the reason given.
DroppedOutcome RemovePrintedFile(const DroppedFile& file, const FileIdentity& printed,
                                 DropSeams seams);
DroppedOutcome GiveUpDroppedFile(const DroppedFile& file, const std::string& reason,
                                 DropSeams seams);

}  // namespace vantrel

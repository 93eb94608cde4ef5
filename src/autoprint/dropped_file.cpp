#include "autoprint/dropped_file.h"

#include "printing/document_name.h"
#include "printing/print_copies.h"

namespace vantrel {

namespace {

// Each copy opens the file at path itself, never through a link, and only while it is still the
// file that settled, so that nothing swapped in after the look is read. A file found changed at
// the open fails as Changed, as one that changed while it was sent does: nothing of it was
// printed, and it is to settle again. A ledger is told of each copy before its document starts
// and once its job is known, so that a run killed at any point knows what became of it.
CopiesOutcome PrintSettledFile(const DroppedFile& file, const std::string& selection, int copies,
                               const SpoolOptions& options, DropSeams seams, CopyLedger* ledger) {
    bool changed = false;
    SpoolInput input{file.path, DocumentName(file.path), [&]() -> std::unique_ptr<FileReader> {
                         try {
                             return seams.files.openSettled(file.path, file.settled);
                         } catch (const FileChangedError&) {
                             changed = true;
                             throw;
                         }
                     }};
    if (!ledger) {
        CopiesOutcome outcome = PrintCopiesOf(input, selection, copies, seams.printers, options);
        if (changed) outcome.failure = SpoolFailure::Changed;
        return outcome;
    }
    CopiesOutcome outcome;
    outcome.requested = copies;
    outcome.spooled = static_cast<int>(ledger->entry.jobs.size());
    outcome.shownName = file.path;
    SpooledFile& entry = ledger->entry;
    for (int copy = outcome.spooled + 1; copy <= copies; ++copy) {
        input.documentName = SpooledCopyName(file.path, file.settled, copy);
        entry.jobs.push_back(kBeingSent);
        ledger->unsaved = ledger->record.put(ledger->path, entry);
        SpoolOutcome one = SpoolInputRaw(input, selection, seams.printers, options);
        outcome.printer = one.printer;
        if (!one.spooled) {
            outcome.failure = changed ? SpoolFailure::Changed : one.failure;
            outcome.reason = one.reason;
            break;
        }
        if (!outcome.identity) outcome.identity = one.identity;
        entry.jobs.back() = one.jobId;
        ledger->unsaved = ledger->record.put(ledger->path, entry);
        ++outcome.spooled;
    }
    // Every copy was spooled by an earlier run: the file is the one that settled.
    if (!outcome.identity && outcome.allSpooled()) outcome.identity = file.settled;
    return outcome;
}

// Whether the printer is still installed, once it refused a job: was it the file, or is the
// printer gone?
bool StillInstalled(PrinterSystem& printers, const std::string& printer) {
    try {
        return printers.openPrinter(printer) != nullptr;
    } catch (const SpoolError&) {
        return false;  // the spooler went away meanwhile: wait for it like for the printer
    }
}

// Deletes the printed file, only while the path still names the very file that was printed.
void RemovePrinted(const FileIdentity& printed, const DroppedFile& file, DropSeams seams,
                   DroppedOutcome& outcome) {
    outcome.size = printed.size;
    const auto now = seams.files.identityOf(file.path);
    if (!now || !(*now == printed)) {
        outcome.fate = DroppedFate::ChangedAfterPrint;
        return;
    }
    outcome.error = seams.files.removeIfSame(file.path, printed);
    if (outcome.error == kNotTheSameFile) {
        outcome.fate = DroppedFate::ChangedAfterPrint;
    } else if (!outcome.error || outcome.error == std::errc::no_such_file_or_directory) {
        // Taken away by someone else meanwhile: printed, and gone, as asked.
        outcome.error.clear();
        outcome.fate = DroppedFate::Printed;
    } else {
        outcome.fate = DroppedFate::PrintedKept;
        outcome.remembered = true;
        outcome.unsaved = seams.kept.add(file.path, printed);
    }
}

// A file that could not be printed goes to Failed/, or is remembered where it is.
void GiveUp(const DroppedFile& file, DropSeams seams, DroppedOutcome& outcome) {
    if (!seams.files.identityOf(file.path)) {
        outcome.fate = DroppedFate::FailedGone;
        return;
    }
    const FailedMove move = MoveToFailedFolder(seams.files, file.folder, file.path);
    outcome.failedDir = move.failedDir;
    outcome.error = move.error;
    if (!move.error) {
        outcome.fate = DroppedFate::Failed;
        outcome.movedTo = move.to;
        return;
    }
    outcome.fate = DroppedFate::FailedKept;
    if (auto now = seams.files.identityOf(file.path)) {
        outcome.remembered = true;
        outcome.unsaved = seams.kept.add(file.path, *now);
    }
}

}  // namespace

bool DroppedOutcome::printerAnswered() const {
    return fate != DroppedFate::SpoolerAway && fate != DroppedFate::PrinterMissing &&
           fate != DroppedFate::PrinterUnopenable && fate != DroppedFate::PrinterGone;
}

DroppedOutcome PrintDroppedFile(const DroppedFile& file, const PrinterLookup& lookup, int copies,
                                const SpoolOptions& options, DropSeams seams, CopyLedger* ledger) {
    DroppedOutcome outcome;
    AutoPrintPrinter printer;
    try {
        printer = lookup();
    } catch (const SpoolError& error) {
        outcome.reason = error.what();
        return outcome;  // SpoolerAway
    }
    outcome.printerFound = true;
    if (printer.selection.empty()) {
        outcome.fate = DroppedFate::PrinterMissing;
        outcome.reason = printer.missing;
        return outcome;
    }
    outcome.printer = printer.deviceName;
    if (ledger) ledger->entry.printer = printer.deviceName;

    const CopiesOutcome printed =
        PrintSettledFile(file, printer.selection, copies, options, seams, ledger);
    outcome.reason = printed.reason;
    switch (printed.failure) {
        case SpoolFailure::SpoolerUnreachable:
        case SpoolFailure::SpoolerBusy:
            outcome.fate = DroppedFate::SpoolerAway;
            outcome.busy = printed.failure == SpoolFailure::SpoolerBusy;
            return outcome;
        case SpoolFailure::PrinterName:
            outcome.fate = DroppedFate::PrinterUnopenable;
            return outcome;
        case SpoolFailure::SpoolerRefused:
            if (StillInstalled(seams.printers, printer.deviceName)) break;
            outcome.fate = DroppedFate::PrinterGone;
            return outcome;
        case SpoolFailure::Changed:
            outcome.fate = DroppedFate::Changed;
            return outcome;
        case SpoolFailure::File:
        case SpoolFailure::None:
            break;
    }
    if (printed.allSpooled() && ledger && ledger->keepFile) {
        outcome.fate = DroppedFate::Spooled;
        outcome.size = printed.identity->size;
    } else if (printed.allSpooled()) {
        RemovePrinted(*printed.identity, file, seams, outcome);
    } else {
        GiveUp(file, seams, outcome);
    }
    return outcome;
}

DroppedOutcome RemovePrintedFile(const DroppedFile& file, const FileIdentity& printed,
                                 DropSeams seams) {
    DroppedOutcome outcome;
    outcome.printerFound = true;
    RemovePrinted(printed, file, seams, outcome);
    return outcome;
}

DroppedOutcome GiveUpDroppedFile(const DroppedFile& file, const std::string& reason,
                                 DropSeams seams) {
    DroppedOutcome outcome;
    outcome.printerFound = true;
    outcome.reason = reason;
    GiveUp(file, seams, outcome);
    return outcome;
}

}  // namespace vantrel

#include "autoprint/dropped_file.h"

#include "autoprint/copy_being_sent.h"
#include "platform/path_text.h"
#include "printing/after_print.h"
#include "printing/document_name.h"
#include "printing/print_copies.h"

namespace vantrel {

namespace {

// Each copy opens the file at path itself, never through a link, and only while it is still the
// file that settled, so that nothing swapped in after the look is read. A file found changed at
// the open fails as Changed, as one that changed while it was sent does: nothing of it was
// printed, and it is to settle again. A ledger is told of each copy before its job is created,
// and of the job's number, on the disk, before any byte of its document is sent, so that a run
// killed at any point knows what became of it; a copy that failed stays noted as it stood, for
// the next try to settle by its job.
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
    CopySteps steps;
    if (ledger) {
        const auto note = [ledger](bool durable) {
            ledger->unsaved = ledger->record.put(ledger->path, ledger->entry, durable);
        };
        steps.spooledBefore = static_cast<int>(ledger->entry.jobs.size());
        steps.beginning = [&file, ledger, note](int copy, SpoolInput& one) {
            one.documentName = SpooledCopyName(file.path, file.settled, copy);
            ledger->entry.jobs.push_back(kBeingCreated);
            note(false);
        };
        steps.created = [ledger, note](int, int id) {
            ledger->entry.jobs.back() = id;
            ledger->entry.lastUnconfirmed = true;
            note(true);
        };
        steps.spooled = [ledger, note](int, const SpoolOutcome& one) {
            ledger->entry.jobs.back() = one.jobId;
            ledger->entry.lastUnconfirmed = false;
            note(false);
        };
    }
    CopiesOutcome outcome = PrintCopiesOf(input, selection, copies, seams.printers, options, steps);
    if (changed) outcome.failure = SpoolFailure::Changed;
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
    const AfterPrintOutcome after =
        CarryOutAfterPrint(AfterPrintAction::Delete, file.path, printed, seams.files);
    outcome.error = after.error;
    if (after.fate == AfterPrintFate::Deleted) {
        outcome.fate = DroppedFate::Printed;
    } else if (after.fate == AfterPrintFate::NotDeleted) {
        outcome.fate = DroppedFate::PrintedKept;
        outcome.remembered = true;
        outcome.unsaved = seams.kept.add(seams.files, file.path, printed);
    } else {
        outcome.fate = DroppedFate::ChangedAfterPrint;
    }
}

// A file that could not be printed goes to Failed/, or is remembered where it is.
void GiveUp(const DroppedFile& file, DropSeams seams, DroppedOutcome& outcome) {
    const auto now = seams.files.identityOf(file.path);
    const AfterPrintOutcome after =
        now ? CarryOutAfterPrint(AfterPrintAction::Move, file.path, *now, seams.files,
                                 {kFailedDirectoryName, true})
            : FateOnly(AfterPrintFate::Gone);
    if (after.fate == AfterPrintFate::Gone || after.fate == AfterPrintFate::Changed) {
        outcome.fate = DroppedFate::FailedGone;  // another file by its name settles on its own
        return;
    }
    outcome.failedDir = JoinPath(file.folder, kFailedDirectoryName);
    outcome.error = after.error;
    if (after.fate == AfterPrintFate::Moved) {
        outcome.fate = DroppedFate::Failed;
        outcome.movedTo = after.destination;
        return;
    }
    outcome.fate = DroppedFate::FailedKept;
    if (auto still = seams.files.identityOf(file.path)) {
        outcome.remembered = true;
        outcome.unsaved = seams.kept.add(seams.files, file.path, *still);
    }
}

// A recorded file that is done with, printed, failed or changed, leaves the record and loses its
// mark, unless it stays kept where it is; one that waits for the spooler, its printer or its
// jobs keeps both.
DroppedOutcome Settled(DroppedOutcome outcome, const DroppedFile& file, DropSeams seams,
                       CopyLedger& ledger) {
    switch (outcome.fate) {
        case DroppedFate::Spooled:
        case DroppedFate::SpoolerAway:
        case DroppedFate::PrinterMissing:
        case DroppedFate::PrinterUnopenable:
        case DroppedFate::PrinterGone:
        case DroppedFate::PrintedElsewhere:
            return outcome;
        default:
            // A file kept after a print that may have happened keeps its mark, with its entry
            // in the kept-files record, so that no other AutoPrint prints it again.
            ledger.unsaved = outcome.remembered ? ledger.record.drop(file.path)
                                                : ReleaseRecordedFile(seams.files, ledger.record,
                                                                      file.folder, file.path);
            return outcome;
    }
}

}  // namespace

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

DroppedOutcome PrintRecordedFile(const DroppedFile& file, const PrinterLookup& lookup, int copies,
                                 const SpoolOptions& options, DropSeams seams, CopyLedger& ledger) {
    const SpooledFile* known = ledger.record.find(file.path);
    if (known && !(known->identity == file.settled)) {
        ledger.unsaved = ledger.record.drop(file.path);  // another file by that name
        known = nullptr;
    }
    ledger.entry = known ? *known : SpooledFile{file.settled, {}, copies, {}, false};
    DroppedOutcome outcome;
    if (!known) {
        const std::string mark = PrintingMarkName(file.path, file.settled);
        if (seams.files.createMark(file.folder, mark, ledger.holder + "\n") ==
            std::errc::file_exists) {
            outcome.fate = DroppedFate::PrintedElsewhere;
            outcome.reason = seams.files.readMark(file.folder, mark).value_or("");
            if (outcome.reason.empty()) outcome.reason = "another AutoPrint";
            return outcome;
        }
        // Noted with its mark, so that a later try knows the mark for its own.
        ledger.unsaved = ledger.record.put(file.path, ledger.entry);
        return Settled(PrintDroppedFile(file, lookup, copies, options, seams, &ledger), file, seams,
                       ledger);
    }
    outcome.printer = ledger.entry.printer;
    try {
        const SentCopy copy = SettleCopyBeingSent(seams.printers, file.path, ledger.entry);
        if (copy == SentCopy::Lost) {
            outcome.fate = DroppedFate::CompletionUnknown;
            outcome.reason =
                "the copy being sent when AutoPrint last stopped is not known to the "
                "spooler any more";
            outcome.remembered = true;
            outcome.unsaved = seams.kept.add(seams.files, file.path, file.settled);
            return Settled(outcome, file, seams, ledger);
        }
        if (copy == SentCopy::SendAgain) {
            ledger.unsaved = ledger.record.put(file.path, ledger.entry);
        }
    } catch (const SpoolError& error) {
        outcome.reason = error.what();
        return outcome;  // SpoolerAway
    }
    const std::size_t spooledBefore = ledger.entry.jobs.size();
    const std::string printer = ledger.entry.printer;
    // A file none of whose copies was begun has no printer of its own yet.
    const bool begun = spooledBefore > 0;
    outcome = PrintDroppedFile(
        file, [&] { return begun ? FindBoundPrinter(seams.printers, printer) : lookup(); },
        ledger.entry.copies, options, seams, &ledger);
    outcome.spooledEarlier = ledger.entry.jobs.size() == spooledBefore &&
                             static_cast<int>(spooledBefore) == ledger.entry.copies;
    return Settled(outcome, file, seams, ledger);
}

std::error_code ReleaseRecordedFile(FileSystem& files, SpooledJobsRecord& record,
                                    const std::string& folder, const std::string& path) {
    const SpooledFile* entry = record.find(path);
    if (!entry) return {};
    files.removeFile(JoinPath(folder, PrintingMarkName(path, entry->identity)));
    return record.drop(path);
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

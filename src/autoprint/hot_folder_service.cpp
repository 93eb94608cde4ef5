#include "autoprint/hot_folder_service.h"

#include <algorithm>
#include <utility>

#include "autoprint/autoprint_rules.h"
#include "autoprint/journal_lines.h"
#include "platform/path_text.h"
#include "printing/printer_selection.h"

namespace vantrel {

namespace {

// A full look at every folder runs this often besides the events, so that nothing is missed
// when events were lost.
constexpr std::chrono::milliseconds kFullLookEvery{5000};
constexpr std::chrono::milliseconds kFirstRetry{1000};
constexpr std::chrono::milliseconds kLongestRetry{30000};

std::chrono::milliseconds Until(SteadyTime at, SteadyTime now) {
    return std::max(std::chrono::milliseconds(0),
                    std::chrono::ceil<std::chrono::milliseconds>(at - now));
}

}  // namespace

HotFolderService::HotFolderService(ServiceSettings settings, ServiceSeams seams, Journal journal)
    : copies_(settings.copies),
      options_(settings.options),
      seams_(seams),
      journal_(std::move(journal)),
      kept_(std::move(settings.keptRecordPath)),
      spooled_(std::move(settings.spooledRecordPath)),
      bindings_(std::move(settings.bindingsRecordPath)),
      wait_(settings.wait),
      spooler_{BackOff(kFirstRetry, kLongestRetry), std::nullopt} {
    for (auto& place : settings.folders) {
        folders_.push_back({std::move(place),
                            SettleTracker(settings.settle),
                            {BackOff(kFirstRetry, kLongestRetry), std::nullopt},
                            std::nullopt,
                            false,
                            false,
                            nullptr,
                            {},
                            {},
                            {}});
    }
    if (!spooled_.unreadable().empty()) {
        journal_(RecordUnreadableLine(spooled_.recordPath(), spooled_.unreadable()));
    } else if (spooled_.skippedLines() > 0) {
        journal_(RecordSkippedLine(spooled_.recordPath(), spooled_.skippedLines()));
    }
    for (const auto& folder : folders_) {
        journal_(WatchingLine(folder.place.folder, folder.place.printer, settings.settle));
    }
    if (auto why = seams_.events.pollingReason(); !why.empty()) {
        journal_(PollingLine(why, kFolderPollInterval));
    }
    bindNamedPrinters();
}

// Each folder whose watch another AutoPrint holds is looked at only once this one has it: at
// start, and at every full look after.
void HotFolderService::takeWatches() {
    for (auto& folder : folders_) {
        if (folder.watch) continue;
        FolderWatch watch = seams_.watch(folder.place.folder);
        folder.holder = watch.holder;
        if (watch.lock) {
            folder.watch = std::move(watch.lock);
            if (!folder.notWatched.empty()) journal_(TookOverLine(folder.place.folder));
            folder.notWatched.clear();
            continue;
        }
        const std::string why =
            !watch.holder.empty() ? WatchedElsewhereLine(folder.place.folder, watch.holder)
            : watch.locksUnsupported
                ? UnwatchableLine(folder.place.folder,
                                  "its file system takes no locks, so "
                                  "another AutoPrint there could not be told")
                : UnwatchableLine(
                      folder.place.folder,
                      "its lock " + kFolderLockName + " cannot be had: " + watch.error.message());
        if (why != folder.notWatched) journal_(why);
        folder.notWatched = why;
    }
}

// At start, or once the spooler can first be asked. A binding an earlier run made holds, also
// while its queue is missing: the files wait for that queue. A folder's printer is asked for by
// its name in one small request where the spooler can; the full listing serves only the others.
void HotFolderService::bindNamedPrinters() {
    try {
        std::optional<std::vector<Printer>> printers;
        for (auto& folder : folders_) {
            if (folder.bindingKnown) continue;
            const auto& argument = folder.place.printer;
            if (argument) folder.boundTo = bindings_.find(folder.place.folder, *argument);
            if (argument && !folder.boundTo) {
                if (auto named = seams_.printers.printerNamed(*argument)) {
                    folder.boundTo = named->deviceName;
                } else {
                    if (!printers) printers = seams_.printers.printers();
                    folder.boundTo = ExactlyNamedPrinter(*printers, *argument);
                }
                if (folder.boundTo) {
                    if (auto error =
                            bindings_.bind(folder.place.folder, *argument, *folder.boundTo))
                        journal_(BindingUnsavedLine(folder.place.folder, error.message()));
                }
            }
            folder.bindingKnown = true;
        }
    } catch (const SpoolError&) {
        // Asked again before the next print.
    }
}

AutoPrintPrinter HotFolderService::printerOf(Folder& folder) {
    bindNamedPrinters();
    if (!folder.boundTo) return FindAutoPrintPrinter(seams_.printers, folder.place.printer);
    // The bound printer by its name alone; the listing only tells that it is gone.
    if (auto named = seams_.printers.printerNamed(*folder.boundTo);
        named && named->deviceName == *folder.boundTo) {
        AutoPrintPrinter found;
        found.selection = SelectionString(*named);
        found.deviceName = named->deviceName;
        return found;
    }
    return FindBoundPrinter(seams_.printers, *folder.boundTo);
}

void HotFolderService::noteSaved(std::error_code error, Record which) {
    const bool spooled = which == Record::SpooledJobs;
    const std::string& record = spooled ? spooled_.recordPath() : kept_.recordPath();
    bool& unsaved = spooled ? spooledUnsaved_ : recordUnsaved_;
    if (static_cast<bool>(error) == unsaved) return;
    unsaved = static_cast<bool>(error);
    journal_(error ? RecordUnsavedLine(record, error.message(), spooled)
                   : RecordSavedLine(record, spooled));
}

void HotFolderService::run() {
    auto nextFullLook = seams_.now();
    while (!seams_.stop.requested()) {
        if (seams_.now() >= nextFullLook) {
            takeWatches();
            lookAtAll();
            nextFullLook = seams_.now() + kFullLookEvery;
        }
        handleDue();
        followJobs();
        const auto due = nextDue();
        const FolderWake wake = seams_.events.wait(
            Until(due ? std::min(*due, nextFullLook) : nextFullLook, seams_.now()));
        for (const auto& change : wake.changes) {
            Folder& folder = folders_.at(change.folder);
            if (!folder.watch) continue;
            change.name.empty() ? lookAtFolder(folder) : lookAt(folder, change.name);
        }
        if (wake.stop) break;
    }
    journal_(StoppedLine());
}

void HotFolderService::lookAtAll() {
    noteSaved(kept_.prune(seams_.files), Record::KeptFiles);
    pruneSpooled();
    for (auto& folder : folders_) {
        folder.watch ? lookAtFolder(folder) : lookAtOwn(folder);
    }
}

// While another user's AutoPrint watches the folder, the files this one began (its record holds
// them, and their marks keep the other away) are still this one's to finish: nobody else can.
// One of the same user shares the record, so it finishes them itself; and a file in that record
// may be one it is sending right now, which this one must never touch.
void HotFolderService::lookAtOwn(Folder& folder) {
    if (SameUser(folder.holder, holder_)) return;
    for (const auto& path : spooled_.paths()) {
        if (ParentOf(path) == folder.place.folder) lookAt(folder, NameOf(path));
    }
}

void HotFolderService::lookAtFolder(Folder& folder) {
    std::error_code error;
    const auto names = VisibleEntryNames(seams_.files, folder.place.folder, &error);
    if (static_cast<bool>(error) != folder.unreadable) {
        folder.unreadable = static_cast<bool>(error);
        journal_(error ? FolderUnreadableLine(folder.place.folder, error.message())
                       : FolderBackLine(folder.place.folder));
    }
    for (const auto& name : names) lookAt(folder, name);
    folder.settle.keepOnly(names);
}

void HotFolderService::lookAt(Folder& folder, const std::string& name) {
    if (name.starts_with('.')) return;  // dot files are hidden
    const std::string path = pathOf(folder, name);
    if (seams_.files.isSymbolicLink(path)) return folder.settle.forget(name);
    folder.settle.note(name, seams_.files.identityOf(path), seams_.now());
}

void HotFolderService::handleDue() {
    for (auto& folder : folders_) {
        for (const auto& name : folder.settle.takeDue(seams_.now())) {
            // Between two files: a request to stop ends the run here, none is begun.
            if (seams_.stop.requested()) return;
            handleFile(folder, name);
        }
    }
}

void HotFolderService::handleFile(Folder& folder, const std::string& name) {
    const std::string path = pathOf(folder, name);
    if (seams_.files.isSymbolicLink(path)) return folder.settle.forget(name);
    const auto identity = seams_.files.identityOf(path);
    if (!folder.settle.settled(name, identity, seams_.now())) return;
    if (kept_.contains(path, *identity)) return;  // given up earlier: stays until it changes
    if (following_.contains(path)) return;        // spooled: goes once its jobs have ended
    if (const auto until = waitingUntil(folder)) return folder.settle.recheckAt(name, *until);
    print(folder, name, path, *identity);
}

void HotFolderService::print(Folder& folder, const std::string& name, const std::string& path,
                             const FileIdentity& settled) {
    CopyLedger ledger{spooled_, path, {}, wait_, {}, holder_};
    const auto outcome = PrintRecordedFile(
        {folder.place.folder, path, settled}, [&] { return printerOf(folder); }, copies_, options_,
        {seams_.printers, seams_.files, kept_}, ledger);
    noteSaved(ledger.unsaved, Record::SpooledJobs);
    // Spooled whole by an earlier run: followed again without saying so twice.
    if (outcome.fate == DroppedFate::Spooled && outcome.spooledEarlier) {
        back(folder, outcome.printer);
        return follow(folder, name, ledger.entry);
    }
    report(folder, name, outcome, ledger.entry);
}

void HotFolderService::report(Folder& folder, const std::string& name,
                              const DroppedOutcome& outcome, const SpooledFile& entry) {
    const std::string& printer = outcome.printer;
    const std::string& where = folder.place.folder;
    switch (outcome.fate) {
        case DroppedFate::SpoolerAway:
            // A stop ends the waits on the spooler, and so this print: no outage.
            if (seams_.stop.requested()) return journal_(StoppingLine(name));
            return away(spooler_, folder, name,
                        outcome.busy ? SpoolerBusyLine(outcome.reason)
                                     : SpoolerUnreachableLine(outcome.reason));
        case DroppedFate::PrinterMissing:
            return away(folder.printer, folder, name, PrinterMissingLine(where, outcome.reason));
        case DroppedFate::PrinterUnopenable:
            return away(folder.printer, folder, name,
                        PrinterMissingLine(where, "the printer " + printer + " cannot be opened"));
        case DroppedFate::PrinterGone:
            return away(folder.printer, folder, name,
                        PrinterMissingLine(where, "the printer " + printer + " is gone"));
        case DroppedFate::PrintedElsewhere:
            folder.settle.recheckAt(name, seams_.now() + kFullLookEvery);
            if (folder.leftToOthers.insert(name).second) {
                journal_(PrintedElsewhereLine(name, outcome.reason));
            }
            return;
        default:
            break;
    }
    back(folder, printer);
    const std::string printed = PrintedLine(name, printer, entry.copies, outcome.size);
    if (outcome.fate == DroppedFate::Spooled) {
        journal_(printed);
        return follow(folder, name, entry);
    }
    // Whatever else became of it, the file is done with: printed, failed, or a new one.
    release(folder, pathOf(folder, name), outcome.remembered);
    switch (outcome.fate) {
        case DroppedFate::Changed:
            journal_(WithdrawnLine(name, printer, outcome.reason));
            return settleAgain(folder, name);
        case DroppedFate::ChangedAfterPrint:
            journal_(ChangedLine(printed));
            return settleAgain(folder, name);
        case DroppedFate::PrintedKept:
            noteSaved(outcome.unsaved, Record::KeptFiles);
            return journal_(UndeletableLine(printed, outcome.error.message()));
        case DroppedFate::Printed:
            folder.settle.forget(name);
            return journal_(printed);
        case DroppedFate::Failed:
            folder.settle.forget(name);
            return journal_(FailedLine(name, printer, outcome.reason, NameOf(outcome.movedTo)));
        case DroppedFate::FailedKept:
            if (outcome.remembered) noteSaved(outcome.unsaved, Record::KeptFiles);
            return journal_(FailedUnmovedLine(name, printer, outcome.reason,
                                              FailedMoveErrorText(outcome.error)));
        case DroppedFate::FailedGone:
            return folder.settle.forget(name);
        case DroppedFate::CompletionUnknown:
            noteSaved(outcome.unsaved, Record::KeptFiles);
            return journal_(CompletionUnknownLine(name, printer, outcome.reason));
        default:
            break;
    }
}

// Entries of this service's folders whose file is gone, or is another file now, are done with.
void HotFolderService::pruneSpooled() {
    for (const auto& path : spooled_.paths()) {
        const auto parent = ParentOf(path);
        const bool ours = std::ranges::any_of(
            folders_, [&](const Folder& folder) { return folder.place.folder == parent; });
        if (!ours || following_.contains(path)) continue;
        const auto now = seams_.files.identityOf(path);
        if (!now || !(*now == spooled_.find(path)->identity)) {
            noteSaved(ReleaseRecordedFile(seams_.files, spooled_, parent, path),
                      Record::SpooledJobs);
        }
    }
    noteSaved(spooled_.compact([this](const std::string& path, const FileIdentity& identity) {
        return following_.contains(path) || seams_.files.identityOf(path) == identity;
    }),
              Record::SpooledJobs);
}

// A file kept where it is keeps its mark, so that no other AutoPrint prints it again.
void HotFolderService::release(Folder& folder, const std::string& path, bool kept) {
    noteSaved(kept ? spooled_.drop(path)
                   : ReleaseRecordedFile(seams_.files, spooled_, folder.place.folder, path),
              Record::SpooledJobs);
}

// What is at the path now starts its settle time afresh, as a file just dropped would.
void HotFolderService::settleAgain(Folder& folder, const std::string& name) {
    folder.settle.forget(name);
    lookAt(folder, name);
}

void HotFolderService::away(Outage& outage, Folder& folder, const std::string& name,
                            const std::string& line) {
    if (!outage.retryAt) journal_(line);  // once for each outage
    outage.retryAt = seams_.now() + outage.backOff.next();
    folder.settle.recheckAt(name, *outage.retryAt);
}

void HotFolderService::back(Folder& folder, const std::string& printer) {
    const bool wasAway = spooler_.retryAt || folder.printer.retryAt;
    for (Outage* outage : {&spooler_, &folder.printer}) {
        outage->retryAt.reset();
        outage->backOff.reset();
    }
    if (wasAway) journal_(ResumedLine(printer));
}

std::optional<SteadyTime> HotFolderService::waitingUntil(const Folder& folder) const {
    std::optional<SteadyTime> until;
    for (const Outage* outage : {&spooler_, &folder.printer}) {
        if (outage->retryAt && *outage->retryAt > seams_.now()) {
            until = until ? std::max(*until, *outage->retryAt) : *outage->retryAt;
        }
    }
    return until;
}

std::optional<SteadyTime> HotFolderService::nextDue() const {
    std::optional<SteadyTime> next;
    for (const auto& [path, followed] : following_) {
        if (followed.due) next = next ? std::min(*next, *followed.due) : *followed.due;
    }
    for (const auto& folder : folders_) {
        if (auto due = folder.settle.nextDue()) next = next ? std::min(*next, *due) : *due;
    }
    return next;
}

std::string HotFolderService::pathOf(const Folder& folder, const std::string& name) const {
    return JoinPath(folder.place.folder, name);
}

}  // namespace vantrel

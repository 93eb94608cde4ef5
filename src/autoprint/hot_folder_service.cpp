#include "autoprint/hot_folder_service.h"

#include <algorithm>
#include <filesystem>
#include <utility>

#include "autoprint/autoprint_rules.h"
#include "autoprint/journal_lines.h"

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
      spooler_{BackOff(kFirstRetry, kLongestRetry), std::nullopt} {
    for (auto& place : settings.folders) {
        folders_.push_back({std::move(place),
                            SettleTracker(settings.settle),
                            {BackOff(kFirstRetry, kLongestRetry), std::nullopt},
                            std::nullopt,
                            false,
                            false});
    }
    for (const auto& folder : folders_) {
        journal_(WatchingLine(folder.place.folder, folder.place.printer, settings.settle));
    }
    if (auto why = seams_.events.pollingReason(); !why.empty()) {
        journal_(PollingLine(why, kFolderPollInterval));
    }
    bindNamedPrinters();
}

// At start, or once the spooler can first be asked.
void HotFolderService::bindNamedPrinters() {
    try {
        std::optional<std::vector<Printer>> printers;
        for (auto& folder : folders_) {
            if (folder.bindingKnown) continue;
            if (!printers) printers = seams_.printers.printers();
            if (folder.place.printer) {
                folder.boundTo = ExactlyNamedPrinter(*printers, *folder.place.printer);
            }
            folder.bindingKnown = true;
        }
    } catch (const SpoolError&) {
        // Asked again before the next print.
    }
}

AutoPrintPrinter HotFolderService::printerOf(Folder& folder) {
    bindNamedPrinters();
    if (folder.boundTo) return FindBoundPrinter(seams_.printers, *folder.boundTo);
    return FindAutoPrintPrinter(seams_.printers, folder.place.printer);
}

void HotFolderService::noteSaved(std::error_code error) {
    if (static_cast<bool>(error) == recordUnsaved_) return;
    recordUnsaved_ = static_cast<bool>(error);
    journal_(error ? RecordUnsavedLine(kept_.recordPath(), error.message())
                   : RecordSavedLine(kept_.recordPath()));
}

void HotFolderService::run() {
    auto nextFullLook = seams_.now();
    while (!seams_.stop.requested()) {
        if (seams_.now() >= nextFullLook) {
            lookAtAll();
            nextFullLook = seams_.now() + kFullLookEvery;
        }
        handleDue();
        const auto due = nextDue();
        const FolderWake wake = seams_.events.wait(
            Until(due ? std::min(*due, nextFullLook) : nextFullLook, seams_.now()));
        for (const auto& change : wake.changes) {
            Folder& folder = folders_.at(change.folder);
            change.name.empty() ? lookAtFolder(folder) : lookAt(folder, change.name);
        }
        if (wake.stop) break;
    }
    journal_(StoppedLine());
}

void HotFolderService::lookAtAll() {
    noteSaved(kept_.prune(seams_.files));
    for (auto& folder : folders_) lookAtFolder(folder);
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
    if (const auto until = waitingUntil(folder)) return folder.settle.recheckAt(name, *until);
    print(folder, name, path, *identity);
}

void HotFolderService::print(Folder& folder, const std::string& name, const std::string& path,
                             const FileIdentity& settled) {
    const auto outcome =
        PrintDroppedFile({folder.place.folder, path, settled}, [&] { return printerOf(folder); },
                         copies_, options_, {seams_.printers, seams_.files, kept_});
    report(folder, name, outcome);
}

void HotFolderService::report(Folder& folder, const std::string& name,
                              const DroppedOutcome& outcome) {
    const std::string& printer = outcome.printer;
    const std::string& where = folder.place.folder;
    switch (outcome.fate) {
        case DroppedFate::SpoolerAway:
            return away(spooler_, folder, name, SpoolerUnreachableLine(outcome.reason));
        case DroppedFate::PrinterMissing:
            return away(folder.printer, folder, name, PrinterMissingLine(where, outcome.reason));
        case DroppedFate::PrinterUnopenable:
            return away(folder.printer, folder, name,
                        PrinterMissingLine(where, "the printer " + printer + " cannot be opened"));
        case DroppedFate::PrinterGone:
            return away(folder.printer, folder, name,
                        PrinterMissingLine(where, "the printer " + printer + " is gone"));
        default:
            break;
    }
    back(folder, printer);
    const std::string printed = PrintedLine(name, printer, copies_, outcome.size);
    switch (outcome.fate) {
        case DroppedFate::Changed:
            journal_(WithdrawnLine(name, printer, outcome.reason));
            return settleAgain(folder, name);
        case DroppedFate::ChangedAfterPrint:
            journal_(ChangedLine(printed));
            return settleAgain(folder, name);
        case DroppedFate::PrintedKept:
            noteSaved(outcome.unsaved);
            return journal_(UndeletableLine(printed, outcome.error.message()));
        case DroppedFate::Printed:
            folder.settle.forget(name);
            return journal_(printed);
        case DroppedFate::Failed:
            folder.settle.forget(name);
            return journal_(FailedLine(name, printer, outcome.reason,
                                       std::filesystem::path(outcome.movedTo).filename().string()));
        case DroppedFate::FailedKept:
            if (outcome.remembered) noteSaved(outcome.unsaved);
            return journal_(
                FailedUnmovedLine(name, printer, outcome.reason, outcome.error.message()));
        case DroppedFate::FailedGone:
            return folder.settle.forget(name);
        default:
            break;
    }
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
    for (const auto& folder : folders_) {
        if (auto due = folder.settle.nextDue()) next = next ? std::min(*next, *due) : *due;
    }
    return next;
}

std::string HotFolderService::pathOf(const Folder& folder, const std::string& name) const {
    return (std::filesystem::path(folder.place.folder) / name).string();
}

}  // namespace vantrel

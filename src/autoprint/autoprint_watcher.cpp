#include "autoprint/autoprint_watcher.h"

#include <algorithm>
#include <utility>

#include "autoprint/autoprint_rules.h"
#include "platform/path_text.h"
#include "printing/copies_count.h"
#include "printing/outcome_texts.h"
#include "printing/work_slice.h"

namespace vantrel {

AutoPrintWatcher::AutoPrintWatcher(std::string dropDirectory, PrinterSystem& system,
                                   FileSystem& files, std::function<SpoolOptions()> options,
                                   MessageSink& messages, std::function<std::string()> copiesText,
                                   std::string keptRecordPath)
    : dropDirectory_(std::move(dropDirectory)),
      system_(system),
      files_(files),
      options_(std::move(options)),
      messages_(messages),
      copiesText_(std::move(copiesText)),
      kept_(keptRecordPath),
      stateDirectory_(keptRecordPath.empty() ? std::string() : ParentOf(keptRecordPath)),
      spooled_(stateDirectory_.empty() ? std::string()
                                       : JoinPath(stateDirectory_, kSpooledJobsRecordName)) {}

void AutoPrintWatcher::tick() {
    if (!startTick()) return;
    while (workFor(std::chrono::milliseconds::max())) {
    }
}

bool AutoPrintWatcher::startTick() {
    if (ticking_) return false;  // a message box of this tick let the timer in again
    const bool own = ownFolder();
    entries_ = own ? VisibleEntryNames(files_, dropDirectory_) : begunHere();
    if (!own && entries_.empty()) return false;
    ticking_ = true;
    stopping_ = waiting_ = false;
    kept_.prune(files_);
    next_ = 0;
    thisLook_.clear();
    return true;
}

bool AutoPrintWatcher::workFor(std::chrono::milliseconds budget) {
    if (!ticking_ || working_) return ticking_;  // inside a step's message box: it goes on there
    const auto done = [this] { return stopping_ || next_ >= entries_.size(); };
    if (!done()) {
        WorkSlice(budget, [&] {
            working_ = true;
            try {
                step();
            } catch (...) {
                working_ = false;
                endTick();
                throw;
            }
            working_ = false;
            return !done();
        });
    }
    if (done()) endTick();
    return ticking_;
}

// The window holds the folder only while a tick works, so that a service started meanwhile
// takes it from the next tick on; the window takes it back once the service has ended.
bool AutoPrintWatcher::ownFolder() {
    if (stateDirectory_.empty()) return true;
    FolderWatch watch = TryWatchFolder(dropDirectory_, kFolderLockName, holder_);
    // No lock to be had at all: neither can a service have it.
    if (!watch.lock && watch.holder.empty()) return true;
    folderLock_ = std::move(watch.lock);
    holderOfFolder_ = watch.holder;
    if (folderLock_ && watchedElsewhere_) lastLook_.clear();  // what the service left, afresh
    watchedElsewhere_ = !folderLock_;
    return folderLock_ != nullptr;
}

// While another user's service watches the drop directory, the files this window began (its
// record holds them, and their marks keep the service away) are still the window's to finish:
// nobody else can. A service of the same user shares the record and finishes them itself; a file
// in it may be one that service is sending right now.
std::vector<std::string> AutoPrintWatcher::begunHere() const {
    std::vector<std::string> names;
    if (SameUser(holderOfFolder_, holder_)) return names;
    for (const auto& path : spooled_.paths()) {
        if (JoinPath(dropDirectory_, NameOf(path)) == path) names.push_back(NameOf(path));
    }
    return names;
}

void AutoPrintWatcher::stop() {
    stopping_ = true;
    if (ticking_ && !working_) endTick();
}

void AutoPrintWatcher::endTick() {
    // Entries a stopped tick did not reach are looked at afresh by the next one.
    lastLook_ = std::move(thisLook_);
    thisLook_.clear();
    entries_.clear();
    next_ = 0;
    ticking_ = false;
    folderLock_.reset();
}

void AutoPrintWatcher::step() {
    const std::string name = entries_[next_++];
    const std::string path = JoinPath(dropDirectory_, name);
    if (files_.isSymbolicLink(path)) return;
    auto now = files_.identityOf(path);
    if (!now) return;  // not a plain file, or gone
    thisLook_[name] = *now;
    if (kept_.contains(path, *now)) return;
    auto previous = lastLook_.find(name);
    if (previous == lastLook_.end() || !(previous->second == *now)) return;  // changing
    if (waiting_) return;
    waiting_ = !handleFile(path, *now);
    // Once it is gone, a new file of the same name is looked at afresh.
    if (!files_.identityOf(path)) thisLook_.erase(name);
}

bool AutoPrintWatcher::waitFor(bool& warned, const std::string& why) {
    if (!warned) {
        messages_.show("AutoPrint is waiting: " + why + ". Dropped files stay in " +
                           dropDirectory_ + " until then.",
                       MsgStyle::Exclamation);
    }
    warned = true;
    return false;
}

bool AutoPrintWatcher::handleFile(const std::string& path, const FileIdentity& settled) {
    // The copies box, the eject box and the default printer are read afresh for every file.
    const std::string copiesText = copiesText_();
    const CopiesCount copies = ReadCopies(copiesText, CopiesRule::AutoPrint);
    if (!copies.usable()) {
        return waitFor(copiesWarned_, "the number of copies \"" + copiesText +
                                          "\" is not a whole number from 1 to 32767");
    }
    copiesWarned_ = false;
    CopyLedger ledger{spooled_, path, {}, false, {}, holder_};
    const auto outcome = PrintRecordedFile(
        {dropDirectory_, path, settled},
        [this] { return FindAutoPrintPrinter(system_, std::nullopt); }, copies.count, options_(),
        {system_, files_, kept_}, ledger);
    return report(outcome, NameOf(path), path);
}

bool AutoPrintWatcher::report(const DroppedOutcome& outcome, const std::string& name,
                              const std::string& path) {
    switch (outcome.fate) {
        case DroppedFate::SpoolerAway:
            return waitFor(spoolerWarned_, outcome.printerFound
                                               ? "the printer cannot be reached: " + outcome.reason
                                               : SpoolerUnreachableText(outcome.reason));
        case DroppedFate::PrinterMissing:
            return waitFor(spoolerWarned_, outcome.reason);
        case DroppedFate::PrinterUnopenable:
            return waitFor(spoolerWarned_, "the printer cannot be reached: " + outcome.reason);
        case DroppedFate::PrinterGone:
            return waitFor(spoolerWarned_, "the printer " + outcome.printer + " is gone");
        default:
            break;
    }
    spoolerWarned_ = false;
    switch (outcome.fate) {
        case DroppedFate::Changed:
        case DroppedFate::ChangedAfterPrint:
            settleAgain(name, path);
            break;
        case DroppedFate::PrintedKept:
            messages_.show("AutoPrint printed " + path + " but could not delete it: " +
                               outcome.error.message() + ". It will not be printed again.",
                           MsgStyle::Exclamation);
            break;
        case DroppedFate::Failed:
            messages_.show("AutoPrint could not print " + path + " (" + outcome.reason +
                               "). It was moved to " + outcome.failedDir + ".",
                           MsgStyle::Exclamation);
            break;
        case DroppedFate::CompletionUnknown:
            messages_.show("AutoPrint cannot tell whether " + path + " printed: " + outcome.reason +
                               ". It stays where it is and will not be printed "
                               "again.",
                           MsgStyle::Exclamation);
            break;
        case DroppedFate::FailedKept:
            messages_.show("AutoPrint could not print " + path + " (" + outcome.reason +
                               ") and could not move it to " + outcome.failedDir + ": " +
                               FailedMoveErrorText(outcome.error),
                           MsgStyle::Exclamation);
            break;
        default:
            break;
    }
    return true;
}

// A file that changed after it settled is printed only once it has stayed the same from this
// look to the next tick's.
void AutoPrintWatcher::settleAgain(const std::string& name, const std::string& path) {
    if (auto now = files_.identityOf(path); now && !files_.isSymbolicLink(path)) {
        thisLook_[name] = *now;
    } else {
        thisLook_.erase(name);
    }
}

}  // namespace vantrel

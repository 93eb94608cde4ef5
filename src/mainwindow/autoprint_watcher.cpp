#include "mainwindow/autoprint_watcher.h"

#include <filesystem>
#include <utility>

#include "mainwindow/autoprint_rules.h"
#include "platform/plain_file.h"
#include "platform/system_places.h"
#include "printing/print_copies.h"

namespace vantrel {

namespace fs = std::filesystem;

namespace {

// Clears a flag when the tick ends, however it ends.
class TickGuard {
  public:
    explicit TickGuard(bool& flag) : flag_(flag) { flag_ = true; }
    ~TickGuard() { flag_ = false; }

  private:
    bool& flag_;
};

}  // namespace

std::string KeptFilesRecordPath() {
    const std::string state = UserStateDirectory();
    return state.empty() ? std::string() : (fs::path(state) / "autoprint-kept").string();
}

AutoPrintWatcher::AutoPrintWatcher(std::string dropDirectory, PrinterSystem& system,
                                   FileSystem& files, const LiveSettings& live,
                                   MessageSink& messages, std::function<std::string()> copiesText,
                                   std::string keptRecordPath)
    : dropDirectory_(std::move(dropDirectory)),
      system_(system),
      files_(files),
      live_(live),
      messages_(messages),
      copiesText_(std::move(copiesText)),
      kept_(std::move(keptRecordPath)) {}

void AutoPrintWatcher::tick() {
    if (ticking_) return;  // a message box of this tick let the timer in again
    TickGuard guard(ticking_);
    kept_.prune(files_);

    std::map<std::string, FileIdentity> thisLook;
    bool waiting = false;  // the rest of the tick waits; the files are still looked at
    for (const auto& name : VisibleEntryNames(dropDirectory_)) {
        const std::string path = (fs::path(dropDirectory_) / name).string();
        if (IsSymbolicLink(path)) continue;
        auto now = files_.identityOf(path);
        if (!now) continue;  // not a plain file, or gone
        thisLook[name] = *now;
        if (kept_.contains(path, *now)) continue;
        auto previous = lastLook_.find(name);
        if (previous == lastLook_.end() || !(previous->second == *now)) continue;  // changing
        if (waiting) continue;
        waiting = !handleFile(path);
        // Once it is gone, a new file of the same name is looked at afresh.
        if (!files_.identityOf(path)) thisLook.erase(name);
    }
    lastLook_ = std::move(thisLook);
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

bool AutoPrintWatcher::handleFile(const std::string& path) {
    // The copies box and the default printer are read afresh for every file.
    const std::string copiesText = copiesText_();
    const auto copies = AutoPrintCopies(copiesText);
    if (!copies) {
        return waitFor(copiesWarned_, "the number of copies \"" + copiesText +
                                          "\" is not a whole number from 1 to 32767");
    }
    copiesWarned_ = false;

    std::string selection;
    try {
        const AutoPrintPrinter printer = FindAutoPrintPrinter(system_, std::nullopt);
        if (printer.selection.empty()) return waitFor(spoolerWarned_, printer.missing);
        selection = printer.selection;
    } catch (const SpoolError& error) {
        return waitFor(spoolerWarned_, SpoolerUnreachableText(error));
    }

    UnshownMessages unshown;
    const auto printed = PrintCopies(path, selection, *copies, system_, files_, live_, unshown);
    if (printed.failure == SpoolFailure::SpoolerUnreachable ||
        printed.failure == SpoolFailure::PrinterName) {
        return waitFor(spoolerWarned_, "the printer cannot be reached: " + printed.reason);
    }
    spoolerWarned_ = false;
    if (!printed.allSpooled()) {
        if (files_.identityOf(path)) moveToFailed(path, printed.reason);
        return true;
    }
    // A file that changed while it was printed stays, and is seen afresh at the next tick.
    if (CheckPrintedFile(printed, files_, path) == AfterPrint::MayGo) {
        removePrinted(path, *printed.identity);
    }
    return true;
}

void AutoPrintWatcher::removePrinted(const std::string& path, const FileIdentity& printed) {
    if (auto error = files_.removeFile(path)) {
        kept_.add(path, printed);
        messages_.show("AutoPrint printed " + path + " but could not delete it: " +
                           error.message() + ". It will not be printed again.",
                       MsgStyle::Exclamation);
    }
}

void AutoPrintWatcher::moveToFailed(const std::string& path, const std::string& why) {
    const FailedMove move = MoveToFailedFolder(dropDirectory_, path);
    if (move.error) {
        if (auto now = files_.identityOf(path)) kept_.add(path, *now);
        messages_.show("AutoPrint could not print " + path + " (" + why +
                           ") and could not move it to " + move.failedDir + ": " +
                           move.error.message(),
                       MsgStyle::Exclamation);
        return;
    }
    messages_.show("AutoPrint could not print " + path + " (" + why + "). It was moved to " +
                       move.failedDir + ".",
                   MsgStyle::Exclamation);
}

}  // namespace vantrel

#include "mainwindow/autoprint_watcher.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/plain_file.h"
#include "platform/runtime_text.h"
#include "platform/system_places.h"
#include "printing/print_copies.h"
#include "printing/printer_selection.h"

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

// The print job's own messages are not shown: AutoPrint tells once per file, or once per
// outage, in words of its own.
class UnshownMessages : public MessageSink {
  public:
    MsgAnswer show(const std::string&, int style, const std::string&) override {
        return (style & 7) == MsgStyle::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
    }
};

// The names of the drop directory's visible entries, in name order.
std::vector<std::string> ListEntries(const std::string& directory) {
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(fs::path(directory), error), end; !error && it != end;
         it.increment(error)) {
        std::string name = it->path().filename().string();
        if (!name.starts_with('.')) names.push_back(std::move(name));  // dot files are hidden
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A file name in the "Failed" directory that is not taken yet.
fs::path FreeName(const fs::path& directory, const std::string& name) {
    fs::path candidate = directory / name;
    std::error_code error;
    for (int n = 2; fs::exists(candidate, error); ++n) {
        candidate = directory / (name + "." + std::to_string(n));
    }
    return candidate;
}

// The copies box as a usable number of copies, or nothing.
std::optional<int> AutoPrintCopies(const std::string& text) {
    auto copies = RoundHalfEven(Val(text), 1, 32767);
    if (!copies) return std::nullopt;
    return static_cast<int>(*copies);
}

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
    for (const auto& name : ListEntries(dropDirectory_)) {
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
        const auto entry = system_.defaultPrinterEntry();
        if (!entry) return waitFor(spoolerWarned_, "no default printer is set");
        const std::string name = Trim(DefaultPrinterName(*entry));
        selection = SelectionForPrinterName(system_.printers(), name);
        if (selection == kNoPrinterSelection) {
            return waitFor(spoolerWarned_, "the default printer " + name + " is not installed");
        }
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
    const fs::path failedDir = fs::path(dropDirectory_) / kFailedDirectoryName;
    const std::string name = fs::path(path).filename().string();
    std::error_code error;
    fs::create_directory(failedDir, error);
    if (!error) fs::rename(fs::path(path), FreeName(failedDir, name), error);
    if (error) {
        if (auto now = files_.identityOf(path)) kept_.add(path, *now);
        messages_.show("AutoPrint could not print " + path + " (" + why +
                           ") and could not move it to " + failedDir.string() + ": " +
                           error.message(),
                       MsgStyle::Exclamation);
        return;
    }
    messages_.show("AutoPrint could not print " + path + " (" + why + "). It was moved to " +
                       failedDir.string() + ".",
                   MsgStyle::Exclamation);
}

}  // namespace vantrel

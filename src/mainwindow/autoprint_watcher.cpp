#include "mainwindow/autoprint_watcher.h"

#include <algorithm>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/plain_file.h"
#include "platform/runtime_text.h"
#include "printing/printer_selection.h"
#include "printing/spool_file_raw.h"

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

}  // namespace

AutoPrintWatcher::AutoPrintWatcher(std::string dropDirectory, PrinterSystem& system,
                                   const LiveSettings& live, MessageSink& messages,
                                   std::function<std::string()> copiesText)
    : dropDirectory_(std::move(dropDirectory)),
      system_(system),
      live_(live),
      messages_(messages),
      copiesText_(std::move(copiesText)) {}

void AutoPrintWatcher::tick() {
    if (ticking_) return;  // a message box of this tick let the timer in again
    TickGuard guard(ticking_);

    std::map<std::string, Snapshot> thisLook;
    for (const auto& name : ListEntries(dropDirectory_)) {
        const std::string path = (fs::path(dropDirectory_) / name).string();
        if (IsSymbolicLink(path) || !IsPlainFile(path)) continue;
        std::error_code sizeError, timeError;
        Snapshot now{fs::file_size(path, sizeError), fs::last_write_time(path, timeError)};
        if (sizeError || timeError) continue;
        thisLook[name] = now;
        if (givenUp_.count(name)) continue;
        auto previous = lastLook_.find(name);
        if (previous == lastLook_.end() || !(previous->second == now)) continue;  // still changing
        handleFile(name);
        // Once it is gone, a new file of the same name is looked at afresh; one that stayed
        // was given up and keeps its place, so that it is not taken again.
        if (!IsPlainFile(path)) thisLook.erase(name);
    }
    // Forget what is gone, so a later file of the same name is handled again.
    std::erase_if(givenUp_, [&](const std::string& name) { return !thisLook.count(name); });
    lastLook_ = std::move(thisLook);
}

void AutoPrintWatcher::handleFile(const std::string& name) {
    const std::string path = (fs::path(dropDirectory_) / name).string();
    if (!IsPlainFile(path)) return;  // vanished meanwhile
    const auto copies = RoundHalfEven(Val(copiesText_()), -32768, 32767);
    if (!copies) {
        moveToFailed(path, "the number of copies \"" + copiesText_() + "\" is too large");
        return;
    }
    printAndRemove(path, static_cast<int>(*copies));
}

void AutoPrintWatcher::printAndRemove(const std::string& path, int copies) {
    // The default printer is looked up afresh for every file.
    std::string selection = kNoPrinterSelection;
    try {
        const std::string printerName =
            Trim(DefaultPrinterNameOrNone(system_.defaultPrinterEntry()));
        selection = SelectionForPrinterName(system_.printers(), printerName);
    } catch (const SpoolError&) {
        // The print job below reports the unreachable spooler itself.
    }
    for (int copy = 1; copy <= copies; ++copy) {
        if (!SpoolFileRaw(path, selection, system_, live_, messages_).spooled) {
            moveToFailed(path, "it could not be printed");
            return;
        }
    }
    std::error_code error;
    if (!removeFile(path, error)) {
        givenUp_.insert(fs::path(path).filename().string());
        messages_.show("AutoPrint printed " + path + " but could not delete it: " +
                           error.message() + ". It will not be printed again.",
                       MsgStyle::Exclamation);
    }
}

bool AutoPrintWatcher::removeFile(const std::string& path, std::error_code& error) {
    return fs::remove(fs::path(path), error) || !error;
}

void AutoPrintWatcher::moveToFailed(const std::string& path, const std::string& why) {
    const fs::path failedDir = fs::path(dropDirectory_) / kFailedDirectoryName;
    const std::string name = fs::path(path).filename().string();
    std::error_code error;
    fs::create_directory(failedDir, error);
    if (!error) fs::rename(fs::path(path), FreeName(failedDir, name), error);
    if (error) {
        givenUp_.insert(name);
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

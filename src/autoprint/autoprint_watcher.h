#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "autoprint/autoprint_rules.h"
#include "autoprint/dropped_file.h"
#include "autoprint/kept_files_record.h"
#include "autoprint/spooled_jobs_record.h"
#include "platform/file_lock.h"
#include "platform/file_system.h"
#include "platform/message_sink.h"
#include "platform/printer_system.h"
#include "printing/spool_file_raw.h"

namespace vantrel {

// AutoPrint: at every tick, prints each plain file of the drop directory on the default printer,
// in the copies the main window's copies box asks for, and deletes it.
// A file is taken only once it has stopped changing since the previous tick, so a file that
// another program is still writing is printed once and whole. A file the spooler refused, or
// that could not be read, goes into the "Failed" subdirectory. While the spooler cannot be
// reached, no default printer is set or the copies box holds no usable number, files stay where
// they are, and the user is told once. A printed file that cannot be deleted is not printed
// again, in this run or a later one. A file found changed when it is opened, or while it is sent,
// is withdrawn and settles again. While a service watches the drop directory, it is left to it,
// but for the files this window began to print there.
//
// A tick can run in steps, so that a window stays responsive between them: startTick() reads the
// directory, each step walks on to the next entry, looking at it afresh (a file that went
// meanwhile is simply passed over).
class AutoPrintWatcher {
  public:
    // keptRecordPath: where the files given up are remembered across runs; empty for nowhere. The
    // lock that keeps a second AutoPrint out of the drop directory lies beside it.
    // options: how each document is sent, asked afresh for every file, as the copies text is.
    AutoPrintWatcher(std::string dropDirectory, PrinterSystem& system, FileSystem& files,
                     std::function<SpoolOptions()> options, MessageSink& messages,
                     std::function<std::string()> copiesText, std::string keptRecordPath = {});

    // One whole tick. A tick that starts while another is unfinished (in steps, or inside its
    // message box) does nothing.
    void tick();

    // Begins a tick in steps: reads the directory. False, doing nothing, while a tick is
    // unfinished.
    bool startTick();
    // Walks on through the tick's entries for at most budget: one entry at least (a file in
    // progress is never cut short), and a further one only while the longest so far would still
    // fit. True while entries remain.
    bool workFor(std::chrono::milliseconds budget);
    // Ends the unfinished tick once the file in progress is done: no further file is taken in it.
    void stop();

    // How far the unfinished tick is: entries walked, of entries read.
    struct Progress {
        std::size_t done = 0;
        std::size_t total = 0;
        bool operator==(const Progress&) const = default;
    };
    Progress progress() const { return {next_, entries_.size()}; }

    const std::string& dropDirectory() const { return dropDirectory_; }

    // True while another AutoPrint (a service) watches the drop directory: the ticks leave it to
    // that one, and take it over once it has ended.
    bool watchedElsewhere() const { return watchedElsewhere_; }

  private:
    std::vector<std::string> begunHere() const;
    void step();
    void endTick();
    // Each returns false when the rest of the tick must wait for the next one.
    bool ownFolder();
    bool handleFile(const std::string& path, const FileIdentity& settled);
    void settleAgain(const std::string& name, const std::string& path);
    bool waitFor(bool& warned, const std::string& why);
    // Tells what became of a printed file; false when the rest of the tick must wait.
    bool report(const DroppedOutcome& outcome, const std::string& name, const std::string& path);

    std::string dropDirectory_;
    PrinterSystem& system_;
    FileSystem& files_;
    std::function<SpoolOptions()> options_;
    MessageSink& messages_;
    std::function<std::string()> copiesText_;
    KeptFilesRecord kept_;
    std::string stateDirectory_;                    // where the records are; empty: nowhere
    SpooledJobsRecord spooled_;                     // the file in print and its copies' jobs
    const std::string holder_ = ThisProcessName();  // asked once: it names the user
    std::unique_ptr<FileLock> folderLock_;          // held while a tick works
    bool watchedElsewhere_ = false;
    std::string holderOfFolder_;  // who watches the drop directory instead, as it wrote itself

    bool spoolerWarned_ = false;                    // told of the current outage
    bool copiesWarned_ = false;                     // told that the copies box is unusable
    std::map<std::string, FileIdentity> lastLook_;  // by file name, from the previous tick

    // The unfinished tick.
    bool ticking_ = false;
    bool working_ = false;   // inside a step: a message box may let the timers in
    bool stopping_ = false;  // stop() came: no further file
    bool waiting_ = false;   // the rest of the tick waits; the files are still looked at
    std::vector<std::string> entries_;
    std::size_t next_ = 0;
    std::map<std::string, FileIdentity> thisLook_;
};

}  // namespace vantrel

#pragma once

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "autoprint/autoprint_arguments.h"
#include "autoprint/autoprint_rules.h"
#include "autoprint/back_off.h"
#include "autoprint/dropped_file.h"
#include "autoprint/kept_files_record.h"
#include "autoprint/printer_bindings.h"
#include "autoprint/settle_rule.h"
#include "autoprint/spooled_jobs_record.h"
#include "platform/file_lock.h"
#include "platform/file_system.h"
#include "platform/folder_events.h"
#include "platform/printer_system.h"
#include "platform/stop_signals.h"
#include "printing/job_follower.h"

namespace vantrel {

// What the headless AutoPrint works with.
struct ServiceSeams {
    PrinterSystem& printers;
    FileSystem& files;
    FolderEvents& events;  // of the folders, in the order of ServiceSettings::folders
    StopSignals& stop;
    // The clock the settle times and the waits are measured on.
    std::function<SteadyTime()> now = [] { return std::chrono::steady_clock::now(); };
    // Takes the watch of a folder, held by one AutoPrint at a time wherever it runs.
    std::function<FolderWatch(const std::string&)> watch = [](const std::string& folder) {
        return TryWatchFolder(folder, kFolderLockName, ThisProcessName());
    };
};

struct ServiceSettings {
    std::vector<HotFolder> folders;
    std::chrono::milliseconds settle{1000};
    int copies = 1;              // the stored copies, 1 to 32767
    std::string keptRecordPath;  // where given-up files are remembered; empty for nowhere
    SpoolOptions options;        // how each document is sent
    // Where the files in print and their jobs are noted, so that a run killed at any point
    // resumes them; empty for nowhere.
    std::string spooledRecordPath;
    bool wait = false;  // a file goes only once its jobs completed, not once they are spooled
    // Where the folders bound to a printer by its exact name keep that binding across runs;
    // empty for nowhere.
    std::string bindingsRecordPath;
};

// The headless AutoPrint: prints every plain file that settles in a watched folder on that
// folder's printer, in the stored copies, and deletes it once every copy was spooled (with wait:
// once every copy's job completed) and it is still the file that was printed; a job that was
// aborted or cancelled sends the file to Failed/. Each copy is noted in the spooled-jobs record,
// so that a run killed at any point resumes every file where it was: no copy is printed twice,
// none is lost. Dot files, links and subfolders are left alone. A file the
// spooler refused, or that could not be read, goes to the folder's Failed subdirectory; while the
// spooler cannot be reached or a printer is missing, the files stay and are tried again, later
// and later. A file found changed when it is opened or while it is sent is withdrawn and
// settles again. Each event, and each change of state, is one journal line.
class HotFolderService {
  public:
    using Journal = std::function<void(const std::string&)>;

    HotFolderService(ServiceSettings settings, ServiceSeams seams, Journal journal);

    // Runs until a request to stop arrives; a file in print is finished first.
    void run();

  private:
    // An absence of the spooler or of a folder's printer, for as long as it lasts.
    struct Outage {
        BackOff backOff;
        std::optional<SteadyTime> retryAt;  // set from the first failure until a success
    };
    struct Folder {
        HotFolder place;  // the folder and its printer
        SettleTracker settle;
        Outage printer;
        // The printer's device name when the given name named it by itself at start: the folder
        // stays bound to that queue, never to one whose name merely begins so.
        std::optional<std::string> boundTo;
        bool bindingKnown = false;           // whether the spooler could be asked about that yet
        bool unreadable = false;             // the last listing failed
        std::unique_ptr<FileLock> watch;     // held while this service watches the folder
        std::string notWatched;              // why not, as last told
        std::string holder;                  // who watches it instead, as it wrote itself
        std::set<std::string> leftToOthers;  // files another AutoPrint began, as told
    };

    // A file whose every copy was spooled, while its jobs are followed to their end.
    struct Followed {
        std::size_t folder;
        std::string name;
        SpooledFile entry;
        JobFollower follower;
        std::optional<SteadyTime> due;  // when its jobs are asked about next
        bool toldHeld = false;          // the journal said that its printer holds it
    };

    void takeWatches();
    void bindNamedPrinters();
    AutoPrintPrinter printerOf(Folder& folder);
    // Which of the service's records a save was of.
    enum class Record { KeptFiles, SpooledJobs };
    void noteSaved(std::error_code error, Record which);
    void lookAtAll();
    void lookAtFolder(Folder& folder);
    void lookAtOwn(Folder& folder);
    void lookAt(Folder& folder, const std::string& name);
    void handleDue();
    void handleFile(Folder& folder, const std::string& name);
    void print(Folder& folder, const std::string& name, const std::string& path,
               const FileIdentity& settled);
    void report(Folder& folder, const std::string& name, const DroppedOutcome& outcome,
                const SpooledFile& entry);
    // Job following, in followed_jobs.cpp.
    void follow(Folder& folder, const std::string& name, const SpooledFile& entry);
    void followJobs();
    void finish(const std::string& path, const Followed& followed);
    void pruneSpooled();
    void settleAgain(Folder& folder, const std::string& name);
    void release(Folder& folder, const std::string& path, bool kept = false);
    void away(Outage& outage, Folder& folder, const std::string& name, const std::string& line);
    void back(Folder& folder, const std::string& printer);
    std::optional<SteadyTime> waitingUntil(const Folder& folder) const;
    std::optional<SteadyTime> nextDue() const;
    std::string pathOf(const Folder& folder, const std::string& name) const;

    std::vector<Folder> folders_;
    int copies_;
    SpoolOptions options_;
    ServiceSeams seams_;
    Journal journal_;
    KeptFilesRecord kept_;
    SpooledJobsRecord spooled_;
    const std::string holder_ = ThisProcessName();  // asked once: it names the user
    PrinterBindings bindings_;
    bool wait_;
    std::map<std::string, Followed> following_;  // by path
    std::set<std::string> pausedPrinters_;       // told in the journal as paused, until not
    bool recordUnsaved_ = false;                 // the last save of the kept-files record failed
    bool spooledUnsaved_ = false;                // the last save of the spooled-jobs record failed
    Outage spooler_;
};

}  // namespace vantrel

#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace vantrel {

// One installed printer as the print spooler names it.
struct Printer {
    std::string deviceName;
    std::string port;
    bool operator==(const Printer&) const = default;
};

// A spooler call failed; what() says why, in words a user can act on.
class SpoolError : public std::runtime_error {
  public:
    // Unreachable: the spooler could not be asked, or went away; it may answer later.
    // Refused: the spooler answered and said no, on its own account.
    // Busy: the spooler answered that it takes no more jobs for now (it holds as many as it may);
    // that passes as its jobs end.
    enum class Kind { Unreachable, Refused, Busy };

    explicit SpoolError(const std::string& what, Kind kind = Kind::Refused)
        : std::runtime_error(what), kind_(kind) {}
    Kind kind() const { return kind_; }

  private:
    Kind kind_;
};

// Where a spooled job stands, as the spooler tells it.
enum class JobState {
    Pending,     // queued, waiting for its turn
    Held,        // kept back until someone releases it
    Processing,  // being sent to the printer
    Stopped,     // neither printing nor ended: the job or its printer was stopped
    Completed,   // the printer took all of it
    Cancelled,   // withdrawn by someone
    Aborted,     // given up by the spooler, on an error
    Unknown,     // the spooler no longer knows the job (history purged, restarted without it)
    // Gone from a queue that keeps no printed jobs: a spooler such as Windows' forgets a job the
    // moment it has sent it to the printer, so for a job whose document was spooled whole this is
    // how it ends well, though nobody saw it printed.
    LeftQueue,
};

// Whether nothing more will become of a job in that state.
inline bool IsFinal(JobState state) {
    return state == JobState::Completed || state == JobState::Cancelled ||
           state == JobState::Aborted || state == JobState::Unknown || state == JobState::LeftQueue;
}

// Whether a job in that state ended as a printed one does: completed, or gone its way from a
// queue that keeps no history.
inline bool EndedWell(JobState state) {
    return state == JobState::Completed || state == JobState::LeftQueue;
}

struct JobStatus {
    JobState state = JobState::Unknown;
    // The spooler's reasons in words ("the printer is not responding", "printer stopped"),
    // control characters escaped; empty when it gave none.
    std::string reason;
    // The job waits because its printer was paused (stopped by someone): it prints once the
    // printer is started again.
    bool printerPaused = false;
    bool operator==(const JobStatus&) const = default;
};

// A job of one's own as the spooler tells it, for a run that lost sight of it.
struct JobFacts {
    JobStatus status;  // Unknown: the spooler no longer knows the job
    // Whether the spooler took a whole document for it: false for a job whose sender died
    // before its document ended, which prints nothing.
    bool documentReceived = false;
    bool operator==(const JobFacts&) const = default;
};

// What one look at a queue tells: its jobs asked about, in the order asked.
struct QueueLook {
    std::vector<JobStatus> jobs;
};

// One raw document being written. Destroying a job that was neither finished nor cancelled
// cancels it, so a half-written document never prints.
class RawJob {
  public:
    virtual ~RawJob() = default;
    // Writes all n bytes, continuing short writes; throws SpoolError when the spooler refuses.
    virtual void write(const char* data, std::size_t n) = 0;
    // Ends the document and releases it for printing; throws SpoolError.
    virtual void finish() = 0;
    // Withdraws the document; never throws.
    virtual void cancel() noexcept = 0;
    // The spooler's number of the job, by which its state is asked later.
    virtual int id() const = 0;
};

// An open printer: lives for one print job.
class PrinterConnection {
  public:
    virtual ~PrinterConnection() = default;
    // Throws SpoolError (Refused) when the printer takes no new jobs now. Spoolers without such
    // a state accept.
    virtual void checkAcceptingJobs() {}
    // Starts one raw document of one page: the job exists, and its id() is known, before any of
    // the document's bytes are sent, so that the id can be noted first. Throws SpoolError.
    virtual std::unique_ptr<RawJob> startDocument(const std::string& documentName) = 0;
};

// The operating system's print spooler.
class PrinterSystem {
  public:
    virtual ~PrinterSystem() = default;
    // The installed printers in one stable order; throws SpoolError when the spooler can't be
    // asked.
    virtual std::vector<Printer> printers() = 0;
    // Whether any printer is installed, as !printers().empty(); throws SpoolError likewise.
    virtual bool anyPrinters() { return !printers().empty(); }
    // The printer named exactly name, ignoring case, when the spooler tells it on its own and
    // no other printer's selection string can equal its own; nothing when the caller must match
    // the name in printers(). Throws SpoolError when the spooler can't be asked.
    virtual std::optional<Printer> printerNamed(const std::string&) { return std::nullopt; }
    // The system's default-printer entry, "device,driver,port"; nothing when there is none.
    // Throws SpoolError when the spooler can't be asked.
    virtual std::optional<std::string> defaultPrinterEntry() = 0;
    // Opens a printer by device name; nullptr when no such printer can be opened.
    // Throws SpoolError when the spooler itself cannot be reached.
    virtual std::unique_ptr<PrinterConnection> openPrinter(const std::string& deviceName) = 0;
    // Where the job of that number on the printer stands now; JobState::Unknown when the
    // spooler no longer knows it, JobState::LeftQueue when it is no longer in a queue that keeps
    // no printed jobs (asked only of jobs whose documents were finished). Throws SpoolError when
    // the spooler can't be asked.
    virtual JobStatus jobStatus(const std::string& deviceName, int jobId) = 0;
    // What the spooler knows of the job of that number: its state, and whether its document
    // arrived whole; a job no longer in the queue is Unknown here, whatever the queue keeps,
    // since its document may never have ended. Throws SpoolError when the spooler can't be asked.
    virtual JobFacts jobFacts(const std::string& deviceName, int jobId) = 0;
    // The numbers of this user's own unfinished jobs on the printer that were created under
    // exactly that name (as startDocument took it) and never got a document: what a run that
    // died between creating a job and noting its number leaves behind. They print nothing, so
    // withdrawing them loses nothing. Throws SpoolError when the spooler can't be asked.
    virtual std::vector<int> ownJobsWithoutDocument(const std::string& deviceName,
                                                    const std::string& documentName) = 0;
    // Withdraws the job of that number. Throws SpoolError when the spooler can't be asked or
    // refuses.
    virtual void cancelJob(const std::string& deviceName, int jobId) = 0;
    // Where the printer's jobs of those numbers stand now, with whether the printer itself was
    // paused, in as few requests as the spooler allows (one for the jobs, and one for the
    // printer while a job still waits). Throws SpoolError when the spooler can't be asked.
    virtual QueueLook lookAtQueue(const std::string& deviceName, const std::vector<int>& jobIds) {
        QueueLook look;
        for (const int id : jobIds) look.jobs.push_back(jobStatus(deviceName, id));
        return look;
    }
    // From now on no call waits on a spooler that does not answer: the call under way (on
    // another thread) and every later one soon fail as unreachable. For a program that is
    // ending, or that waited long enough. Spoolers whose calls cannot be broken off do nothing.
    virtual void giveUpWaits() {}
};

}  // namespace vantrel

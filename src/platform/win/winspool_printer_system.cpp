#include "platform/win/winspool_printer_system.h"

// clang-format off
#include <windows.h>
#include <winspool.h>
// clang-format on

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

#include "platform/backends.h"
#include "platform/win/win_error.h"
#include "text/runtime_text.h"

#ifndef PRINTER_DRIVER_XPS
#define PRINTER_DRIVER_XPS 0x00000002
#endif

namespace vantrel {

namespace {

// Size of the buffer the default-printer entry is read into.
constexpr DWORD kProfileBufferSize = 255;

// Spooler failures that mean the spooler itself is gone, not that the printer is unknown.
bool SpoolerUnreachable(DWORD error) {
    return error == RPC_S_SERVER_UNAVAILABLE || error == RPC_S_CALL_FAILED ||
           error == RPC_S_CALL_FAILED_DNE;
}

// A printer handle from OpenPrinterA, closed with the last owner.
class PrinterHandle {
  public:
    explicit PrinterHandle(HANDLE handle) : handle_(handle) {}
    ~PrinterHandle() { ClosePrinter(handle_); }
    PrinterHandle(const PrinterHandle&) = delete;
    PrinterHandle& operator=(const PrinterHandle&) = delete;

    HANDLE get() const { return handle_; }

  private:
    HANDLE handle_;
};

// Opens the printer for printing, without defaults of our own (datatype, device mode and access
// are the spooler's); nullptr when the spooler can't open it. Throws SpoolError when the spooler
// can't be reached.
std::shared_ptr<PrinterHandle> OpenPrinterNamed(const std::string& deviceName) {
    // An empty name would open the print server itself, not a printer.
    if (deviceName.empty()) return nullptr;
    std::vector<char> name(deviceName.begin(), deviceName.end());
    name.push_back('\0');
    HANDLE handle = nullptr;
    if (!OpenPrinterA(name.data(), &handle, nullptr) || !handle) {
        const DWORD error = GetLastError();
        if (SpoolerUnreachable(error)) {
            throw SpoolError("the print spooler can't be reached: " + WindowsErrorText(error),
                             SpoolError::Kind::Unreachable);
        }
        return nullptr;
    }
    return std::make_shared<PrinterHandle>(handle);
}

// The attributes the printer's driver reports at level 8; nothing when the driver can't be
// asked (older systems know no level 8).
std::optional<DWORD> DriverAttributes(HANDLE printer) {
    DWORD needed = 0;
    GetPrinterDriverA(printer, nullptr, 8, nullptr, 0, &needed);
    for (int attempt = 0; attempt < 3 && needed > 0; ++attempt) {
        std::vector<BYTE> buffer(needed);
        if (GetPrinterDriverA(printer, nullptr, 8, buffer.data(), needed, &needed)) {
            return reinterpret_cast<const DRIVER_INFO_8A*>(buffer.data())
                ->dwPrinterDriverAttributes;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
    }
    return std::nullopt;
}

std::string ChooseDatatype(HANDLE printer) {
    return RawDatatypeFor(DriverAttributes(printer).value_or(0));
}

// One raw document on an open printer. The spooler numbers it; that number withdraws it.
class WinspoolJob : public RawJob {
  public:
    WinspoolJob(std::shared_ptr<PrinterHandle> printer, DWORD jobId)
        : printer_(std::move(printer)), jobId_(jobId) {}
    WinspoolJob(const WinspoolJob&) = delete;
    WinspoolJob& operator=(const WinspoolJob&) = delete;
    ~WinspoolJob() override { cancel(); }

    // Starts the page; withdraws the document and throws SpoolError when that fails.
    void startPage() {
        if (!StartPagePrinter(handle())) fail("the print spooler did not start the page");
        pageOpen_ = true;
    }

    void write(const char* data, std::size_t n) override {
        if (done_) throw SpoolError("the print job is already closed");
        while (n > 0) {
            const DWORD chunk =
                static_cast<DWORD>(std::min<std::size_t>(n, std::numeric_limits<DWORD>::max() / 2));
            DWORD written = 0;
            if (!WritePrinter(handle(), const_cast<char*>(data), chunk, &written)) {
                fail("the print spooler did not take the data");
            }
            // A spooler that reports success but takes nothing would never get any further.
            if (written == 0 || written > chunk) {
                fail("the print spooler took " + std::to_string(written) + " of " +
                         std::to_string(chunk) + " bytes",
                     false);
            }
            data += written;
            n -= written;
        }
    }

    void finish() override {
        if (done_) throw SpoolError("the print job is already closed");
        if (pageOpen_ && !EndPagePrinter(handle())) fail("the print spooler did not end the page");
        pageOpen_ = false;
        if (!EndDocPrinter(handle())) fail("the print spooler did not finish the document");
        done_ = true;
        checkNotWithdrawn();
    }

    void cancel() noexcept override {
        if (done_) return;
        done_ = true;
        // The job is marked for deletion first, so that however its document ends it never
        // prints; AbortPrinter then ends the document and drops what was spooled of it. Should
        // the spooler refuse that, ending the document ends a job already marked.
        SetJobA(handle(), jobId_, 0, nullptr, JOB_CONTROL_DELETE);
        if (!AbortPrinter(handle())) EndDocPrinter(handle());
    }

    int id() const override { return static_cast<int>(jobId_); }

  private:
    HANDLE handle() const { return printer_->get(); }

    // A job deleted by someone else while its document was written took every byte, yet never
    // prints. A job the spooler no longer lists has printed already.
    void checkNotWithdrawn() {
        DWORD needed = 0;
        GetJobA(handle(), jobId_, 1, nullptr, 0, &needed);
        if (needed == 0) return;
        std::vector<BYTE> buffer(needed);
        if (!GetJobA(handle(), jobId_, 1, buffer.data(), needed, &needed)) return;
        const auto* job = reinterpret_cast<const JOB_INFO_1A*>(buffer.data());
        if (job->Status & (JOB_STATUS_DELETING | JOB_STATUS_DELETED)) {
            throw SpoolError("job " + std::to_string(jobId_) + " on " +
                             (job->pPrinterName ? job->pPrinterName : "the printer") +
                             " was cancelled");
        }
    }

    // Withdraws the document and throws SpoolError with what Windows says went wrong.
    [[noreturn]] void fail(const std::string& what, bool withSystemText = true) {
        std::string reason = what;
        if (withSystemText) reason += ": " + LastWindowsErrorText();
        cancel();
        throw SpoolError(reason);
    }

    std::shared_ptr<PrinterHandle> printer_;
    DWORD jobId_;
    bool pageOpen_ = false;
    bool done_ = false;  // finished or withdrawn
};

class WinspoolConnection : public PrinterConnection {
  public:
    WinspoolConnection(std::shared_ptr<PrinterHandle> printer, std::string datatype)
        : printer_(std::move(printer)), datatype_(std::move(datatype)) {}

    std::unique_ptr<RawJob> startDocument(const std::string& documentName) override {
        std::vector<char> name(documentName.begin(), documentName.end());
        name.push_back('\0');
        std::vector<char> datatype(datatype_.begin(), datatype_.end());
        datatype.push_back('\0');
        DOC_INFO_1A info{};
        info.pDocName = name.data();
        info.pOutputFile = nullptr;
        info.pDatatype = datatype.data();
        const DWORD jobId = StartDocPrinterA(printer_->get(), 1, reinterpret_cast<LPBYTE>(&info));
        if (jobId == 0) {
            throw SpoolError("the print spooler did not start the document: " +
                             LastWindowsErrorText());
        }
        auto job = std::make_unique<WinspoolJob>(printer_, jobId);
        job->startPage();
        return job;
    }

  private:
    std::shared_ptr<PrinterHandle> printer_;
    std::string datatype_;
};

// Where a job stands by its status bits. The spooler marks a job complete once all of it went to
// the printer (and printed, for printers that tell); a job it no longer lists is told apart by
// the queue (see lookAtQueue), since it forgets a printed job at once unless the printer keeps
// printed documents.
JobStatus JobStatusOf(DWORD bits, const char* text) {
    std::string reason = text && *text ? EscapeControls(text) : std::string();
    auto withReason = [&](JobState state, const char* words) {
        return JobStatus{state, reason.empty() ? std::string(words) : reason};
    };
    if (bits & (JOB_STATUS_DELETING | JOB_STATUS_DELETED)) return {JobState::Cancelled, {}};
    if (bits & (JOB_STATUS_PRINTED | JOB_STATUS_COMPLETE)) return {JobState::Completed, {}};
    if (bits & JOB_STATUS_OFFLINE) return withReason(JobState::Stopped, "the printer is offline");
    if (bits & JOB_STATUS_PAPEROUT)
        return withReason(JobState::Stopped, "the printer is out of paper");
    if (bits & JOB_STATUS_USER_INTERVENTION) {
        return withReason(JobState::Stopped, "the printer needs attention");
    }
    if (bits & (JOB_STATUS_ERROR | JOB_STATUS_BLOCKED_DEVQ)) {
        return withReason(JobState::Stopped, "the printer reports an error");
    }
    if (bits & JOB_STATUS_PAUSED) return withReason(JobState::Held, "");
    if (bits & (JOB_STATUS_PRINTING | JOB_STATUS_SPOOLING)) {
        return withReason(JobState::Processing, "");
    }
    return withReason(JobState::Pending, "");
}

// What a queue tells of itself: whether someone paused the printer (its queue holds the jobs),
// and whether it keeps printed jobs, so that a job gone from it was deleted rather than printed.
// Both false when it cannot be told.
struct QueueFacts {
    bool paused = false;
    bool keepsPrinted = false;
};

QueueFacts FactsOfQueue(HANDLE printer) {
    DWORD needed = 0;
    GetPrinterA(printer, 2, nullptr, 0, &needed);
    if (needed == 0) return {};
    std::vector<BYTE> buffer(needed);
    if (!GetPrinterA(printer, 2, buffer.data(), needed, &needed)) return {};
    const auto* info = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
    return {(info->Status & PRINTER_STATUS_PAUSED) != 0,
            (info->Attributes & PRINTER_ATTRIBUTE_KEEPPRINTEDJOBS) != 0};
}

// The job of that number as the queue holds it; nothing once the queue holds no such job, which
// GetJob tells by failing with ERROR_INVALID_PARAMETER, or (Wine) with no reason at all. Unknown
// when the spooler answers otherwise. Throws SpoolError when the spooler can't be reached.
std::optional<JobFacts> ReadJob(HANDLE printer, int jobId) {
    if (jobId <= 0) return JobFacts{};
    DWORD needed = 0;
    for (int attempt = 0; attempt < 3; ++attempt) {
        std::vector<BYTE> buffer(needed);
        SetLastError(ERROR_SUCCESS);
        if (GetJobA(printer, static_cast<DWORD>(jobId), 2, buffer.data(), needed, &needed)) {
            const auto* job = reinterpret_cast<const JOB_INFO_2A*>(buffer.data());
            JobFacts facts{JobStatusOf(job->Status, job->pStatus), false};
            // A job still spooling has not got its whole document.
            facts.documentReceived =
                facts.status.state == JobState::Completed || !(job->Status & JOB_STATUS_SPOOLING);
            return facts;
        }
        const DWORD error = GetLastError();
        if (SpoolerUnreachable(error)) {
            throw SpoolError("the print spooler can't be reached: " + WindowsErrorText(error),
                             SpoolError::Kind::Unreachable);
        }
        if (error == ERROR_INVALID_PARAMETER || error == ERROR_SUCCESS) return std::nullopt;
        if (error != ERROR_INSUFFICIENT_BUFFER) break;
    }
    return JobFacts{};
}

class WinspoolPrinterSystem : public PrinterSystem {
  public:
    std::vector<Printer> printers() override {
        const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
        DWORD needed = 0;
        DWORD count = 0;
        std::vector<BYTE> buffer;
        // The list may grow between asking for its size and reading it.
        for (int attempt = 0;; ++attempt) {
            if (EnumPrintersA(flags, nullptr, 2, buffer.data(), static_cast<DWORD>(buffer.size()),
                              &needed, &count)) {
                break;
            }
            const DWORD error = GetLastError();
            if (error != ERROR_INSUFFICIENT_BUFFER || attempt == 5) {
                throw SpoolError(
                    "the print spooler can't list the printers: " + WindowsErrorText(error),
                    SpoolerUnreachable(error) ? SpoolError::Kind::Unreachable
                                              : SpoolError::Kind::Refused);
            }
            buffer.resize(needed);
        }
        std::vector<Printer> result;
        const auto* info = reinterpret_cast<const PRINTER_INFO_2A*>(buffer.data());
        for (DWORD i = 0; i < count; ++i) {
            result.push_back({info[i].pPrinterName ? info[i].pPrinterName : "",
                              info[i].pPortName ? info[i].pPortName : ""});
        }
        return result;
    }

    std::optional<std::string> defaultPrinterEntry() override {
        char buffer[kProfileBufferSize];
        std::fill(std::begin(buffer), std::end(buffer), ' ');
        const DWORD length = GetProfileStringA("Windows", "device", "", buffer, kProfileBufferSize);
        if (length == 0) return std::nullopt;
        return std::string(buffer, std::min<DWORD>(length, kProfileBufferSize - 1));
    }

    std::unique_ptr<PrinterConnection> openPrinter(const std::string& deviceName) override {
        auto printer = OpenPrinterNamed(deviceName);
        if (!printer) return nullptr;
        std::string datatype = ChooseDatatype(printer->get());
        return std::make_unique<WinspoolConnection>(std::move(printer), std::move(datatype));
    }

    JobStatus jobStatus(const std::string& deviceName, int jobId) override {
        return lookAtQueue(deviceName, {jobId}).jobs.at(0);
    }

    // The local spooler answers each job at once; what the jobs cannot tell is the queue's own
    // state: paused, or keeping printed jobs, when a job gone from it was deleted rather than
    // sent to the printer.
    QueueLook lookAtQueue(const std::string& deviceName, const std::vector<int>& jobIds) override {
        QueueLook look;
        auto printer = OpenPrinterNamed(deviceName);
        if (!printer) {
            look.jobs.resize(jobIds.size());
            return look;
        }
        std::vector<bool> gone;
        for (const int id : jobIds) {
            const auto job = ReadJob(printer->get(), id);
            gone.push_back(!job);
            look.jobs.push_back(job ? job->status : JobStatus{});
        }
        const bool waiting = std::any_of(look.jobs.begin(), look.jobs.end(), [](const auto& job) {
            return job.state == JobState::Pending;
        });
        if (!waiting && std::find(gone.begin(), gone.end(), true) == gone.end()) return look;
        const QueueFacts queue = FactsOfQueue(printer->get());
        for (std::size_t i = 0; i < look.jobs.size(); ++i) {
            JobStatus& job = look.jobs[i];
            job.printerPaused = queue.paused && job.state == JobState::Pending;
            if (gone[i] && !queue.keepsPrinted) job.state = JobState::LeftQueue;
        }
        return look;
    }

    JobFacts jobFacts(const std::string& deviceName, int jobId) override {
        auto printer = OpenPrinterNamed(deviceName);
        if (!printer) return {};
        return ReadJob(printer->get(), jobId).value_or(JobFacts{});
    }

    std::vector<int> ownJobsWithoutDocument(const std::string& deviceName,
                                            const std::string& documentName) override {
        auto printer = OpenPrinterNamed(deviceName);
        if (!printer) return {};
        DWORD needed = 0;
        DWORD count = 0;
        std::vector<BYTE> buffer;
        // The queue may grow between asking for its size and reading it.
        for (int attempt = 0;; ++attempt) {
            if (EnumJobsA(printer->get(), 0, 0xFFFFFFFF, 1, buffer.data(),
                          static_cast<DWORD>(buffer.size()), &needed, &count)) {
                break;
            }
            const DWORD error = GetLastError();
            if (error != ERROR_INSUFFICIENT_BUFFER || attempt == 5) {
                throw SpoolError(
                    "the print spooler can't list the jobs: " + WindowsErrorText(error),
                    SpoolerUnreachable(error) ? SpoolError::Kind::Unreachable
                                              : SpoolError::Kind::Refused);
            }
            buffer.resize(needed);
        }
        char user[257] = {};
        DWORD userSize = sizeof user;
        if (!GetUserNameA(user, &userSize)) return {};
        std::vector<int> ids;
        const auto* jobs = reinterpret_cast<const JOB_INFO_1A*>(buffer.data());
        for (DWORD i = 0; i < count; ++i) {
            const JOB_INFO_1A& job = jobs[i];
            if (job.pDocument && documentName == job.pDocument && job.pUserName &&
                _stricmp(job.pUserName, user) == 0 && (job.Status & JOB_STATUS_SPOOLING)) {
                ids.push_back(static_cast<int>(job.JobId));
            }
        }
        std::sort(ids.begin(), ids.end());
        return ids;
    }

    void cancelJob(const std::string& deviceName, int jobId) override {
        auto printer = OpenPrinterNamed(deviceName);
        if (!printer) return;
        if (!SetJobA(printer->get(), static_cast<DWORD>(jobId), 0, nullptr, JOB_CONTROL_DELETE)) {
            const DWORD error = GetLastError();
            if (error == ERROR_INVALID_PARAMETER) return;  // gone already
            throw SpoolError("the print spooler did not withdraw job " + std::to_string(jobId) +
                                 ": " + WindowsErrorText(error),
                             SpoolerUnreachable(error) ? SpoolError::Kind::Unreachable
                                                       : SpoolError::Kind::Refused);
        }
    }
};

}  // namespace

const char* RawDatatypeFor(std::uint32_t driverAttributes) {
    return (driverAttributes & PRINTER_DRIVER_XPS) != 0 ? "XPS_PASS" : "RAW";
}

std::optional<std::string> RawDatatypeOfPrinter(const std::string& deviceName) {
    auto printer = OpenPrinterNamed(deviceName);
    if (!printer) return std::nullopt;
    return ChooseDatatype(printer->get());
}

std::unique_ptr<PrinterSystem> MakeWinspoolPrinterSystem() {
    return std::make_unique<WinspoolPrinterSystem>();
}

std::unique_ptr<PrinterSystem> MakeSystemPrinterSystem() {
    return MakeWinspoolPrinterSystem();
}

}  // namespace vantrel

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
    enum class Kind { Unreachable, Refused };

    explicit SpoolError(const std::string& what, Kind kind = Kind::Refused)
        : std::runtime_error(what), kind_(kind) {}
    Kind kind() const { return kind_; }

  private:
    Kind kind_;
};

// What the user is told when the spooler itself cannot be asked.
inline std::string SpoolerUnreachableText(const std::string& reason) {
    return "The print spooler cannot be reached: " + reason;
}
inline std::string SpoolerUnreachableText(const SpoolError& error) {
    return SpoolerUnreachableText(std::string(error.what()));
}

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
};

// An open printer: lives for one print job.
class PrinterConnection {
  public:
    virtual ~PrinterConnection() = default;
    // Throws SpoolError (Refused) when the printer takes no new jobs now. Spoolers without such
    // a state accept.
    virtual void checkAcceptingJobs() {}
    // Starts one raw document of one page; throws SpoolError.
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
};

}  // namespace vantrel

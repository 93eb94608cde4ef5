#include "printing/spool_file_raw.h"

#include <algorithm>
#include <array>
#include <memory>
#include <stdexcept>

#include "printing/document_name.h"
#include "printing/printer_selection.h"

namespace vantrel {

namespace {

using Buffer = std::array<char, kSpoolChunkSize>;

// The outcomes of a copy that was not spooled, by why.
SpoolOutcome Failure(const SpoolInput& input, const std::string& printer, SpoolFailure failure,
                     std::string reason) {
    return {false, failure, std::move(reason), {}, input.shownName, printer};
}

SpoolOutcome PrinterNameError(const SpoolInput& input, const std::string& selection) {
    return Failure(input, selection, SpoolFailure::PrinterName,
                   "there is an error in the printer name");
}

SpoolFailure FailureOf(SpoolError::Kind kind) {
    switch (kind) {
        case SpoolError::Kind::Unreachable:
            return SpoolFailure::SpoolerUnreachable;
        case SpoolError::Kind::Busy:
            return SpoolFailure::SpoolerBusy;
        case SpoolError::Kind::Refused:
            break;
    }
    return SpoolFailure::SpoolerRefused;
}

SpoolOutcome SpoolerFailure(const SpoolInput& input, const std::string& printer,
                            const SpoolError& error) {
    return Failure(input, printer, FailureOf(error.kind()), error.what());
}

// The file changed while it was read; what() says how.
class FileChanged : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Reads the next chunk, never past the length the file had when it was opened: bytes appended
// meanwhile belong to a later print. An end before that length means the file was cut short.
std::size_t ReadChunk(FileReader& file, Buffer& buffer, std::uint64_t& total) {
    const std::uint64_t length = file.identity().size;
    const std::size_t want =
        file.isStream() ? buffer.size() : std::min<std::uint64_t>(buffer.size(), length - total);
    if (want == 0) return 0;
    std::size_t got = file.read(buffer.data(), want);
    total += got;
    if (got < want && !file.isStream()) {
        throw FileChanged("it was cut short while it was sent (" + std::to_string(total) + " of " +
                          std::to_string(length) + " bytes read)");
    }
    return got;
}

// After the last read: the open file must still be as it was opened, or what was sent is no
// longer the file (it grew, was cut short or was rewritten in place meanwhile).
void CheckUnchanged(FileReader& file) {
    const auto now = file.identityNow();
    if (!now || *now == file.identity()) return;
    if (now->size > file.identity().size) throw FileChanged("it grew while it was sent");
    if (now->size < file.identity().size) throw FileChanged("it was cut short while it was sent");
    throw FileChanged("it was rewritten while it was sent");
}

// Streams the rest of the file after the first chunk, then the form feed, and releases the
// document. Throws SpoolError, FileReadError or FileChanged; the caller withdraws the job.
void WriteDocument(RawJob& job, FileReader& file, Buffer& buffer, std::size_t firstChunk,
                   std::uint64_t& total, bool eject) {
    std::size_t got = firstChunk;
    while (got > 0) {
        job.write(buffer.data(), got);
        if (got < buffer.size()) break;  // a short chunk is the last one
        got = ReadChunk(file, buffer, total);
    }
    CheckUnchanged(file);
    if (eject) job.write(&kFormFeed, 1);
    job.finish();
}

}  // namespace

SpoolInput FileInput(const std::string& path, FileSystem& files) {
    return {path, DocumentName(path), [&files, path] { return files.openForReading(path); }};
}

SpoolOutcome SpoolFileRaw(const SpoolInput& input, const std::string& selection,
                          PrinterSystem& system, const SpoolOptions& options) {
    std::unique_ptr<PrinterConnection> connection;
    std::string deviceName = selection;
    try {
        auto printer = FindSelectedPrinter(system.printers(), selection);
        if (!printer) return PrinterNameError(input, selection);
        deviceName = printer->deviceName;
        connection = system.openPrinter(deviceName);
        if (!connection) return PrinterNameError(input, selection);
        // Checked before anything else, so that an empty file, which sends no document, does
        // not count as printed on a printer that takes no jobs.
        connection->checkAcceptingJobs();
    } catch (const SpoolError& error) {
        return SpoolerFailure(input, deviceName, error);
    }

    const bool eject = options.formFeed;
    // The first chunk is read before the document starts, so a file that cannot be read never
    // leaves an empty job behind.
    auto buffer = std::make_unique<Buffer>();
    std::unique_ptr<FileReader> file;
    std::size_t firstChunk = 0;
    std::uint64_t total = 0;
    try {
        file = input.open();
        firstChunk = ReadChunk(*file, *buffer, total);
        // Nothing to send: no document at all.
        if (firstChunk == 0 && (!eject || !input.ejectWhenEmpty)) {
            CheckUnchanged(*file);
            return {true, SpoolFailure::None, {}, file->identity(), input.shownName, deviceName};
        }
    } catch (const FileReadError& error) {
        return Failure(input, deviceName, SpoolFailure::File, error.what());
    } catch (const FileChanged& change) {
        return Failure(input, deviceName, SpoolFailure::Changed, change.what());
    }
    SpoolOutcome done{true, SpoolFailure::None, {}, file->identity(), input.shownName, deviceName};

    std::unique_ptr<RawJob> job;
    try {
        job = connection->startDocument(input.documentName);
        if (input.jobCreated) input.jobCreated(job->id());
        WriteDocument(*job, *file, *buffer, firstChunk, total, eject);
        done.jobId = job->id();
    } catch (const SpoolError& error) {
        if (job) job->cancel();
        return SpoolerFailure(input, deviceName, error);
    } catch (const FileReadError& error) {
        if (job) job->cancel();
        return Failure(input, deviceName, SpoolFailure::File, error.what());
    } catch (const FileChanged& change) {
        if (job) job->cancel();
        return Failure(input, deviceName, SpoolFailure::Changed, change.what());
    }
    return done;
}

}  // namespace vantrel

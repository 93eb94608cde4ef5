#include "printing/spool_file_raw.h"

#include <array>
#include <memory>

#include "printing/document_name.h"
#include "printing/printer_selection.h"

namespace vantrel {

namespace {

using Buffer = std::array<char, kSpoolChunkSize>;

SpoolOutcome PrinterNameError(MessageSink& messages) {
    messages.show("There is an error in the printer name.", MsgStyle::Ok);
    return {false, SpoolFailure::PrinterName, "there is an error in the printer name", {}};
}

SpoolOutcome SpoolerFailure(MessageSink& messages, const std::string& path,
                            const std::string& printer, const SpoolError& error) {
    const std::string reason = error.what();
    messages.show("Could not print " + path + " on " + printer + ": " + reason, MsgStyle::Critical);
    return {false,
            error.kind() == SpoolError::Kind::Unreachable ? SpoolFailure::SpoolerUnreachable
                                                          : SpoolFailure::SpoolerRefused,
            reason,
            {}};
}

SpoolOutcome FileFailure(MessageSink& messages, const std::string& path,
                         const std::string& reason) {
    messages.show("Can't read file: " + path + " (" + reason + ")", MsgStyle::Exclamation);
    return {false, SpoolFailure::File, reason, {}};
}

// Reads the next chunk; an end of file before the length the file had when it was opened means
// it was cut short while it was printed, which is a read failure, not the end of the job.
std::size_t ReadChunk(FileReader& file, Buffer& buffer, std::uint64_t& total) {
    std::size_t got = file.read(buffer.data(), buffer.size());
    total += got;
    if (got < buffer.size() && total < file.identity().size) {
        throw FileReadError("it was cut short while it was printed (" + std::to_string(total) +
                            " of " + std::to_string(file.identity().size) + " bytes read)");
    }
    return got;
}

// Streams the rest of the file after the first chunk, then the form feed, and releases the
// document. Throws SpoolError or FileReadError; the caller withdraws the job.
void WriteDocument(RawJob& job, FileReader& file, Buffer& buffer, std::size_t firstChunk,
                   std::uint64_t& total, bool eject) {
    std::size_t got = firstChunk;
    while (got > 0) {
        job.write(buffer.data(), got);
        if (got < buffer.size()) break;  // a short chunk is the last one
        got = ReadChunk(file, buffer, total);
    }
    if (eject) job.write(&kFormFeed, 1);
    job.finish();
}

}  // namespace

SpoolOutcome SpoolFileRaw(const std::string& path, const std::string& selection,
                          PrinterSystem& system, FileSystem& files, const LiveSettings& live,
                          MessageSink& messages) {
    return SpoolInputRaw({path, DocumentName(path), [&] { return files.openForReading(path); }},
                         selection, system, live, messages);
}

SpoolOutcome SpoolInputRaw(const SpoolInput& input, const std::string& selection,
                           PrinterSystem& system, const LiveSettings& live, MessageSink& messages) {
    const std::string& path = input.shownName;
    std::unique_ptr<PrinterConnection> connection;
    std::string deviceName = selection;
    try {
        auto printer = FindSelectedPrinter(system.printers(), selection);
        if (!printer) return PrinterNameError(messages);
        deviceName = printer->deviceName;
        connection = system.openPrinter(deviceName);
        if (!connection) return PrinterNameError(messages);
        // Checked before anything else, so that an empty file, which sends no document, does
        // not count as printed on a printer that takes no jobs.
        connection->checkAcceptingJobs();
    } catch (const SpoolError& error) {
        return SpoolerFailure(messages, path, deviceName, error);
    }

    const bool eject = live.pageEject() == 1;
    // The first chunk is read before the document starts, so a file that cannot be read never
    // leaves an empty job behind.
    auto buffer = std::make_unique<Buffer>();
    std::unique_ptr<FileReader> file;
    std::size_t firstChunk = 0;
    std::uint64_t total = 0;
    try {
        file = input.open();
        firstChunk = ReadChunk(*file, *buffer, total);
    } catch (const FileReadError& error) {
        return FileFailure(messages, path, error.what());
    }
    const SpoolOutcome done{true, SpoolFailure::None, {}, file->identity()};
    // Nothing to send: no document at all.
    if (firstChunk == 0 && (!eject || !input.ejectWhenEmpty)) return done;

    std::unique_ptr<RawJob> job;
    try {
        job = connection->startDocument(input.documentName);
        WriteDocument(*job, *file, *buffer, firstChunk, total, eject);
    } catch (const SpoolError& error) {
        if (job) job->cancel();
        return SpoolerFailure(messages, path, deviceName, error);
    } catch (const FileReadError& error) {
        if (job) job->cancel();
        return FileFailure(messages, path, error.what());
    }
    return done;
}

}  // namespace vantrel

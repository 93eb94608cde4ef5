#include "printing/spool_file_raw.h"

#include <array>
#include <memory>

#include "printing/document_name.h"
#include "printing/printer_selection.h"
#include "printing/raw_file_reader.h"

namespace vantrel {

namespace {

SpoolOutcome PrinterNameError(MessageSink& messages) {
    messages.show("There is an error in the printer name.", MsgStyle::Ok);
    return {false, "there is an error in the printer name"};
}

SpoolOutcome SpoolerFailure(MessageSink& messages, const std::string& path,
                            const std::string& printer, const std::string& reason) {
    messages.show("Could not print " + path + " on " + printer + ": " + reason, MsgStyle::Critical);
    return {false, reason};
}

SpoolOutcome FileFailure(MessageSink& messages, const std::string& path,
                         const std::string& reason) {
    messages.show("Can't read file: " + path + " (" + reason + ")", MsgStyle::Exclamation);
    return {false, "can't read " + path + ": " + reason};
}

// Streams the rest of the file after the first chunk, then the form feed, and releases the
// document. Throws SpoolError or FileReadError; the caller withdraws the job.
void WriteDocument(RawJob& job, RawFileReader& file, std::array<char, kSpoolChunkSize>& buffer,
                   std::size_t firstChunk, bool eject) {
    std::size_t got = firstChunk;
    while (got > 0) {
        job.write(buffer.data(), got);
        if (got < buffer.size()) break;  // a short chunk is the last one
        got = file.read(buffer.data(), buffer.size());
    }
    if (eject) job.write(&kFormFeed, 1);
    job.finish();
}

}  // namespace

SpoolOutcome SpoolFileRaw(const std::string& path, const std::string& selection,
                          PrinterSystem& system, const LiveSettings& live, MessageSink& messages) {
    std::unique_ptr<PrinterConnection> connection;
    std::string deviceName = selection;
    try {
        auto printer = FindSelectedPrinter(system.printers(), selection);
        if (!printer) return PrinterNameError(messages);
        deviceName = printer->deviceName;
        connection = system.openPrinter(deviceName);
        if (!connection) return PrinterNameError(messages);
    } catch (const SpoolError& error) {
        return SpoolerFailure(messages, path, deviceName, error.what());
    }

    const bool eject = live.pageEject() == 1;
    // The first chunk is read before the document starts, so a file that cannot be read never
    // leaves an empty job behind.
    auto buffer = std::make_unique<std::array<char, kSpoolChunkSize>>();
    std::unique_ptr<RawFileReader> file;
    std::size_t firstChunk = 0;
    try {
        file = std::make_unique<RawFileReader>(path);
        firstChunk = file->read(buffer->data(), buffer->size());
    } catch (const FileReadError& error) {
        return FileFailure(messages, path, error.what());
    }
    if (firstChunk == 0 && !eject) return {true, {}};  // nothing to send: no document at all

    std::unique_ptr<RawJob> job;
    try {
        job = connection->startDocument(DocumentName(path));
        WriteDocument(*job, *file, *buffer, firstChunk, eject);
    } catch (const SpoolError& error) {
        if (job) job->cancel();
        return SpoolerFailure(messages, path, deviceName, error.what());
    } catch (const FileReadError& error) {
        if (job) job->cancel();
        return FileFailure(messages, path, error.what());
    }
    return {true, {}};
}

}  // namespace vantrel

#include "autoprint/journal_lines.h"

#include <cstdio>

#include "printing/outcome_texts.h"
#include "text/runtime_text.h"

namespace vantrel {

namespace {

std::string Counted(std::uint64_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

std::string Seconds(std::chrono::milliseconds time) {
    char text[32];
    std::snprintf(text, sizeof text, "%g s", static_cast<double>(time.count()) / 1000);
    return text;
}

}  // namespace

std::string WatchingLine(const std::string& folder, const std::optional<std::string>& printer,
                         std::chrono::milliseconds settle) {
    return "watching " + EscapeControls(folder) + " for " +
           (printer ? EscapeControls(*printer) : std::string("the default printer")) +
           " (settle time " + Seconds(settle) + ")";
}

std::string PrintedLine(const std::string& name, const std::string& printer, int copies,
                        std::uint64_t bytes) {
    return "spooled " + EscapeControls(name) + " on " + EscapeControls(printer) + " (" +
           Counted(static_cast<std::uint64_t>(copies), "copy", "copies") + ", " +
           Counted(bytes, "byte", "bytes") + ")";
}

std::string CompletedLine(const std::string& name, const std::string& printer, int copies,
                          std::uint64_t bytes) {
    return "completed" + PrintedLine(name, printer, copies, bytes).substr(7);
}

std::string PausedLine(const std::string& printer) {
    return PausedPrinterText(EscapeControls(printer)) + " (its files are kept until they print)";
}

std::string HeldLine(const std::string& name, const std::string& printer,
                     const std::string& reason) {
    return "held " + EscapeControls(name) + " on " + EscapeControls(printer) + ": " +
           EscapeControls(reason) + " (kept until its jobs end)";
}

std::string CompletionUnknownLine(const std::string& name, const std::string& printer,
                                  const std::string& reason) {
    return "completion unknown for " + EscapeControls(name) + " on " + EscapeControls(printer) +
           ": " + EscapeControls(reason) + " (kept, not printed again)";
}

std::string UndeletableLine(const std::string& printedLine, const std::string& why) {
    return printedLine + " but could not delete it: " + EscapeControls(why) +
           " (kept, not printed again)";
}

std::string ChangedLine(const std::string& printedLine) {
    return printedLine + " but it changed meanwhile (kept, printed again once it settles)";
}

std::string FailedLine(const std::string& name, const std::string& printer,
                       const std::string& reason, const std::string& failedName) {
    return "failed " + EscapeControls(name) + " on " + EscapeControls(printer) + ": " +
           EscapeControls(reason) + " \u2192 Failed/" + EscapeControls(failedName);
}

std::string FailedUnmovedLine(const std::string& name, const std::string& printer,
                              const std::string& reason, const std::string& why) {
    return "failed " + EscapeControls(name) + " on " + EscapeControls(printer) + ": " +
           EscapeControls(reason) + "; could not move it to Failed/: " + EscapeControls(why) +
           " (kept, not printed again)";
}

std::string WithdrawnLine(const std::string& name, const std::string& printer,
                          const std::string& reason) {
    return "withdrawn " + EscapeControls(name) + " on " + EscapeControls(printer) + ": " +
           EscapeControls(reason) + " (kept, printed again once it settles)";
}

std::string FolderUnreadableLine(const std::string& folder, const std::string& reason) {
    return "cannot read " + EscapeControls(folder) + ": " + EscapeControls(reason) +
           " (its files wait; looking again)";
}

std::string FolderBackLine(const std::string& folder) {
    return "reading " + EscapeControls(folder) + " again";
}

std::string PollingLine(const std::string& reason, std::chrono::milliseconds interval) {
    return "looking into the folders every " + Seconds(interval) +
           " instead of being told: " + EscapeControls(reason);
}

std::string RecordUnsavedLine(const std::string& record, const std::string& why, bool spooled) {
    return std::string("could not save the record of ") +
           (spooled ? "spooled jobs " : "kept files ") + EscapeControls(record) + ": " +
           EscapeControls(why) +
           (spooled ? " (a file in print may print again after a restart)"
                    : " (a kept file may print again after a restart)");
}

std::string RecordSavedLine(const std::string& record, bool spooled) {
    return std::string("saved the record of ") + (spooled ? "spooled jobs " : "kept files ") +
           EscapeControls(record) + " again";
}

std::string WatchedElsewhereLine(const std::string& folder, const std::string& holder) {
    return EscapeControls(folder) + " is watched by " + EscapeControls(holder) +
           " (waiting to take it over)";
}

std::string TookOverLine(const std::string& folder) {
    return "took over " + EscapeControls(folder);
}

std::string UnwatchableLine(const std::string& folder, const std::string& reason) {
    return "cannot watch " + EscapeControls(folder) + ": " + EscapeControls(reason) + " (retrying)";
}

std::string RecordUnreadableLine(const std::string& record, const std::string& why) {
    return "cannot read the record " + EscapeControls(record) + ": " + EscapeControls(why) +
           " (started without it)";
}

std::string RecordSkippedLine(const std::string& record, std::size_t lines) {
    return "skipped " + std::to_string(lines) + (lines == 1 ? " damaged line" : " damaged lines") +
           " of the record " + EscapeControls(record);
}

std::string PrintedElsewhereLine(const std::string& name, const std::string& holder) {
    return "left " + EscapeControls(name) + " to " + EscapeControls(holder) +
           ", which began printing it (it stays until that one ends it)";
}

std::string BindingUnsavedLine(const std::string& folder, const std::string& why) {
    return "could not save the printer binding of " + EscapeControls(folder) + ": " +
           EscapeControls(why) + " (it holds until the service stops)";
}

std::string SpoolerUnreachableLine(const std::string& reason) {
    return "spooler unreachable: " + EscapeControls(reason) + " (files kept, retrying)";
}

std::string SpoolerBusyLine(const std::string& reason) {
    return "the print server takes no more jobs for now (" + EscapeControls(reason) +
           "); files kept, retrying";
}

std::string StoppingLine(const std::string& name) {
    return "stopping: " + EscapeControls(name) +
           " kept (a request to stop came before it was printed)";
}

std::string PrinterMissingLine(const std::string& folder, const std::string& reason) {
    return "printer missing for " + EscapeControls(folder) + ": " + EscapeControls(reason) +
           " (files kept, retrying)";
}

std::string ResumedLine(const std::string& printer) {
    return "printing again on " + EscapeControls(printer);
}

std::string StoppedLine() {
    return "stopped";
}

}  // namespace vantrel

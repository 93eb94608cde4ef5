#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace vantrel {

// The headless AutoPrint's lines on standard error, one per event, in words a journal reads well
// (systemd's journal adds the time and the program). Names are written with their control
// characters spelled out, so that one event stays one line.

// "watching /srv/labels for Label_Printer (settle time 1 s)"
std::string WatchingLine(const std::string& folder, const std::optional<std::string>& printer,
                         std::chrono::milliseconds settle);
// "spooled label-0001.zpl on Label_Printer (3 copies, 1234 bytes)": the spooler took every copy.
std::string PrintedLine(const std::string& name, const std::string& printer, int copies,
                        std::uint64_t bytes);
// "completed label-0001.zpl on Label_Printer (3 copies, 1234 bytes)": every copy's job ended
// printed.
std::string CompletedLine(const std::string& name, const std::string& printer, int copies,
                          std::uint64_t bytes);
// "held label-0001.zpl on Label_Printer: REASON (kept until its jobs end)"
// The printer was paused: the files whose jobs wait on it stay until they print.
std::string PausedLine(const std::string& printer);

std::string HeldLine(const std::string& name, const std::string& printer,
                     const std::string& reason);
// The spooler no longer knows a job of the file, so whether it printed cannot be told.
// "completion unknown for label-0001.zpl on Label_Printer: REASON (kept, not printed again)"
std::string CompletionUnknownLine(const std::string& name, const std::string& printer,
                                  const std::string& reason);
// The printed line, and that the file stays since it could not be deleted.
std::string UndeletableLine(const std::string& printedLine, const std::string& why);
// The printed line, and that the file stays since it changed while it was printed.
std::string ChangedLine(const std::string& printedLine);
// "failed label-0002.zpl on Closed_Desk: REASON → Failed/label-0002.zpl"
std::string FailedLine(const std::string& name, const std::string& printer,
                       const std::string& reason, const std::string& failedName);
// A failed file that could not be moved into Failed/ either.
std::string FailedUnmovedLine(const std::string& name, const std::string& printer,
                              const std::string& reason, const std::string& why);
// Nothing of the file was printed: it changed after it settled, or while it was sent.
// "withdrawn label-0003.zpl on Label_Printer: REASON (kept, printed again once it settles)"
std::string WithdrawnLine(const std::string& name, const std::string& printer,
                          const std::string& reason);
// A watched folder that cannot be listed (gone, or no longer readable), and its return.
std::string FolderUnreadableLine(const std::string& folder, const std::string& reason);
std::string FolderBackLine(const std::string& folder);
// The system cannot tell of the folders' changes: they are polled.
std::string PollingLine(const std::string& reason, std::chrono::milliseconds interval);
// The record of the files given up on (or with spooled, of the files in print) could not be
// written, and later could again.
std::string RecordUnsavedLine(const std::string& record, const std::string& why,
                              bool spooled = false);
std::string RecordSavedLine(const std::string& record, bool spooled = false);
// Another AutoPrint holds the folder's watch: "FOLDER is watched by HOLDER (waiting to take it
// over)"; HOLDER is what that one wrote of itself.
std::string WatchedElsewhereLine(const std::string& folder, const std::string& holder);
// "took over FOLDER": the other one ended.
std::string TookOverLine(const std::string& folder);
// The folder's watch cannot be taken: "cannot watch FOLDER: REASON (retrying)".
std::string UnwatchableLine(const std::string& folder, const std::string& reason);
// A record of this AutoPrint could not be read, or had damaged lines it skipped.
std::string RecordUnreadableLine(const std::string& record, const std::string& why);
std::string RecordSkippedLine(const std::string& record, std::size_t lines);
// "left label.zpl to HOLDER, which began printing it": another AutoPrint's file in print.
std::string PrintedElsewhereLine(const std::string& name, const std::string& holder);
// The binding of a folder to its printer's queue could not be saved for the next run.
std::string BindingUnsavedLine(const std::string& folder, const std::string& why);
// "spooler unreachable: REASON (files kept, retrying)"
std::string SpoolerUnreachableLine(const std::string& reason);
// The spooler answered, but holds as many jobs as it takes:
// "the print server takes no more jobs for now (too many active jobs); files kept, retrying"
std::string SpoolerBusyLine(const std::string& reason);
// A request to stop ended the file's print, which is withdrawn:
// "stopping: label-0001.zpl kept (a request to stop came before it was printed)"
std::string StoppingLine(const std::string& name);
// A folder's printer is not there: "printer missing for FOLDER: REASON (files kept, retrying)"
std::string PrinterMissingLine(const std::string& folder, const std::string& reason);
// "printing again on Label_Printer": the spooler or the printer is back.
std::string ResumedLine(const std::string& printer);
// "stopped": a request to stop was answered once no job was in progress.
std::string StoppedLine();

}  // namespace vantrel

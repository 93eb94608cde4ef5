#pragma once

#include <string>
#include <vector>

#include "platform/message_sink.h"
#include "printing/after_print.h"
#include "printing/job_follower.h"
#include "printing/print_copies.h"

namespace vantrel {

// What the user is told when the spooler itself cannot be asked.
std::string SpoolerUnreachableText(const std::string& reason);
std::string SpoolerUnreachableText(const SpoolError& error);

// What a person is told of a copy that was not spooled, by why.
Notice SpoolFailureNotice(const SpoolOutcome& outcome);

// What a person is told of a print that did not spool every copy: the failed copy's notice and,
// for more than one copy, how many were spooled before it. Nothing when every copy was spooled.
std::vector<Notice> CopiesNotices(const CopiesOutcome& outcome);

// What a person is told of a followed job that did not complete ("job 42 on Label_Printer was
// cancelled"); limit is the time it was followed for, when it had one. Empty when it ended well
// (completed, or left a queue that keeps no history).
// A job that waits on a paused printer says so, with the time it waited when a limit was reached.
std::string JobEndText(const FollowedJob& job, std::optional<std::chrono::seconds> limit);

// What a person is told of jobs that wait on a printer someone paused.
std::string PausedPrinterText(const std::string& printer);

// What a person is told of a printed file at path that the after-print action left where it
// was, by why; nothing when the action was done as asked.
std::optional<Notice> AfterPrintNotice(const AfterPrintOutcome& outcome, const std::string& path);

// What a person is told of a printer name that names no printer: "no printer name begins with
// \"Plotter\"".
std::string UnknownPrinterText(const std::string& name);

}  // namespace vantrel

#pragma once

#include <string>
#include <vector>

#include "batch/wait_option.h"
#include "platform/message_sink.h"

namespace vantrel {

// Batch mode: prints what the command line asks for on the real spooler, with the user's
// stored settings, and returns the process exit status (0 only when everything was done; with a
// wait, only when every job completed).
int RunBatchMode(const std::vector<std::string>& arguments, MessageSink& messages,
                 bool standardInputClosed, const std::optional<JobWait>& wait = std::nullopt);

// "--list-printers": the printer selection strings, the default one marked.
int ListPrinters(MessageSink& messages);

}  // namespace vantrel

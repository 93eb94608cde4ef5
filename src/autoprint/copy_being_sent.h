#pragma once

#include <string>

#include "autoprint/spooled_jobs_record.h"
#include "platform/printer_system.h"

namespace vantrel {

// What became of the copy a run was sending when it stopped.
enum class SentCopy {
    Known,      // none was being sent, or the spooler got its document whole: its job stands
    SendAgain,  // the spooler never got its document: taken off the entry, to be sent again
    Lost,       // nobody can tell any more whether it printed: never sent again unasked
};

// Settles the entry's last copy by the job number noted for it, never by a job's name, which
// anyone may give a job: a job created but left without its document (the run died while it was
// created or sent) prints nothing, so it is withdrawn and the copy is sent again at once. A job
// the spooler no longer knows, or a copy an older release noted without its job's number, is
// Lost. Throws SpoolError when the spooler cannot be asked.
SentCopy SettleCopyBeingSent(PrinterSystem& printers, const std::string& path, SpooledFile& entry);

}  // namespace vantrel

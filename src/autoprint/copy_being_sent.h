#pragma once

#include <string>

#include "autoprint/spooled_jobs_record.h"
#include "platform/printer_system.h"

namespace vantrel {

// What became of the copy a run was sending when it stopped.
enum class SentCopy {
    Known,      // none was being sent, or the spooler holds its document whole: its job is noted
    SendAgain,  // the spooler never got it whole: it is taken off the entry, to be sent again
    Undecided,  // its job is held, maybe still waiting for the rest of its document: ask later
};

// Finds the job of the entry's copy being sent by its name, and notes it in the entry. A job
// held by the spooler may be one whose document never ended: the spooler gives it up after a
// while, and only then is the copy sent again, since sending it at once could print it twice.
// Throws SpoolError when the spooler cannot be asked.
SentCopy SettleCopyBeingSent(PrinterSystem& printers, const std::string& path, SpooledFile& entry);

}  // namespace vantrel

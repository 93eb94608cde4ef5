#pragma once

#include "platform/message_sink.h"
#include "platform/printer_system.h"

namespace vantrel {

// The first start-up step: false, after the "Fatal Error" message, when there is no printer to
// print on (none installed, or the spooler cannot be asked).
bool CheckPrintersInstalled(PrinterSystem& system, MessageSink& messages);

}  // namespace vantrel

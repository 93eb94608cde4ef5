#pragma once

#include <memory>

#include "platform/printer_system.h"

namespace vantrel {

// The CUPS scheduler that libcups finds (CUPS_SERVER, ~/.cups/client.conf, the system's
// client.conf), through the destination API. Printers are the scheduler's queues in its order,
// each named by its queue name, its port being the queue's device URI without credentials.
// The default is the user's default destination (LPDEST or PRINTER, then ~/.cups/lpoptions,
// then the scheduler's default). Documents go out as application/vnd.cups-raw, one job each.
std::unique_ptr<PrinterSystem> MakeCupsPrinterSystem();

}  // namespace vantrel

#include "platform/backends.h"

namespace vantrel {

// winspool hands a document to the local spooler service, which takes each write at once or
// fails it; nothing there waits on a scheduler that stopped answering, so a request to stop is
// answered between files, as it comes.
std::unique_ptr<PrinterSystem> MakeSystemPrinterSystem(StopSignals&) {
    return MakeSystemPrinterSystem();
}

}  // namespace vantrel

#include "app/startup_steps.h"

#include "printing/outcome_texts.h"

namespace vantrel {

bool CheckPrintersInstalled(PrinterSystem& system, MessageSink& messages) {
    try {
        if (system.anyPrinters()) return true;
        messages.show("There are no printers installed. Kinda makes me useless :(",
                      MsgStyle::Critical, "Fatal Error");
    } catch (const SpoolError& error) {
        messages.show(SpoolerUnreachableText(error), MsgStyle::Critical, "Fatal Error");
    }
    return false;
}

}  // namespace vantrel

#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/printer_system.h"

namespace vantrel {

// The Windows print spooler through its ANSI functions. Printers are those EnumPrintersA lists
// (local printers and connections), in its order, named by printer name and port; the default
// is the "device" entry of the "Windows" profile section. Each document is started at level 1
// with an explicit datatype (see RawDatatypeFor) and carries one page.
std::unique_ptr<PrinterSystem> MakeWinspoolPrinterSystem();

// The datatype that passes bytes to a printer unchanged, given its driver's attributes
// (DRIVER_INFO_8::dwPrinterDriverAttributes): "XPS_PASS" for drivers of the XPS class, whose
// print path would otherwise drop RAW data, "RAW" for all others.
const char* RawDatatypeFor(std::uint32_t driverAttributes);

// The datatype documents for the named printer are started with; nothing when it can't be
// opened.
std::optional<std::string> RawDatatypeOfPrinter(const std::string& deviceName);

}  // namespace vantrel

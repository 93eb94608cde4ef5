#pragma once

#include <cstdint>
#include <string>

namespace vantrel {

// The system's text for a Windows error code, without the closing full stop and line end,
// followed by the code: "The printer name is invalid (error 1801)".
std::string WindowsErrorText(std::uint32_t code);

// WindowsErrorText of GetLastError(), read at once.
std::string LastWindowsErrorText();

}  // namespace vantrel

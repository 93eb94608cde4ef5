#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantrel {

// The arguments of a Windows command line after the program's name, split as the system's own
// rules split it (CommandLineToArgvW): blanks and tabs outside double quotes separate them,
// quotes group and vanish, backslashes escape a quote only when they stand right before one
// (2n of them and a quote: n backslashes, and the quote groups; 2n+1: n and a literal quote), and
// inside a quoted stretch two quotes in a row are a literal quote that ends the stretch. The
// program's name ends at its closing quote, or at the first blank, and has no escapes.
std::vector<std::string> WindowsCommandLineArguments(std::string_view line);

}  // namespace vantrel

#pragma once

#include <string>
#include <vector>

namespace vantrel {

// "vantrel --autoprint [--settle SECONDS] [DIR[=PRINTER] ...]": AutoPrint without a window, on
// the real spooler, with the user's stored copies and eject setting, until SIGTERM or SIGINT.
// `words` are the arguments after --autoprint. Returns the exit status: 0 after a stop on
// request, 2 for a command line that is refused (nothing is watched then), 1 when the folders
// cannot be watched.
int RunAutoPrintMode(const std::vector<std::string>& words);

}  // namespace vantrel

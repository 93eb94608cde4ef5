#pragma once

#include <string>
#include <vector>

namespace vantrel {

// "vantrel --serve [--port N] [--allow-origin ORIGIN ...]": the web endpoint on the loopback
// interface, printing on the real spooler with the user's stored eject setting, until SIGTERM
// or SIGINT; "--show-token" and "--new-token" print the token instead. `words` are the
// arguments after --serve. Returns the exit status: 0 after a stop on request (or the token
// printed), 2 for a command line that is refused or a build without the endpoint, 1 when it
// cannot start.
int RunServeMode(const std::vector<std::string>& words);

}  // namespace vantrel

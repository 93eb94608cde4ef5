#pragma once

namespace vantrel {

// Gives every standard stream the program was started without (standard input, output or
// error closed) the null device, before anything else is opened: otherwise the next file or
// spooler connection would take its number, and standard input would read the program's own
// traffic with the spooler. True when standard input was one of them.
bool OpenClosedStandardStreams();

}  // namespace vantrel

#pragma once

#include <string>
#include <vector>

namespace vantrel {

// The program's arguments after its name, each one word whatever blanks it holds. On POSIX they
// are the arguments as the shell split them; on Windows the command line split as the system's
// own rules split it (text/command_line_words.h), so that a quoted name with blanks is one word.
std::vector<std::string> ProgramArguments(int argc, char** argv);

}  // namespace vantrel

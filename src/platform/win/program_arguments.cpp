#include "platform/program_arguments.h"

#include <windows.h>

#include "text/command_line_words.h"

namespace vantrel {

// The C runtime's argv splits by rules of its own, which differ from the system's in how quotes
// in a row are read; the command line itself is split here as CommandLineToArgvW splits it, in
// the same code page as the rest of the program's texts.
std::vector<std::string> ProgramArguments(int, char**) {
    return WindowsCommandLineArguments(GetCommandLineA());
}

}  // namespace vantrel

// vantrel: sends files unchanged ("raw") to a printer through the print spooler.
// With a command line it prints one file and ends (batch mode); without one it shows its window.

#include <cstdio>
#include <string>

#include "app/batch_mode.h"
#include "app/version.h"
#include "app/window_loader.h"

namespace {

constexpr const char* kUsage =
    "Usage: vantrel                     show the window\n"
    "       vantrel [-RDC] [copies] FILE [PRINTER]\n"
    "       vantrel -R[DC] [copies] PRINTER FILE\n"
    "\n"
    "Sends FILE unchanged to PRINTER (the default printer when none is named).\n"
    "PRINTER is the printer's name or its beginning, in any letter case.\n"
    "  -R  the printer name comes first, the file name last\n"
    "  -D  delete FILE once every copy is printed\n"
    "  -C  the next word is the number of copies\n"
    "Option letters combine (-CD 3 label.prn). File names cannot contain blanks.\n"
    "\n"
    "       vantrel --list-printers      list the printers, the default one marked\n"
    "       vantrel --version\n"
    "       vantrel --help\n";

// The command line as one text, the arguments joined by blanks.
std::string JoinArguments(int argc, char** argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) line += ' ';
        line += argv[i];
    }
    return line;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc <= 1) return vantrel::RunWindowMode(argc, argv);
    const std::string commandLine = JoinArguments(argc, argv);
    if (commandLine == "--help") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (commandLine == "--version") {
        std::printf("vantrel %s\n", vantrel::kVersionText);
        return 0;
    }
    if (commandLine == "--list-printers") return vantrel::ListPrinters();
    return vantrel::RunBatchMode(commandLine);
}

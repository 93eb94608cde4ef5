// vantrel: sends files unchanged ("raw") to a printer through the print spooler.
// With a command line it prints one file and ends (batch mode); without one it shows its window.

#include <cstdio>
#include <string>
#include <vector>

#include "app/autoprint_mode.h"
#include "app/batch_mode.h"
#include "app/serve_mode.h"
#include "app/version.h"
#include "app/window_loader.h"
#include "batch/command_line.h"
#include "platform/batch_output.h"
#include "platform/program_arguments.h"
#include "platform/standard_streams.h"
#include "platform/system_places.h"

namespace {

constexpr const char* kUsage =
    "Usage: vantrel                     show the window\n"
    "       vantrel [-RDC] [copies] FILE [PRINTER]\n"
    "       vantrel -R[DC] [copies] PRINTER FILE\n"
    "       vantrel --wait[=SECONDS] [-RDC] [copies] FILE [PRINTER]\n"
    "\n"
    "Sends FILE unchanged to PRINTER (the default printer when none is named).\n"
    "PRINTER is the printer's name or its beginning, in any letter case; a printer\n"
    "named exactly so wins over longer names that begin with it.\n"
    "  -R  the printer name comes first, the file name last\n"
    "  -D  delete FILE once every copy is printed, if it did not change meanwhile\n"
    "  -C  the next word is the number of copies (below 1 counts as 1, at most 32767)\n"
    "The letters of an option word are read one by one and any other letter is\n"
    "ignored, so -d deletes and -CD 3 label.prn prints 3 copies, then deletes.\n"
    "A word beginning with -- is no option word: other than the forms below it is\n"
    "refused, and nothing is printed or deleted. Each argument is one word, so a\n"
    "name with blanks is given in quotes: vantrel -D \"My Labels/a b.prn\" label.\n"
    "The words after FILE (before it, with -R) are the printer's name, joined by\n"
    "blanks. FILE - (a lone -, never an option word) is standard input.\n"
    "Exit status: 0 when every copy was spooled (and FILE deleted when asked),\n"
    "1 when not, 2 for a command line that is refused.\n"
    "  --wait  first of all: follow every copy's job until the spooler reports its\n"
    "          end; exit status 0 only when every job completed, 1 when one was\n"
    "          aborted, cancelled or stopped, or the spooler no longer knows it\n"
    "          (completion unknown), or SECONDS passed first (jobs still waiting stay\n"
    "          in the queue). With -D, FILE is deleted only once every job completed.\n"
    "\n"
    "       vantrel --autoprint [--settle SECONDS] [--wait] [DIR[=PRINTER] ...]\n"
    "                                    AutoPrint without a window: prints each file\n"
    "                                    written into DIR on PRINTER once it has not\n"
    "                                    changed for SECONDS (default 1), then deletes\n"
    "                                    it; refused files go to DIR/Failed. Without DIR\n"
    "                                    the drop directory, without PRINTER the default\n"
    "                                    printer. Runs until SIGTERM or Ctrl+C. Each file\n"
    "                                    is printed once, even across a kill and restart.\n"
    "  --wait  a file is deleted only once its jobs completed; one aborted or\n"
    "          cancelled sends it to DIR/Failed; while a printer holds its jobs, the\n"
    "          file stays and the other files go on printing.\n"
    "       vantrel --serve [--port N] [--allow-origin ORIGIN ...] [--max-size MIB] [--rate N]\n"
    "                                    prints from web pages: a JSON endpoint on the\n"
    "                                    loopback interface only (127.0.0.1 and ::1, port\n"
    "                                    9632; 0 takes any free one). GET /printers,\n"
    "                                    POST /jobs?printer=NAME&copies=N&name=TITLE with\n"
    "                                    the bytes as the body (at most MIB mebibytes,\n"
    "                                    default 100), GET /jobs/ID[?wait=SECONDS].\n"
    "                                    Every request needs the token (Authorization:\n"
    "                                    Bearer TOKEN); pages only from an ORIGIN allowed\n"
    "                                    (https://till.example); at most N requests a\n"
    "                                    second (default 50). Runs until SIGTERM or Ctrl+C.\n"
    "       vantrel --serve --show-token  print the endpoint's token (made when missing)\n"
    "       vantrel --serve --new-token   make a new token and print it\n"
    "       vantrel --list-printers      list the printers, the default one marked\n"
    "       vantrel --version\n"
    "       vantrel --help\n";

// A guessed long option ("--dry-run") must not be read as option letters (D, R): refuse it.
int RefuseLongOption(const std::string& word, vantrel::MessageSink& messages) {
    messages.show("unknown option " + word +
                      "; usage: vantrel [-RDC] [copies] FILE [PRINTER]; see vantrel --help",
                  vantrel::MsgStyle::Exclamation);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const bool standardInputClosed = vantrel::OpenClosedStandardStreams();
    // The settings store and the start directory both go by HOME; without it, both use the
    // home directory of the password database.
    vantrel::EnsureHomeEnvironment();
    const std::vector<std::string> arguments = vantrel::ProgramArguments(argc, argv);
    if (arguments.empty()) {
        // Qt would abort without a display; say why and how to print without a window instead.
        if (auto reason = vantrel::MissingDisplayReason(); !reason.empty()) {
            std::fprintf(stderr,
                         "vantrel: %s; to print without a window: vantrel [-RDC] [copies] FILE "
                         "[PRINTER]\n",
                         reason.c_str());
            return 2;
        }
        return vantrel::RunWindowMode(argc, argv);
    }
    // On Windows this also connects the caller's console, if any, to stdout and stderr.
    const auto messages = vantrel::MakeBatchMessages();
    if (arguments[0] == "--autoprint") {
        return vantrel::RunAutoPrintMode({arguments.begin() + 1, arguments.end()});
    }
    if (arguments[0] == "--serve") {
        return vantrel::RunServeMode({arguments.begin() + 1, arguments.end()});
    }
    // "--wait" comes first; the command line after it is read as without it.
    const vantrel::WaitWord waitWord = vantrel::ReadWaitWord(arguments[0]);
    if (waitWord.isWait && !waitWord.wait) {
        messages->show(waitWord.error + "; see vantrel --help", vantrel::MsgStyle::Exclamation);
        return 2;
    }
    const std::vector<std::string> batch(arguments.begin() + (waitWord.isWait ? 1 : 0),
                                         arguments.end());
    const std::vector<std::string> words = vantrel::CommandWords(batch);
    if (!waitWord.isWait && words.size() == 1) {
        if (words[0] == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (words[0] == "--version") {
            std::printf("vantrel %s\n", vantrel::kVersionText);
            return 0;
        }
        if (words[0] == "--list-printers") return vantrel::ListPrinters(*messages);
    }
    if (auto word = vantrel::LongOptionWord(words)) return RefuseLongOption(*word, *messages);
    return vantrel::RunBatchMode(batch, *messages, standardInputClosed, waitWord.wait);
}

#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "app/forms.h"

namespace vantrel {

// Where the windowed program looks for its drop directory and remembers the files AutoPrint
// gave up on, and how often AutoPrint looks.
struct WindowPlaces {
    std::string appPath;         // the directory that holds the program
    std::string userDataDir;     // the user's data directory, for an installed program
    std::string keptRecordPath;  // empty: kept in memory only
    int autoPrintIntervalMs = MainWindow::kAutoPrintInterval;
    // The longest wait for the print server's first answer: a server that does not answer
    // within it ends the start-up, as one that has no printer does, with its own message.
    std::chrono::milliseconds firstAnswerWait{10000};
};

// The windowed start-up: ends (nothing) after the "Fatal Error" message when there is no printer
// to print on; otherwise brings in the settings, prepares the dialogs hidden, fills the main
// window, makes sure the drop directory exists, and shows the main window with the default
// printer selected. A start directory that cannot be listed falls back to the home directory,
// and a drop directory that cannot be made leaves AutoPrint off; both are reported.
std::unique_ptr<Forms> StartWindow(const WindowSeams& seams, const WindowPlaces& places);

// StartWindow, then the event loop until the main window has closed. The exit status.
int RunWindowProgram(const WindowSeams& seams, const WindowPlaces& places);

}  // namespace vantrel

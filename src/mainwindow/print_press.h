#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/message_sink.h"
#include "platform/printer_system.h"
#include "settings/live_settings.h"

namespace vantrel {

// The after-print actions of the main window's action box.
enum PrintAction { kActionLeave = 0, kActionDelete = 1, kActionMove = 2 };

// What the Print press reads from the main window, and the one thing it asks of it.
class PrintPressView {
  public:
    virtual ~PrintPressView() = default;
    virtual int fileListIndex() const = 0;  // the file list's current entry, -1 when none
    virtual std::vector<std::string> fileEntries() const = 0;
    virtual std::vector<bool> fileSelection() const = 0;  // one flag per entry
    virtual int printerListIndex() const = 0;             // -1 when no printer is selected
    virtual std::string selectedPrinter() const = 0;      // the selected selection string
    virtual std::string copiesText() const = 0;           // read again for every file
    virtual int actionIndex() const = 0;                  // PrintAction, or -1
    virtual std::string currentDirectory() const = 0;
    // Re-reads the file list, rebuilds the printer list and selects the default printer.
    virtual void refreshLists() = 0;
};

// How a press ended.
enum class PressResult { Refused, Stopped, Completed };

// The Print button: checks the choices, prints every selected file in the asked copies, then
// leaves, deletes or moves it. A file whose print, copy or delete failed, or that changed while
// it was printed, is kept, the user is told, and the press stops there.
PressResult PressPrint(PrintPressView& view, PrinterSystem& system, FileSystem& files,
                       const LiveSettings& live, MessageSink& messages);

// The number of copies the copies box asks for: its leading number rounded with halves to
// even; nothing when that is outside 1..32767.
std::optional<int> InteractiveCopies(const std::string& copiesText);

// The name a listed file is printed and moved under: upper-cased where file names ignore case.
std::string PrintName(const std::string& listEntry);

}  // namespace vantrel

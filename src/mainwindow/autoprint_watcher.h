#pragma once

#include <functional>
#include <map>
#include <string>

#include "mainwindow/autoprint_rules.h"
#include "mainwindow/kept_files_record.h"
#include "platform/file_system.h"
#include "platform/message_sink.h"
#include "platform/printer_system.h"
#include "settings/live_settings.h"

namespace vantrel {

// AutoPrint: at every tick, prints each plain file of the drop directory on the default printer,
// in the copies the main window's copies box asks for, and deletes it.
// A file is taken only once it has stopped changing since the previous tick, so a file that
// another program is still writing is printed once and whole. A file the spooler refused, or
// that could not be read, goes into the "Failed" subdirectory. While the spooler cannot be
// reached, no default printer is set or the copies box holds no usable number, files stay where
// they are, and the user is told once. A printed file that cannot be deleted is not printed
// again, in this run or a later one.
class AutoPrintWatcher {
  public:
    // keptRecordPath: where the files given up are remembered across runs; empty for nowhere.
    AutoPrintWatcher(std::string dropDirectory, PrinterSystem& system, FileSystem& files,
                     const LiveSettings& live, MessageSink& messages,
                     std::function<std::string()> copiesText, std::string keptRecordPath = {});

    // One tick. A tick that starts while another runs (inside its message box) does nothing.
    void tick();

    const std::string& dropDirectory() const { return dropDirectory_; }

  private:
    // Each returns false when the rest of the tick must wait for the next one.
    bool handleFile(const std::string& path);
    bool waitFor(bool& warned, const std::string& why);
    void removePrinted(const std::string& path, const FileIdentity& printed);
    void moveToFailed(const std::string& path, const std::string& why);

    std::string dropDirectory_;
    PrinterSystem& system_;
    FileSystem& files_;
    const LiveSettings& live_;
    MessageSink& messages_;
    std::function<std::string()> copiesText_;
    KeptFilesRecord kept_;

    bool ticking_ = false;
    bool spoolerWarned_ = false;                    // told of the current outage
    bool copiesWarned_ = false;                     // told that the copies box is unusable
    std::map<std::string, FileIdentity> lastLook_;  // by file name, from the previous tick
};

// Where the files AutoPrint gave up on are remembered: in the user's state directory.
std::string KeptFilesRecordPath();

}  // namespace vantrel

#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <system_error>

#include "platform/message_sink.h"
#include "platform/printer_system.h"
#include "settings/live_settings.h"

namespace vantrel {

// The drop directory's subdirectory for files that could not be printed.
inline const std::string kFailedDirectoryName = "Failed";

// AutoPrint: at every tick, prints each plain file of the drop directory on the default printer,
// in the copies the main window's copies box asks for, and deletes it.
// A file is taken only once it has stopped changing since the previous tick, so a file that
// another program is still writing is printed once and whole. A file that could not be printed
// goes into the "Failed" subdirectory; a printed file that cannot be deleted is not printed again.
class AutoPrintWatcher {
  public:
    AutoPrintWatcher(std::string dropDirectory, PrinterSystem& system, const LiveSettings& live,
                     MessageSink& messages, std::function<std::string()> copiesText);
    virtual ~AutoPrintWatcher() = default;

    // One tick. A tick that starts while another runs (inside its message box) does nothing.
    void tick();

    const std::string& dropDirectory() const { return dropDirectory_; }

  protected:
    // Deletes a printed file; false, with the reason in error, when it stays.
    virtual bool removeFile(const std::string& path, std::error_code& error);

  private:
    struct Snapshot {
        std::uintmax_t size = 0;
        std::filesystem::file_time_type modified;
        bool operator==(const Snapshot&) const = default;
    };

    void handleFile(const std::string& name);
    void printAndRemove(const std::string& path, int copies);
    void moveToFailed(const std::string& path, const std::string& why);

    std::string dropDirectory_;
    PrinterSystem& system_;
    const LiveSettings& live_;
    MessageSink& messages_;
    std::function<std::string()> copiesText_;

    bool ticking_ = false;
    std::map<std::string, Snapshot> lastLook_;  // by file name, from the previous tick
    std::set<std::string> givenUp_;             // printed or failed files that could not be removed
};

}  // namespace vantrel

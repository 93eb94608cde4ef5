#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/message_sink.h"
#include "platform/printer_system.h"
#include "printing/after_print.h"
#include "printing/job_follower.h"
#include "settings/settings.h"

namespace vantrel {

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
    // The after-print action chosen; nothing when none is (the file is left).
    virtual std::optional<AfterPrintAction> chosenAction() const = 0;
    virtual std::string currentDirectory() const = 0;
    // Re-reads the file list, rebuilds the printer list and selects the default printer.
    virtual void refreshLists() = 0;
};

// How a press ended.
enum class PressResult { Refused, Stopped, Completed };

// The Print button: checks the choices, prints every selected file in the asked copies, then
// leaves, deletes or moves it. A file whose print, copy or delete failed, or that changed while
// it was printed, is kept, the user is told, and the press stops there.
//
// A press runs in steps, so that a window answers between them: start() checks the choices and
// takes the selected files and the printer, each step prints the next file. The copies box is
// read again for every file, and the action box too; the printer is the one selected when the
// press started. Within a step, answer (when given) is called before a read of the file or a call
// to the spooler once kAnswerEvery has passed since the window last answered, so that the window
// answers during a long file too, and waits on no more than one slow spooler call at a time.
class PrintPress {
  public:
    static constexpr std::chrono::milliseconds kAnswerEvery{50};

    PrintPress(PrintPressView& view, PrinterSystem& system, FileSystem& files,
               const Settings& settings, MessageSink& messages,
               std::function<void()> answer = nullptr);
    ~PrintPress();
    PrintPress(const PrintPress&) = delete;
    PrintPress& operator=(const PrintPress&) = delete;

    // Checks the choices and takes the selected files. False, with the first missing choice
    // told, when there is nothing to do: the press is then over (Refused).
    bool start();
    // Prints on for at most budget: one file at least (a file in progress is never cut short),
    // and a further one only while the longest so far would still fit. True while files remain.
    bool workFor(std::chrono::milliseconds budget);
    // No further file after the one in progress.
    void stop();

    struct Progress {
        std::size_t done = 0;     // files handled
        std::size_t total = 0;    // files selected
        std::size_t printed = 0;  // files printed in every copy and dealt with as asked
        bool operator==(const Progress&) const = default;
    };
    Progress progress() const { return {next_, names_.size(), printed_}; }
    // Whether stop() came.
    bool stopAsked() const { return stopAsked_; }
    // How it ended; Stopped also after stop().
    PressResult result() const { return result_; }
    // The jobs spooled so far, in order, for the window to follow to their end.
    const std::vector<JobRef>& spooledJobs() const { return jobs_; }

  private:
    bool handleFile(const std::string& entry);

    struct Answering;  // the spooler and the files, letting the window answer between calls

    PrintPressView& view_;
    std::unique_ptr<Answering> answering_;
    const Settings& settings_;
    MessageSink& messages_;
    std::string sourceDir_;
    std::string printer_;
    std::vector<std::string> names_;  // the selected entries, in list order
    std::size_t next_ = 0;
    std::vector<JobRef> jobs_;
    std::size_t printed_ = 0;
    bool stopping_ = false;
    bool stopAsked_ = false;
    PressResult result_ = PressResult::Refused;
};

// The name a listed file is printed and moved under: upper-cased where file names ignore case.
std::string PrintName(const std::string& listEntry);

}  // namespace vantrel

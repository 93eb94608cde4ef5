#pragma once

#include <QMainWindow>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "mainwindow/print_press.h"
#include "mainwindow/quiet_messages.h"
#include "mainwindow/window_wait.h"
#include "platform/file_system.h"
#include "platform/message_sink.h"
#include "platform/printer_system.h"
#include "platform/settings_store.h"
#include "printing/job_follower.h"
#include "printing/printer_selection.h"
#include "printing/worker_printer_system.h"
#include "settings/settings.h"
#include "settings/window_placement.h"

class QKeyEvent;
class QMoveEvent;
class QTimer;

namespace vantrel {

class AutoPrintWatcher;

// What the main window works with besides its own controls: the system, the settings in force,
// and the other forms, by what it asks of them.
class MainWindowLinks {
  public:
    virtual ~MainWindowLinks() = default;
    virtual PrinterSystem& printers() = 0;
    virtual FileSystem& files() = 0;
    virtual SettingsStore& store() = 0;
    virtual MessageSink& messages() = 0;
    // The settings in force: the window shows and edits its copies count and masks there.
    virtual Settings& settings() = 0;
    // The directory picker: the chosen directory, or nothing when cancelled.
    virtual std::optional<std::string> pickDirectory(const std::string& start) = 0;
    virtual void showOptions() = 0;
    virtual void showAbout() = 0;
    virtual void showHelp() = 0;
    // The main window unloads: the dialogs go with it.
    virtual void closeDialogs() = 0;
    // The main window was placed again once its frame was known: the dialogs follow it.
    virtual void placeDialogs() = 0;
};

// The main window "Vantrel": the current directory and its file list, the printer list, the
// copies box and the after-print action, and the buttons and menus that act on them. It shows
// the copies count and the masks of the settings in force and writes their changes back, places
// itself where they say, feeds the Print press, and runs AutoPrint on its timer while "Use
// AutoPrint" is ticked.
//
// Every spooler call is made on a worker thread of the window's own (WorkerPrinterSystem), and the
// window answers its events while it waits for one: a print server that does not answer is told
// of in the jobs line after WindowWait::kNoAnswerNotice, and Exit has the spooler give up its
// waits, so that the program ends within seconds whatever the server does.
//
// The Print press and an AutoPrint tick work in slices, one after the other, never both at once:
// the window answers between slices and, every PrintPress::kAnswerEvery, while a file is sent.
// The caption tells how far they are, or that AutoPrint is off; a line under the lists tells how
// the last press's jobs ended, or that they wait on a paused printer. Escape, Exit or closing the
// window stops the press after the file in progress. What opens a dialog waits for the end of
// the slice, so that no file waits behind a dialog.
class MainWindow : public QMainWindow, private PrintPressView, private PrinterListBox {
  public:
    static constexpr double kClientWidth = 7185;  // twips
    static constexpr double kClientHeight = 3975;
    static constexpr int kAutoPrintInterval = 5000;  // ms
    // The longest stretch an AutoPrint tick keeps the window from answering (the file in
    // progress aside).
    static constexpr std::chrono::milliseconds kAutoPrintSlice{100};
    // The same for the Print press.
    static constexpr std::chrono::milliseconds kPressSlice{100};

    explicit MainWindow(MainWindowLinks& links);
    ~MainWindow() override;

    // Shows the settings in force: the copies box, the masks with the chosen one, and the place
    // on the screen (centred when the settings have none the user could reach).
    void showSettings();
    // Stores the settings in force, with the window's placement unless it is minimised or
    // maximised; a store that cannot be written is reported.
    void saveSettings();
    // What placing the window needs to know of the screens and of its size.
    WindowRoom room() const;

    // Re-reads the file list and rebuilds the printer list, keeping the printer the user chose
    // while it is installed, else selecting the default printer. A current directory that
    // cannot be listed is reported and replaced by the home directory.
    void refreshLists() override;
    // Selects the default printer in the printer list, as it stands; an unreachable spooler
    // leaves the selection alone.
    void selectDefaultPrinter();
    // Sets the current directory: the directory box and the file list's directory, which the
    // next refreshLists reads.
    void setCurrentDirectory(const std::string& directory);
    std::string currentDirectory() const override;
    // Offers the after-print actions, with chosen selected (none when nothing is).
    void offerAfterPrintActions(std::optional<AfterPrintAction> chosen);
    // Adds a mask to the mask list, as the options dialog's Add does; none becomes chosen.
    void addMask(const std::string& mask);
    // Deletes the mask at index from the mask list, as the options dialog's Delete does.
    void removeMask(int index);
    // Starts AutoPrint on dropDirectory: autoPrintTimer ticks every intervalMs from now on. The
    // files it gives up on are remembered in keptRecordPath (nowhere when empty).
    void startAutoPrint(const std::string& dropDirectory, int intervalMs,
                        const std::string& keptRecordPath);
    // Whether AutoPrint watches the drop directory: started, and "Use AutoPrint" not clear.
    bool autoPrintRunning() const;
    // "Use AutoPrint" changed: the caption says whether AutoPrint watches; a tick under way ends
    // after the file in progress when it no longer does.
    void showAutoPrintState();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

  private:
    struct Controls;

    void onMaskChosen();
    void onPrintClicked();
    void onChangeDirClicked();
    void onExitClicked();
    void onAutoPrintTimer();
    // The caption between ticks: it tells when a service has the drop directory.
    QString idleCaption() const;
    void continueAutoPrint();
    void continuePress();
    void stopPress();
    // The press is over: its jobs are followed, and a stop by the user is told.
    void endPress();
    // Follows the jobs of the press that ended, in place of those of the one before.
    void followJobs(const std::vector<JobRef>& jobs);
    void onFollowTimer();
    // Tells that the jobs of the last Print failed: one box at a time, with the latest text.
    void tellFailure(const std::string& text);
    // The jobs line: what became of the last press, then how its jobs stand.
    void showJobsLine();
    // Runs act now, or at the end of the slice under way.
    void whenFree(std::function<void()> act);
    void showCaption();
    void onUnload();
    // Centres the window on the primary screen; again once the window system has framed it.
    void moveToCentre();
    // The masks and the chosen one, as the mask list holds them, into the settings in force.
    void keepMasks();

    // PrintPressView
    int fileListIndex() const override;
    std::vector<std::string> fileEntries() const override;
    std::vector<bool> fileSelection() const override;
    int printerListIndex() const override;
    std::string selectedPrinter() const override;
    std::string copiesText() const override;
    std::optional<AfterPrintAction> chosenAction() const override;

    // PrinterListBox
    std::vector<std::string> entries() const override;
    void setSelectedIndex(int index) override;

    MainWindowLinks& links_;
    std::unique_ptr<Controls> ui_;
    bool closing_ = false;  // the window is going: its flows end without a word
    QuietMessages messages_;
    WindowWait wait_;
    std::unique_ptr<WorkerPrinterSystem> spooler_;  // before everything that calls it
    std::unique_ptr<AutoPrintWatcher> watcher_;
    QTimer* nextSlice_;         // the rest of an AutoPrint tick, once the window has answered
    bool autoTicking_ = false;  // an AutoPrint tick is unfinished
    std::unique_ptr<PrintPress> press_;
    QTimer* pressSlice_;                     // the rest of the press
    std::shared_ptr<JobFollower> follower_;  // the jobs of the last press, until they end
    QTimer* followStep_;                     // the next ask about them
    bool inSlice_ = false;
    std::vector<std::function<void()>> waiting_;  // what came during the slice
    std::string pressNote_;          // how the last press ended, when the user stopped it
    std::string jobsText_;           // how its jobs stand
    bool noAnswer_ = false;          // a spooler call has gone unanswered for a while
    bool failureShown_ = false;      // a box tells of failed jobs
    std::string failureNext_;        // what it tells next, once closed
    std::vector<Printer> printers_;  // as printerList lists them
    std::string chosenPrinter_;      // the device name the user chose, if any
    bool centrePending_ = false;     // centred before the window system framed the window
};

}  // namespace vantrel

#pragma once

#include <QMainWindow>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "mainwindow/print_press.h"
#include "platform/file_system.h"
#include "platform/message_sink.h"
#include "platform/printer_system.h"
#include "platform/settings_store.h"
#include "printing/printer_selection.h"
#include "settings/live_settings.h"
#include "settings/main_window_settings.h"

class QTimer;

namespace vantrel {

class AutoPrintWatcher;

// What the main window works with besides its own controls: the system, the settings in force
// (held by the options dialog), and the other forms, by what it asks of them.
class MainWindowLinks {
  public:
    virtual ~MainWindowLinks() = default;
    virtual PrinterSystem& printers() = 0;
    virtual FileSystem& files() = 0;
    virtual SettingsStore& store() = 0;
    virtual MessageSink& messages() = 0;
    virtual LiveSettings& liveSettings() = 0;
    // The directory picker: the chosen directory, or nothing when cancelled.
    virtual std::optional<std::string> pickDirectory(const std::string& start) = 0;
    virtual void showOptions() = 0;
    virtual void showAbout() = 0;
    virtual void showHelp() = 0;
    // The main window unloads: the dialogs go with it.
    virtual void closeDialogs() = 0;
};

// The main window "Vantrel": the current directory and its file list, the printer list, the
// copies box and the after-print action, and the buttons and menus that act on them. It holds
// the copies count, the masks and its own placement for the settings routines (settings()),
// feeds the Print press, and runs AutoPrint on its timer.
class Vantrel : public QMainWindow, private PrintPressView, private PrinterListBox {
  public:
    static constexpr double kClientWidth = 7185;  // twips
    static constexpr double kClientHeight = 3975;
    static constexpr int kAutoPrintInterval = 5000;  // ms
    // The longest stretch an AutoPrint tick keeps the window from answering (the file in
    // progress aside).
    static constexpr std::chrono::milliseconds kAutoPrintSlice{100};

    explicit Vantrel(MainWindowLinks& links);
    ~Vantrel() override;

    // The main window's settings holder: copies, masks and placement.
    MainWindowSettings& settings();

    // Re-reads the file list, rebuilds the printer list and selects the default printer in it.
    // A current directory that cannot be listed is reported and replaced by the home directory.
    void refreshLists() override;
    // Selects the default printer in the printer list, as it stands; an unreachable spooler
    // leaves the selection alone.
    void selectDefaultPrinter();
    // Sets the current directory: the directory box and the file list's directory, which the
    // next refreshLists reads.
    void setCurrentDirectory(const std::string& directory);
    std::string currentDirectory() const override;
    // Offers the after-print actions "Leave", "Delete" and "Move", with chosen selected.
    void offerAfterPrintActions(int chosen);
    // Deletes the mask at index from the mask list, as the options dialog's Delete does.
    void removeMask(int index);
    // Starts AutoPrint on dropDirectory: Timer1 ticks every intervalMs from now on. The files it
    // gives up on are remembered in keptRecordPath (nowhere when empty).
    void startAutoPrint(const std::string& dropDirectory, int intervalMs,
                        const std::string& keptRecordPath);
    bool autoPrintRunning() const;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    struct Controls;
    class SettingsHolder;

    void Combo1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Timer1_Timer();
    // The caption between ticks: it tells when a service has the drop directory.
    QString idleCaption() const;
    void continueAutoPrint();
    void Form_Unload();

    // PrintPressView
    int fileListIndex() const override;
    std::vector<std::string> fileEntries() const override;
    std::vector<bool> fileSelection() const override;
    int printerListIndex() const override;
    std::string selectedPrinter() const override;
    std::string copiesText() const override;
    int actionIndex() const override;

    // PrinterListBox
    std::vector<std::string> entries() const override;
    void setSelectedIndex(int index) override;

    MainWindowLinks& links_;
    std::unique_ptr<Controls> ui_;
    std::unique_ptr<SettingsHolder> settings_;
    std::unique_ptr<AutoPrintWatcher> watcher_;
    QTimer* nextSlice_;  // the rest of an AutoPrint tick, once the window has answered
};

}  // namespace vantrel

#pragma once

#include <memory>
#include <optional>
#include <string>

#include "formkit/message_boxes.h"
#include "mainwindow/main_window.h"
#include "options/options_dialog.h"
#include "platform/desktop.h"
#include "platform/file_system.h"
#include "platform/legacy_profile.h"
#include "platform/message_sink.h"
#include "platform/printer_system.h"
#include "platform/registry.h"
#include "platform/settings_store.h"
#include "settings/settings.h"

namespace vantrel {

class DirectoryPicker;

// What the windowed program works through: the spooler, the files, the settings store, the
// legacy profile read on the first start, where messages go, and the desktop and the registry
// the About box and Help use.
struct WindowSeams {
    PrinterSystem& printers;
    FileSystem& files;
    SettingsStore& store;
    LegacyProfile& legacyProfile;
    MessageBoxes& messages;  // owned by the main window
    Desktop& desktop;
    Registry& registry;
};

// The single instance of each form, the settings in force that they show and edit, and what
// links them: each form reaches the others through the narrow links it declares, which this
// owner keeps. The forms are made hidden and live until
// this owner goes. appPath is the program's directory, where Help looks for its document.
class Forms final : public MainWindowLinks, public OptionLinks {
  public:
    Forms(const WindowSeams& seams, std::string appPath);
    ~Forms() override;
    Forms(const Forms&) = delete;
    Forms& operator=(const Forms&) = delete;

    MainWindow& mainWindow() { return *mainWindow_; }
    OptionsDialog& optionsDialog() { return *optionsDialog_; }
    DirectoryPicker& directoryPicker() { return *directoryPicker_; }

    // MainWindowLinks and OptionLinks
    PrinterSystem& printers() override { return seams_.printers; }
    FileSystem& files() override { return seams_.files; }
    SettingsStore& store() override { return seams_.store; }
    MessageSink& messages() override { return seams_.messages; }
    Settings& settings() override { return settings_; }
    std::optional<std::string> pickDirectory(const std::string& start) override;
    void showOptions() override;
    void showAbout() override;
    void showHelp() override;
    void closeDialogs() override;
    void placeDialogs() override;
    void autoPrintSwitched() override;
    void saveSettings() override { mainWindow_->saveSettings(); }
    void restoreSettings() override;
    void addMainWindowMask(const std::string& mask) override { mainWindow_->addMask(mask); }
    void removeMainWindowMask(int index) override { mainWindow_->removeMask(index); }
    std::string currentDirectory() override { return mainWindow_->currentDirectory(); }

    // Takes settings as the settings in force and shows them in every form.
    void showSettings(const Settings& settings);

  private:
    WindowSeams seams_;
    std::string appPath_;
    Settings settings_;
    std::unique_ptr<DirectoryPicker> directoryPicker_;
    std::unique_ptr<OptionsDialog> optionsDialog_;
    std::unique_ptr<MainWindow> mainWindow_;
};

}  // namespace vantrel

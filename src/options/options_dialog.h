#pragma once

#include <QDialog>
#include <memory>
#include <optional>
#include <string>

#include "platform/message_sink.h"
#include "platform/settings_store.h"
#include "settings/live_settings.h"
#include "settings/main_window_settings.h"

class QKeyEvent;
class QLineEdit;

namespace vantrel {

// What the options dialog works with besides its own controls.
class OptionLinks {
  public:
    virtual ~OptionLinks() = default;
    // The main window's settings holder: saved and brought back with the dialog's settings; a
    // mask added here is added there too.
    virtual MainWindowSettings& mainWindowSettings() = 0;
    // Deleting a mask here deletes the main window's mask at the same place.
    virtual void removeMainWindowMask(int index) = 0;
    // The main window's current directory, where Browse starts.
    virtual std::string currentDirectory() = 0;
    // The directory picker: the chosen directory, or nothing when cancelled.
    virtual std::optional<std::string> pickDirectory(const std::string& start) = 0;
    virtual SettingsStore& store() = 0;
    virtual MessageSink& messages() = 0;
    // "Use AutoPrint" was ticked or cleared, by the user or by the settings.
    virtual void autoPrintSwitched() = 0;
};

// "Options": shows and edits the settings. Its controls are the settings in force for the whole
// run, so the dialog is made once, hidden, and only shown and hidden after that; closing it by
// its frame hides it with every value kept. "Save Changes" stores the settings, "Cancel" (and
// Escape) brings back the stored ones (also the main window's copies count, position and
// masks). It has no default button, so that Return in a text box never saves.
class OptionsDialog : public QDialog, public LiveSettings {
  public:
    static constexpr double kClientWidth = 6870;  // twips
    static constexpr double kClientHeight = 3675;

    explicit OptionsDialog(OptionLinks& links);
    ~OptionsDialog() override;

    // dropDirectoryLabel names the AutoPrint drop directory.
    void showDropDirectory(const std::string& dropDirectory);

    // LiveSettings
    int autoPrint() const override;
    void setAutoPrint(int value) override;
    int pageEject() const override;
    void setPageEject(int value) override;
    std::string startDir() const override;
    void setStartDir(const std::string& text) override;
    std::string copyDir() const override;
    void setCopyDir(const std::string& text) override;
    int printMethodIndex() const override;
    void setPrintMethodIndex(int index) override;
    void clearMaskList() override;
    void addMaskItem(const std::string& mask) override;
    int maskItemCount() const override;

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    struct Controls;

    void onLoad();
    void onAddMaskClicked();
    void onDeleteMaskClicked();
    void onSaveClicked();
    void onCancelClicked();
    // Browse: picks a directory, starting at the main window's current one, into box.
    void browseInto(QLineEdit& box);

    OptionLinks& links_;
    std::unique_ptr<Controls> ui_;
};

}  // namespace vantrel

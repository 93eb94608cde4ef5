#pragma once

#include <QDialog>
#include <memory>
#include <optional>
#include <string>

#include "settings/settings.h"

class QKeyEvent;
class QLineEdit;

namespace vantrel {

// What the options dialog works with besides its own controls.
class OptionLinks {
  public:
    virtual ~OptionLinks() = default;
    // The settings in force, which the dialog shows and writes its controls back into.
    virtual Settings& settings() = 0;
    // Stores the settings in force, the main window's placement with them.
    virtual void saveSettings() = 0;
    // Brings the stored settings back into the settings in force, and shows them in every form.
    virtual void restoreSettings() = 0;
    // A mask added here is added to the main window's masks; deleting one here deletes the main
    // window's mask at the same place.
    virtual void addMainWindowMask(const std::string& mask) = 0;
    virtual void removeMainWindowMask(int index) = 0;
    // The main window's current directory, where Browse starts.
    virtual std::string currentDirectory() = 0;
    // The directory picker: the chosen directory, or nothing when cancelled.
    virtual std::optional<std::string> pickDirectory(const std::string& start) = 0;
    // "Use AutoPrint" was ticked or cleared, by the user or by the settings.
    virtual void autoPrintSwitched() = 0;
};

// "Options": shows and edits the settings in force; every change of a control is written back
// into them at once, so "Use AutoPrint" switches AutoPrint as it is ticked. The dialog is made
// once, hidden, and only shown and hidden after that; closing it by its frame hides it with every
// value kept. "Save Changes" stores the settings, "Cancel" (and
// Escape) brings back the stored ones (also the main window's copies count, position and
// masks). It has no default button, so that Return in a text box never saves.
class OptionsDialog : public QDialog {
  public:
    static constexpr double kClientWidth = 6870;  // twips
    static constexpr double kClientHeight = 3675;

    explicit OptionsDialog(OptionLinks& links);
    ~OptionsDialog() override;

    // dropDirectoryLabel names the AutoPrint drop directory.
    void showDropDirectory(const std::string& dropDirectory);

    // Shows the settings in force in the controls.
    void showSettings();

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

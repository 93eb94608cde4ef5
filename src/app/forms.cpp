#include "app/forms.h"

#include "about/about_box.h"
#include "about/open_help.h"
#include "app/version.h"
#include "dirpick/directory_picker.h"
#include "formkit/center_form.h"
#include "settings/settings_routines.h"

namespace vantrel {

Forms::Forms(const WindowSeams& seams, std::string appPath)
    : seams_(seams),
      appPath_(std::move(appPath)),
      directoryPicker_(std::make_unique<DirectoryPicker>(seams.messages)),
      optionsDialog_(std::make_unique<OptionsDialog>(*this)),
      mainWindow_(std::make_unique<MainWindow>(*this)) {
    seams.messages.setOwner(mainWindow_.get());
}

// The main window goes first, as at the end of a run; the dialogs follow.
Forms::~Forms() {
    mainWindow_.reset();
    optionsDialog_.reset();
    directoryPicker_.reset();
}

// The dialogs open over the main window where it stands now, not where it stood at start-up.
std::optional<std::string> Forms::pickDirectory(const std::string& start) {
    CenterForm(*directoryPicker_, *mainWindow_);
    return directoryPicker_->choose(start);
}

void Forms::showOptions() {
    CenterForm(*optionsDialog_, *mainWindow_);
    optionsDialog_->exec();
}

void Forms::showAbout() {
    ShowAboutBox(*mainWindow_, seams_.desktop, seams_.registry, seams_.messages,
                 {kVersionMajor, kVersionMinor, kVersionRevision});
}

void Forms::showHelp() {
    OpenHelp(seams_.desktop, seams_.messages, appPath_);
}

void Forms::showSettings(const Settings& settings) {
    settings_ = settings;
    optionsDialog_->showSettings();
    mainWindow_->showSettings();
}

void Forms::restoreSettings() {
    showSettings(LoadSettings(seams_.store));
}

void Forms::placeDialogs() {
    CenterForm(*directoryPicker_, *mainWindow_);
    CenterForm(*optionsDialog_, *mainWindow_);
}

void Forms::autoPrintSwitched() {
    if (mainWindow_) mainWindow_->showAutoPrintState();
}

void Forms::closeDialogs() {
    directoryPicker_->close();
    optionsDialog_->close();
}

}  // namespace vantrel

#include "app/forms.h"

#include "about/about_box.h"
#include "about/open_help.h"
#include "app/version.h"
#include "dirpick/directory_picker.h"
#include "formkit/center_form.h"

namespace vantrel {

Forms::Forms(const WindowSeams& seams, std::string appPath)
    : seams_(seams),
      appPath_(std::move(appPath)),
      dirPick_(std::make_unique<DirPick>(seams.messages)),
      optionForm_(std::make_unique<OptionForm>(*this)),
      vantrel_(std::make_unique<Vantrel>(*this)) {
    seams.messages.setOwner(vantrel_.get());
}

// The main window goes first, as at the end of a run; the dialogs follow.
Forms::~Forms() {
    vantrel_.reset();
    optionForm_.reset();
    dirPick_.reset();
}

std::optional<std::string> Forms::pickDirectory(const std::string& start) {
    return dirPick_->choose(start);
}

void Forms::showOptions() {
    optionForm_->exec();
}

void Forms::showAbout() {
    ShowAboutBox(*vantrel_, seams_.desktop, seams_.registry, seams_.messages,
                 {kVersionMajor, kVersionMinor, kVersionRevision});
}

void Forms::showHelp() {
    OpenHelp(seams_.desktop, seams_.messages, appPath_);
}

void Forms::placeDialogs() {
    CenterForm(*dirPick_, *vantrel_);
    CenterForm(*optionForm_, *vantrel_);
}

void Forms::autoPrintSwitched() {
    if (vantrel_) vantrel_->showAutoPrintState();
}

void Forms::closeDialogs() {
    dirPick_->close();
    optionForm_->close();
}

}  // namespace vantrel

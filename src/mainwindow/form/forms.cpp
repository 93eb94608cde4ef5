#include "mainwindow/form/forms.h"

#include "dirpick/dir_pick.h"
#include "mainwindow/form/vantrel_form.h"
#include "options/option_form.h"

namespace vantrel {

Forms::Forms(const WindowSeams& seams)
    : seams_(seams),
      dirPick_(std::make_unique<DirPick>(seams.messages)),
      optionForm_(std::make_unique<OptionForm>(*this)),
      vantrel_(std::make_unique<Vantrel>(*this)) {}

// The main window goes first, as at the end of a run; the dialogs follow.
Forms::~Forms() {
    vantrel_.reset();
    optionForm_.reset();
    dirPick_.reset();
}

}  // namespace vantrel

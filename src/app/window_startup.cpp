#include "app/window_startup.h"

#include <QApplication>
#include <QDir>

#include "app/window_icon.h"
#include "dirpick/dir_pick.h"
#include "formkit/center_form.h"
#include "formkit/file_list_box.h"
#include "mainwindow/drop_directory.h"
#include "mainwindow/startup_steps.h"
#include "platform/runtime_text.h"
#include "settings/settings_steps.h"

namespace vantrel {

namespace {

// The start directory for the main window: the setting when it can be listed, otherwise the
// home directory, with a word to the user.
std::string UsableStartDirectory(const std::string& setting, MessageSink& messages) {
    const QString problem = DirectoryProblem(QString::fromStdString(setting));
    if (problem.isEmpty()) return setting;
    const std::string home =
        WithTrailingSeparator(QDir::toNativeSeparators(QDir::homePath()).toStdString());
    messages.show("The starting directory \"" + setting + "\" cannot be opened: " +
                      problem.toStdString() + ".\nThe file list shows your home directory " + home +
                      " instead; choose another starting directory under Options.",
                  MsgStyle::Exclamation);
    return home;
}

}  // namespace

std::unique_ptr<Forms> StartWindow(const WindowSeams& seams, const WindowPlaces& places) {
    if (!CheckPrintersInstalled(seams.printers, seams.messages)) return nullptr;

    QApplication::setWindowIcon(ApplicationIcon());
    auto forms = std::make_unique<Forms>(seams, places.appPath);
    Vantrel& window = forms->vantrel();
    OptionForm& options = forms->optionForm();

    BringInSettings(seams.store, seams.legacyProfile, options, window.settings(), seams.messages);

    CenterForm(forms->dirPick(), window);
    CenterForm(options, window);

    window.offerAfterPrintActions(options.printMethodIndex());
    window.setCurrentDirectory(UsableStartDirectory(options.startDir(), seams.messages));

    const std::string dropDirectory = ChooseDropDirectory(places.appPath, places.userDataDir);
    options.showDropDirectory(dropDirectory);
    if (auto why = EnsureDropDirectory(dropDirectory)) {
        seams.messages.show("The AutoPrint directory " + dropDirectory + " cannot be created: " +
                                *why + ".\nAutoPrint is off until the program is started again.",
                            MsgStyle::Exclamation);
    } else {
        window.startAutoPrint(dropDirectory, places.autoPrintIntervalMs, places.keptRecordPath);
    }

    window.refreshLists();
    window.show();
    window.selectDefaultPrinter();
    return forms;
}

int RunWindowProgram(const WindowSeams& seams, const WindowPlaces& places) {
    auto forms = StartWindow(seams, places);
    if (!forms) return 1;
    return QApplication::exec();
}

}  // namespace vantrel

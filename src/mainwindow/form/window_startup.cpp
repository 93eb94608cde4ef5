#include "mainwindow/form/window_startup.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>

#include "dirpick/dir_pick.h"
#include "mainwindow/drop_directory.h"
#include "mainwindow/form/file_list_box.h"
#include "mainwindow/form/twips.h"
#include "mainwindow/startup_steps.h"
#include "options/option_form.h"
#include "platform/runtime_text.h"

namespace vantrel {

namespace {

// The start directory for the main window: the setting when it can be listed, otherwise the
// home directory, with a word to the user.
std::string UsableStartDirectory(const std::string& setting, MessageSink& messages) {
    const QString problem = DirectoryProblem(QString::fromStdString(setting));
    if (problem.isEmpty()) return setting;
    const std::string home = WithTrailingSeparator(QDir::homePath().toStdString());
    messages.show("The starting directory \"" + setting + "\" cannot be opened: " +
                      problem.toStdString() + ".\nThe file list shows your home directory " + home +
                      " instead; choose another starting directory under Options.",
                  MsgStyle::Exclamation);
    return home;
}

void SelectDefaultPrinterQuietly(Vantrel& window, PrinterSystem& printers) {
    try {
        SelectDefaultPrinter(window, printers);
    } catch (const SpoolError&) {
        // RefreshLists has just reported an unreachable spooler.
    }
}

}  // namespace

std::unique_ptr<Forms> StartWindow(const WindowSeams& seams, const WindowPlaces& places) {
    if (!CheckPrintersInstalled(seams.printers, seams.messages)) return nullptr;

    auto forms = std::make_unique<Forms>(seams);
    Vantrel& window = forms->vantrel();
    OptionForm& options = forms->optionForm();
    DirPick& picker = forms->dirPick();

    BringInSettings(seams.store, seams.legacyProfile, options, window, seams.messages);

    CenterForm(picker, window);
    CenterForm(options, window);

    window.Combo2->addItems(
        {QStringLiteral("Leave"), QStringLiteral("Delete"), QStringLiteral("Move")});
    window.Combo2->setCurrentIndex(options.printMethodIndex());

    window.setCurrentDirectory(UsableStartDirectory(options.startDir(), seams.messages));

    const std::string dropDirectory = ChooseDropDirectory(places.appPath, places.userDataDir);
    options.Label6->setText(QString::fromStdString("AutoPrint Directory - " + dropDirectory));
    if (auto why = EnsureDropDirectory(dropDirectory)) {
        seams.messages.show("The AutoPrint directory " + dropDirectory + " cannot be created: " +
                                *why + ".\nAutoPrint is off until the program is started again.",
                            MsgStyle::Exclamation);
    } else {
        window.startAutoPrint(dropDirectory, places.autoPrintIntervalMs);
    }

    window.RefreshLists();
    window.show();
    SelectDefaultPrinterQuietly(window, seams.printers);
    return forms;
}

int RunWindowProgram(const WindowSeams& seams, const WindowPlaces& places,
                     const std::function<void(Forms&)>& prepare) {
    auto forms = StartWindow(seams, places);
    if (!forms) return 1;
    if (prepare) prepare(*forms);
    return QApplication::exec();
}

}  // namespace vantrel

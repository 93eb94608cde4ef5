#include "app/window_startup.h"

#include <QApplication>

#include "app/startup_steps.h"
#include "app/window_icon.h"
#include "autoprint/drop_directory.h"
#include "dirpick/directory_picker.h"
#include "formkit/center_form.h"
#include "formkit/directory_checks.h"
#include "printing/worker_printer_system.h"
#include "settings/settings_steps.h"

namespace vantrel {

std::unique_ptr<Forms> StartWindow(const WindowSeams& seams, const WindowPlaces& places) {
    {
        BoundedWait bounded(places.firstAnswerWait);
        WorkerPrinterSystem firstAnswer(seams.printers, bounded);
        if (!CheckPrintersInstalled(firstAnswer, seams.messages)) return nullptr;
    }

    QApplication::setWindowIcon(ApplicationIcon());
    auto forms = std::make_unique<Forms>(seams, places.appPath);
    MainWindow& window = forms->mainWindow();
    OptionsDialog& options = forms->optionsDialog();

    forms->showSettings(
        BringInSettings(seams.store, seams.legacyProfile, window.room(), seams.messages));
    const Settings& settings = forms->settings();

    CenterForm(forms->directoryPicker(), window);
    CenterForm(options, window);

    window.offerAfterPrintActions(settings.printMethod);
    window.setCurrentDirectory(UsableDirectory(settings.startDir, "starting directory",
                                               "choose another starting directory under Options",
                                               seams.messages));

    const std::string dropDirectory = ChooseDropDirectory(places.appPath, places.userDataDir);
    options.showDropDirectory(dropDirectory);
    if (auto why = EnsureDropDirectory(seams.files, dropDirectory)) {
        seams.messages.show("The AutoPrint directory " + dropDirectory + " cannot be created: " +
                                *why + ".\nAutoPrint is off until the program is started again.",
                            MsgStyle::Exclamation);
    } else {
        window.startAutoPrint(dropDirectory, places.autoPrintIntervalMs, places.keptRecordPath);
    }
    window.showAutoPrintState();

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

#include "mainwindow/startup_steps.h"

#include "settings/settings_routines.h"

namespace vantrel {

bool CheckPrintersInstalled(PrinterSystem& system, MessageSink& messages) {
    try {
        if (!system.printers().empty()) return true;
        messages.show("There are no printers installed. Kinda makes me usless :(",
                      MsgStyle::Critical, "Fatal Error");
    } catch (const SpoolError& error) {
        messages.show(SpoolerUnreachableText(error), MsgStyle::Critical, "Fatal Error");
    }
    return false;
}

namespace {

void ReportUnsaved(const SettingsError& error, MessageSink& messages) {
    messages.show(std::string("The settings could not be saved: ") + error.what(),
                  MsgStyle::Exclamation);
}

}  // namespace

void BringInSettings(SettingsStore& store, LegacyProfile& profile, LiveSettings& live,
                     MainWindowSettings& window, MessageSink& messages) {
    try {
        if (IsFirstStart(store)) MigrateIniSettings(store, profile, window);
    } catch (const SettingsError& error) {
        ReportUnsaved(error, messages);
    }
    LoadSettings(store, live, window);
}

void SaveSettingsReporting(SettingsStore& store, const LiveSettings& live,
                           const MainWindowSettings& window, MessageSink& messages) {
    try {
        SaveSettings(store, live, window);
    } catch (const SettingsError& error) {
        ReportUnsaved(error, messages);
    }
}

}  // namespace vantrel

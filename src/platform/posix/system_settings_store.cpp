// The settings store of the programs that link no Qt: their own reader of the settings file,
// with QSettings from the settings module for writes and for what only it can read.

#include <memory>
#include <string>

#include "platform/backends.h"
#include "platform/posix/conf_file_settings_store.h"
#include "platform/posix/run_time_module.h"
#include "platform/qt/settings_module.h"
#include "platform/stderr_messages.h"
#include "text/runtime_text.h"

namespace vantrel {

namespace {

// Without the module nothing is read and nothing can be written: the defaults, and the reason
// with every sync.
class UnavailableStore : public SettingsStore {
  public:
    explicit UnavailableStore(std::string why) : why_(std::move(why)) {}
    std::optional<std::string> get(const std::string&, const std::string&) override {
        return std::nullopt;
    }
    void set(const std::string&, const std::string&, const std::string&) override {}
    void sync() override { throw SettingsError(why_); }

  private:
    std::string why_;
};

std::unique_ptr<SettingsStore> LoadQtSettingsStore() {
    std::string errors;
    const auto entry = reinterpret_cast<SettingsModuleEntry>(
        FindModuleEntry(VANTREL_SETTINGS_MODULE, kSettingsModuleEntryName, errors));
    if (entry) return std::unique_ptr<SettingsStore>(entry());
    // One line: the loader's reasons after one another.
    for (std::size_t at; (at = errors.find("\n  ")) != std::string::npos;) {
        errors.replace(at, 3, at == 0 ? " " : "; ");
    }
    const std::string why = "the settings module cannot be loaded:" + errors;
    StderrMessages().show(why + "; Vantrel goes on with the default settings",
                          MsgStyle::Exclamation, kAppTitle);
    return std::make_unique<UnavailableStore>(why);
}

}  // namespace

std::unique_ptr<SettingsStore> MakeSystemSettingsStore() {
    return MakeConfFileSettingsStore(UserSettingsFilePath(), LoadQtSettingsStore);
}

}  // namespace vantrel

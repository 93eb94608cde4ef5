#include "support/own_settings_store.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win/registry_settings_store.h"
#endif

namespace vantrel::testing {

#ifdef _WIN32
OwnSettingsKey::OwnSettingsKey()
    : path_("Software\\Vantrel\\FormTests-" + std::to_string(GetCurrentProcessId())) {
    RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());  // left by a run that died
}

OwnSettingsKey::~OwnSettingsKey() {
    RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
}

std::unique_ptr<SettingsStore> OwnSettingsKey::open() const {
    return MakeRegistrySettingsStore(path_);
}
#else
OwnSettingsKey::OwnSettingsKey() = default;
OwnSettingsKey::~OwnSettingsKey() = default;
std::unique_ptr<SettingsStore> OwnSettingsKey::open() const {
    return nullptr;
}
#endif

}  // namespace vantrel::testing

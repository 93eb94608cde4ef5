#pragma once

#include <memory>
#include <string>

#include "platform/settings_store.h"

namespace vantrel::testing {

// The system's settings store where it is the registry (Windows): a key of the test's own under
// HKCU, laid out as the program's own, removed with everything in it when the object goes.
// Nothing to offer where the settings are a file in the user's home.
class OwnSettingsKey {
  public:
    OwnSettingsKey();
    ~OwnSettingsKey();
    OwnSettingsKey(const OwnSettingsKey&) = delete;
    OwnSettingsKey& operator=(const OwnSettingsKey&) = delete;

    // A store on the key, fresh each time, so that what it reads was written for good; nullptr
    // where there is no registry.
    std::unique_ptr<SettingsStore> open() const;

  private:
    std::string path_;
};

}  // namespace vantrel::testing

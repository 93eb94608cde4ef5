#pragma once

#include <memory>

#include "platform/legacy_profile.h"
#include "platform/message_sink.h"
#include "platform/printer_system.h"
#include "platform/settings_store.h"

namespace vantrel {

class DirPick;
class OptionForm;
class Vantrel;

// What the windowed program works through: the spooler, the settings store, the legacy profile
// read on the first start, and where messages go.
struct WindowSeams {
    PrinterSystem& printers;
    SettingsStore& store;
    LegacyProfile& legacyProfile;
    MessageSink& messages;
};

// The single instance of each form, and the seams they share. Every form reaches the others
// through here; none is created twice. The forms are made hidden and live until this owner goes.
class Forms {
  public:
    explicit Forms(const WindowSeams& seams);
    ~Forms();
    Forms(const Forms&) = delete;
    Forms& operator=(const Forms&) = delete;

    Vantrel& vantrel() { return *vantrel_; }
    OptionForm& optionForm() { return *optionForm_; }
    DirPick& dirPick() { return *dirPick_; }

    PrinterSystem& printers() { return seams_.printers; }
    SettingsStore& store() { return seams_.store; }
    LegacyProfile& legacyProfile() { return seams_.legacyProfile; }
    MessageSink& messages() { return seams_.messages; }

  private:
    WindowSeams seams_;
    std::unique_ptr<DirPick> dirPick_;
    std::unique_ptr<OptionForm> optionForm_;
    std::unique_ptr<Vantrel> vantrel_;
};

}  // namespace vantrel

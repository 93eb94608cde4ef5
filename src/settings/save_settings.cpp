#include <string>
#include <vector>

#include "settings/setting_names.h"
#include "settings/settings_routines.h"
#include "text/runtime_text.h"

namespace vantrel {

using namespace settings_detail;

namespace {

// Entry 1 is "Delete" and entry 2 "Move"; entry 0, no selection or a typed text mean "Leave".
std::string MethodText(int index) {
    if (index == 1) return "Delete";
    if (index == 2) return "Move";
    return kDefaultPrintMethod;
}

std::string MaskText(const std::vector<std::string>& masks) {
    std::string text;
    for (std::size_t i = 0; i < masks.size(); ++i) {
        if (i > 0) text += ' ';
        text += masks[i];
    }
    return Trim(text);
}

}  // namespace

void SaveSettings(SettingsStore& store, const Settings& settings) {
    // A window that is minimised or maximised has no placement to save: the stored one stays.
    if (settings.top && settings.left) {
        store.set(kPlacement, kTop, FormatSingle(*settings.top));
        store.set(kPlacement, kLeft, FormatSingle(*settings.left));
    }

    store.set(kDefaults, kStartDir, settings.startDir);
    store.set(kDefaults, kCopyDir, settings.copyDir);
    store.set(kDefaults, kAutoPrint, std::to_string(settings.autoPrint));
    store.set(kDefaults, kAutoPrintSet, "1");
    store.set(kDefaults, kPageEject, std::to_string(settings.pageEject));
    store.set(kDefaults, kPrintMethod, MethodText(settings.printMethodIndex));
    store.set(kDefaults, kCopies, settings.copies);

    store.set(kMask, kMaskString, MaskText(settings.masks));
    store.set(kMask, kMaskIndex, std::to_string(settings.maskIndex));

    store.sync();
}

}  // namespace vantrel

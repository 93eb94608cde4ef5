#include <string>
#include <vector>

#include "settings/setting_keys_text.h"
#include "settings/settings_routines.h"
#include "text/runtime_text.h"

namespace vantrel {

using namespace setting;

namespace {

// A typed text saves as "Leave".
std::string MethodText(std::optional<AfterPrintAction> method) {
    return AfterPrintActionName(method.value_or(AfterPrintAction::Leave));
}

std::string CheckText(CheckState state) {
    return std::to_string(static_cast<int>(state));
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
        Store(store, kTop, FormatSingle(*settings.top));
        Store(store, kLeft, FormatSingle(*settings.left));
    }

    Store(store, kStartDir, settings.startDir);
    Store(store, kCopyDir, settings.copyDir);
    Store(store, kAutoPrint, CheckText(settings.autoPrint));
    Store(store, kAutoPrintSet, "1");
    Store(store, kPageEject, CheckText(settings.pageEject));
    Store(store, kPrintMethod, MethodText(settings.printMethod));
    Store(store, kCopies, settings.copies);

    Store(store, kMaskString, MaskText(settings.masks));
    Store(store, kMaskIndex, std::to_string(settings.maskIndex));

    store.sync();
}

}  // namespace vantrel

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

void SaveSettings(SettingsStore& store, const LiveSettings& live,
                  const MainWindowSettings& window) {
    const std::string method = MethodText(live.printMethodIndex());
    const std::string maskText = MaskText(window.masks());

    // A minimised or maximised window keeps the placement stored last.
    if (window.isWindowStateNormal()) {
        const FormGeometry geometry = window.geometry();
        store.set(kPlacement, kTop, FormatSingle(geometry.top));
        store.set(kPlacement, kLeft, FormatSingle(geometry.left));
    }

    store.set(kDefaults, kStartDir, live.startDir());
    store.set(kDefaults, kCopyDir, live.copyDir());
    store.set(kDefaults, kAutoPrint, std::to_string(live.autoPrint()));
    store.set(kDefaults, kAutoPrintSet, "1");
    store.set(kDefaults, kPageEject, std::to_string(live.pageEject()));
    store.set(kDefaults, kPrintMethod, method);
    store.set(kDefaults, kCopies, window.copiesText());

    store.set(kMask, kMaskString, maskText);
    store.set(kMask, kMaskIndex, std::to_string(window.maskIndex()));

    store.sync();
}

}  // namespace vantrel

#include <cmath>
#include <limits>
#include <string>

#include "settings/setting_keys_text.h"
#include "settings/settings_routines.h"
#include "text/runtime_text.h"

namespace vantrel {

using namespace setting;

namespace {

// A check box takes 0 (clear), 1 (ticked) or 2 (greyed); anything else loads as clear.
CheckState CheckValue(const std::string& text) {
    auto value = ParseWholeInteger(text);
    return value && *value >= 0 && *value <= 2 ? static_cast<CheckState>(*value)
                                               : CheckState::Cleared;
}

// A stored edge in twips; nothing, which centres the window, for 0 or a text that is not a
// finite number of twips.
std::optional<float> Edge(const std::optional<std::string>& text) {
    auto value = text ? ParseWholeNumber(*text) : std::nullopt;
    if (!value || std::fabs(*value) > std::numeric_limits<float>::max()) return std::nullopt;
    auto twips = static_cast<float>(*value);
    return twips == 0 ? std::nullopt : std::optional<float>(twips);
}

// The blank-separated masks of the text.
std::vector<std::string> Masks(const std::string& maskText) {
    std::vector<std::string> masks;
    std::string rest = Trim(maskText);
    while (!rest.empty()) {
        auto blank = rest.find(' ');
        masks.push_back(rest.substr(0, blank));
        rest = blank == std::string::npos ? std::string() : Trim(rest.substr(blank + 1));
    }
    return masks;
}

// The stored selection if it names a mask or none (-1); otherwise no selection. A text that is
// not a whole number stands for the default, the first mask.
int MaskSelection(const std::string& indexText, std::size_t maskCount) {
    const long long index = ParseWholeInteger(indexText).value_or(0);
    return index >= -1 && index < static_cast<long long>(maskCount) ? static_cast<int>(index) : -1;
}

}  // namespace

Settings LoadSettings(SettingsStore& store) {
    // Each key with a default has a text; the others (the edges) may have none.
    auto text = [&](const SettingKey& key) { return StoredText(store, key).value_or(""); };
    Settings settings;
    settings.startDir = text(kStartDir);
    settings.copyDir = text(kCopyDir);
    // Before the box switched AutoPrint, AutoPrint ran whatever the box said: until the user
    // sets the box in a release where it counts, AutoPrint keeps running.
    if (text(kAutoPrintSet) == "1") settings.autoPrint = CheckValue(text(kAutoPrint));
    settings.pageEject = CheckValue(text(kPageEject));
    settings.copies = text(kCopies);
    // Any other text reads as "Leave".
    settings.printMethod =
        AfterPrintActionNamed(text(kPrintMethod)).value_or(AfterPrintAction::Leave);
    settings.top = Edge(StoredText(store, kTop));
    settings.left = Edge(StoredText(store, kLeft));
    settings.masks = Masks(text(kMaskString));
    settings.maskIndex = MaskSelection(text(kMaskIndex), settings.masks.size());
    return settings;
}

}  // namespace vantrel

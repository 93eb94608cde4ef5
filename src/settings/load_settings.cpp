#include <cmath>
#include <limits>
#include <string>

#include "platform/system_places.h"
#include "settings/setting_names.h"
#include "settings/settings_routines.h"
#include "text/runtime_text.h"

namespace vantrel {

using namespace settings_detail;

namespace {

// A check box takes 0 (clear), 1 (ticked) or 2 (greyed); anything else loads as clear.
int CheckValue(const std::string& text) {
    auto value = ParseWholeInteger(text);
    return value && *value >= 0 && *value <= 2 ? static_cast<int>(*value) : 0;
}

// A stored edge in twips; 0, or text that is not a finite number of twips, gives the centred
// value instead.
float EdgeOrCentred(const std::string& text, float centred) {
    auto value = ParseWholeNumber(text);
    if (!value || std::fabs(*value) > std::numeric_limits<float>::max()) return centred;
    auto twips = static_cast<float>(*value);
    return twips == 0 ? centred : twips;
}

int MethodIndex(const std::string& method) {
    if (method == "Delete") return 1;
    if (method == "Move") return 2;
    return 0;
}

// Puts each blank-separated mask into both mask lists; returns how many there are.
int FillMaskLists(const std::string& maskText, LiveSettings& live, MainWindowSettings& window) {
    int count = 0;
    std::string rest = Trim(maskText);
    while (!rest.empty()) {
        auto blank = rest.find(' ');
        std::string mask = rest.substr(0, blank);
        window.addMask(mask);
        live.addMaskItem(mask);
        ++count;
        rest = blank == std::string::npos ? std::string() : Trim(rest.substr(blank + 1));
    }
    return count;
}

// The stored selection if it names a mask or none (-1); otherwise no selection. A text that is
// not a whole number stands for the default, the first mask.
int MaskSelection(const std::string& indexText, int maskCount) {
    const long long index = ParseWholeInteger(indexText).value_or(0);
    return index >= -1 && index < maskCount ? static_cast<int>(index) : -1;
}

}  // namespace

void LoadSettings(SettingsStore& store, LiveSettings& live, MainWindowSettings& window) {
    const float centredTop = CentredTop(window);
    const float centredLeft = CentredLeft(window);

    live.setStartDir(GetSetting(store, kDefaults, kStartDir, DefaultStartDirectory()));
    live.setCopyDir(GetSetting(store, kDefaults, kCopyDir, DefaultCopyDirectory()));
    // Before the box switched AutoPrint, AutoPrint ran whatever the box said: until the user
    // sets the box in a release where it counts, AutoPrint keeps running.
    const bool boxCounts = GetSetting(store, kDefaults, kAutoPrintSet, "") == "1";
    live.setAutoPrint(
        boxCounts ? CheckValue(GetSetting(store, kDefaults, kAutoPrint, kDefaultCheckValue)) : 1);
    live.setPageEject(CheckValue(GetSetting(store, kDefaults, kPageEject, kDefaultCheckValue)));
    window.setCopiesText(GetSetting(store, kDefaults, kCopies, kDefaultCopies));

    const std::string method = GetSetting(store, kDefaults, kPrintMethod, kDefaultPrintMethod);
    const std::string maskText = GetSetting(store, kMask, kMaskString, kDefaultMaskString);
    const std::string maskIndex = GetSetting(store, kMask, kMaskIndex, kDefaultMaskIndex);
    const std::string top = GetSetting(store, kPlacement, kTop, FormatSingle(centredTop));
    const std::string left = GetSetting(store, kPlacement, kLeft, FormatSingle(centredLeft));

    FormGeometry placed = window.geometry();
    placed.top = EdgeOrCentred(top, centredTop);
    placed.left = EdgeOrCentred(left, centredLeft);
    // A window stored where the user cannot take it by its title bar (another monitor since
    // unplugged, a hand-edited file) is centred, as one with both edges 0 is.
    const bool centred = placed.top == centredTop && placed.left == centredLeft;
    if (centred || !window.reachable(placed)) {
        window.moveToCentre();
    } else {
        window.moveTo(placed.top, placed.left);
    }
    live.setPrintMethodIndex(MethodIndex(method));

    window.clearMasks();
    live.clearMaskList();
    const int maskCount = FillMaskLists(maskText, live, window);
    window.setMaskIndex(MaskSelection(maskIndex, maskCount));
}

}  // namespace vantrel

#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/system_places.h"
#include "printing/after_print.h"

namespace vantrel {

// A check box's states; the numbers are the ones the store keeps ("0", "1", "2").
enum class CheckState { Cleared = 0, Ticked = 1, Greyed = 2 };

// Every setting the store keeps, as a plain value. Its defaults are what an empty store gives.
struct Settings {
    // "Use AutoPrint": cleared switches AutoPrint off. AutoPrint ran whatever the box said until
    // a release in which it counts saved the box: a store without that save has it on.
    CheckState autoPrint = CheckState::Ticked;
    CheckState pageEject = CheckState::Cleared;  // "Eject page between jobs"
    std::string startDir = DefaultStartDirectory();
    std::string copyDir = DefaultCopyDirectory();
    // The default after-print action; nothing for a text the user typed in (saved as "Leave").
    std::optional<AfterPrintAction> printMethod = AfterPrintAction::Leave;
    std::string copies = "1";  // the copies box as typed
    std::vector<std::string> masks = {"*.txt", "*.bat", "*.ini", "*.*"};
    int maskIndex = 0;  // -1 when no mask is chosen
    // The main window's outer top-left corner in twips; nothing where the store has no usable
    // one (missing, 0 or not a number), which places the window in the centre on that axis.
    std::optional<float> top;
    std::optional<float> left;

    bool operator==(const Settings&) const = default;
};

// Whether a form feed follows each document: "Eject page between jobs" ticked, not greyed.
inline bool EjectBetweenJobs(const Settings& settings) {
    return settings.pageEject == CheckState::Ticked;
}

// Whether AutoPrint may run: "Use AutoPrint" not cleared.
inline bool AutoPrintAllowed(const Settings& settings) {
    return settings.autoPrint != CheckState::Cleared;
}

}  // namespace vantrel

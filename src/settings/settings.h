#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/system_places.h"

namespace vantrel {

// Every setting the store keeps, as a plain value. Its defaults are what an empty store gives.
struct Settings {
    // "Use AutoPrint": 0 clear (AutoPrint off), 1 ticked, 2 greyed. AutoPrint ran whatever the box
    // said until a release in which it counts saved the box: a store without that save has it on.
    int autoPrint = 1;
    int pageEject = 0;  // "Eject page between jobs": 0 clear, 1 ticked, 2 greyed
    std::string startDir = DefaultStartDirectory();
    std::string copyDir = DefaultCopyDirectory();
    // The default printing method: 0 "Leave", 1 "Delete", 2 "Move", -1 when the user typed one.
    int printMethodIndex = 0;
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
    return settings.pageEject == 1;
}

}  // namespace vantrel

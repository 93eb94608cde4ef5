#pragma once

#include <sstream>
#include <string>

#include "fakes/fake_settings_store.h"
#include "settings/settings_routines.h"

namespace vantrel::testing {

// A main window of its design size, 7305 x 4665 twips, on a 1024 x 768 screen of 15 twips a
// pixel, where it is centred at top 3427.5, left 4027.5.
inline WindowRoom TestRoom() {
    return {{0, 0, 15360, 11520}, 7305, 4665, [](const FormGeometry& at) {
                return at.left < 15360 && at.top < 11520 && at.left + at.width > 0 &&
                       at.top + at.height > 0;
            }};
}

// The settings, with a blank around each "name=value" so that a test can look for " eject=2 ";
// masks are joined by "|", and top and left are where the window goes in room.
inline std::string Described(const Settings& settings, const WindowRoom& room) {
    std::string masks;
    for (const auto& mask : settings.masks) masks += (masks.empty() ? "" : "|") + mask;
    const Corner corner =
        StoredCorner(settings, room).value_or(Corner{CentredTop(room), CentredLeft(room)});
    std::ostringstream out;
    out << " start=" << settings.startDir << " copy=" << settings.copyDir
        << " auto=" << static_cast<int>(settings.autoPrint)
        << " eject=" << static_cast<int>(settings.pageEject)
        << " method=" << (settings.printMethod ? AfterPrintActionNumber(*settings.printMethod) : -1)
        << " copies=" << settings.copies << " masks=" << masks << " index=" << settings.maskIndex
        << " top=" << corner.top << " left=" << corner.left << ' ';
    return out.str();
}

// Every value of the store as a "Section/Key=value" line, in the order of their names.
inline std::string Described(const FakeSettingsStore& store) {
    std::string lines;
    for (const auto& [name, value] : store.values) {
        lines += name.first + '/' + name.second + '=' + value + '\n';
    }
    return lines;
}

// Hands each "Section/Key=value" line to set(section, key, value).
template <typename Set>
void SetLines(const std::string& lines, Set set) {
    std::istringstream in(lines);
    for (std::string line; std::getline(in, line);) {
        const auto slash = line.find('/'), equals = line.find('=');
        set(line.substr(0, slash), line.substr(slash + 1, equals - slash - 1),
            line.substr(equals + 1));
    }
}

}  // namespace vantrel::testing

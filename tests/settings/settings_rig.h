#pragma once

#include <sstream>
#include <string>

#include "fakes/fake_settings_store.h"
#include "settings/settings_routines.h"

namespace vantrel::testing {

// A main window on a 1024 x 768 screen of 15 twips a pixel, where its design size of
// 7305 x 4665 twips is centred at top 3427.5, left 4027.5.
class TestWindow : public PlainMainWindowSettings {
  public:
    bool normal = true;
    FormGeometry screenArea{0, 0, 15360, 11520};
    FormGeometry screen() const override { return screenArea; }
    bool reachable(const FormGeometry& at) const override {
        return at.left < 15360 && at.top < 11520 && at.left + at.width > 0 &&
               at.top + at.height > 0;
    }
    bool isWindowStateNormal() const override { return normal; }
};

// What the holders hold, with a blank around each "name=value" so that a test can look for
// " eject=2 "; masks are joined by "|".
inline std::string Described(const LiveSettings& live, const MainWindowSettings& window) {
    std::string masks;
    for (const auto& mask : window.masks()) masks += (masks.empty() ? "" : "|") + mask;
    std::ostringstream out;
    out << " start=" << live.startDir() << " copy=" << live.copyDir()
        << " auto=" << live.autoPrint() << " eject=" << live.pageEject()
        << " method=" << live.printMethodIndex() << " copies=" << window.copiesText()
        << " masks=" << masks << " count=" << live.maskItemCount()
        << " index=" << window.maskIndex() << " top=" << window.geometry().top
        << " left=" << window.geometry().left << ' ';
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

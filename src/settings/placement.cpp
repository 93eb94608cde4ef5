#include "settings/settings_routines.h"

namespace vantrel {

float CentredTop(const MainWindowSettings& window) {
    const FormGeometry screen = window.screen();
    return screen.top + (screen.height - window.geometry().height) / 2;
}

float CentredLeft(const MainWindowSettings& window) {
    const FormGeometry screen = window.screen();
    return screen.left + (screen.width - window.geometry().width) / 2;
}

void MainWindowSettings::moveToCentre() {
    moveTo(CentredTop(*this), CentredLeft(*this));
}

}  // namespace vantrel

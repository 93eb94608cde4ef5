#include "settings/settings_routines.h"

namespace vantrel {

float CentredTop(const MainWindowSettings& window) {
    return (window.screenHeight() - window.geometry().height) / 2;
}

float CentredLeft(const MainWindowSettings& window) {
    return (window.screenWidth() - window.geometry().width) / 2;
}

}  // namespace vantrel

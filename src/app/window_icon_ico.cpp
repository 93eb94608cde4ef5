#include "app/window_icon.h"

namespace vantrel {

QIcon ApplicationIcon() {
    // The .ico holds every size the task bar and title bar ask for, drawn from the SVG at build
    // time: Qt picks the nearest instead of scaling one.
    return QIcon(QStringLiteral(":/vantrel/vantrel.ico"));
}

}  // namespace vantrel

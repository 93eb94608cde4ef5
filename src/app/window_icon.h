#pragma once

#include <QIcon>

namespace vantrel {

// The program's icon, drawn from the SVG the package installs, built into the program so that a
// copy that is not installed shows it too.
QIcon ApplicationIcon();

}  // namespace vantrel

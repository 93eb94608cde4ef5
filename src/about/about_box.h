#pragma once

#include "platform/desktop.h"
#include "platform/message_sink.h"
#include "platform/registry.h"

class QWidget;

namespace vantrel {

// The About menu item: creates the About box, centres it over the main window (on the screen
// when it is larger than the main window), shows it modally and destroys it once it is closed.
void ShowAboutBox(QWidget* mainWindow, Desktop& desktop, Registry& registry, MessageSink& messages);

}  // namespace vantrel

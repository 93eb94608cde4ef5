#pragma once

#include "about/about_texts.h"
#include "platform/desktop.h"
#include "platform/message_sink.h"
#include "platform/registry.h"

class QWidget;

namespace vantrel {

// The About menu item: creates the About box, places it with CenterForm, shows it modally and
// destroys it once it is closed.
void ShowAboutBox(QWidget& mainWindow, Desktop& desktop, Registry& registry, MessageSink& messages,
                  const ProgramVersion& version);

}  // namespace vantrel

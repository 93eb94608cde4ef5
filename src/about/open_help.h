#pragma once

#include <string>

#include "platform/desktop.h"
#include "platform/message_sink.h"

namespace vantrel {

// The help document to open for a program in appPath: "Vantrel.hlp" beside the program when an
// older release left one there, else the "Vantrel.html" shipped beside the program (build tree,
// portable copy) or in the installation's data directory (<prefix>/share/vantrel next to
// <prefix>/bin). Empty when there is none.
std::string HelpDocumentPath(const std::string& appPath);

// Opens the help document with the desktop's opener. When the desktop has no program to open it
// with, the user is told so and where the document is; a missing document is not reported.
// False when nothing was opened.
bool OpenHelp(Desktop& desktop, MessageSink& messages, const std::string& appPath);

}  // namespace vantrel

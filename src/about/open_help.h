#pragma once

#include <string>

#include "platform/desktop.h"

namespace vantrel {

// The help document to open for a program in appPath: "Vantrel.hlp" beside the program when an
// older release left one there, else the "Vantrel.html" shipped beside the program (build tree,
// portable copy) or in the installation's data directory (<prefix>/share/vantrel next to
// <prefix>/bin). Empty when there is none.
std::string HelpDocumentPath(const std::string& appPath);

// Opens the help document with the desktop's opener. Nothing is reported when there is no
// document or no program to open it; false then.
bool OpenHelp(Desktop& desktop, const std::string& appPath);

}  // namespace vantrel

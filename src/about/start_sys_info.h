#pragma once

#include <string>
#include <vector>

#include "platform/desktop.h"
#include "platform/message_sink.h"
#include "platform/registry.h"

namespace vantrel {

inline const std::string kSysInfoUnavailable = "System Information Is Unavailable At This Time";

// The desktop environments' own system-information programs, in the order they are looked for
// on the search path when the registry names no System Information program. None on Windows,
// where the registry always answers for it.
std::vector<std::string> DesktopSysInfoPrograms();

// Starts the system's System Information program and returns at once: the program the registry
// names, or, when the registry has no entry for it at all, the first of desktopPrograms found on
// the search path. Every failure, a registry value that cannot be read included, ends in the one
// message kSysInfoUnavailable.
void StartSysInfo(Registry& registry, Desktop& desktop, MessageSink& messages,
                  const std::vector<std::string>& desktopPrograms = DesktopSysInfoPrograms());

}  // namespace vantrel

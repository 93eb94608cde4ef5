#pragma once

#include <string>
#include <vector>

#include "platform/desktop.h"
#include "platform/desktop_facts.h"
#include "platform/message_sink.h"
#include "platform/registry.h"

namespace vantrel {

inline const std::string kSysInfoUnavailable = "System Information Is Unavailable At This Time";

// Starts the system's System Information program and returns at once: the program the registry
// names, or, when the registry has no entry for it at all, the first of desktopPrograms found on
// the search path. Every failure, a registry value that cannot be read included, ends in the one
// message kSysInfoUnavailable.
void StartSysInfo(Registry& registry, Desktop& desktop, MessageSink& messages,
                  const std::vector<std::string>& desktopPrograms = DesktopSysInfoPrograms());

}  // namespace vantrel

#pragma once

#include <string>

#include "platform/message_sink.h"
#include "platform/printer_system.h"
#include "settings/live_settings.h"

namespace vantrel {

// Bytes per write to the spooler.
constexpr std::size_t kSpoolChunkSize = 16384;
// The form feed sent after the file when "Eject page between jobs" is ticked.
constexpr char kFormFeed = 12;

struct SpoolOutcome {
    bool spooled = false;
    std::string reason;  // why not, when not spooled
};

// Sends the bytes of the file at path, unchanged, to the printer that selection names, as one
// raw document; then the form feed when the live eject setting is exactly 1. Shows its own
// message on failure and reports the outcome. A failed document is withdrawn, never printed
// half-written.
SpoolOutcome SpoolFileRaw(const std::string& path, const std::string& selection,
                          PrinterSystem& system, const LiveSettings& live, MessageSink& messages);

}  // namespace vantrel

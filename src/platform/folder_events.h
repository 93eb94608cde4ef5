#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "platform/stop_signals.h"

namespace vantrel {

// Something that happened in a watched folder.
struct FolderChange {
    std::size_t folder = 0;  // its index in the list the watch began with
    std::string name;        // the entry written and closed, or moved in; empty: look at them all
    bool operator==(const FolderChange&) const = default;
};

struct FolderWake {
    std::vector<FolderChange> changes;
    bool stop = false;  // a request to stop has arrived
};

// Tells when files are written into, or moved into, watched folders. Folders whose events may
// have been lost are reported for a look at all their entries.
class FolderEvents {
  public:
    virtual ~FolderEvents() = default;
    // Waits until something happened, a request to stop arrives or the timeout passes; may return
    // early with nothing.
    virtual FolderWake wait(std::chrono::milliseconds timeout) = 0;
    // Why the folders are polled although the system could tell of their changes (it ran out of
    // what it needs for that); empty when they are not, or when polling is all there is.
    virtual std::string pollingReason() const { return {}; }
};

// Without notification from the system: every interval, each folder is reported for a look at
// all its entries. Works wherever the folders can be listed.
// reason: why the system's notification is not used, for pollingReason().
std::unique_ptr<FolderEvents> PollFolders(const std::vector<std::string>& folders,
                                          StopSignals& stop, std::chrono::milliseconds interval,
                                          std::string reason = {});

// The system's own notification where it has one (inotify on Linux), else PollFolders. Throws
// std::system_error when a folder cannot be watched.
std::unique_ptr<FolderEvents> WatchFolders(const std::vector<std::string>& folders,
                                           StopSignals& stop);

// How often PollFolders looks when WatchFolders falls back on it.
inline constexpr std::chrono::milliseconds kFolderPollInterval{500};

}  // namespace vantrel

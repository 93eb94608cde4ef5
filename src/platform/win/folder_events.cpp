// Windows looks into the folders by polling: a file copied in over the network, or written by a
// program that keeps it open, is found the same way as any other.
#include "platform/folder_events.h"

namespace vantrel {

std::unique_ptr<FolderEvents> WatchFolders(const std::vector<std::string>& folders,
                                           StopSignals& stop) {
    return PollFolders(folders, stop, kFolderPollInterval);
}

}  // namespace vantrel

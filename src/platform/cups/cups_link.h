#pragma once

#include <cups/cups.h>

#include <chrono>
#include <mutex>
#include <string>

#include "platform/stop_signals.h"

namespace vantrel {

// The CUPS scheduler's name for the user: its host, or the path of its socket.
std::string CupsServerName();

// How long a connection has waited in vain, and whether a request to stop ends the wait.
struct StallWatch {
    StopSignals* stop = nullptr;
    double stallSeconds = 60.0;
    double silentFor = 0;
};

// Points the connection's waits at watch: a scheduler silent for its stall time, or a request to
// stop, gives the wait up.
void WatchConnection(http_t* http, StallWatch& watch);

// A new connection to the scheduler whose waits watch guards, or nullptr.
http_t* ConnectWatched(int connectTimeoutMs, StallWatch& watch);

// One connection to the scheduler kept open between requests: the printer's lookup and the job
// that follows it, and a stream of jobs, then pay for one connection rather than one each. It is
// kept only after a request that was answered in full, for a few seconds, to the same server.
class KeptLink {
  public:
    KeptLink() = default;
    KeptLink(const KeptLink&) = delete;
    KeptLink& operator=(const KeptLink&) = delete;
    ~KeptLink();

    // The kept connection, now watched by watch, or a new one; nullptr when none can be made.
    http_t* take(int connectTimeoutMs, StallWatch& watch);
    // Keeps http, whose last answer was read in full, for the next take; closes the one kept.
    void keep(http_t* http);

  private:
    std::mutex mutex_;
    http_t* idle_ = nullptr;
    std::string server_;
    std::chrono::steady_clock::time_point keptAt_;
};

}  // namespace vantrel

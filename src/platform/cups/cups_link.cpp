#include "platform/cups/cups_link.h"

#include <sys/socket.h>

namespace vantrel {

namespace {

// While a request to stop is awaited, a connection looks up this often.
constexpr double kStopCheckSeconds = 0.25;
// An idle connection older than this may have been closed by the scheduler: a new one is made.
constexpr std::chrono::seconds kKeepFor{5};

// Called when the scheduler has been silent for the stall time: give up. (Without a callback
// libcups would give up on a read but wait for ever on a write.)
int GiveUp(http_t*, void*) {
    return 0;
}

int KeepWaiting(http_t*, void* data) {
    auto* watch = static_cast<StallWatch*>(data);
    watch->silentFor += kStopCheckSeconds;
    return !(watch->stop && watch->stop->requested()) && watch->silentFor < watch->stallSeconds;
}

}  // namespace

std::string CupsServerName() {
    const char* server = cupsServer();
    return server && *server ? server : "localhost";
}

void WatchConnection(http_t* http, StallWatch& watch) {
    watch.silentFor = 0;
    if (watch.stop) {
        httpSetTimeout(http, kStopCheckSeconds, KeepWaiting, &watch);
    } else {
        httpSetTimeout(http, watch.stallSeconds, GiveUp, nullptr);
    }
}

// cupsServer() may be a host or the path of a unix socket; httpConnect2 takes both. (libcups
// ignores SIGPIPE for the process, so a scheduler that goes away shows as a failed write, not as
// the end of the program.)
http_t* ConnectWatched(int connectTimeoutMs, StallWatch& watch) {
    http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                connectTimeoutMs, nullptr);
    if (http) WatchConnection(http, watch);
    return http;
}

KeptLink::~KeptLink() {
    if (idle_) httpClose(idle_);
}

http_t* KeptLink::take(int connectTimeoutMs, StallWatch& watch) {
    http_t* kept = nullptr;
    {
        std::lock_guard lock(mutex_);
        std::swap(kept, idle_);
        // Anything to read on an idle connection is its end, or nothing the next answer needs.
        if (kept && (server_ != CupsServerName() ||
                     std::chrono::steady_clock::now() - keptAt_ >= kKeepFor || httpWait(kept, 0))) {
            httpClose(kept);
            kept = nullptr;
        }
    }
    if (!kept) return ConnectWatched(connectTimeoutMs, watch);
    WatchConnection(kept, watch);
    return kept;
}

void KeptLink::keep(http_t* http) {
    // The plain stall time while idle: never the watch of a job that is gone.
    httpSetTimeout(http, StallWatch{}.stallSeconds, GiveUp, nullptr);
    std::lock_guard lock(mutex_);
    if (idle_) httpClose(idle_);
    idle_ = http;
    server_ = CupsServerName();
    keptAt_ = std::chrono::steady_clock::now();
}

}  // namespace vantrel

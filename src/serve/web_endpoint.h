#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "platform/http_server.h"
#include "serve/print_desk.h"
#include "serve/request_gate.h"
#include "serve/request_limits.h"

namespace vantrel {

struct EndpointLimits {
    int requestsPerSecond = 50;
    int requestsAtOnce = 16;  // served at once; more are told to come back (503)
};

// The endpoint's requests: each held to the limits and the gate (request_gate.h) before it
// reaches the print desk by its route: GET /printers, POST /jobs, GET /jobs/ID. Refusals are told
// in the journal, one line each, never the token.
class WebEndpoint : public HttpHandler {
  public:
    using Now = std::function<RateLimit::Clock::time_point()>;
    WebEndpoint(GateRules rules, EndpointLimits limits, PrintDesk& desk,
                std::function<void(const std::string&)> journal, Now now = RateLimit::Clock::now);

    Admission admit(const HttpRequest& request) override;

  private:
    Admission route(const HttpRequest& request);

    GateRules rules_;
    RateLimit rate_;
    ConcurrencyLimit atOnce_;
    PrintDesk& desk_;
    std::function<void(const std::string&)> journal_;
    Now now_;
};

}  // namespace vantrel

#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/http_server.h"

namespace vantrel {

// What every request is held to before it may reach a printer.
struct GateRules {
    std::vector<std::string> origins;  // the pages allowed, as NormalOrigin writes them
    std::string token;
};

// What the gate made of a request.
struct GateOutcome {
    // The answer when the request goes no further: a refusal, or a preflight's answer.
    std::optional<HttpAnswer> answer;
    // The headers every answer to this request carries: those that let an allowed page read it.
    HttpFields cors;
    // Why it was refused, for the journal; empty when it was not.
    std::string refusal;
};

// Holds a request to the rules, in this order, before anything of its body is read:
// - its Host must name the loopback with the port it came in on (localhost, 127.0.0.1 or [::1]), so
//   that a page whose own name was pointed at this machine (DNS rebinding) is refused: 421;
// - an Origin, when there is one, must be allowed: 403, with no header that would let the page
//   read the answer; a request without one (a script, curl) still needs the token;
// - a CORS preflight (OPTIONS) of an allowed page is answered here, the private-network one too;
// - the token must come as "Authorization: Bearer TOKEN": 401 when it is missing or wrong, the
//   same answer either way.
GateOutcome CheckRequest(const HttpRequest& request, const GateRules& rules);

}  // namespace vantrel

#include "serve/request_gate.h"

#include <algorithm>

#include "serve/json_text.h"
#include "serve/serve_token.h"
#include "text/runtime_text.h"

namespace vantrel {

namespace {

bool LoopbackHost(const std::string& host, int port) {
    std::string suffix = std::to_string(port);
    suffix.insert(suffix.begin(), ':');
    if (!host.ends_with(suffix)) return false;
    const std::string name = UCase(host.substr(0, host.size() - suffix.size()));
    return name == "LOCALHOST" || name == "127.0.0.1" || name == "[::1]";
}

std::optional<std::string> BearerToken(const std::optional<std::string>& authorization) {
    if (!authorization || authorization->size() < 7) return std::nullopt;
    if (UCase(authorization->substr(0, 7)) != "BEARER ") return std::nullopt;
    return Trim(authorization->substr(7));
}

GateOutcome Refused(int status, const std::string& text, const std::string& why,
                    HttpFields cors = {}) {
    HttpAnswer answer = ErrorAnswer(status, text);
    answer.headers.insert(answer.headers.end(), cors.begin(), cors.end());
    return {std::move(answer), std::move(cors), why};
}

HttpAnswer Preflight(const HttpRequest& request, const HttpFields& cors) {
    HttpAnswer answer{204, cors, {}};
    answer.headers.insert(answer.headers.end(), {{"Access-Control-Allow-Methods", "GET, POST"},
                                                 {"Access-Control-Allow-Headers",
                                                  "Authorization, Content-Type, Idempotency-Key"},
                                                 {"Access-Control-Max-Age", "600"}});
    // Chrome asks before a public page may reach a private address such as the loopback.
    if (request.header("Access-Control-Request-Private-Network") == "true") {
        answer.headers.emplace_back("Access-Control-Allow-Private-Network", "true");
    }
    return answer;
}

}  // namespace

GateOutcome CheckRequest(const HttpRequest& request, const GateRules& rules) {
    const std::string host = request.header("Host").value_or("");
    if (!LoopbackHost(host, request.port)) {
        return Refused(421, "this server answers only to the loopback's own names",
                       "Host \"" + EscapeControls(host) + "\" is not this server");
    }
    const auto origin = request.header("Origin");
    HttpFields cors;
    if (origin) {
        if (std::find(rules.origins.begin(), rules.origins.end(), *origin) == rules.origins.end()) {
            return Refused(403, "this page's origin may not print here",
                           "origin " + EscapeControls(*origin) + " is not allowed");
        }
        cors = {{"Access-Control-Allow-Origin", *origin},
                {"Vary", "Origin"},
                {"Access-Control-Expose-Headers", "Retry-After"}};
    }
    if (request.method == "OPTIONS") {
        if (!origin)
            return Refused(403, "a preflight without an origin", "preflight without Origin");
        return {Preflight(request, cors), cors, {}};
    }
    const auto given = BearerToken(request.header("Authorization"));
    if (!SameToken(given.value_or(""), rules.token)) {
        GateOutcome refused = Refused(
            401, "a valid token is needed (Authorization: Bearer TOKEN)",
            "no valid token" + (origin ? " from origin " + EscapeControls(*origin) : ""), cors);
        refused.answer->headers.emplace_back("WWW-Authenticate", "Bearer");
        return refused;
    }
    return {std::nullopt, std::move(cors), {}};
}

}  // namespace vantrel

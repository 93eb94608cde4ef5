#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace vantrel {

// The port the endpoint listens on when none is given.
constexpr int kDefaultServePort = 9632;

// What "vantrel --serve" was asked for.
struct ServeRequest {
    int port = kDefaultServePort;      // 0: any free port (the journal names it)
    std::vector<std::string> origins;  // the pages' origins allowed, as browsers write them
    std::uint64_t maxBodyBytes = 100ull << 20;
    int requestsPerSecond = 50;
    bool showToken = false;  // print the token (made when missing) and end
    bool newToken = false;   // make a new token, print it and end
};

class ServeUsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Reads the words after --serve: --port N, --allow-origin ORIGIN (repeated), --max-size MIB,
// --rate N, --show-token, --new-token; each also as --word=VALUE. Throws ServeUsageError.
ServeRequest ParseServeArguments(const std::vector<std::string>& words);

// An origin as a browser sends it in its Origin header: the scheme (http or https), the host in
// lower case and the port only when it is not the scheme's default ("https://till.example",
// "http://localhost:8080"). Throws ServeUsageError for anything else: a path, a wildcard, "null".
std::string NormalOrigin(const std::string& origin);

}  // namespace vantrel

#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vantrel {

using HttpFields = std::vector<std::pair<std::string, std::string>>;

// A request's head as the HTTP library read it: the rules above it never parse HTTP themselves.
struct HttpRequest {
    std::string method;
    std::string path;  // percent-decoded, without the query
    int port = 0;      // the server's port the request came in on
    HttpFields query;  // decoded, in the order sent, repeats kept
    HttpFields headers;

    // The first header of that name, compared without regard to case; nothing when absent.
    std::optional<std::string> header(std::string_view name) const;
    // How many query parameters have that name.
    std::size_t queryCount(std::string_view name) const;
    std::optional<std::string> queryValue(std::string_view name) const;
};

struct HttpAnswer {
    int status = 200;
    HttpFields headers;
    std::string body;
};

// Where the body of an admitted request goes, piece by piece as it arrives.
class RequestBody {
  public:
    virtual ~RequestBody() = default;
    // Takes the next piece. An answer ends the request there: the rest is not read.
    virtual std::optional<HttpAnswer> take(const char* data, std::size_t size) = 0;
    // The whole body has arrived (an empty one too). Runs on the connection's own thread, so it
    // may take as long as the work takes without holding up other clients.
    virtual HttpAnswer finish() = 0;
};

// What becomes of a request once its head has arrived: an answer at once, its body unread, or a
// place for its body.
struct Admission {
    std::optional<HttpAnswer> answer;
    std::unique_ptr<RequestBody> body;
};

class HttpHandler {
  public:
    virtual ~HttpHandler() = default;
    // Called once for each request, with its head, before a byte of its body is read.
    virtual Admission admit(const HttpRequest& request) = 0;
};

// What the library itself holds each client to, beyond what the handler checks.
struct HttpLimits {
    unsigned connections = 64;  // open at once; further ones are closed unanswered
    // The memory a connection's request head may take; a larger head is refused (431).
    std::size_t headBytes = 16 * 1024;
    std::chrono::seconds idle{10};  // a client silent this long is dropped
};

// An HTTP server listening on the loopback interface only, with a thread per connection; it
// stops when destroyed, after the requests under way end.
class HttpServer {
  public:
    virtual ~HttpServer() = default;
    // The addresses it listens on, as URLs ("http://127.0.0.1:9632").
    virtual std::vector<std::string> urls() const = 0;
};

// Whether this build has an HTTP server at all.
bool HttpServingAvailable();

// Starts listening on 127.0.0.1 and ::1 (where the system has IPv6) at port. Throws
// std::runtime_error, saying why, when neither can be listened on or this build has no server.
std::unique_ptr<HttpServer> ServeOnLoopback(int port, const HttpLimits& limits,
                                            HttpHandler& handler);

}  // namespace vantrel

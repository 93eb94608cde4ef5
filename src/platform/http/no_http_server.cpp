// Builds without an HTTP library (Windows, where Debian ships none for mingw-w64).
#include <stdexcept>

#include "platform/http_server.h"

namespace vantrel {

bool HttpServingAvailable() {
    return false;
}

std::unique_ptr<HttpServer> ServeOnLoopback(int, const HttpLimits&, HttpHandler&) {
    throw std::runtime_error("printing from web pages (--serve) is not available in this build");
}

}  // namespace vantrel

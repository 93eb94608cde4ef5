// The loopback HTTP server on libmicrohttpd: it reads and answers HTTP, and keeps the limits of
// connections, request heads and idle clients; what a request means is the handler's.
#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#endif
#include <microhttpd.h>

#include <cstring>
#include <memory>
#include <stdexcept>

#include "platform/http_server.h"

namespace vantrel {

namespace {

// What the library keeps of one request between its calls.
struct RequestState {
    std::unique_ptr<RequestBody> body;
    bool answered = false;
};

MHD_Result Collect(void* fields, MHD_ValueKind, const char* key, const char* value) {
    static_cast<HttpFields*>(fields)->emplace_back(key ? key : "", value ? value : "");
    return MHD_YES;
}

MHD_Result Queue(MHD_Connection* connection, const HttpAnswer& answer) {
    MHD_Response* response = MHD_create_response_from_buffer(
        answer.body.size(), const_cast<char*>(answer.body.data()), MHD_RESPMEM_MUST_COPY);
    if (!response) return MHD_NO;
    for (const auto& [name, value] : answer.headers) {
        MHD_add_response_header(response, name.c_str(), value.c_str());
    }
    const MHD_Result queued =
        MHD_queue_response(connection, static_cast<unsigned>(answer.status), response);
    MHD_destroy_response(response);
    return queued;
}

HttpAnswer Failed(const char* why) {
    return {
        500, {{"Content-Type", "application/json"}}, std::string("{\"error\":\"") + why + "\"}"};
}

int BoundPort(MHD_Daemon* daemon) {
    const MHD_DaemonInfo* info = MHD_get_daemon_info(daemon, MHD_DAEMON_INFO_BIND_PORT);
    return info ? info->port : 0;
}

MHD_Result OnRequest(void* handlerPointer, MHD_Connection* connection, const char* url,
                     const char* method, const char*, const char* uploadData,
                     std::size_t* uploadSize, void** statePointer) {
    auto& handler = *static_cast<HttpHandler*>(handlerPointer);
    auto* state = static_cast<RequestState*>(*statePointer);
    try {
        if (!state) {
            auto owned = std::make_unique<RequestState>();
            HttpRequest request{method, url, 0, {}, {}};
            if (const auto* info = MHD_get_connection_info(connection, MHD_CONNECTION_INFO_DAEMON))
                request.port = BoundPort(info->daemon);
            MHD_get_connection_values(connection, MHD_GET_ARGUMENT_KIND, Collect, &request.query);
            MHD_get_connection_values(connection, MHD_HEADER_KIND, Collect, &request.headers);
            Admission admission = handler.admit(request);
            state = owned.release();
            *statePointer = state;
            if (admission.answer) {
                state->answered = true;
                return Queue(connection, *admission.answer);
            }
            state->body = std::move(admission.body);
            return MHD_YES;
        }
        if (state->answered) {
            *uploadSize = 0;
            return MHD_YES;
        }
        if (*uploadSize > 0) {
            auto early = state->body->take(uploadData, *uploadSize);
            *uploadSize = 0;
            if (!early) return MHD_YES;
            state->answered = true;
            // Mid-body the library may not take an answer: then the connection is closed.
            return Queue(connection, *early);
        }
        state->answered = true;
        return Queue(connection, state->body->finish());
    } catch (const std::exception& error) {
        if (state) state->answered = true;
        return Queue(connection, Failed("the server failed on this request"));
    }
}

void OnCompleted(void*, MHD_Connection*, void** statePointer, MHD_RequestTerminationCode) {
    delete static_cast<RequestState*>(*statePointer);
    *statePointer = nullptr;
}

using Daemon = std::unique_ptr<MHD_Daemon, decltype(&MHD_stop_daemon)>;

// Windows lets another program bind the same port beside a listener that does not claim it
// alone, and take its connections: the port is claimed alone (no reuse: SO_EXCLUSIVEADDRUSE).
// Elsewhere the list of options ends before that one, keeping the system's default (a port just
// freed can be listened on again at once).
#ifdef _WIN32
constexpr MHD_OPTION kLastOption = MHD_OPTION_LISTENING_ADDRESS_REUSE;
#else
constexpr MHD_OPTION kLastOption = MHD_OPTION_END;
#endif

Daemon Start(const sockaddr* address, bool ipv6, int port, const HttpLimits& limits,
             HttpHandler& handler) {
    const unsigned flags = MHD_USE_INTERNAL_POLLING_THREAD | MHD_USE_THREAD_PER_CONNECTION |
                           (ipv6 ? static_cast<unsigned>(MHD_USE_IPv6) : 0u);
    MHD_Daemon* daemon = MHD_start_daemon(
        flags, static_cast<std::uint16_t>(port), nullptr, nullptr, &OnRequest, &handler,
        MHD_OPTION_SOCK_ADDR, address, MHD_OPTION_CONNECTION_LIMIT, limits.connections,
        MHD_OPTION_CONNECTION_MEMORY_LIMIT, limits.headBytes, MHD_OPTION_CONNECTION_TIMEOUT,
        static_cast<unsigned>(limits.idle.count()), MHD_OPTION_NOTIFY_COMPLETED, &OnCompleted,
        nullptr, MHD_OPTION_STRICT_FOR_CLIENT, 1, kLastOption, 0u, MHD_OPTION_END);
    return Daemon(daemon, &MHD_stop_daemon);
}

class LoopbackServer : public HttpServer {
  public:
    LoopbackServer(int port, const HttpLimits& limits, HttpHandler& handler) {
        sockaddr_in v4{};
        v4.sin_family = AF_INET;
        v4.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        v4.sin_port = htons(static_cast<std::uint16_t>(port));
        Daemon four = Start(reinterpret_cast<sockaddr*>(&v4), false, port, limits, handler);
        // Port 0: the one the system chose for 127.0.0.1 serves ::1 too.
        if (four) port = BoundPort(four.get());
        sockaddr_in6 v6{};
        v6.sin6_family = AF_INET6;
        v6.sin6_addr = in6addr_loopback;
        v6.sin6_port = htons(static_cast<std::uint16_t>(port));
        Daemon six = Start(reinterpret_cast<sockaddr*>(&v6), true, port, limits, handler);
        if (!four && !six) {
            throw std::runtime_error("port " + std::to_string(port) +
                                     " of the loopback interface cannot be listened on (it is in "
                                     "use, or not this user's to take)");
        }
        if (four) urls_.push_back("http://127.0.0.1:" + std::to_string(port));
        if (six) urls_.push_back("http://[::1]:" + std::to_string(port));
        // Stopped in reverse order of starting: each waits for its connections' threads.
        six_ = std::move(six);
        four_ = std::move(four);
    }
    std::vector<std::string> urls() const override { return urls_; }

  private:
    Daemon four_{nullptr, &MHD_stop_daemon};
    Daemon six_{nullptr, &MHD_stop_daemon};
    std::vector<std::string> urls_;
};

}  // namespace

bool HttpServingAvailable() {
    return true;
}

std::unique_ptr<HttpServer> ServeOnLoopback(int port, const HttpLimits& limits,
                                            HttpHandler& handler) {
    return std::make_unique<LoopbackServer>(port, limits, handler);
}

}  // namespace vantrel

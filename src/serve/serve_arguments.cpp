#include "serve/serve_arguments.h"

#include <algorithm>
#include <cctype>
#include <optional>

#include "text/runtime_text.h"

namespace vantrel {

namespace {

std::optional<std::uint64_t> WholeNumber(const std::string& text, std::uint64_t most) {
    if (text.empty() || text.size() > 12 || !std::all_of(text.begin(), text.end(), ::isdigit)) {
        return std::nullopt;
    }
    const std::uint64_t value = std::stoull(text);
    return value <= most ? std::optional(value) : std::nullopt;
}

bool HostCharacter(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.';
}

}  // namespace

std::string NormalOrigin(const std::string& origin) {
    const auto refuse = [&](const std::string& why) -> std::string {
        throw ServeUsageError("the origin \"" + EscapeControls(origin) + "\" " + why +
                              "; give it as the page's address is written up to its host and "
                              "port, as https://till.example or http://localhost:8080");
    };
    std::string text = origin;
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    const auto schemeEnd = text.find("://");
    if (schemeEnd == std::string::npos) return refuse("has no scheme");
    const std::string scheme = text.substr(0, schemeEnd);
    if (scheme != "http" && scheme != "https") return refuse("is neither http nor https");
    std::string host = text.substr(schemeEnd + 3);
    std::string port;
    const auto bracket = host.rfind(']');
    const auto colon = host.rfind(':');
    if (colon != std::string::npos && (bracket == std::string::npos || colon > bracket)) {
        port = host.substr(colon + 1);
        host.resize(colon);
        if (!WholeNumber(port, 65535) || std::stoi(port) == 0) return refuse("has no valid port");
        port = std::to_string(std::stoi(port));
    }
    const bool bracketed = host.size() > 2 && host.front() == '[' && host.back() == ']' &&
                           host.find_first_not_of("0123456789abcdef:.", 1) == host.size() - 1;
    if (!bracketed && (host.empty() || !std::all_of(host.begin(), host.end(), HostCharacter))) {
        return refuse("is not a scheme and a host alone");
    }
    if ((scheme == "http" && port == "80") || (scheme == "https" && port == "443")) port.clear();
    return scheme + "://" + host + (port.empty() ? "" : ":" + port);
}

ServeRequest ParseServeArguments(const std::vector<std::string>& words) {
    ServeRequest request;
    for (std::size_t i = 0; i < words.size(); ++i) {
        std::string word = words[i];
        std::optional<std::string> value;
        if (const auto equals = word.find('='); word.starts_with("--") && equals != word.npos) {
            value = word.substr(equals + 1);
            word.resize(equals);
        }
        const auto next = [&]() -> std::string {
            if (value) return *value;
            if (i + 1 >= words.size()) throw ServeUsageError(word + " needs a value");
            return words[++i];
        };
        if (word == "--port") {
            const std::string text = next();
            const auto port = WholeNumber(text, 65535);
            if (!port) throw ServeUsageError("--port takes a port from 0 to 65535, not " + text);
            request.port = static_cast<int>(*port);
        } else if (word == "--allow-origin") {
            const std::string origin = NormalOrigin(next());
            if (std::find(request.origins.begin(), request.origins.end(), origin) ==
                request.origins.end()) {
                request.origins.push_back(origin);
            }
        } else if (word == "--max-size") {
            const std::string text = next();
            const auto mib = WholeNumber(text, 1u << 20);
            if (!mib || *mib == 0) {
                throw ServeUsageError("--max-size takes mebibytes from 1 to 1048576, not " + text);
            }
            request.maxBodyBytes = *mib << 20;
        } else if (word == "--rate") {
            const std::string text = next();
            const auto rate = WholeNumber(text, 1000000);
            if (!rate || *rate == 0) {
                throw ServeUsageError("--rate takes requests per second from 1, not " + text);
            }
            request.requestsPerSecond = static_cast<int>(*rate);
        } else if (word == "--show-token" && !value) {
            request.showToken = true;
        } else if (word == "--new-token" && !value) {
            request.newToken = true;
        } else {
            throw ServeUsageError("unknown word " + EscapeControls(words[i]));
        }
    }
    return request;
}

}  // namespace vantrel

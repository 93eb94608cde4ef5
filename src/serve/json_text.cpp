#include "serve/json_text.h"

#include <cstdio>

#include "text/runtime_text.h"

namespace vantrel {

namespace {

std::string Escaped(unsigned code) {
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, "\\u%04x", code);
    return escaped;
}

}  // namespace

std::string JsonString(const std::string& text) {
    std::string json = "\"";
    for (std::size_t at = 0; at < text.size();) {
        const auto c = static_cast<unsigned char>(text[at]);
        if (c < 0x80) {
            if (c == '"' || c == '\\') {
                json += '\\';
                json += static_cast<char>(c);
            } else if (c < 0x20 || c == 0x7F || c == '<' || c == '>' || c == '&') {
                json += Escaped(c);
            } else {
                json += static_cast<char>(c);
            }
            ++at;
            continue;
        }
        const std::size_t length = Utf8SequenceLength(text, at);  // 0: not well formed
        if (length == 0) {
            json += Escaped(0xFFFD);
            ++at;
        } else if (text.compare(at, 3, "\xE2\x80\xA8") == 0 ||
                   text.compare(at, 3, "\xE2\x80\xA9") == 0) {
            json += Escaped(text[at + 2] == '\xA8' ? 0x2028 : 0x2029);
            at += 3;
        } else {
            json.append(text, at, length);
            at += length;
        }
    }
    return json + '"';
}

std::string JsonNumbers(const std::vector<int>& numbers) {
    std::string json = "[";
    for (const int n : numbers) {
        if (json.size() > 1) json += ',';
        json += std::to_string(n);
    }
    return json + ']';
}

HttpAnswer JsonAnswer(int status, std::string json) {
    return {status,
            {{"Content-Type", "application/json; charset=utf-8"},
             {"Cache-Control", "no-store"},
             {"X-Content-Type-Options", "nosniff"}},
            std::move(json) + "\n"};
}

HttpAnswer ErrorAnswer(int status, const std::string& text) {
    return JsonAnswer(status, "{\"error\":" + JsonString(text) + "}");
}

}  // namespace vantrel

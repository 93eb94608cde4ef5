#include "serve/json_text.h"

#include <cstdio>

namespace vantrel {

namespace {

// The length of the well-formed UTF-8 sequence that begins at text[at], 0 when there is none
// (overlong forms, surrogates and code points past U+10FFFF are not well formed).
std::size_t SequenceLength(const std::string& text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (at + length > text.size() || byte(1) < low || byte(1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
    }
    return length;
}

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
        const std::size_t length = SequenceLength(text, at);
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

#include "platform/cups/ipp_text.h"

#include <algorithm>
#include <cstdint>

namespace vantrel {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// Length of the well-formed UTF-8 sequence that starts text[at], or 0 when it is not one
// (overlong forms, surrogates and values past U+10FFFF are not well-formed).
std::size_t SequenceLength(std::string_view text, std::size_t at) {
    auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
    const std::uint8_t lead = byte(at);
    std::size_t length = 0;
    std::uint8_t low = 0x80;
    std::uint8_t high = 0xBF;  // bounds of the second byte
    if (lead < 0x80) return 1;
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
    if (at + length > text.size()) return 0;
    if (byte(at + 1) < low || byte(at + 1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) return 0;
    }
    return length;
}

// C0 controls, DEL, and the C1 controls U+0080..U+009F (encoded C2 80..C2 9F).
bool IsControl(std::string_view sequence) {
    auto lead = static_cast<std::uint8_t>(sequence[0]);
    if (sequence.size() == 1) return lead < 0x20 || lead == 0x7F;
    return sequence.size() == 2 && lead == 0xC2 && static_cast<std::uint8_t>(sequence[1]) < 0xA0;
}

}  // namespace

std::string IppName(std::string_view text) {
    std::string name;
    name.reserve(std::min(text.size(), kIppNameMaxBytes));
    for (std::size_t at = 0; at < text.size();) {
        std::size_t length = SequenceLength(text, at);
        std::string_view character = length == 0 || IsControl(text.substr(at, length))
                                         ? kReplacement
                                         : text.substr(at, length);
        if (name.size() + character.size() > kIppNameMaxBytes) break;
        name += character;
        at += length == 0 ? 1 : length;
    }
    return name;
}

std::string WithoutCredentials(std::string_view uri) {
    // Each "scheme://" opens an authority, also inside another URI's path (a backend wrapper's
    // "beh:/1/3/5/ipp://u:p@host/x"). Its user info ends at the last "@" before the next
    // "scheme://" or the end: a password may hold "#", "?" and "/", so those do not end it.
    std::string result;
    std::size_t from = 0;
    for (auto scheme = uri.find("://"); scheme != std::string_view::npos;
         scheme = uri.find("://", from)) {
        std::size_t hostStart = scheme + 3;
        std::size_t next = uri.find("://", hostStart);
        std::size_t at =
            uri.substr(hostStart,
                       next == std::string_view::npos ? std::string_view::npos : next - hostStart)
                .rfind('@');
        result += uri.substr(from, hostStart - from);
        from = at == std::string_view::npos ? hostStart : hostStart + at + 1;
    }
    result += uri.substr(from);
    return result;
}

}  // namespace vantrel

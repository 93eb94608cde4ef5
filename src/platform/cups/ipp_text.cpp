#include "platform/cups/ipp_text.h"

#include <algorithm>
#include <cstdint>

#include "text/runtime_text.h"

namespace vantrel {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

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
        std::size_t length = Utf8SequenceLength(text, at);
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

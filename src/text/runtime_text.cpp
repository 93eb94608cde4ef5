#include "text/runtime_text.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace vantrel {

std::string Trim(std::string_view text) {
    auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::string UCase(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return out;
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (prefix.size() > text.size()) return false;
    return UCase(text.substr(0, prefix.size())) == UCase(prefix);
}

namespace {

bool IsValBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

double RadixValue(std::string_view digits, int radix) {
    double value = 0;
    for (char c : digits) {
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (radix == 16 && c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (radix == 16 && c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            break;
        if (d >= radix) break;
        value = value * radix + d;
    }
    return value;
}

// Locale-independent: the GUI sets the user's locale, whose decimal point may not be ".".
std::optional<double> ParseDecimal(std::string_view text) {
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty() || text.front() == '+') return std::nullopt;
    double value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // Too small to tell from 0 ("1e-400", "0.000…1") reads as 0; too large as infinity.
        const bool negative = text.front() == '-';
        const auto digits = text.substr(negative ? 1 : 0);
        const auto wholePart = digits.substr(0, digits.find_first_of(".e"));
        const bool tiny = digits.find("e-") != std::string_view::npos ||
                          wholePart.find_first_not_of('0') == std::string_view::npos;
        if (tiny) return negative ? -0.0 : 0.0;
        return negative ? -HUGE_VAL : HUGE_VAL;
    }
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

}  // namespace

double Val(std::string_view text) {
    // Blanks inside the number are ignored, as the BASIC runtime does ("1 2" reads as 12).
    std::string compact;
    for (char c : text) {
        if (!IsValBlank(c)) compact.push_back(c);
    }
    if (compact.size() > 2 && compact[0] == '&') {
        char kind = static_cast<char>(compact[1] | 0x20);
        if (kind == 'h') return RadixValue(std::string_view(compact).substr(2), 16);
        if (kind == 'o') return RadixValue(std::string_view(compact).substr(2), 8);
    }
    // Longest prefix of the form [sign] digits [. digits] [(E|D) [sign] digits].
    std::size_t i = 0;
    std::string number;
    if (i < compact.size() && (compact[i] == '+' || compact[i] == '-')) number += compact[i++];
    bool digits = false;
    while (i < compact.size() && std::isdigit(static_cast<unsigned char>(compact[i]))) {
        number += compact[i++];
        digits = true;
    }
    if (i < compact.size() && compact[i] == '.') {
        number += compact[i++];
        while (i < compact.size() && std::isdigit(static_cast<unsigned char>(compact[i]))) {
            number += compact[i++];
            digits = true;
        }
    }
    if (!digits) return 0;
    if (i < compact.size() &&
        (compact[i] == 'e' || compact[i] == 'E' || compact[i] == 'd' || compact[i] == 'D')) {
        std::string exponent = "e";
        std::size_t j = i + 1;
        if (j < compact.size() && (compact[j] == '+' || compact[j] == '-'))
            exponent += compact[j++];
        bool expDigits = false;
        while (j < compact.size() && std::isdigit(static_cast<unsigned char>(compact[j]))) {
            exponent += compact[j++];
            expDigits = true;
        }
        if (expDigits) number += exponent;
    }
    return ParseDecimal(number).value_or(0);
}

std::optional<long long> RoundHalfEven(double value, long long lo, long long hi) {
    if (!std::isfinite(value)) return std::nullopt;
    double rounded = std::nearbyint(value);  // the default rounding mode sends halves to even
    if (rounded < static_cast<double>(lo) || rounded > static_cast<double>(hi)) return std::nullopt;
    return static_cast<long long>(rounded);
}

std::optional<long long> ParseWholeInteger(std::string_view text) {
    std::string trimmed = Trim(text);
    if (trimmed.empty()) return std::nullopt;
    const char* begin = trimmed.data();
    if (*begin == '+') ++begin;
    long long value = 0;
    auto [end, ec] = std::from_chars(begin, trimmed.data() + trimmed.size(), value);
    if (ec != std::errc() || end != trimmed.data() + trimmed.size()) return std::nullopt;
    return value;
}

std::optional<double> ParseWholeNumber(std::string_view text) {
    auto value = ParseDecimal(Trim(text));
    if (!value || !std::isfinite(*value)) return std::nullopt;
    return value;
}

std::string FormatSingle(float value) {
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (ec != std::errc()) return "0";
    return std::string(buffer, end);
}

std::size_t Utf8SequenceLength(std::string_view text, std::size_t at) {
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

namespace {

// The code point of a well-formed sequence of the given length.
char32_t CodePoint(std::string_view sequence) {
    static constexpr std::uint8_t kLeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t value = static_cast<std::uint8_t>(sequence[0]) & kLeadBits[sequence.size()];
    for (std::size_t i = 1; i < sequence.size(); ++i) {
        value = (value << 6) | (static_cast<std::uint8_t>(sequence[i]) & 0x3F);
    }
    return value;
}

// Characters that reorder the text shown after them: a name could make a terminal or a log
// viewer show "gpj.exe" as "exe.jpg", or hide what follows.
bool IsDirectionControl(char32_t c) {
    return (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || c == 0x200E ||
           c == 0x200F || c == 0x061C;
}

void AppendHex(std::string& out, const char* prefix, char32_t value, int digits) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += prefix;
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out += kHex[(value >> shift) & 15];
}

}  // namespace

bool IsUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = Utf8SequenceLength(text, at);
        if (length == 0) return false;
        at += length;
    }
    return true;
}

std::string EscapeControls(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = Utf8SequenceLength(text, at);
        if (length == 0) {  // not UTF-8: the lone byte, 8-bit controls such as CSI (0x9b) too
            AppendHex(out, "\\x", static_cast<std::uint8_t>(text[at++]), 2);
            continue;
        }
        const char32_t c = CodePoint(text.substr(at, length));
        if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == 0x1B) {
            out += "\\e";
        } else if (c < 0x20 || (c >= 0x7F && c < 0xA0)) {  // C0, DEL and C1 controls
            AppendHex(out, "\\x", c, 2);
        } else if (IsDirectionControl(c)) {
            AppendHex(out, "\\u", c, 4);
        } else {
            out += text.substr(at, length);
        }
        at += length;
    }
    return out;
}

}  // namespace vantrel

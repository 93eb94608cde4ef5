#include "platform/runtime_text.h"

#include <cctype>
#include <charconv>
#include <cmath>

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

std::string EscapeControls(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    auto hex = [](std::string& out, unsigned char byte) {
        out += "\\x";
        out += kHex[byte >> 4];
        out += kHex[byte & 15];
    };
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        if (byte == 0xC2 && next >= 0x80 && next < 0xA0) {  // a C1 control, encoded in UTF-8
            hex(out, next);
            ++i;
        } else if (byte >= 0x20 && byte != 0x7F) {
            out += text[i];
        } else if (byte == '\n') {
            out += "\\n";
        } else if (byte == '\t') {
            out += "\\t";
        } else if (byte == 0x1B) {
            out += "\\e";
        } else {
            hex(out, byte);
        }
    }
    return out;
}

std::string WithTrailingSeparator(std::string text) {
    if (text.empty() || text.back() != kPathSeparator) text.push_back(kPathSeparator);
    return text;
}

}  // namespace vantrel

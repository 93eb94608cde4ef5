// Reads the legacy INI file the way the Windows profile functions do: section and key names
// match without regard to letter case, blanks around names and values do not count, the first
// matching section and the first matching key in it win, lines starting with ";" are comments,
// and a value is cut to what the caller's buffer holds.

#include "platform/ini_values.h"

#include <fstream>
#include <optional>
#include <string>
#include <string_view>

#include "platform/path_text.h"
#include "text/runtime_text.h"

namespace vantrel {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool SameName(std::string_view a, std::string_view b) {
    return UCase(a) == UCase(b);
}

// A value wholly enclosed in a pair of double or single quotes is given without them.
std::string_view WithoutQuotes(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

// The value of key in the first section named section; nothing when the file cannot be read
// or holds no such section or key.
std::optional<std::string> FindValue(const std::string& file, const std::string& section,
                                     const std::string& key) {
    std::ifstream in(PathOf(file), std::ios::binary);
    if (!in) return std::nullopt;
    bool inSection = false;
    bool firstLine = true;
    std::string line;
    while (std::getline(in, line)) {
        std::string_view text = line;
        if (firstLine && text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
        firstLine = false;
        text = TrimBlanks(text);
        if (text.empty() || text.front() == ';') continue;
        if (text.front() == '[') {
            if (inSection) return std::nullopt;  // the matching section ended without the key
            auto close = text.find(']');
            auto name = text.substr(1, close == std::string_view::npos ? close : close - 1);
            inSection = SameName(TrimBlanks(name), section);
            continue;
        }
        if (!inSection) continue;
        auto equals = text.find('=');
        if (equals == std::string_view::npos) continue;
        if (SameName(TrimBlanks(text.substr(0, equals)), key)) {
            return std::string(WithoutQuotes(TrimBlanks(text.substr(equals + 1))));
        }
    }
    return std::nullopt;
}

}  // namespace

std::string ProfileString(const std::string& file, const std::string& section,
                          const std::string& key, const std::string& defaultValue,
                          std::size_t bufferSize) {
    if (bufferSize == 0) return {};
    std::string value;
    if (auto found = FindValue(file, section, key)) {
        value = std::move(*found);
    } else {
        // Trailing blanks of the default are dropped, as the profile functions do.
        auto last = defaultValue.find_last_not_of(' ');
        if (last != std::string::npos) value = defaultValue.substr(0, last + 1);
    }
    if (value.size() > bufferSize - 1) value.resize(bufferSize - 1);
    return value;
}

}  // namespace vantrel

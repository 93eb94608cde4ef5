#include "platform/posix/conf_file_text.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace vantrel {

namespace {

constexpr auto npos = std::string_view::npos;

// A text as QString holds it: UTF-16 code units.
using Units = std::u16string;

bool IsLineSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool IsSpecial(char c) {
    return c == '\n' || c == '\r' || c == '"' || c == ';' || c == '=' || c == '\\';
}

// As QByteArrayView::trimmed.
std::string_view Trimmed(std::string_view text) {
    auto isSpace = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
    return text;
}

struct Line {
    std::string_view text;
    std::size_t equals = npos;  // the first "=" outside quotes, within text
};

// The next logical line, cut as QSettings cuts it: quotes and backslashes carry it over line
// ends, a ";" outside quotes ends it, and a ";" that begins it makes the rest a comment.
bool NextLine(std::string_view data, std::size_t& pos, Line& line) {
    std::size_t start = pos;
    while (start < data.size() && IsLineSpace(data[start])) ++start;
    std::size_t i = start;
    std::size_t equals = npos;
    bool inQuotes = false;
    while (i < data.size()) {
        while (i < data.size() && !IsSpecial(data[i])) ++i;
        if (i == data.size()) break;
        const char ch = data[i++];
        if (ch == '=') {
            if (!inQuotes && equals == npos) equals = i - 1;
        } else if (ch == '\n' || ch == '\r') {
            if (i == start + 1) {
                ++start;
            } else if (!inQuotes) {
                --i;
                break;
            }
        } else if (ch == '\\') {
            if (i < data.size()) {
                const char next = data[i++];
                if (i < data.size() &&
                    ((next == '\n' && data[i] == '\r') || (next == '\r' && data[i] == '\n'))) {
                    ++i;
                }
            }
        } else if (ch == '"') {
            inQuotes = !inQuotes;
        } else if (i == start + 1) {  // ';' at the start: a comment to the end of the line
            while (i < data.size() && data[i] != '\n' && data[i] != '\r') ++i;
            while (i < data.size() && IsLineSpace(data[i])) ++i;
            start = i;
        } else if (!inQuotes) {
            --i;
            break;
        }
    }
    pos = i;
    line.text = data.substr(start, i - start);
    line.equals = equals == npos ? npos : equals - start;
    return !line.text.empty();
}

// Appends the UTF-16 form of valid UTF-8 (as strict as the decoder of QString); false for
// anything else, which QString would turn into replacement characters.
bool AppendUtf8(std::string_view bytes, Units& out) {
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const int extra = lead < 0x80   ? 0
                          : lead < 0xC2 ? -1
                          : lead < 0xE0 ? 1
                          : lead < 0xF0 ? 2
                          : lead < 0xF5 ? 3
                                        : -1;
        if (extra < 0 || bytes.size() - i <= static_cast<std::size_t>(extra)) return false;
        char32_t code = extra == 0 ? lead : lead & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        static constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
        if (code < kLeast[extra] || code > 0x10FFFF || (code >= 0xD800 && code < 0xE000)) {
            return false;
        }
        if (code >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(code);
        }
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

// The UTF-8 form of a text; nothing for a lone surrogate, which has none.
std::optional<std::string> Utf8Of(const Units& units) {
    std::string out;
    for (std::size_t i = 0; i < units.size(); ++i) {
        char32_t code = units[i];
        if (code >= 0xD800 && code < 0xE000) {
            if (code >= 0xDC00 || i + 1 == units.size() || units[i + 1] < 0xDC00 ||
                units[i + 1] >= 0xE000) {
                return std::nullopt;
            }
            code = 0x10000 + ((code - 0xD800) << 10) + (units[++i] - 0xDC00);
        }
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

std::optional<char16_t> SimpleEscape(char c) {
    static constexpr char kCodes[][2] = {{'a', '\a'}, {'b', '\b'},  {'f', '\f'}, {'n', '\n'},
                                         {'r', '\r'}, {'t', '\t'},  {'v', '\v'}, {'"', '"'},
                                         {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
    for (const auto& code : kCodes) {
        if (c == code[0]) return static_cast<char16_t>(code[1]);
    }
    return std::nullopt;
}

int DigitValue(char c, int base) {
    int value = 99;
    if (c >= '0' && c <= '9') value = c - '0';
    if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
    return value < base ? value : -1;
}

void ChopTrailingSpaces(Units& text, std::size_t limit) {
    while (text.size() > limit && (text.back() == u' ' || text.back() == u'\t')) text.pop_back();
}

// A value's texts as QSettings unescapes them: one text, or a list when an unquoted comma
// separates several. Nothing when a byte is not UTF-8 or a backslash escapes one.
struct Unescaper {
    explicit Unescaper(std::string_view value) : raw(value) {}

    std::string_view raw;
    std::size_t i = 0;
    Units text;
    std::vector<Units> list;
    bool isList = false;
    bool inQuotes = false;
    bool quoted = false;
    bool decoded = false;  // some of the value's bytes were decoded as UTF-8 already
    std::size_t chopLimit = 0;

    void skipSpaces() {
        while (i < raw.size() && (raw[i] == ' ' || raw[i] == '\t')) ++i;
        chopLimit = text.size();
    }

    // A numeric escape runs over every digit of its base; QString keeps 16 bits of it.
    void numericEscape(char16_t value, int base) {
        for (int digit; i < raw.size() && (digit = DigitValue(raw[i], base)) >= 0; ++i) {
            value = static_cast<char16_t>(value * base + digit);
        }
        text += value;
        chopLimit = text.size();
    }

    // False when the escaped byte is not ASCII (QSettings skips only its first byte).
    bool escape(bool& atEnd) {
        if (i >= raw.size()) return atEnd = true;
        const char ch = raw[i++];
        if (static_cast<unsigned char>(ch) >= 0x80) return false;
        if (auto simple = SimpleEscape(ch)) {
            text += *simple;
        } else if (ch == 'x') {
            if (i >= raw.size()) return atEnd = true;
            if (DigitValue(raw[i], 16) >= 0) {
                numericEscape(0, 16);
                atEnd = i >= raw.size();
                return true;
            }
        } else if (ch >= '0' && ch <= '7') {
            numericEscape(static_cast<char16_t>(ch - '0'), 8);
            atEnd = i >= raw.size();
            return true;
        }
        // Line ends cannot come here: a value on more than one line is left to QSettings.
        chopLimit = text.size();
        return true;
    }

    bool run() {
        skipSpaces();
        while (i < raw.size()) {
            const char ch = raw[i];
            if (ch == '\\') {
                ++i;
                bool atEnd = false;
                if (!escape(atEnd)) return false;
                if (atEnd) return finish(false);
            } else if (ch == '"') {
                ++i;
                quoted = true;
                inQuotes = !inQuotes;
                if (!inQuotes) skipSpaces();
            } else if (ch == ',' && !inQuotes) {
                if (!quoted) ChopTrailingSpaces(text, chopLimit);
                isList = true;
                list.push_back(std::move(text));
                text.clear();
                quoted = false;
                ++i;
                skipSpaces();
            } else {
                const std::size_t end = std::min(raw.find_first_of("\\\",", i + 1), raw.size());
                if (!AppendUtf8(withoutLeadingMark(raw.substr(i, end - i)), text)) return false;
                i = end;
            }
        }
        return finish(!quoted);
    }

    // QSettings decodes a value's bytes with one UTF-8 decoder, which drops a byte order mark
    // at the start of the first bytes it is given, wherever they stand in the value (after
    // blanks, a quote or an escape), and keeps any later one.
    std::string_view withoutLeadingMark(std::string_view bytes) {
        if (!decoded && bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
        decoded = true;
        return bytes;
    }

    bool finish(bool chop) {
        if (chop) ChopTrailingSpaces(text, chopLimit);
        if (isList) list.push_back(std::move(text));
        return true;
    }
};

bool StartsWith(const Units& text, std::u16string_view prefix) {
    return text.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), text.begin());
}

// The stored text of one unescaped value, as the Qt store gives it; nothing for the "@" forms
// this reader does not know.
std::optional<std::string> ValueText(Unescaper& value) {
    if (value.isList) {
        Units joined;
        for (std::size_t k = 0; k < value.list.size(); ++k) {
            Units& item = value.list[k];
            if (!item.empty() && item[0] == u'@') {
                if (!StartsWith(item, u"@@")) return std::nullopt;  // a list of variants
                item.erase(0, 1);
            }
            if (k > 0) joined += u',';
            joined += item;
        }
        return Utf8Of(joined);
    }
    Units& text = value.text;
    if (text.empty() || text[0] != u'@') return Utf8Of(text);
    if (StartsWith(text, u"@ByteArray(") && text.back() == u')') {
        std::string bytes;
        for (std::size_t k = 11; k + 1 < text.size(); ++k) {
            if (text[k] > 0xFF) return std::nullopt;  // no Latin-1 form: QSettings makes it "?"
            bytes += static_cast<char>(text[k]);
        }
        return bytes;
    }
    if (StartsWith(text, u"@@")) return Utf8Of(text.substr(1));
    return std::nullopt;
}

// Section and key names of plain letters, digits, blanks, dots, dashes and underscores, which
// QSettings takes as they stand; "General" is the top level to it.
bool IsPlainName(std::string_view name) {
    auto plain = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == ' ' || c == '.' || c == '-' || c == '_';
    };
    return !name.empty() && std::all_of(name.begin(), name.end(), plain);
}

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

}  // namespace

std::optional<ConfValues> ReadConfText(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    ConfValues values;
    std::string section;
    std::size_t pos = 0;
    for (Line line; NextLine(text, pos, line);) {
        if (line.text.find_first_of("\r\n") != npos) return std::nullopt;
        if (line.text.front() == '[') {  // what follows the "]" is ignored
            const std::size_t close = line.text.find(']');
            if (close == npos) return std::nullopt;  // QSettings reads on, but counts damage
            const std::string_view name = Trimmed(line.text.substr(1, close - 1));
            if (!IsPlainName(name) || Lower(std::string(name)) == "general") return std::nullopt;
            section = std::string(name) + '/';
            continue;
        }
        if (line.equals == npos) return std::nullopt;
        const std::string_view key = Trimmed(line.text.substr(0, line.equals));
        if (!IsPlainName(key)) return std::nullopt;
        Unescaper value(line.text.substr(line.equals + 1));
        if (!value.run()) return std::nullopt;
        auto stored = ValueText(value);
        if (!stored) return std::nullopt;
        std::string path = section + std::string(key);
        if (!values.try_emplace(Lower(path), ConfEntry{path, std::move(*stored)}).second) {
            return std::nullopt;  // repeated, perhaps in another case
        }
    }
    return values;
}

}  // namespace vantrel

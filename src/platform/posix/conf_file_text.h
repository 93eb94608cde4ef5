#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace vantrel {

// One value of a settings file, under the exact spelling of its "Section/Key".
struct ConfEntry {
    std::string path;
    std::string text;
};

// The values of a settings file in the INI form QSettings writes on POSIX, keyed by their
// "Section/Key" in lower case, so that a lookup can tell a key spelt in another case.
using ConfValues = std::map<std::string, ConfEntry>;

// Reads the text of a settings file exactly as QSettings reads it, for the part of its format
// this reader knows: quotes, C escapes, unquoted commas (a list, joined by ","), "@ByteArray()",
// "@@", comments, UTF-8, byte order marks (of the file, and of a value). Nothing when the text
// holds anything else (other
// "@" values, bytes that are not UTF-8, values or sections across lines, lines QSettings counts
// as damage, odd key spellings, repeated keys): then only QSettings itself can tell.
std::optional<ConfValues> ReadConfText(std::string_view text);

}  // namespace vantrel

#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vantrel {

// Path separator of directory texts: "\" on Windows, "/" elsewhere.
#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

// Removes leading and trailing blanks (spaces only).
std::string Trim(std::string_view text);
// Upper-cases ASCII letters; other bytes are kept as they are.
std::string UCase(std::string_view text);
// True when text begins with prefix once both are upper-cased.
bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix);
// The numeric value of the leading number of text (blanks, tabs and line feeds are skipped,
// "&H"/"&O" prefixes read hex and octal); 0 when the text does not start with a number.
double Val(std::string_view text);
// Rounds to the nearest whole number, halves to the even neighbour; nothing when the result
// does not fit between lo and hi.
std::optional<long long> RoundHalfEven(double value, long long lo, long long hi);
// The text as a whole decimal integer (surrounding blanks allowed); nothing otherwise.
std::optional<long long> ParseWholeInteger(std::string_view text);
// The text as a whole decimal number (surrounding blanks allowed); nothing otherwise.
std::optional<double> ParseWholeNumber(std::string_view text);
// Shortest decimal text that reads back as the same single-precision number.
std::string FormatSingle(float value);
// The text with its control characters written out ("\e", "\x07", "\n"), so that a file name
// cannot move the cursor, clear the screen or retitle the terminal that shows a message.
std::string EscapeControls(std::string_view text);
// Appends the path separator unless the text already ends with one.
std::string WithTrailingSeparator(std::string text);

}  // namespace vantrel

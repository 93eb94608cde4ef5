#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vantrel {

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
// Length of the well-formed UTF-8 sequence that starts text[at], or 0 when it is not one
// (overlong forms, surrogates and values past U+10FFFF are not well-formed).
std::size_t Utf8SequenceLength(std::string_view text, std::size_t at);
// True when the whole text is well-formed UTF-8.
bool IsUtf8(std::string_view text);
// The text with what a terminal acts on written out ("\e", "\x07", "\n", "\u202e"): control
// characters, bytes that are not UTF-8 (an 8-bit CSI among them) and the characters that
// reorder text, so that a file name or a spooler's text cannot move the cursor, clear the
// screen, retitle the terminal or disguise what a message says.
std::string EscapeControls(std::string_view text);

}  // namespace vantrel

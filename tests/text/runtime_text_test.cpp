#include "text/runtime_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace vantrel {
namespace {

// The leading number only, blanks inside it skipped; too small to tell from 0 is 0.
TEST(RuntimeText, ValReadsTheLeadingNumber) {
    const std::string tiny = "0." + std::string(340, '0') + "1";
    const std::pair<std::string, double> kCases[] = {
        {"2.5", 2.5},    {"3 copies", 3}, {"  -2", -2}, {"1 2", 12},        {"abc", 0},
        {".", 0},        {"1e3", 1000},   {"1e", 1},    {"&H1F", 31},       {"&h1f", 31},
        {"1e-400", 0.0}, {"-1e-400", 0},  {tiny, 0},    {"1e400", HUGE_VAL}};
    for (const auto& [text, value] : kCases) EXPECT_EQ(Val(text), value) << text;
}

TEST(RuntimeText, RoundingSendsHalvesToEvenAndRefusesWhatIsOutOfRange) {
    const std::pair<double, std::optional<long long>> kCases[] = {
        {0.5, 0}, {1.5, 2},           {2.5, 2},           {3.5, 4},
        {0.4, 0}, {INT_MAX, INT_MAX}, {2147483648.0, {}}, {HUGE_VAL, {}}};
    for (auto [value, rounded] : kCases) {
        EXPECT_EQ(RoundHalfEven(value, INT_MIN, INT_MAX), rounded) << value;
    }
}

TEST(RuntimeText, ControlCharactersAreWrittenOut) {
    const std::pair<std::string, std::string> kCases[] = {
        {"a\x1b]0;pwned\ab", "a\\e]0;pwned\\x07b"},
        {"x\ny\tz\x7f", "x\\ny\\tz\\x7f"},
        {"\u009b2J caf\u00e9", "\\x9b2J caf\u00e9"},  // a C1 CSI goes, é stays
        {"\x9b"
         "2J\xff\xfe\xc3",
         "\\x9b2J\\xff\\xfe\\xc3"},  // bytes that are no UTF-8
        {"a\u202egpj.exe\u2066\u2069\u200f\u061c\u20ac",
         "a\\u202egpj.exe\\u2066\\u2069\\u200f\\u061c\u20ac"}};
    for (const auto& [text, escaped] : kCases) EXPECT_EQ(EscapeControls(text), escaped);
}

}  // namespace
}  // namespace vantrel

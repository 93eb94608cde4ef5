#include "serve/json_text.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

struct Case {
    const char* name;
    std::string text;
    std::string json;
};

class JsonStringTest : public ::testing::TestWithParam<Case> {};

TEST_P(JsonStringTest, StaysOneSafeValue) {
    EXPECT_EQ(JsonString(GetParam().text), GetParam().json);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, JsonStringTest,
    ::testing::Values(Case{"Plain", "Label_Printer", "\"Label_Printer\""},
                      Case{"QuoteAndBackslash", "a\"b\\c", "\"a\\\"b\\\\c\""},
                      Case{"ControlCharacters", std::string("a\nb\0c\x1b\x7f", 7),
                           "\"a\\u000ab\\u0000c\\u001b\\u007f\""},
                      Case{"MarkupBreakers", "</script><&",
                           "\"\\u003c/script\\u003e\\u003c\\u0026\""},
                      Case{"UnicodeKept", "Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x96\xA8",
                           "\"Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x96\xA8\""},
                      Case{"LineSeparators",
                           "a\xE2\x80\xA8"
                           "b\xE2\x80\xA9",
                           "\"a\\u2028b\\u2029\""},
                      Case{"LoneContinuation", "a\x80z", "\"a\\ufffdz\""},
                      Case{"Overlong", "\xC0\xAF", "\"\\ufffd\\ufffd\""},
                      Case{"Surrogate", "\xED\xA0\x80", "\"\\ufffd\\ufffd\\ufffd\""},
                      Case{"CutShort", "ab\xE2\x82", "\"ab\\ufffd\\ufffd\""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vantrel

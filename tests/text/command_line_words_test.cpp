#include "text/command_line_words.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

// Windows command lines and the arguments the system's own splitting gives for them.
TEST(WindowsCommandLineArgumentsTest, SplitAsTheSystemSplits) {
    const struct {
        const char* line;
        std::vector<std::string> arguments;
    } cases[] = {
        {R"(vantrel "C:\My Labels\a.prn")", {R"(C:\My Labels\a.prn)"}},
        {"vantrel -CD 3 report.prn Label Printer", {"-CD", "3", "report.prn", "Label", "Printer"}},
        {"\"C:\\Program Files\\Vantrel\\vantrel.exe\" a.prn", {"a.prn"}},
        {"\"C:\\Program Files\\vantrel\"a.prn b", {"a.prn", "b"}},
        {"vantrel  a.prn\t label  ", {"a.prn", "label"}},
        {"vantrel", {}},
        {R"(vantrel "" x)", {"", "x"}},
        {R"(vantrel a\\b d"e f"g h)", {R"(a\\b)", "de fg", "h"}},
        {R"(vantrel a\\\"b c d)", {R"(a\"b)", "c", "d"}},
        {R"(vantrel a\\\\"b c" d e)", {R"(a\\b c)", "d", "e"}},
        {R"(vantrel a"b"" c d)", {"ab\"", "c", "d"}},
        {R"(vantrel """a b""")", {"\"a", "b\""}},
        {R"(vantrel "a\" b)", {"a\" b"}},
        {R"(vantrel trailing\)", {R"(trailing\)"}},
    };
    for (const auto& each : cases) {
        EXPECT_EQ(WindowsCommandLineArguments(each.line), each.arguments) << each.line;
    }
}

}  // namespace
}  // namespace vantrel

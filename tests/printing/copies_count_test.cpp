#include "printing/copies_count.h"

#include <gtest/gtest.h>

#include <climits>

namespace vantrel::testing {
namespace {

// Each place reads a copies text by its own rule: the window and AutoPrint take a whole number
// from 1 to 32767 after rounding halves to even; a command line counts below 1 as 1 and calls
// past 32767 too many.
TEST(CopiesRules, EachPlaceReadsACountByItsOwnRule) {
    constexpr auto kNot = CopiesCount::NotACount;
    constexpr auto kMany = CopiesCount::TooMany;
    constexpr auto kOk = CopiesCount::Usable;
    struct Case {
        const char* text;
        CopiesCount window;  // the Print button and AutoPrint alike
        CopiesCount commandLine;
    };
    const Case kCases[] = {{"2.5", {kOk, 2}, {kOk, 2}},
                           {"3.5", {kOk, 4}, {kOk, 4}},
                           {" 7x", {kOk, 7}, {kOk, 7}},
                           {"0.5", {kNot, 0}, {kOk, 1}},
                           {"0", {kNot, 0}, {kOk, 1}},
                           {"-1", {kNot, 0}, {kOk, 1}},
                           {"x", {kNot, 0}, {kOk, 1}},
                           {"1e-400", {kNot, 0}, {kOk, 1}},
                           {"32767.4", {kOk, 32767}, {kOk, 32767}},
                           {"32767.6", {kNot, 0}, {kMany, 0}},
                           {"2147483647", {kNot, 0}, {kMany, 0}},
                           {"2147483648", {kNot, 0}, {kNot, 0}},
                           {"1e30", {kNot, 0}, {kNot, 0}}};
    auto same = [](CopiesCount a, CopiesCount b) {
        return a.verdict == b.verdict && (a.verdict != CopiesCount::Usable || a.count == b.count);
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.text);
        EXPECT_TRUE(same(ReadCopies(c.text, CopiesRule::PrintButton), c.window));
        EXPECT_TRUE(same(ReadCopies(c.text, CopiesRule::AutoPrint), c.window));
        EXPECT_TRUE(same(ReadCopies(c.text, CopiesRule::CommandLine), c.commandLine));
    }
}

}  // namespace
}  // namespace vantrel::testing

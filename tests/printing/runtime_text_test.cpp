#include "platform/runtime_text.h"

#include <gtest/gtest.h>

#include <climits>

#include "platform/batch_output.h"
#include "platform/stderr_messages.h"

namespace vantrel {
namespace {

TEST(RuntimeText, ValReadsTheLeadingNumberOnly) {
    EXPECT_EQ(Val("2"), 2);
    EXPECT_EQ(Val("2.5"), 2.5);
    EXPECT_EQ(Val("3 copies"), 3);
    EXPECT_EQ(Val("  -2"), -2);
    EXPECT_EQ(Val("1 2"), 12);  // blanks inside the number are skipped
    EXPECT_EQ(Val("abc"), 0);
    EXPECT_EQ(Val(""), 0);
    EXPECT_EQ(Val("."), 0);
    EXPECT_EQ(Val("1e3"), 1000);
    EXPECT_EQ(Val("1e"), 1);
    EXPECT_EQ(Val("&H1F"), 31);
    EXPECT_EQ(Val("12abc"), 12);
}

TEST(RuntimeText, RoundingSendsHalvesToEvenAndRefusesOverflow) {
    EXPECT_EQ(RoundHalfEven(0.5, 0, 10), 0);
    EXPECT_EQ(RoundHalfEven(1.5, 0, 10), 2);
    EXPECT_EQ(RoundHalfEven(2.5, 0, 10), 2);
    EXPECT_EQ(RoundHalfEven(3.5, 0, 10), 4);
    EXPECT_EQ(RoundHalfEven(0.4, 0, 10), 0);
    EXPECT_EQ(RoundHalfEven(2147483647.0, INT_MIN, INT_MAX), INT_MAX);
    EXPECT_EQ(RoundHalfEven(2147483648.0, INT_MIN, INT_MAX), std::nullopt);
    EXPECT_EQ(RoundHalfEven(Val("1e400"), INT_MIN, INT_MAX), std::nullopt);
    // Too small to tell from 0 is 0, not infinity.
    const std::string tinies[] = {"1e-400", "-1e-400", "0." + std::string(340, '0') + "1"};
    for (const auto& tiny : tinies) {
        EXPECT_EQ(Val(tiny), 0.0) << tiny;
    }
}

TEST(RuntimeText, ControlCharactersAreWrittenOut) {
    EXPECT_EQ(EscapeControls("a\x1b]0;pwned\x07"
                             "b"),
              "a\\e]0;pwned\\x07b");
    EXPECT_EQ(EscapeControls("x\ny\tz\x7f"), "x\\ny\\tz\\x7f");
    EXPECT_EQ(EscapeControls("\xc2\x9b"
                             "2J caf\xc3\xa9"),
              "\\x9b2J caf\xc3\xa9");  // C1 CSI; é kept
    // A file name in a batch message cannot drive the terminal.
    std::FILE* terminal = std::tmpfile();
    StderrMessages(terminal).show("Can't find file: a\x1b[2J.prn", MsgStyle::Ok, "Vantrel");
    std::string written(100, '\0');
    std::rewind(terminal);
    written.resize(std::fread(written.data(), 1, written.size(), terminal));
    std::fclose(terminal);
    EXPECT_EQ(written.find('\x1b'), std::string::npos) << written;
    EXPECT_NE(written.find("a\\e[2J.prn"), std::string::npos) << written;
}

// A command line's messages go to a console or a redirected stderr if there is one, else to
// message boxes (a Windows program started from a shortcut).
TEST(BatchOutputChoice, StandardErrorWhereverThereIsOne) {
    EXPECT_EQ(ChooseBatchOutput({true, false}), BatchOutput::StandardError);
    EXPECT_EQ(ChooseBatchOutput({false, true}), BatchOutput::StandardError);
    EXPECT_EQ(ChooseBatchOutput({false, false}), BatchOutput::MessageBoxes);
}

TEST(RuntimeText, WholeNumbersAreReadExactly) {
    EXPECT_EQ(ParseWholeInteger(" -1 "), -1);
    EXPECT_EQ(ParseWholeInteger("1x"), std::nullopt);
    EXPECT_EQ(ParseWholeNumber("1234.5"), 1234.5);
    EXPECT_EQ(ParseWholeNumber("12abc"), std::nullopt);
    for (float f : {0.1f, 1234.5f, -3.25f, 16777216.f, 1e-7f}) {
        EXPECT_EQ(static_cast<float>(*ParseWholeNumber(FormatSingle(f))), f);
    }
}

}  // namespace
}  // namespace vantrel

#include "platform/batch_output.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/stderr_messages.h"

namespace vantrel {
namespace {

// A file name in a batch message cannot drive the terminal.
TEST(StderrMessages, ControlCharactersAreWrittenOut) {
    std::FILE* terminal = std::tmpfile();
    StderrMessages(terminal).show("Can't find file: a\x1b[2J.prn", MsgStyle::Ok, "Vantrel");
    std::string written(100, '\0');
    std::rewind(terminal);
    written.resize(std::fread(written.data(), 1, written.size(), terminal));
    std::fclose(terminal);
    EXPECT_NE(written.find("a\\e[2J.prn"), std::string::npos) << written;
}

// A command line's messages go to a console or a redirected stderr if there is one, else to
// message boxes (a Windows program started from a shortcut).
TEST(BatchOutputChoice, StandardErrorWhereverThereIsOne) {
    EXPECT_EQ(ChooseBatchOutput({true, false}), BatchOutput::StandardError);
    EXPECT_EQ(ChooseBatchOutput({false, true}), BatchOutput::StandardError);
    EXPECT_EQ(ChooseBatchOutput({false, false}), BatchOutput::MessageBoxes);
}

}  // namespace
}  // namespace vantrel

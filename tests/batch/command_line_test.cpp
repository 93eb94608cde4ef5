#include "batch/command_line.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "fakes/stepped_clock.h"
#include "support/print_rig.h"
#include "text/command_line_words.h"

namespace vantrel::testing {
namespace {

namespace fs = std::filesystem;

// The arguments of a line as typed: split at blanks, a quoted name one argument.
std::vector<std::string> Args(const std::string& line) {
    return WindowsCommandLineArguments("vantrel " + line);
}

// Runs each command line inside a directory that holds the files it names.
class CommandLineTest : public PrintRig {
  protected:
    CommandLineTest() : previous_(fs::current_path()) {
        fs::current_path(dir.path());
        spooler.installed = {{"Office Laser", "LPT1:"}, {"Label Printer", "COM2:"}};
        spooler.defaultEntry = "Office Laser,winspool,LPT1:";
        dir.write("a.prn", "x");
    }
    ~CommandLineTest() override { fs::current_path(previous_); }

    BatchResult Run(const std::string& line) {
        return RunCommandLine(Args(line), spooler, files, options, messages);
    }
    bool Kept(const std::string& name) const { return fs::exists(dir.file(name)); }

  private:
    fs::path previous_;
};

struct WorkedExample {
    std::string name, line, fileName, printerName, device;
    std::size_t documents;
    bool deleted;
};

class WorkedExamples : public CommandLineTest,
                       public ::testing::WithParamInterface<WorkedExample> {};

TEST_P(WorkedExamples, ParseAndPrintAsTheGrammarSays) {
    const auto& example = GetParam();
    auto request = ParseCommandLine(CommandWords(Args(example.line)), "OFFICE LASER");
    EXPECT_EQ(request.fileName, example.fileName);
    EXPECT_EQ(request.printerName, example.printerName);
    dir.write(example.fileName, "raw bytes");
    Run(example.line);
    ASSERT_EQ(spooler.printed().size(), example.documents);
    for (const auto& doc : spooler.printed()) EXPECT_EQ(doc.deviceName, example.device);
    EXPECT_EQ(!Kept(example.fileName), example.deleted);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(TwoPrinters, WorkedExamples, ::testing::Values(
    WorkedExample{"PrinterAfterFile", "report.prn label", "report.prn", "label", "Label Printer", 1, false},
    WorkedExample{"LowerCaseDelete", "-d report.prn", "report.prn", "OFFICE LASER", "Office Laser", 1, true},
    WorkedExample{"CopiesDeleteAndPrinter", "-CD 3 report.prn Label Printer", "report.prn", "Label Printer", "Label Printer", 3, true},
    WorkedExample{"PrinterFirst", "-R Label Printer report.prn", "report.prn", "Label Printer", "Label Printer", 1, false},
    WorkedExample{"CopiesAndPrinterFirst", "-rc 2 Office Laser report.prn", "report.prn", "Office Laser", "Office Laser", 2, false},
    WorkedExample{"ZeroCopiesIsOne", "-C 0 report.prn", "report.prn", "OFFICE LASER", "Office Laser", 1, false},
    WorkedExample{"UnknownFlagEndsTheFlags", "-C 0.4 -x report.prn", "-x", "report.prn", "", 0, false},
    WorkedExample{"CopiesWithoutNumber", "-C report.prn", "report.prn", "OFFICE LASER", "Office Laser", 1, false},
    WorkedExample{"UnknownLetterIgnored", "-Q report.prn", "report.prn", "OFFICE LASER", "Office Laser", 1, false},
    WorkedExample{"LoneDashIsTheFile", "- label", "-", "label", "Label Printer", 1, false},
    WorkedExample{"AFlagAloneIsTheFile", "-D", "-D", "OFFICE LASER", "Office Laser", 1, false},
    WorkedExample{"UnknownPrinter", "report.prn Plotter", "report.prn", "Plotter", "", 0, false},
    WorkedExample{"QuotedNameWithBlanks", "\"a b.prn\"", "a b.prn", "OFFICE LASER", "Office Laser", 1, false},
    WorkedExample{"QuotedNameThenPrinterWords", "-D \"a b.prn\" Label  Printer", "a b.prn", "Label Printer", "Label Printer", 1, true},
    WorkedExample{"PrinterWordsThenQuotedName", "-RC 2 label \"a b.prn\"", "a b.prn", "label", "Label Printer", 2, false},
    WorkedExample{"QuotedPrinterName", "report.prn \" Label Printer \"", "report.prn", "Label Printer", "Label Printer", 1, false}),
    [](const auto& info) { return info.param.name; });
// clang-format on

TEST_F(CommandLineTest, OddCommandLinesPrintNothingAndFail) {
    EXPECT_FALSE(Run("").ok);
    EXPECT_FALSE(Run("-C 99999999999 a.prn").ok);
    EXPECT_FALSE(Run("-C 32767.6 a.prn").ok);
    EXPECT_FALSE(Run("\"  \" \"\"").ok);
    EXPECT_FALSE(RunCommandLine(Args("-C 1 - label"), spooler, files, options, messages, true).ok);
    spooler.defaultEntry.reset();  // "none" stands in for the default, and names no printer
    EXPECT_FALSE(Run("a.prn").ok);
    EXPECT_TRUE(spooler.documents.empty());
    EXPECT_NE(messages.texts().at(1).find("99999999999"), std::string::npos);
    EXPECT_EQ(messages.texts().at(2), "Too many copies: 32767.6 (at most 32767)");
    EXPECT_EQ(messages.texts().at(3), messages.texts().at(0));  // blank arguments are no words
    EXPECT_EQ(messages.texts().at(4), "Nothing to print: standard input is closed.");
    EXPECT_EQ(messages.texts().at(5), "There is an error in the printer name.");
    EXPECT_EQ(messages.texts().at(6),
              "no printer name begins with \"none\"; see vantrel --list-printers");
    EXPECT_EQ(LongOptionWord(Args("--dry-run Label keep.prn")), "--dry-run");
    EXPECT_EQ(LongOptionWord(Args("-C 2 keep.prn --debug")), "--debug");
}

// -D deletes only when every copy was spooled and the file could be deleted; else the run fails
// and the file stays.
TEST_F(CommandLineTest, DeleteOnlyWhenEveryCopyOfThatFileWasSpooled) {
    dir.write("empty.prn", "");
    fs::create_directory(dir.file("sub"));
    spooler.rejecting = {"Label Printer"};
    EXPECT_FALSE(Run("-D empty.prn label").ok);           // no document for 0 bytes, yet refused
    EXPECT_FALSE(Run("-CD 0.5 a.prn NoSuchPrinter").ok);  // 0.5 copies are 1, not 0
    EXPECT_FALSE(Run("-CD 0.5 sub").ok);
    spooler.failDocument = 2;
    EXPECT_EQ(Run("-CD 3 a.prn").copiesSpooled, 1);  // stops at the failed copy
    spooler.failDocument.reset();
    spooler.finishFails = true;
    EXPECT_FALSE(Run("-D a.prn").ok);
    spooler.finishFails = false;
    files.removeError = std::make_error_code(std::errc::permission_denied);
    EXPECT_FALSE(Run("-D a.prn").ok);
    files.removeError.clear();
    spooler.listFails = true;
    EXPECT_FALSE(Run("-D a.prn").ok);
    spooler.listFails = false;
    // What took the name after the last copy was never printed.
    files.beforeDelete = [&](const std::string&) { dir.write("a.prn", "swapped in"); };
    EXPECT_FALSE(Run("-D a.prn").ok);
    files.beforeDelete = nullptr;
    EXPECT_TRUE(Kept("a.prn") && Kept("sub") && Kept("empty.prn"));

    const auto result = Run("-CD 2 a.prn");
    EXPECT_TRUE(result.ok && result.copiesSpooled == 2);
    EXPECT_FALSE(Kept("a.prn"));
    // Taken away by someone else before the delete: gone, as asked.
    dir.write("a.prn", "x");
    files.beforeDelete = [](const std::string& path) { fs::remove(path); };
    EXPECT_TRUE(Run("-D a.prn").ok);
}

// --wait: the print counts, and -D deletes, only once every copy's job completed.
TEST_F(CommandLineTest, WaitingDeletesOnlyWhatCompleted) {
    SteppedClock clock;
    auto waited = [&](const std::string& line, std::optional<int> limit) {
        const JobWait wait{limit ? std::optional(std::chrono::seconds(*limit)) : std::nullopt,
                           &clock};
        return RunCommandLine(Args(line), spooler, files, options, messages, false, wait).ok;
    };
    spooler.jobStates[2] = {{JobState::Processing, {}}, {JobState::Stopped, "paper jam"}};
    EXPECT_FALSE(waited("-CD 2 a.prn label", 9));
    EXPECT_TRUE(Kept("a.prn"));
    EXPECT_EQ(messages.texts(), (std::vector<std::string>{
                                    "job 2 on Label Printer stopped: paper jam",
                                    "Not every copy of a.prn was printed, so the file was kept."}));
    EXPECT_TRUE(waited("-CD 2 a.prn label", {}) && !Kept("a.prn"));
    EXPECT_EQ(spooler.statusAsks[3] + spooler.statusAsks[4], 2);

    EXPECT_EQ(ReadWaitWord("--wait=30").wait.value_or(JobWait{}).limit, std::chrono::seconds(30));
    for (const char* refused : {"--wait=", "--wait=1e3", "--wait=-5", "--wait=1000000000"})
        EXPECT_TRUE(ReadWaitWord(refused).isWait && !ReadWaitWord(refused).wait) << refused;
    EXPECT_FALSE(ReadWaitWord("--waiting").isWait || ReadWaitWord("-wait").isWait);
}

}  // namespace
}  // namespace vantrel::testing

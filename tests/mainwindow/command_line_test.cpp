#include "mainwindow/command_line.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "fakes/fake_printer_system.h"
#include "fakes/hooked_file_system.h"
#include "fakes/recording_messages.h"
#include "printing/printer_selection.h"
#include "support/temp_dir.h"

namespace vantrel::testing {
namespace {

// Runs each command line inside a directory that holds the files it names.
class CommandLineTest : public ::testing::Test {
  protected:
    CommandLineTest() : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir.path());
        spooler.installed = {{"Office Laser", "LPT1:"}, {"Label Printer", "COM2:"}};
        spooler.defaultEntry = "Office Laser,winspool,LPT1:";
    }
    ~CommandLineTest() override { std::filesystem::current_path(previous_); }

    BatchResult Run(const std::string& line) {
        return RunCommandLine(line, spooler, files, live, messages);
    }
    // Calls of the print job: documents started plus printer-name messages.
    std::size_t PrintCalls() const {
        std::size_t calls = spooler.documents.size();
        for (const auto& m : messages.shown) {
            if (m.text == "There is an error in the printer name.") ++calls;
        }
        return calls;
    }

    TempDir dir;
    FakePrinterSystem spooler;
    HookedFileSystem files;
    PlainLiveSettings live;
    RecordingMessages messages;

  private:
    std::filesystem::path previous_;
};

struct WorkedExample {
    std::string line;
    std::string fileName;
    std::string printerName;
    std::string selection;
    std::size_t calls;
    bool deleted;
};

class WorkedExamples : public CommandLineTest,
                       public ::testing::WithParamInterface<WorkedExample> {};

TEST_P(WorkedExamples, ParseAndPrintAsTheGrammarSays) {
    const auto& example = GetParam();
    auto request = ParseCommandLine(example.line, "OFFICE LASER");
    EXPECT_EQ(request.fileName, example.fileName);
    EXPECT_EQ(request.printerName, example.printerName);
    EXPECT_EQ(SelectionForPrinterName(spooler.installed, request.printerName), example.selection);

    dir.write(example.fileName, "raw bytes");
    Run(example.line);
    EXPECT_EQ(PrintCalls(), example.calls);
    for (const auto& doc : spooler.documents) {
        EXPECT_EQ(SelectionForPrinterName(spooler.installed, doc.deviceName), example.selection);
        EXPECT_EQ(doc.data, "raw bytes");
    }
    EXPECT_EQ(!std::filesystem::exists(dir.file(example.fileName)), example.deleted);
}

INSTANTIATE_TEST_SUITE_P(
    TwoPrinters, WorkedExamples,
    ::testing::Values(
        WorkedExample{"report.prn", "report.prn", "OFFICE LASER", "Office Laser - LPT1:", 1, false},
        WorkedExample{"report.prn label", "report.prn", "label", "Label Printer - COM2:", 1, false},
        WorkedExample{"report.prn Label Printer", "report.prn", "Label Printer",
                      "Label Printer - COM2:", 1, false},
        WorkedExample{"-d report.prn", "report.prn", "OFFICE LASER", "Office Laser - LPT1:", 1,
                      true},
        WorkedExample{"-CD 3 report.prn Label Printer", "report.prn", "Label Printer",
                      "Label Printer - COM2:", 3, true},
        WorkedExample{"-R Label Printer report.prn", "report.prn", "Label Printer",
                      "Label Printer - COM2:", 1, false},
        WorkedExample{"-rc 2 Office Laser report.prn", "report.prn", "Office Laser",
                      "Office Laser - LPT1:", 2, false},
        WorkedExample{"-C 0 report.prn", "report.prn", "OFFICE LASER", "Office Laser - LPT1:", 1,
                      false},
        WorkedExample{"-C 2.5 report.prn", "report.prn", "OFFICE LASER", "Office Laser - LPT1:", 2,
                      false},
        WorkedExample{"-C 0.4 -x report.prn", "-x", "report.prn", "None", 1, false},
        WorkedExample{"-C report.prn", "report.prn", "OFFICE LASER", "Office Laser - LPT1:", 1,
                      false},
        WorkedExample{"-Q report.prn", "report.prn", "OFFICE LASER", "Office Laser - LPT1:", 1,
                      false},
        WorkedExample{"-D", "-D", "OFFICE LASER", "Office Laser - LPT1:", 1, false},
        WorkedExample{"report.prn Plotter", "report.prn", "Plotter", "None", 1, false}));

TEST_F(CommandLineTest, CopiesRoundHalvesToEvenAndNonPositiveMeansOne) {
    for (auto [text, copies] : std::vector<std::pair<std::string, int>>{{"2", 2},
                                                                        {"2.5", 2},
                                                                        {"3.5", 4},
                                                                        {"0.4", 1},
                                                                        {"0.5", 1},
                                                                        {"0", 1},
                                                                        {"-1", 1},
                                                                        {"x", 1},
                                                                        {"1e-400", 1}}) {
        EXPECT_EQ(BatchCopies(text), copies) << text;
    }
    EXPECT_EQ(BatchCopies("2147483647"), 2147483647);
    EXPECT_EQ(BatchCopies("2147483648"), std::nullopt);
    EXPECT_EQ(BatchCopies("1e30"), std::nullopt);
}

TEST_F(CommandLineTest, OddCommandLinesPrintNothingAndFail) {
    dir.write("a.prn", "x");
    EXPECT_FALSE(Run("").ok);
    EXPECT_FALSE(Run("-C 99999999999 a.prn").ok);
    EXPECT_TRUE(spooler.documents.empty());
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_NE(messages.shown[1].text.find("99999999999"), std::string::npos);
}

TEST_F(CommandLineTest, GuessedLongOptionsAreFound) {
    for (auto [line, word] :
         std::vector<std::pair<std::string, std::string>>{{"--dry-run Label keep.prn", "--dry-run"},
                                                          {"-C 2 keep.prn --debug", "--debug"},
                                                          {"-d keep.prn", ""},
                                                          {"- keep.prn", ""}}) {
        EXPECT_EQ(LongOptionWord(line).value_or(""), word) << line;
    }
}

TEST_F(CommandLineTest, ZeroCopiesNeverDeleteAndOnlyPlainFilesGo) {
    auto path = dir.write("a.prn", "x");
    EXPECT_FALSE(Run("-CD 0.5 a.prn NoSuchPrinter").ok);
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(messages.shown.at(1).text,
              "no printer name begins with \"NoSuchPrinter\"; see vantrel --list-printers");

    std::filesystem::create_directory(dir.file("sub"));
    EXPECT_FALSE(Run("-CD 0.5 sub").ok);
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("sub")));
    EXPECT_NE(messages.texts().at(messages.shown.size() - 2).find("(is a directory)"),
              std::string::npos);
}

// A producer that writes a fixed name renames new content into place, or appends, while the
// old content is sent: the new content must survive -D.
TEST_F(CommandLineTest, AFileThatChangedWhilePrintedIsKept) {
    const auto path = dir.write("a.prn", PatternBytes(40000));
    const std::vector<std::function<void()>> changes = {
        [&] {
            dir.write("new.prn", "new content");
            std::filesystem::rename(dir.file("new.prn"), path);
        },
        [&] { std::ofstream(path, std::ios::app) << "more"; }};
    for (const auto& change : changes) {
        files.afterRead = [&](int read, const std::string&) {
            if (read == 3) change();  // after the last chunk was read
        };
        const std::string before = ReadFile(path);
        auto result = Run("-D a.prn");
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.copiesSpooled, 1);
        EXPECT_TRUE(std::filesystem::exists(path));
        EXPECT_EQ(messages.texts().back(), "a.prn changed while it was printed, so it was kept.");
        dir.write("a.prn", PatternBytes(40000));
    }
}

TEST_F(CommandLineTest, AFileCutShortWhilePrintedCountsAsUnreadAndIsKept) {
    const auto path = dir.write("a.prn", PatternBytes(40000));
    files.afterRead = [&](int read, const std::string&) {
        if (read == 1) std::filesystem::resize_file(path, 20000);
    };
    EXPECT_FALSE(Run("-D a.prn").ok);
    EXPECT_TRUE(spooler.printed().empty());
    EXPECT_TRUE(spooler.documents.at(0).cancelled);
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_NE(messages.texts().at(0).find("cut short while it was printed (20000 of 40000"),
              std::string::npos);
}

TEST_F(CommandLineTest, AFailedCopyEndsTheRunAndSaysHowManyWereSpooled) {
    spooler.failDocument = 2;
    dir.write("a.prn", "x");
    auto result = Run("-CD 2147483647 a.prn");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.copiesSpooled, 1);
    EXPECT_EQ(messages.shown.size(), 3u);  // the failure, the count, the file kept
    EXPECT_NE(messages.texts().at(1).find("1 of 2147483647 copies"), std::string::npos);
}

TEST_F(CommandLineTest, AnEmptyFileOnAQueueThatTakesNoJobsIsNotPrinted) {
    auto path = dir.write("empty.prn", "");
    spooler.rejecting = {"Label Printer"};
    EXPECT_FALSE(Run("-D empty.prn label").ok);
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_TRUE(Run("-D empty.prn").ok);
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(CommandLineTest, LoneDashIsAnEmptyOptionGroup) {
    auto request = ParseCommandLine("- 3 report.prn", "OFFICE LASER");
    EXPECT_FALSE(request.copiesFollow);
    EXPECT_EQ(request.fileName, "3");
    EXPECT_EQ(request.printerName, "report.prn");
}

TEST_F(CommandLineTest, DeleteOnlyAfterEveryCopyWasSpooled) {
    auto path = dir.write("a.prn", "x");
    auto result = Run("-D a.prn Plotter");
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(messages.texts().back(),
              "Not every copy of a.prn was printed, so the file was kept.");

    spooler.failWriteAfterBytes = 0;
    EXPECT_FALSE(Run("-CD 2 a.prn").ok);
    EXPECT_TRUE(std::filesystem::exists(path));

    spooler.failWriteAfterBytes.reset();
    result = Run("-CD 2 a.prn");
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.copiesSpooled, 2);
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(CommandLineTest, MissingFileFailsWithItsName) {
    auto result = Run("nothere.prn");
    EXPECT_FALSE(result.ok);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("nothere.prn"), std::string::npos);
}

TEST_F(CommandLineTest, NoDefaultPrinterMatchesNothing) {
    dir.write("a.prn", "x");
    spooler.defaultEntry.reset();
    EXPECT_FALSE(Run("-C 2 a.prn").ok);
    EXPECT_EQ(messages.texts().at(0), "There is an error in the printer name.");
    EXPECT_EQ(messages.texts().at(2),
              "no printer name begins with \"none\"; see vantrel --list-printers");
}

TEST_F(CommandLineTest, UnreachableSpoolerFailsAndKeepsTheFile) {
    auto path = dir.write("a.prn", "x");
    spooler.listFails = true;
    EXPECT_FALSE(Run("-D a.prn").ok);
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(messages.texts(),
              std::vector<std::string>{"The print spooler cannot be reached: the print server is "
                                       "not running"});
}

TEST_F(CommandLineTest, StoredEjectFlagAppliesToBatchJobs) {
    dir.write("a.prn", "x");
    live.setPageEject(1);
    EXPECT_TRUE(Run("a.prn").ok);
    ASSERT_EQ(spooler.printed().size(), 1u);
    EXPECT_EQ(spooler.printed()[0].data, "x\x0c");
}

}  // namespace
}  // namespace vantrel::testing

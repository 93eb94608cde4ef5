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

namespace fs = std::filesystem;

// Runs each command line inside a directory that holds the files it names.
class CommandLineTest : public ::testing::Test {
  protected:
    CommandLineTest() : previous_(fs::current_path()) {
        fs::current_path(dir.path());
        spooler.installed = {{"Office Laser", "LPT1:"}, {"Label Printer", "COM2:"}};
        spooler.defaultEntry = "Office Laser,winspool,LPT1:";
    }
    ~CommandLineTest() override { fs::current_path(previous_); }

    BatchResult Run(const std::string& line) {
        return RunCommandLine(line, spooler, files, live, messages);
    }
    bool Kept(const std::string& name) const { return fs::exists(dir.file(name)); }

    TempDir dir;
    FakePrinterSystem spooler;
    HookedFileSystem files;
    PlainLiveSettings live;
    RecordingMessages messages;

  private:
    fs::path previous_;
};

struct WorkedExample {
    std::string name, line, fileName, printerName, selection;
    std::size_t documents;
    bool deleted;
};

class WorkedExamples : public CommandLineTest,
                       public ::testing::WithParamInterface<WorkedExample> {};

TEST_P(WorkedExamples, ParseAndPrintAsTheGrammarSays) {
    const auto& example = GetParam();
    auto request = ParseCommandLine(example.line, "OFFICE LASER");
    EXPECT_EQ(request.fileName, example.fileName);
    EXPECT_EQ(request.printerName, example.printerName);
    dir.write(example.fileName, "raw bytes");
    Run(example.line);
    ASSERT_EQ(spooler.printed().size(), example.documents);
    for (const auto& doc : spooler.printed()) {
        EXPECT_EQ(SelectionForPrinterName(spooler.installed, doc.deviceName), example.selection);
        EXPECT_EQ(doc.data, "raw bytes");
    }
    EXPECT_EQ(!Kept(example.fileName), example.deleted);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(TwoPrinters, WorkedExamples, ::testing::Values(
    WorkedExample{"PlainFile", "report.prn", "report.prn", "OFFICE LASER", "Office Laser - LPT1:", 1, false},
    WorkedExample{"PrinterAfterFile", "report.prn label", "report.prn", "label", "Label Printer - COM2:", 1, false},
    WorkedExample{"PrinterWithBlanks", "report.prn Label Printer", "report.prn", "Label Printer", "Label Printer - COM2:", 1, false},
    WorkedExample{"LowerCaseDelete", "-d report.prn", "report.prn", "OFFICE LASER", "Office Laser - LPT1:", 1, true},
    WorkedExample{"CopiesDeleteAndPrinter", "-CD 3 report.prn Label Printer", "report.prn", "Label Printer", "Label Printer - COM2:", 3, true},
    WorkedExample{"PrinterFirst", "-R Label Printer report.prn", "report.prn", "Label Printer", "Label Printer - COM2:", 1, false},
    WorkedExample{"CopiesAndPrinterFirst", "-rc 2 Office Laser report.prn", "report.prn", "Office Laser", "Office Laser - LPT1:", 2, false},
    WorkedExample{"ZeroCopiesIsOne", "-C 0 report.prn", "report.prn", "OFFICE LASER", "Office Laser - LPT1:", 1, false},
    WorkedExample{"HalfCopiesToEven", "-C 2.5 report.prn", "report.prn", "OFFICE LASER", "Office Laser - LPT1:", 2, false},
    WorkedExample{"UnknownFlagEndsTheFlags", "-C 0.4 -x report.prn", "-x", "report.prn", "None", 0, false},
    WorkedExample{"CopiesWithoutNumber", "-C report.prn", "report.prn", "OFFICE LASER", "Office Laser - LPT1:", 1, false},
    WorkedExample{"UnknownLetterIgnored", "-Q report.prn", "report.prn", "OFFICE LASER", "Office Laser - LPT1:", 1, false},
    WorkedExample{"LoneDash", "- 3 report.prn", "3", "report.prn", "None", 0, false},
    WorkedExample{"AFlagAloneIsTheFile", "-D", "-D", "OFFICE LASER", "Office Laser - LPT1:", 1, false},
    WorkedExample{"UnknownPrinter", "report.prn Plotter", "report.prn", "Plotter", "None", 0, false}),
    [](const auto& info) { return info.param.name; });
// clang-format on

TEST_F(CommandLineTest, CopiesRoundHalvesToEvenAndBelowOneIsOne) {
    const std::pair<const char*, int> kCopies[] = {
        {"2", 2}, {"2.5", 2}, {"3.5", 4}, {"0.4", 1},    {"0.5", 1},
        {"0", 1}, {"-1", 1},  {"x", 1},   {"1e-400", 1}, {"2147483647", 2147483647}};
    for (auto [text, copies] : kCopies) EXPECT_EQ(BatchCopies(text), copies) << text;
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
    EXPECT_EQ(LongOptionWord("--dry-run Label keep.prn"), "--dry-run");
    EXPECT_EQ(LongOptionWord("-C 2 keep.prn --debug"), "--debug");
    EXPECT_EQ(LongOptionWord("-d - keep.prn"), std::nullopt);
}

TEST_F(CommandLineTest, DeleteOnlyWhenEveryCopyOfThatFileWasSpooled) {
    dir.write("a.prn", "x");
    EXPECT_FALSE(Run("-CD 0.5 a.prn NoSuchPrinter").ok);  // 0.5 copies are 1, not 0
    EXPECT_EQ(messages.texts().at(1),
              "no printer name begins with \"NoSuchPrinter\"; see vantrel --list-printers");
    spooler.failDocument = 2;
    auto result = Run("-CD 2147483647 a.prn");  // stops at the failed copy
    EXPECT_EQ(result.copiesSpooled, 1);
    EXPECT_NE(messages.texts().at(messages.shown.size() - 2).find("1 of 2147483647 copies"),
              std::string::npos);
    EXPECT_EQ(messages.texts().back(),
              "Not every copy of a.prn was printed, so the file was kept.");
    fs::create_directory(dir.file("sub"));
    EXPECT_FALSE(Run("-CD 0.5 sub").ok);
    EXPECT_TRUE(Kept("a.prn") && Kept("sub"));

    spooler.failDocument.reset();
    files.removeError = std::make_error_code(std::errc::permission_denied);
    EXPECT_FALSE(Run("-D a.prn").ok);  // printed, but not deleted as asked
    files.removeError.clear();
    result = Run("-CD 2 a.prn");
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.copiesSpooled, 2);
    EXPECT_FALSE(Kept("a.prn"));
}

// A producer that writes a fixed name renames new content into place, or appends, while the
// old content is sent: the new content must survive -D.
TEST_F(CommandLineTest, AFileThatChangedWhilePrintedIsKept) {
    const auto path = dir.write("a.prn", PatternBytes(40000));
    auto renameNew = [&] {
        dir.write("new.prn", "new content");
        std::error_code busy;  // Windows lets no file that is being read be replaced
        fs::rename(dir.file("new.prn"), path, busy);
        if (busy) dir.write("a.prn", "new content");
    };
    auto append = [&] { std::ofstream(path, std::ios::app) << "more"; };
    const std::function<void()> changes[] = {renameNew, append};
    for (const auto& change : changes) {
        files.afterRead = [&](int read, const std::string&) {
            if (read == 3) change();  // after the last chunk was read
        };
        auto result = Run("-D a.prn");
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.copiesSpooled, 1);
        EXPECT_TRUE(Kept("a.prn"));
        EXPECT_EQ(messages.texts().back(), "a.prn changed while it was printed, so it was kept.");
        dir.write("a.prn", PatternBytes(40000));
    }
}

TEST_F(CommandLineTest, NoPrinterOrNoSpoolerPrintsNothingAndKeepsTheFile) {
    dir.write("a.prn", "x");
    dir.write("empty.prn", "");
    spooler.rejecting = {"Label Printer"};
    EXPECT_FALSE(Run("-D empty.prn label").ok);  // no document for 0 bytes, yet refused
    spooler.defaultEntry.reset();
    EXPECT_FALSE(Run("-D a.prn").ok);
    EXPECT_EQ(messages.texts().back(),
              "Not every copy of a.prn was printed, so the file was kept.");
    spooler.listFails = true;
    EXPECT_FALSE(Run("-D a.prn").ok);
    EXPECT_EQ(messages.texts().back(),
              "The print spooler cannot be reached: the print server is not running");
    EXPECT_TRUE(Kept("a.prn") && Kept("empty.prn"));
    EXPECT_TRUE(spooler.documents.empty());
}

}  // namespace
}  // namespace vantrel::testing

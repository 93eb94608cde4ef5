#include "mainwindow/print_press.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <thread>

#include "mainwindow/jobs_line.h"
#include "platform/path_separator.h"
#include "support/print_rig.h"
#include "text/runtime_text.h"

namespace vantrel::testing {
namespace {

namespace fs = std::filesystem;

// The window as the press sees it: files in "src", copies into "copies".
class PrintPressTest : public PrintRig, public PrintPressView {
  protected:
    PrintPressTest() {
        spooler.installed = {{"Label", "COM1:"}};
        fs::create_directory(dir.path() / "src");
        fs::create_directory(dir.path() / "copies");
        settings.copyDir = dir.file("copies");
    }
    int fileListIndex() const override { return current; }
    std::vector<std::string> fileEntries() const override { return entries; }
    std::vector<bool> fileSelection() const override { return selected; }
    int printerListIndex() const override { return printerIndex; }
    std::string selectedPrinter() const override { return "Label - COM1:"; }
    std::string copiesText() const override { return copies; }
    std::optional<AfterPrintAction> chosenAction() const override { return action; }
    std::string currentDirectory() const override { return dir.file("src"); }  // no separator
    void refreshLists() override { ++refreshes; }

    std::string Source(const std::string& name) { return (dir.path() / "src" / name).string(); }
    std::string Copy(const std::string& name) { return (dir.path() / "copies" / name).string(); }
    void AddFiles(std::initializer_list<std::string> names) {
        for (const auto& name : names) {
            dir.write("src/" + name, "data of " + name);
            entries.push_back(name);
            selected.push_back(true);
        }
    }
    // A whole press at once.
    PressResult Press() {
        PrintPress press(*this, spooler, files, settings, messages);
        if (!press.start()) return PressResult::Refused;
        while (press.workFor(std::chrono::milliseconds::max())) {
        }
        return press.result();
    }

    int current = 0;
    std::vector<std::string> entries;
    std::vector<bool> selected;
    int printerIndex = 0;
    std::string copies = "1";
    std::optional<AfterPrintAction> action = AfterPrintAction::Leave;
    int refreshes = 0;
    Settings settings;
};

// Only the first thing missing is said, and nothing is printed.
TEST_F(PrintPressTest, RefusesWithoutAFileAPrinterOrAUsableCopiesCount) {
    AddFiles({"a.prn"});
    const std::string kCopies = "Invalid number of Copies.";
    const std::tuple<int, int, std::string, std::string> kCases[] = {
        {-1, -1, "0", "Must Pick a File."},
        {0, -1, "0", "Must Pick a Printer."},
        {0, 0, "0", kCopies},
        {0, 0, "40000", kCopies}};
    for (const auto& [file, printer, count, text] : kCases) {
        current = file;
        printerIndex = printer;
        copies = count;
        messages.shown.clear();
        EXPECT_EQ(Press(), PressResult::Refused) << count;
        EXPECT_EQ(messages.texts(), std::vector<std::string>{text}) << count;
    }
    EXPECT_EQ(refreshes, 0);
}

// The form feed follows each document only while "Eject page between jobs" is ticked, not greyed.
TEST_F(PrintPressTest, EverySelectedFileIsPrintedInItsCopiesThenLeft) {
    AddFiles({"a.prn", "b.prn", "c.prn"});
    selected[1] = false;
    current = 1;            // the current entry, unselected, is not printed
    copies = "2.5 copies";  // the leading number, halves to even: two copies
    settings.pageEject = CheckState::Greyed;
    EXPECT_EQ(Press(), PressResult::Completed);
    ASSERT_EQ(spooler.printed().size(), 4u);
    EXPECT_EQ(spooler.printed()[2].data, "data of c.prn");
    settings.pageEject = CheckState::Ticked;
    EXPECT_EQ(Press(), PressResult::Completed);
    EXPECT_EQ(spooler.printed().at(4).data, "data of a.prn\f");
    EXPECT_TRUE(fs::exists(Source("a.prn")));
    EXPECT_EQ(refreshes, 2);
}

// A slice whose budget is spent takes no second file; a stop ends the press after the file in
// progress. A spooler call after a pause longer than the answer time lets the window answer
// first: here the pause follows the only read, and the next call starts the document.
TEST_F(PrintPressTest, SlicesEndWithTheirBudgetAndAnswerBeforeASpoolerCall) {
    AddFiles({"a.prn", "b.prn", "c.prn"});
    std::vector<std::size_t> answeredAt;  // documents started when the window answered
    PrintPress press(*this, spooler, files, settings, messages,
                     [&] { answeredAt.push_back(spooler.documents.size()); });
    files.afterRead = [](int, const std::string&) {
        std::this_thread::sleep_for(PrintPress::kAnswerEvery * 2);
    };
    ASSERT_TRUE(press.start());
    EXPECT_TRUE(press.workFor(std::chrono::milliseconds(0)));
    EXPECT_EQ(press.progress(), (PrintPress::Progress{1, 3, 1}));
    EXPECT_EQ(answeredAt, std::vector<std::size_t>{0});
    press.stop();
    EXPECT_FALSE(press.workFor(std::chrono::milliseconds(60'000)));
    EXPECT_EQ(press.result(), PressResult::Stopped);
    EXPECT_EQ(spooler.printed().size(), 1u);
}

// Delete removes the printed files and Move leaves them in the copy directory only; a file that
// went meanwhile stops the press before the next one.
TEST_F(PrintPressTest, DeleteRemovesAndMoveEndsInTheCopyDirectoryOnly) {
    AddFiles({"a.prn", "b.prn", "c.prn"});
    fs::remove(Source("b.prn"));
    action = AfterPrintAction::Delete;
    EXPECT_EQ(Press(), PressResult::Stopped);
    EXPECT_EQ(messages.texts(),
              std::vector<std::string>{"Can't find file: " + Source(PrintName("b.prn"))});
    EXPECT_FALSE(fs::exists(Source("a.prn")));

    selected = {false, false, true};
    action = AfterPrintAction::Move;
    settings.copyDir = settings.copyDir + "/";  // with or without the separator
    EXPECT_EQ(Press(), PressResult::Completed);
    EXPECT_FALSE(fs::exists(Source("c.prn")));
    EXPECT_EQ(ReadFile(Copy("c.prn")), "data of c.prn");
}

// The copy is made only into another directory that exists, replacing a file there only when
// the user says so and the printed file did not change while the question stood open.
TEST_F(PrintPressTest, MoveStopsWhenTheCopyCannotOrMayNotBeMade) {
    AddFiles({"a.prn", "b.prn"});
    action = AfterPrintAction::Move;
    settings.copyDir = dir.file("nowhere");
    EXPECT_EQ(Press(), PressResult::Stopped);
    EXPECT_EQ(messages.texts().back(), "The Copy To Directory Does Not Exist. File Not Moved");
    settings.copyDir = currentDirectory();
    EXPECT_EQ(Press(), PressResult::Stopped);
    EXPECT_EQ(ReadFile(Source("a.prn")), "data of a.prn");

    settings.copyDir = dir.file("copies");
    dir.write("copies/a.prn", "older");
    messages.answers = {MsgAnswer::No};
    EXPECT_EQ(Press(), PressResult::Stopped);
    EXPECT_EQ(messages.texts().back(), "File " + PrintName("a.prn") +
                                           " Already Exists in Copy Directory " + settings.copyDir +
                                           kPathSeparator + ", Overwrite?");
    EXPECT_EQ(ReadFile(Copy("a.prn")), "older");
    EXPECT_EQ(spooler.printed().size(), 3u);  // b was not printed
    messages.whileShown = [&] { dir.write("src/a.prn", "changed"); };
    EXPECT_EQ(Press(), PressResult::Stopped);
    EXPECT_EQ(ReadFile(Source("a.prn")), "changed");
    messages.whileShown = nullptr;
    EXPECT_EQ(Press(), PressResult::Completed);
    EXPECT_EQ(ReadFile(Copy("a.prn")), "changed");
    EXPECT_FALSE(fs::exists(Source("a.prn")) || fs::exists(Source("b.prn")));
}

// Deleted only after every copy, and only while it is still the file that was printed.
TEST_F(PrintPressTest, PartlyPrintedOrChangedFilesAreNeitherDeletedNorMoved) {
    AddFiles({"a.prn", "b.prn"});
    copies = "3";
    spooler.failDocument = 2;
    for (auto goes : {AfterPrintAction::Delete, AfterPrintAction::Move}) {
        action = goes;
        EXPECT_EQ(Press(), PressResult::Stopped);
        EXPECT_TRUE(fs::exists(Source("a.prn")) && fs::exists(Source("b.prn")));
        EXPECT_FALSE(fs::exists(Copy("a.prn")));
    }
    selected = {true, false};
    spooler.failDocument.reset();
    copies = "1";
    files.afterRead = [&](int, const std::string&) { dir.write("src/a.prn", "appended"); };
    EXPECT_EQ(Press(), PressResult::Stopped);
    EXPECT_EQ(ReadFile(Source("a.prn")), "appended");

    // What took the name after the last copy was never printed: it stays.
    for (auto goes : {AfterPrintAction::Delete, AfterPrintAction::Move}) {
        action = goes;
        const std::string swapped = std::string("swapped in ") + AfterPrintActionName(goes);
        files.afterRead = nullptr;
        files.beforeDelete = [&](const std::string&) { dir.write("src/a.prn", swapped); };
        EXPECT_EQ(Press(), PressResult::Stopped);
        EXPECT_EQ(ReadFile(Source("a.prn")), swapped);
    }
    // Nor is what took the name after the print copied for it.
    files.beforeDelete = nullptr;
    fs::remove(Copy("a.prn"));
    spooler.afterFinish = [&] { dir.write("src/a.prn", "swapped after the print"); };
    EXPECT_EQ(Press(), PressResult::Stopped);
    EXPECT_FALSE(fs::exists(Copy("a.prn")));
}

// Every spooled copy's job is followed: the line says so while one waits on a paused queue, and
// once all ended how many printed, or how many ended as the first failed one, where and why.
TEST_F(PrintPressTest, TheJobsLineTellsHowTheSpooledJobsEnded) {
    AddFiles({"a.prn"});
    copies = "2";
    const JobStatus kHeld{JobState::Held, {}}, kDone{JobState::Completed, {}};
    const JobStatus kAborted{JobState::Aborted, "jammed"}, kGone{JobState::Unknown, {}};
    const JobStatus kLeft{JobState::LeftQueue, {}};
    const std::tuple<std::map<int, std::vector<JobStatus>>, std::string, JobsLine> kCases[] = {
        {{}, "", {"2 of 2 printed", false}},
        {{{2, {kHeld, kDone}}}, "Label is paused: the jobs wait in its queue", {"2 of 2 printed"}},
        {{{2, {kAborted}}}, "", {"1 of 2 aborted at Label: jammed", true}},
        {{{1, {kLeft}}}, "", {"2 of 2 sent to the printer", false}},
        {{{1, {kGone}}, {2, {kAborted}}}, "", {"1 of 2 completion unknown at Label", true}}};
    for (const auto& [states, first, last] : kCases) {
        for (const auto& [job, script] : states)
            spooler.jobStates[int(spooler.printed().size()) + job] = script;
        PrintPress press(*this, spooler, files, settings, messages);
        ASSERT_TRUE(press.start() && !press.workFor(std::chrono::milliseconds::max()));
        JobFollower follower(press.spooledJobs(), {});
        auto due = follower.step(spooler, {});
        // A job that ended at the first ask is told at once.
        EXPECT_EQ(JobsLineOf(follower.jobs()).text, first.empty() ? last.text : first);
        while (due) due = follower.step(spooler, *due);
        EXPECT_EQ(JobsLineOf(follower.jobs()), last);
    }
}

}  // namespace
}  // namespace vantrel::testing

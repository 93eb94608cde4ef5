#include "mainwindow/print_press.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "fakes/fake_printer_system.h"
#include "fakes/hooked_file_system.h"
#include "fakes/recording_messages.h"
#include "support/temp_dir.h"

namespace vantrel::testing {
namespace {

namespace fs = std::filesystem;

class FakeView : public PrintPressView {
  public:
    int current = 0;
    std::vector<std::string> entries;
    std::vector<bool> selected;
    int printerIndex = 0;
    std::string printer = "Label - COM1:";
    std::string copies = "1";
    int action = kActionLeave;
    std::string directory;
    int refreshes = 0;

    int fileListIndex() const override { return current; }
    std::vector<std::string> fileEntries() const override { return entries; }
    std::vector<bool> fileSelection() const override { return selected; }
    int printerListIndex() const override { return printerIndex; }
    std::string selectedPrinter() const override { return printer; }
    std::string copiesText() const override { return copies; }
    int actionIndex() const override { return action; }
    std::string currentDirectory() const override { return directory; }
    void refreshLists() override { ++refreshes; }
};

class PrintPressTest : public ::testing::Test {
  protected:
    PrintPressTest() {
        spooler.installed = {{"Label", "COM1:"}};
        fs::create_directory(dir.path() / "src");
        fs::create_directory(dir.path() / "copies");
        view.directory = (dir.path() / "src").string();  // no trailing separator
        live.setCopyDir((dir.path() / "copies").string());
    }
    std::string Source(const std::string& name) { return (dir.path() / "src" / name).string(); }
    std::string Copy(const std::string& name) { return (dir.path() / "copies" / name).string(); }
    void AddFiles(std::initializer_list<std::string> names) {
        for (const auto& name : names) {
            dir.write("src/" + name, "data of " + name);
            view.entries.push_back(name);
            view.selected.push_back(true);
        }
    }
    PressResult Press() { return PressPrint(view, spooler, files, live, messages); }

    TempDir dir;
    FakePrinterSystem spooler;
    HookedFileSystem files;
    PlainLiveSettings live;
    RecordingMessages messages;
    FakeView view;
};

TEST_F(PrintPressTest, RefusalsComeInOrderAndOnlyTheFirstIsShown) {
    AddFiles({"a.prn"});
    view.current = -1;
    view.printerIndex = -1;
    view.copies = "0";
    EXPECT_EQ(Press(), PressResult::Refused);
    view.current = 0;
    EXPECT_EQ(Press(), PressResult::Refused);
    view.printerIndex = 0;
    for (auto bad : {"0", "0.4", "-1", "abc", "", "40000"}) {
        view.copies = bad;
        EXPECT_EQ(Press(), PressResult::Refused) << bad;
    }
    ASSERT_EQ(messages.shown.size(), 8u);
    EXPECT_EQ(messages.shown[0].text, "Must Pick a File.");
    EXPECT_EQ(messages.shown[1].text, "Must Pick a Printer.");
    EXPECT_EQ(messages.shown[2].text, "Invalid number of Copies.");
    EXPECT_EQ(messages.shown[2].style, MsgStyle::OkCancel);
    EXPECT_TRUE(spooler.documents.empty());
    EXPECT_EQ(view.refreshes, 0);
}

TEST_F(PrintPressTest, EverySelectedFileIsPrintedInItsCopiesThenLeft) {
    AddFiles({"a.prn", "b.prn", "c.prn"});
    view.selected[1] = false;
    view.copies = "2.5 copies";  // the leading number, halves to even: two copies
    EXPECT_EQ(Press(), PressResult::Completed);
    ASSERT_EQ(spooler.printed().size(), 4u);
    EXPECT_EQ(spooler.printed()[0].data, "data of a.prn");
    EXPECT_EQ(spooler.printed()[2].data, "data of c.prn");
    EXPECT_TRUE(fs::exists(Source("a.prn")));
    EXPECT_EQ(view.refreshes, 1);
}

TEST_F(PrintPressTest, DeleteRemovesAndMoveEndsInTheCopyDirectoryOnly) {
    AddFiles({"a.prn", "b.prn"});
    view.action = kActionDelete;
    EXPECT_EQ(Press(), PressResult::Completed);
    EXPECT_FALSE(fs::exists(Source("a.prn")));
    EXPECT_FALSE(fs::exists(Source("b.prn")));

    view.entries.clear();
    view.selected.clear();
    AddFiles({"c.prn", "d.prn", "e.prn"});
    view.action = kActionMove;
    live.setCopyDir(live.copyDir() + "/");  // with or without the separator
    EXPECT_EQ(Press(), PressResult::Completed);
    for (auto name : {"c.prn", "d.prn", "e.prn"}) {
        EXPECT_FALSE(fs::exists(Source(name)));
        EXPECT_EQ(ReadFile(Copy(name)), std::string("data of ") + name);
    }
}

TEST_F(PrintPressTest, OverwriteNoStopsBeforeTheNextFileAndYesReplaces) {
    AddFiles({"a.prn", "b.prn"});
    dir.write("copies/a.prn", "older");
    view.action = kActionMove;
    messages.answers = {MsgAnswer::No};
    EXPECT_EQ(Press(), PressResult::Stopped);
    EXPECT_EQ(ReadFile(Copy("a.prn")), "older");
    EXPECT_TRUE(fs::exists(Source("a.prn")));
    EXPECT_TRUE(fs::exists(Source("b.prn")));
    EXPECT_EQ(spooler.printed().size(), 1u);  // b was not printed
    EXPECT_EQ(messages.shown.back().text, "File Already Exists in Copy Directory, Overwrite?");
    EXPECT_EQ(view.refreshes, 0);

    messages.answers = {MsgAnswer::Yes};
    EXPECT_EQ(Press(), PressResult::Completed);
    EXPECT_EQ(ReadFile(Copy("a.prn")), "data of a.prn");
    EXPECT_FALSE(fs::exists(Source("a.prn")));
}

TEST_F(PrintPressTest, MoveKeepsTheFileWhenTheCopyCannotBeMade) {
    AddFiles({"a.prn"});
    view.action = kActionMove;
    live.setCopyDir((dir.path() / "nowhere").string());
    EXPECT_EQ(Press(), PressResult::Stopped);
    EXPECT_EQ(messages.texts().back(), "The Copy To Directory Does Not Exist. File Not Moved");
    EXPECT_TRUE(fs::exists(Source("a.prn")));

    live.setCopyDir(view.directory);  // its own directory
    EXPECT_EQ(Press(), PressResult::Stopped);
    EXPECT_EQ(ReadFile(Source("a.prn")), "data of a.prn");
}

// Deleted only after every copy, and only while it is still the file that was printed.
TEST_F(PrintPressTest, PartlyPrintedOrChangedFilesAreNeitherDeletedNorMoved) {
    AddFiles({"a.prn", "b.prn"});
    view.copies = "3";
    spooler.failDocument = 2;
    for (int action : {kActionDelete, kActionMove}) {
        view.action = action;
        EXPECT_EQ(Press(), PressResult::Stopped);
        EXPECT_TRUE(fs::exists(Source("a.prn")) && fs::exists(Source("b.prn")));
        EXPECT_FALSE(fs::exists(Copy("a.prn")));
    }
    view.selected = {true, false};
    spooler.failDocument.reset();
    view.copies = "1";
    files.afterRead = [&](int, const std::string&) { dir.write("src/a.prn", "appended"); };
    EXPECT_EQ(Press(), PressResult::Stopped);
    EXPECT_EQ(ReadFile(Source("a.prn")), "appended");
    EXPECT_EQ(messages.texts().back(),
              Source(PrintName("a.prn")) + " changed while it was printed, so it was kept.");
}

TEST_F(PrintPressTest, VanishedFileStopsWithItsPath) {
    AddFiles({"a.prn", "b.prn", "c.prn"});
    fs::remove(Source("b.prn"));
    view.action = kActionDelete;
    EXPECT_EQ(Press(), PressResult::Stopped);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Can't find file: " + Source(PrintName("b.prn")));
    EXPECT_EQ(messages.shown[0].style, MsgStyle::Exclamation);
    EXPECT_EQ(messages.shown[0].caption, "Error");
    EXPECT_FALSE(fs::exists(Source("a.prn")));
    EXPECT_TRUE(fs::exists(Source("c.prn")));
    EXPECT_EQ(view.refreshes, 0);
}

TEST_F(PrintPressTest, CurrentEntryWithoutSelectionJustRefreshes) {
    AddFiles({"a.prn"});
    view.selected = {false};
    EXPECT_EQ(Press(), PressResult::Completed);
    EXPECT_TRUE(spooler.documents.empty());
    EXPECT_EQ(view.refreshes, 1);
}

}  // namespace
}  // namespace vantrel::testing

#include "mainwindow/autoprint_watcher.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "fakes/fake_printer_system.h"
#include "fakes/hooked_file_system.h"
#include "fakes/recording_messages.h"
#include "support/temp_dir.h"

namespace vantrel::testing {
namespace {

namespace fs = std::filesystem;

// Answers every message, and can run something while the box would be open.
class MessagesWithHook : public RecordingMessages {
  public:
    std::function<void()> whileShown;
    MsgAnswer show(const std::string& text, int style, const std::string& caption) override {
        if (whileShown) whileShown();
        return RecordingMessages::show(text, style, caption);
    }
};

class AutoPrintTest : public ::testing::Test {
  protected:
    AutoPrintTest()
        : drop((dir.path() / "RawSpool").string()),
          watcher(
              drop, spooler, files, live, messages, [this] { return copies; }, record) {
        fs::create_directory(drop);
        spooler.installed = {
            {"Office Laser", "LPT1:"}, {"Label Printer", "COM2:"}, {"Label Printer 2", "COM3:"}};
        spooler.defaultEntry = "label printer,winspool,COM2:";
    }
    std::string Drop(const std::string& name) { return (fs::path(drop) / name).string(); }
    void Put(const std::string& name, const std::string& bytes) {
        std::ofstream(Drop(name), std::ios::binary) << bytes;
    }
    // Two ticks: the first sees the files, the second takes those that did not change.
    void TwoTicks() {
        watcher.tick();
        watcher.tick();
    }

    TempDir dir;
    std::string drop;
    FakePrinterSystem spooler;
    HookedFileSystem files;
    PlainLiveSettings live;
    MessagesWithHook messages;
    std::string copies = "1";
    std::string record = dir.file("state/autoprint-kept");
    AutoPrintWatcher watcher;
};

TEST_F(AutoPrintTest, PrintsEachStableFileOnTheDefaultPrinterAndDeletesIt) {
    Put("a.prn", "AAA");
    Put("b.prn", "BBB");
    watcher.tick();
    EXPECT_TRUE(spooler.documents.empty());  // first look only
    watcher.tick();
    ASSERT_EQ(spooler.printed().size(), 2u);
    // The printer named exactly so, not the later one whose name begins with it.
    EXPECT_EQ(spooler.printed()[0].deviceName, "Label Printer");
    EXPECT_EQ(spooler.printed()[0].data, "AAA");
    EXPECT_EQ(spooler.printed()[1].data, "BBB");
    EXPECT_FALSE(fs::exists(Drop("a.prn")));
    EXPECT_FALSE(fs::exists(Drop("b.prn")));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(AutoPrintTest, DotFilesSubdirectoriesAndLinksAreLeftAlone) {
    Put(".hidden", "h");
    fs::create_directory(Drop("sub"));
    Put("sub/inner.prn", "i");
    std::ofstream(dir.file("outside.prn")) << "o";
    std::error_code linkError;  // Windows lets only administrators and developer mode make links
    fs::create_symlink(dir.file("outside.prn"), Drop("link.prn"), linkError);
    const bool linked = !linkError;
    TwoTicks();
    EXPECT_TRUE(spooler.documents.empty());
    EXPECT_TRUE(fs::exists(Drop(".hidden")));
    EXPECT_TRUE(fs::exists(Drop("sub/inner.prn")));
    if (linked) {
        EXPECT_TRUE(fs::exists(Drop("link.prn")));
    }
    EXPECT_TRUE(fs::exists(dir.file("outside.prn")));
}

// A copies box without a usable number leaves every file where it is, saying so once.
TEST_F(AutoPrintTest, CopiesBoxDecidesTheCopiesAndUnusableCountsWait) {
    Put("a.prn", "A");
    copies = "3.5";
    TwoTicks();
    EXPECT_EQ(spooler.printed().size(), 4u);

    Put("b.prn", "B");
    for (auto unusable : {"0", "", "abc", "-1", "0.4", "40000", "1e-400"}) {
        copies = unusable;
        TwoTicks();
        EXPECT_TRUE(fs::exists(Drop("b.prn"))) << unusable;
    }
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_FALSE(fs::exists(Drop("Failed")));
    copies = "1";
    watcher.tick();
    EXPECT_FALSE(fs::exists(Drop("b.prn")));
    EXPECT_EQ(spooler.printed().size(), 5u);
}

// An outage is a passing state: files stay, one message per outage, and they print once the
// spooler is back. Only a file the spooler refused goes to Failed.
TEST_F(AutoPrintTest, OutagesKeepTheFilesAndRefusalsGoToFailed) {
    Put("a.prn", "A1");
    Put("b.prn", "B1");
    spooler.listFails = true;
    for (int i = 0; i < 3; ++i) TwoTicks();
    spooler.listFails = false;
    spooler.defaultEntry.reset();
    TwoTicks();
    ASSERT_EQ(messages.shown.size(), 1u);  // still the same outage
    EXPECT_TRUE(fs::exists(Drop("a.prn")) && fs::exists(Drop("b.prn")));
    for (const auto& m : messages.texts()) EXPECT_EQ(m.find("None"), std::string::npos) << m;

    spooler.defaultEntry = "Label Printer,winspool,COM2:";
    spooler.unopenable = {"Label Printer"};  // gone between the listing and the print
    watcher.tick();
    EXPECT_FALSE(fs::exists(Drop("Failed")));
    spooler.unopenable.clear();
    spooler.failDocument = 2;
    watcher.tick();
    EXPECT_EQ(spooler.printed().size(), 1u);
    EXPECT_EQ(ReadFile(Drop("Failed/b.prn")), "B1");
    Put("b.prn", "B2");  // a second file of the same name keeps the first
    TwoTicks();
    EXPECT_EQ(ReadFile(Drop("Failed/b.prn.2")), "B2");
    EXPECT_EQ(messages.shown.size(), 3u);
}

TEST_F(AutoPrintTest, AFileChangedWhilePrintedStaysAndIsPrintedAgain) {
    Put("a.prn", "old");
    watcher.tick();
    std::error_code busy;  // Windows lets no file that is being read be replaced
    files.afterRead = [&](int, const std::string&) {
        files.afterRead = nullptr;
        Put("new.prn", "new content");
        fs::rename(Drop("new.prn"), Drop("a.prn"), busy);
        if (busy) Put("a.prn", "new content");
    };
    watcher.tick();
    EXPECT_EQ(ReadFile(Drop("a.prn")), "new content");
    for (int tick = 0; tick < 3 && fs::exists(Drop("a.prn")); ++tick) TwoTicks();
    // Rewritten in place (Windows), its time may settle a look later: printed again, not lost.
    if (!busy) {
        EXPECT_EQ(spooler.printed().size(), 2u);
    }
    ASSERT_GE(spooler.printed().size(), 2u);
    EXPECT_EQ(spooler.printed().back().data, "new content");
    EXPECT_FALSE(fs::exists(Drop("a.prn")));
}

TEST_F(AutoPrintTest, FileStillBeingWrittenIsPrintedOnceAndWhole) {
    std::ofstream slow(Drop("slow.prn"), std::ios::binary);
    std::string written;
    for (int part = 0; part < 4; ++part) {
        std::string chunk(1000 + part, static_cast<char>('a' + part));
        slow << chunk << std::flush;
        written += chunk;
        watcher.tick();
        EXPECT_TRUE(spooler.documents.empty()) << part;
    }
    slow.close();
    TwoTicks();
    ASSERT_EQ(spooler.printed().size(), 1u);
    EXPECT_EQ(spooler.printed()[0].data, written);
    TwoTicks();
    EXPECT_EQ(spooler.printed().size(), 1u);
}

TEST_F(AutoPrintTest, TickInsideAMessageBoxDoesNotHandleTheFileAgain) {
    spooler.installed.push_back({"Broken", "X:"});
    spooler.defaultEntry = "Broken,winspool,X:";
    spooler.failWriteAfterBytes = 0;
    Put("a.prn", "A");
    Put("b.prn", "B");
    watcher.tick();
    int nestedTicks = 0;
    messages.whileShown = [&] {
        ++nestedTicks;
        watcher.tick();
    };
    watcher.tick();
    EXPECT_GT(nestedTicks, 0);
    EXPECT_EQ(spooler.documents.size(), 2u);  // one attempt per file
    EXPECT_TRUE(fs::exists(Drop("Failed/a.prn")));
    EXPECT_TRUE(fs::exists(Drop("Failed/b.prn")));
}

TEST_F(AutoPrintTest, PrintedFileThatCannotBeDeletedIsNotPrintedAgainInAnyRun) {
    Put("a.prn", "A");
    files.removeError = std::make_error_code(std::errc::permission_denied);
    for (int tick = 0; tick < 4; ++tick) watcher.tick();
    AutoPrintWatcher nextRun(
        drop, spooler, files, live, messages, [] { return "1"; }, record);
    for (int tick = 0; tick < 3; ++tick) nextRun.tick();
    EXPECT_EQ(spooler.printed().size(), 1u);
    EXPECT_EQ(messages.shown.size(), 1u);

    // Once the file changes, it is a new file and printed as usual.
    files.removeError.clear();
    Put("a.prn", "A2");
    nextRun.tick();
    nextRun.tick();
    ASSERT_EQ(spooler.printed().size(), 2u);
    EXPECT_EQ(spooler.printed()[1].data, "A2");
}

// In steps, as the window runs a tick between its events: one entry per step at least, no second
// tick meanwhile, a file the Print press took away is passed over, and stop() ends the tick
// after the file in progress; what it did not reach, a later tick prints.
TEST_F(AutoPrintTest, TickInStepsKeepsTheRulesAndStopsAfterTheFileInProgress) {
    using std::chrono::milliseconds;
    for (auto name : {"a", "b", "c", "d"}) Put(name, name);
    watcher.tick();
    ASSERT_TRUE(watcher.startTick());
    EXPECT_FALSE(watcher.startTick());
    EXPECT_TRUE(watcher.workFor(milliseconds(0)));
    EXPECT_EQ(watcher.progress(), (AutoPrintWatcher::Progress{1, 4}));
    fs::remove(Drop("b"));
    EXPECT_TRUE(watcher.workFor(milliseconds(0)));
    messages.whileShown = [&] {
        watcher.stop();
        spooler.failDocument.reset();
    };
    spooler.failDocument = 2;  // c: refused, and stop() comes inside its message box
    EXPECT_FALSE(watcher.workFor(milliseconds(60'000)));
    EXPECT_TRUE(fs::exists(Drop("Failed/c")) && fs::exists(Drop("d")));
    EXPECT_EQ(spooler.printed().size(), 1u);
    EXPECT_EQ(messages.shown.size(), 1u);
    TwoTicks();
    ASSERT_EQ(spooler.printed().size(), 2u);
    EXPECT_EQ(spooler.printed()[1].data, "d");
}

TEST_F(AutoPrintTest, EmptyOrMissingDropDirectoryDoesNothing) {
    TwoTicks();
    fs::remove(drop);
    TwoTicks();
    EXPECT_TRUE(spooler.documents.empty());
    EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
}  // namespace vantrel::testing

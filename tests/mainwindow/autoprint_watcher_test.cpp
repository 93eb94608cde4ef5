#include "mainwindow/autoprint_watcher.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "fakes/fake_printer_system.h"
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

// A watcher whose deletes can be made to fail, as on a file another program holds.
class Watcher : public AutoPrintWatcher {
  public:
    using AutoPrintWatcher::AutoPrintWatcher;
    bool refuseDeletes = false;

  protected:
    bool removeFile(const std::string& path, std::error_code& error) override {
        if (!refuseDeletes) return AutoPrintWatcher::removeFile(path, error);
        error = std::make_error_code(std::errc::permission_denied);
        return false;
    }
};

class AutoPrintTest : public ::testing::Test {
  protected:
    AutoPrintTest()
        : drop((dir.path() / "RawSpool").string()),
          watcher(drop, spooler, live, messages, [this] { return copies; }) {
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
    PlainLiveSettings live;
    MessagesWithHook messages;
    std::string copies = "1";
    Watcher watcher;
};

TEST_F(AutoPrintTest, PrintsEachStableFileOnTheDefaultPrinterAndDeletesIt) {
    Put("a.prn", "AAA");
    Put("b.prn", "BBB");
    watcher.tick();
    EXPECT_TRUE(spooler.documents.empty());  // first look only
    watcher.tick();
    ASSERT_EQ(spooler.printed().size(), 2u);
    // The last printer whose name begins with the default printer's name.
    EXPECT_EQ(spooler.printed()[0].deviceName, "Label Printer 2");
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
#ifdef _WIN32
    std::error_code linkError;  // Windows lets only administrators and developer mode make links
    fs::create_symlink(dir.file("outside.prn"), Drop("link.prn"), linkError);
    const bool linked = !linkError;
#else
    fs::create_symlink(dir.file("outside.prn"), Drop("link.prn"));
    const bool linked = true;
#endif
    TwoTicks();
    EXPECT_TRUE(spooler.documents.empty());
    EXPECT_TRUE(fs::exists(Drop(".hidden")));
    EXPECT_TRUE(fs::exists(Drop("sub/inner.prn")));
    if (linked) {
        EXPECT_TRUE(fs::exists(Drop("link.prn")));
    }
    EXPECT_TRUE(fs::exists(dir.file("outside.prn")));
}

TEST_F(AutoPrintTest, CopiesBoxDecidesTheCopiesAndNoneMeansDeleteUnprinted) {
    Put("a.prn", "A");
    copies = "3.5";
    TwoTicks();
    EXPECT_EQ(spooler.printed().size(), 4u);

    for (auto none : {"0", "", "abc", "-3"}) {
        Put("b.prn", "B");
        copies = none;
        TwoTicks();
        EXPECT_FALSE(fs::exists(Drop("b.prn"))) << none;
    }
    EXPECT_EQ(spooler.printed().size(), 4u);
}

TEST_F(AutoPrintTest, UnusableCopiesAndFailedPrintsEndInFailed) {
    Put("big.prn", "B");
    copies = "40000";
    TwoTicks();
    EXPECT_TRUE(spooler.documents.empty());
    EXPECT_EQ(ReadFile(Drop("Failed/big.prn")), "B");

    copies = "1";
    spooler.defaultEntry.reset();  // "none" matches no printer
    Put("a.prn", "A1");
    TwoTicks();
    EXPECT_EQ(ReadFile(Drop("Failed/a.prn")), "A1");
    Put("a.prn", "A2");  // a second file of the same name keeps the first
    TwoTicks();
    EXPECT_EQ(ReadFile(Drop("Failed/a.prn")), "A1");
    EXPECT_EQ(ReadFile(Drop("Failed/a.prn.2")), "A2");

    auto shown = messages.shown.size();
    watcher.tick();  // nothing left to retry, and Failed itself is never printed
    EXPECT_EQ(messages.shown.size(), shown);
    EXPECT_TRUE(spooler.printed().empty());
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

TEST_F(AutoPrintTest, PrintedFileThatCannotBeDeletedIsNotPrintedAgain) {
    Put("a.prn", "A");
    watcher.refuseDeletes = true;
    for (int tick = 0; tick < 5; ++tick) watcher.tick();
    EXPECT_EQ(spooler.printed().size(), 1u);
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(fs::exists(Drop("a.prn")));

    // Once that file is gone, a new one of the same name is printed as usual.
    fs::remove(Drop("a.prn"));
    watcher.tick();
    watcher.refuseDeletes = false;
    Put("a.prn", "A2");
    TwoTicks();
    ASSERT_EQ(spooler.printed().size(), 2u);
    EXPECT_EQ(spooler.printed()[1].data, "A2");
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

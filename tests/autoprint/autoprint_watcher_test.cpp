#include "autoprint/autoprint_watcher.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "autoprint/drop_directory.h"
#include "autoprint/kept_files_record.h"
#include "support/print_rig.h"

namespace vantrel::testing {
namespace {

namespace fs = std::filesystem;

class AutoPrintTest : public PrintRig {
  protected:
    AutoPrintTest()
        : drop(dir.file("RawSpool")),
          watcher(
              drop, spooler, files, [this] { return options; }, messages, [this] { return copies; },
              record) {
        fs::create_directory(drop);
        spooler.installed = {
            {"Office Laser", "LPT1:"}, {"Label Printer", "COM2:"}, {"Label Printer 2", "COM3:"}};
        spooler.defaultEntry = "label printer,winspool,COM2:";
    }
    std::string Drop(const std::string& name) { return (fs::path(drop) / name).string(); }
    void Put(const std::string& name, const std::string& bytes) { WriteFile(Drop(name), bytes); }
    // Two ticks: the first sees the files, the second takes those that did not change.
    void TwoTicks() {
        watcher.tick();
        watcher.tick();
    }

    std::string drop;
    std::string copies = "1";
    std::string record = dir.file("state/autoprint-kept");
    AutoPrintWatcher watcher;
};

// Dot files, subdirectories and links are left alone: with nothing else there, the spooler is
// not asked anything.
TEST_F(AutoPrintTest, PrintsEachFileOnceItStoppedChangingThenDeletesIt) {
    Put(".hidden", "h");
    fs::create_directory(Drop("sub"));
    Put("sub/inner.prn", "i");
    std::error_code noLink;  // Windows lets only administrators and developer mode make links
    fs::create_symlink(dir.write("outside.prn", "o"), Drop("link.prn"), noLink);
    TwoTicks();
    EXPECT_EQ(spooler.listings, 0);
    Put("a.prn", "AAA");
    Put("b.prn", "BB");
    watcher.tick();
    std::ofstream(Drop("b.prn"), std::ios::app) << "B";  // still being written
    watcher.tick();
    ASSERT_EQ(spooler.printed().size(), 1u);
    // The printer named exactly so, not the later one whose name begins with it.
    EXPECT_EQ(spooler.printed()[0].deviceName, "Label Printer");
    TwoTicks();
    EXPECT_EQ(spooler.documents.size(), 2u);  // and both deleted: none printed again
}

// A copies box without a usable number leaves every file where it is, saying so once.
TEST_F(AutoPrintTest, CopiesBoxDecidesTheCopiesAndUnusableCountsWait) {
    Put("a.prn", "A");
    for (auto unusable : {"0", "40000"}) {
        copies = unusable;
        TwoTicks();
    }
    EXPECT_TRUE(fs::exists(Drop("a.prn")));
    EXPECT_EQ(messages.shown.size(), 1u);
    copies = "3.5";
    watcher.tick();
    EXPECT_EQ(spooler.printed().size(), 4u);
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
    spooler.defaultEntry = "Label Printer,winspool,COM2:";
    spooler.unopenable = {"Label Printer"};  // gone between the listing and the print
    watcher.tick();
    EXPECT_EQ(messages.shown.size(), 1u);  // still the same outage
    EXPECT_TRUE(fs::exists(Drop("a.prn")) && fs::exists(Drop("b.prn")));

    spooler.unopenable.clear();
    spooler.failDocument = 2;
    watcher.tick();
    EXPECT_EQ(spooler.printed().size(), 1u);
    EXPECT_EQ(ReadFile(Drop("Failed/b.prn")), "B1");
    Put("b.prn", "B2");  // a second file of the same name keeps the first, and one that takes
    files.beforeMove = [&](const std::string&, const std::string& to) {  // the next name first
        if (to.ends_with("b.prn.2")) WriteFile(to, "other");
        return std::error_code();
    };
    TwoTicks();
    EXPECT_EQ(ReadFile(Drop("Failed/b.prn.2")) + ReadFile(Drop("Failed/b.prn.3")), "otherB2");

    // A file that cannot be moved stays, is told of once and is not tried again.
    Put("c.prn", "C");
    files.beforeMove = [](auto&, auto&) { return std::make_error_code(std::errc::io_error); };
    for (int i = 0; i < 3; ++i) TwoTicks();
    EXPECT_EQ(ReadFile(Drop("c.prn")), "C");
    EXPECT_EQ(messages.shown.size(), 4u);  // the outage, b twice, c once
    EXPECT_NE(messages.texts().back().find(") and could not move it to " + Drop("Failed") +
                                           ": Input/output error"),
              std::string::npos);
}

TEST_F(AutoPrintTest, AFileChangedWhilePrintedStays) {
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
}

// A file swapped after it settled is not read as it was looked at, and one replaced between its
// print and its delete is kept: what then stays there prints once it has settled again. A
// service that watches the drop directory has it to itself, and the window takes it over once
// the service has ended.
TEST_F(AutoPrintTest, ASwappedFileSettlesAgainAndAServiceHasTheFolderToItself) {
    Put("a.prn", "old");
    int opens = 0;
    int removes = 0;
    files.beforeOpen = [&](const std::string&) {
        if (++opens == 1) Put("a.prn", "new content");
    };
    files.beforeRemove = [&](const std::string&) {
        if (++removes == 1) Put("a.prn", "third");
    };
    TwoTicks();
    EXPECT_TRUE(spooler.documents.empty());
    TwoTicks();
    ASSERT_EQ(spooler.printed().size(), 2u);
    EXPECT_EQ(spooler.printed()[0].data, "new content");
    EXPECT_EQ(spooler.printed()[1].data, "third");
    EXPECT_FALSE(fs::exists(Drop("a.prn")));
    EXPECT_TRUE(messages.shown.empty());

    auto service = TryWatchFolder(drop, kFolderLockName, "host h, process 1").lock;
    ASSERT_TRUE(service);
    Put("b.prn", "B");
    TwoTicks();
    EXPECT_TRUE(watcher.watchedElsewhere());
    service.reset();
    TwoTicks();
    EXPECT_FALSE(watcher.watchedElsewhere());
    EXPECT_EQ(spooler.printed().size(), 3u);
}

// A window killed while it sent a copy, and started again while a service watches the drop
// directory, still finishes the file it began there; the service's files stay the service's.
TEST_F(AutoPrintTest, AFileItBeganIsFinishedWhileAServiceWatchesTheFolder) {
    struct Killed {};
    copies = "2";
    Put("a.prn", "A");
    files.afterRead = [calls = 0](auto&&...) mutable {
        if (++calls == 2) throw Killed();
    };
    watcher.tick();
    EXPECT_THROW(watcher.tick(), Killed);
    files.afterRead = nullptr;
    // A service of the same user finishes it itself, from the record they share.
    const std::string me = ThisProcessName();
    auto service = TryWatchFolder(drop, kFolderLockName, me).lock;
    ASSERT_TRUE(service);
    AutoPrintWatcher restarted(
        drop, spooler, files, [this] { return options; }, messages, [this] { return copies; },
        record);
    restarted.tick();
    restarted.tick();
    EXPECT_EQ(spooler.printed().size(), 1u);
    service.reset();
    service = TryWatchFolder(drop, kFolderLockName, "host h, process 1 of user other").lock;
    Put("b.prn", "B");
    restarted.tick();
    restarted.tick();
    ASSERT_EQ(spooler.printed().size(), 2u);
    EXPECT_EQ(spooler.printed()[1].data, "A");
    EXPECT_FALSE(fs::exists(Drop("a.prn")));
    EXPECT_TRUE(fs::exists(Drop("b.prn")));
}

// The record of kept files: only the user may read it; two AutoPrints' entries are merged, not
// overwritten; any name survives, and lines written before names were escaped still count.
TEST(KeptFiles, TheRecordIsPrivateMergedAndKeepsAnyName) {
    TempDir dir;
    const std::string path = dir.file("state/autoprint-kept");
    const FileIdentity id{1, 2, 3, 4};
    const std::string odd = "/in/a\nb\\n\x1b.prn";
    auto files = MakeSystemFileSystem();
    KeptFilesRecord first(path);
    KeptFilesRecord second(path);
    EXPECT_FALSE(first.add(*files, odd, id));
    EXPECT_FALSE(second.add(*files, "/in/plain", id));
    std::ofstream(path, std::ios::app) << "5 6 7 8 /in/old \\x1b\"name\n";
    KeptFilesRecord third(path);
    EXPECT_TRUE(third.contains(odd, id) && third.contains("/in/plain", id));
    EXPECT_TRUE(third.contains("/in/old \\x1b\"name", {5, 6, 7, 8}));
#ifndef _WIN32
    EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(fs::status(dir.file("state")).permissions(), fs::perms::owner_all);
#endif
}

TEST_F(AutoPrintTest, PrintedFileThatCannotBeDeletedIsNotPrintedAgainInAnyRun) {
    Put("a.prn", "A");
    files.removeError = std::make_error_code(std::errc::permission_denied);
    for (int tick = 0; tick < 4; ++tick) watcher.tick();
    AutoPrintWatcher nextRun(
        drop, spooler, files, [] { return SpoolOptions{}; }, messages, [] { return "1"; }, record);
    for (int tick = 0; tick < 3; ++tick) nextRun.tick();
    EXPECT_EQ(spooler.printed().size(), 1u);
    EXPECT_EQ(messages.shown.size(), 1u);
}

// In steps, as the window runs a tick between its events: one entry per step at least, no second
// tick meanwhile (nor inside a message box), a file the Print press took away is passed over, and
// stop() ends the tick after the file in progress; what it did not reach, a later tick prints.
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
        watcher.tick();  // the timers, let in by the box, take no file
        EXPECT_TRUE(watcher.workFor(milliseconds(0)));
        watcher.stop();
        spooler.failDocument.reset();
    };
    spooler.failDocument = 2;  // c: refused, and stop() comes inside its message box
    EXPECT_FALSE(watcher.workFor(milliseconds(60'000)));
    EXPECT_TRUE(fs::exists(Drop("Failed/c")) && fs::exists(Drop("d")));
    EXPECT_EQ(spooler.documents.size(), 1u);
    TwoTicks();
    ASSERT_EQ(spooler.printed().size(), 2u);
    EXPECT_EQ(spooler.printed()[1].data, "d");
}

// Beside a portable program; an installed or read-only one keeps it in the user's data
// directory, if there is one.
TEST(DropDirectory, BesideAPortableProgramElseInTheUserDataDirectory) {
    TempDir dir;
    EXPECT_EQ(ChooseDropDirectory(dir.path().string(), "/home/u/Vantrel"),
              (dir.path() / "RawSpool").string());
#ifdef _WIN32
    GTEST_SKIP() << "a Windows installation keeps the drop directory beside the program";
#endif
    EXPECT_EQ(ChooseDropDirectory("/usr/bin", "/home/u/Vantrel"), "/home/u/Vantrel/RawSpool");
    EXPECT_EQ(ChooseDropDirectory("/nonexistent/dir", "/d/Vantrel"), "/d/Vantrel/RawSpool");
    EXPECT_EQ(ChooseDropDirectory("/usr/bin", ""), "/usr/bin/RawSpool");
}

TEST(DropDirectory, IsCreatedWhenMissingAndLeftAloneWhenPresent) {
    TempDir dir;
    const std::string drop = dir.file("RawSpool");
    auto files = MakeSystemFileSystem();
    EXPECT_EQ(EnsureDropDirectory(*files, drop), std::nullopt);
    const auto waiting = dir.write("RawSpool/waiting.prn", "x");
    EXPECT_EQ(EnsureDropDirectory(*files, drop), std::nullopt);
    EXPECT_TRUE(fs::exists(waiting));
    EXPECT_NE(EnsureDropDirectory(*files, waiting), std::nullopt);  // a file is in the way
}

}  // namespace
}  // namespace vantrel::testing

// The real vantrel program in batch mode, printing through the private CUPS scheduler: what each
// capture printer receives, byte for byte, what the scheduler lists, what becomes of the file,
// and what the program says and returns.

#include <cups/cups.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "integration/harness.h"
#include "platform/cups/ipp_text.h"

namespace vantrel::integration {
namespace {

class BatchPrint : public ::testing::Test {
  protected:
    void SetUp() override {
        VANTREL_USE_PRIVATE_CUPS(cups_);
        for (const char* queue : {kDefaultQueue, kLabelQueue, kRejectingQueue, kDisabledQueue}) {
            before_[queue] = CaptureDir(cups_, queue).jobs();
        }
    }

    // A file in the test's own directory.
    std::string MakeFile(const std::string& name, const std::string& bytes) {
        std::string path = files_.file(name);
        WriteFile(path, bytes);
        return path;
    }

    RunResult Print(const std::vector<std::string>& args,
                    const std::map<std::string, std::string>& extraEnv = {}) {
        return RunVantrel(args, home_.path(), extraEnv);
    }

    // What the queue's printer received since the test began, once the queue is done.
    std::vector<std::string> Received(const std::string& queue) {
        WaitUntilQueueIdle(queue);
        return CaptureDir(cups_, queue).jobsSince(before_[queue]);
    }

    // The contents of the one job the queue's printer received.
    std::string OnlyJob(const std::string& queue) {
        auto jobs = Received(queue);
        if (jobs.size() != 1) {
            ADD_FAILURE() << queue << " received " << jobs.size() << " jobs, not 1";
            return {};
        }
        return ReadFile(jobs[0]);
    }

    void ExpectNothingPrinted() {
        for (const char* queue : {kDefaultQueue, kLabelQueue, kRejectingQueue}) {
            EXPECT_EQ(Received(queue), std::vector<std::string>{}) << queue;
        }
        EXPECT_EQ(QueueJobs(kDisabledQueue, false).size(), 0u);
    }

    PrivateCups cups_;
    TempDir home_;
    TempDir files_;
    std::map<std::string, std::vector<std::string>> before_;
};

#define EXPECT_SUCCESS(run) EXPECT_EQ((run).exitCode, 0) << (run).err
#define EXPECT_MENTIONS(text, part) \
    EXPECT_NE((text).find(part), std::string::npos) << "\"" << (text) << "\" lacks: " << (part)

// --- The bytes the printer receives ---

TEST_F(BatchPrint, SendsFilesOfAnySizeUnchanged) {
    // Below, at and just past the 16384-byte chunk, and a remainder after two full chunks.
    for (std::size_t size : {1, 16383, 16384, 16385, 40000}) {
        SCOPED_TRACE(size);
        const std::string data = PatternBytes(size, static_cast<unsigned>(size));
        auto run = Print({MakeFile("data.prn", data)});
        EXPECT_SUCCESS(run);
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(OnlyJob(kDefaultQueue), data);
        before_[kDefaultQueue] = CaptureDir(cups_, kDefaultQueue).jobs();
    }
}

TEST_F(BatchPrint, AnEmptyFileCountsAsPrintedAndSendsNoData) {
    auto run = Print({MakeFile("empty.prn", "")});
    EXPECT_SUCCESS(run);
    for (const auto& job : Received(kDefaultQueue)) EXPECT_EQ(ReadFile(job), "");
}

TEST_F(BatchPrint, AGzipFileIsSentCompressed) {
    // lp would unpack it; a raw print must not.
    const std::string plain = PatternBytes(1000, 5) + std::string(5000, 'A');
    std::string source = MakeFile("label.txt", plain);
    auto zipped = RunProgram({"gzip", "-9", "-n", source});
    ASSERT_EQ(zipped.exitCode, 0) << zipped.err;
    const std::string gz = ReadFile(source + ".gz");
    ASSERT_EQ(gz.substr(0, 2), "\x1F\x8B");

    EXPECT_SUCCESS(Print({source + ".gz"}));
    EXPECT_EQ(OnlyJob(kDefaultQueue), gz);
}

TEST_F(BatchPrint, AHundredMegabyteFileArrivesWhole) {
    std::string path = MakeFile("big.prn", PatternBytes(100 << 20, 11));
    EXPECT_SUCCESS(Print({path}));
    auto jobs = Received(kDefaultQueue);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(std::filesystem::file_size(jobs[0]), 100u << 20);
    EXPECT_TRUE(SameContents(jobs[0], path));
    std::filesystem::remove(jobs[0]);
}

TEST_F(BatchPrint, TheStoredEjectSettingAddsOneFormFeed) {
    StorePageEject(home_.path(), 1);
    const std::string data = PatternBytes(40000, 9);
    EXPECT_SUCCESS(Print({MakeFile("form.prn", data)}));
    EXPECT_EQ(OnlyJob(kDefaultQueue), data + "\f");
}

TEST_F(BatchPrint, WithEjectAnEmptyFileSendsOnlyTheFormFeed) {
    StorePageEject(home_.path(), 1);
    EXPECT_SUCCESS(Print({MakeFile("empty.prn", "")}));
    EXPECT_EQ(OnlyJob(kDefaultQueue), "\f");
}

TEST_F(BatchPrint, EjectSwitchedOffSendsNoFormFeed) {
    StorePageEject(home_.path(), 0);
    EXPECT_SUCCESS(Print({MakeFile("form.prn", "abc")}));
    EXPECT_EQ(OnlyJob(kDefaultQueue), "abc");
}

// --- Copies and printers ---

TEST_F(BatchPrint, EachCopyIsAJobOfItsOwn) {
    const std::string data = PatternBytes(20000, 4);
    EXPECT_SUCCESS(Print({"-C", "3", MakeFile("copies.prn", data)}));
    auto jobs = Received(kDefaultQueue);
    ASSERT_EQ(jobs.size(), 3u);
    for (const auto& job : jobs) EXPECT_EQ(ReadFile(job), data);
}

TEST_F(BatchPrint, HalfCopiesRoundToEven) {
    EXPECT_SUCCESS(Print({"-C", "2.5", MakeFile("copies.prn", "x")}));
    EXPECT_EQ(Received(kDefaultQueue).size(), 2u);
}

TEST_F(BatchPrint, APrinterIsNamedByTheStartOfItsNameInAnyCase) {
    EXPECT_SUCCESS(Print({MakeFile("a.prn", "first"), "label"}));
    EXPECT_SUCCESS(Print({"-R", "LABEL_PR", MakeFile("b.prn", "second")}));
    auto jobs = Received(kLabelQueue);
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(ReadFile(jobs[0]), "first");
    EXPECT_EQ(ReadFile(jobs[1]), "second");
    EXPECT_EQ(Received(kDefaultQueue), std::vector<std::string>{});
}

TEST_F(BatchPrint, TheUsersLpoptionsDefaultComesBeforeTheSchedulers) {
    std::filesystem::create_directories(home_.path() + "/.cups");
    WriteFile(home_.path() + "/.cups/lpoptions", std::string("Default ") + kLabelQueue + "\n");
    EXPECT_SUCCESS(Print({MakeFile("mine.prn", "mine")}));
    EXPECT_EQ(OnlyJob(kLabelQueue), "mine");
    EXPECT_EQ(Received(kDefaultQueue), std::vector<std::string>{});
}

// --- What the scheduler shows ---

TEST_F(BatchPrint, TheJobIsNamedAfterTheFile) {
    std::filesystem::create_directories(files_.file("sub"));
    EXPECT_SUCCESS(Print({MakeFile("sub/REPORT.TXT", "r")}));
    WaitUntilQueueIdle(kDefaultQueue);
    auto jobs = QueueJobs(kDefaultQueue, true);
    ASSERT_FALSE(jobs.empty());
    EXPECT_EQ(jobs.back().title, "Vantrel: REPORT.TXT");
}

TEST_F(BatchPrint, AnOddFileNameStillNamesTheJob) {
    // Latin-1, and so long that the title must be cut inside a run of two-byte characters.
    const std::string latin1 = "caf\xE9.prn";
    std::string longName = "x";
    for (int i = 0; i < 125; ++i) longName += "\xC3\xA9";
    longName += ".p";
    EXPECT_SUCCESS(Print({MakeFile(latin1, "1")}));
    EXPECT_SUCCESS(Print({MakeFile(longName, "2")}));
    WaitUntilQueueIdle(kDefaultQueue);
    auto jobs = QueueJobs(kDefaultQueue, true);
    ASSERT_GE(jobs.size(), 2u);
    EXPECT_EQ(jobs[jobs.size() - 2].title, "Vantrel: caf\xEF\xBF\xBD.prn");
    std::string cut = "Vantrel: x";
    for (int i = 0; i < 122; ++i) cut += "\xC3\xA9";
    EXPECT_EQ(jobs.back().title, cut);
}

TEST_F(BatchPrint, ADisabledQueueHoldsTheJobAndThatCountsAsPrinted) {
    std::string path = MakeFile("held.prn", "held");
    auto run = Print({"-D", path, "paused"});
    auto held = QueueJobs(kDisabledQueue, false);
    CancelAllJobs(kDisabledQueue);
    EXPECT_SUCCESS(run);
    EXPECT_FALSE(FileExists(path));
    ASSERT_EQ(held.size(), 1u);
    EXPECT_EQ(held[0].title, "Vantrel: held.prn");
    EXPECT_EQ(held[0].state, IPP_JSTATE_PENDING);
}

// --- Deleting, and failures that keep the file ---

TEST_F(BatchPrint, DeleteRemovesTheFileOnceEveryCopyIsSpooled) {
    std::string path = MakeFile("gone.prn", "gone");
    EXPECT_SUCCESS(Print({"-CD", "2", path}));
    EXPECT_FALSE(FileExists(path));
    auto jobs = Received(kDefaultQueue);
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(ReadFile(jobs[1]), "gone");
}

TEST_F(BatchPrint, AnUnknownPrinterIsReportedAndTheFileKept) {
    std::string path = MakeFile("kept.prn", "kept");
    auto run = Print({"-D", path, "Plotter"});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_MENTIONS(run.err, "There is an error in the printer name.");
    EXPECT_TRUE(FileExists(path));
    ExpectNothingPrinted();
}

TEST_F(BatchPrint, ARejectingQueueIsReportedAndTheFileKept) {
    std::string path = MakeFile("kept.prn", "kept");
    auto run = Print({"-D", path, "closed"});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_MENTIONS(run.err, "not accepting jobs");
    EXPECT_TRUE(FileExists(path));
    ExpectNothingPrinted();
}

TEST_F(BatchPrint, AStoppedServerIsReportedAndTheFileKept) {
    std::string path = MakeFile("kept.prn", "kept");
    const std::string nowhere = files_.file("no-scheduler.sock");
    auto run = Print({"-D", path}, {{"CUPS_SERVER", nowhere}});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_MENTIONS(run.err, "not running or can't be reached");
    EXPECT_MENTIONS(run.err, nowhere);
    EXPECT_TRUE(FileExists(path));
    ExpectNothingPrinted();
}

TEST_F(BatchPrint, AGuessedLongOptionIsRefusedAndNothingHappens) {
    std::string path = MakeFile("keep.prn", "keep");
    auto run = Print({"--dry-run", kLabelQueue, path});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_MENTIONS(run.err, "unknown option --dry-run");
    EXPECT_TRUE(FileExists(path));
    ExpectNothingPrinted();
}

TEST_F(BatchPrint, ZeroCopiesMeanOneAndAnUnknownPrinterKeepsTheFile) {
    std::string path = MakeFile("kept.prn", "kept");
    auto run = Print({"-CD", "0.5", path, "NoSuchPrinter"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_MENTIONS(run.err, "no printer name begins with \"NoSuchPrinter\"");
    EXPECT_TRUE(FileExists(path));
    ExpectNothingPrinted();
}

TEST_F(BatchPrint, AnEmptyFileOnARejectingQueueIsNotPrintedAndKept) {
    std::string path = MakeFile("empty.prn", "");
    auto run = Print({"-D", path, "closed"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_MENTIONS(run.err, "not accepting jobs");
    EXPECT_TRUE(FileExists(path));
}

TEST_F(BatchPrint, AQueueNamedExactlyIsReachedBesideLongerNamesThatBeginWithIt) {
    auto added = RunProgram(
        {"bash", VANTREL_SOURCE_DIR "/scripts/cups/add-capture-queue.sh", cups_.dir, "Label"},
        {{"VANTREL_CAPTURE_BIN", CAPTURE_PRINTER_BINARY}});
    ASSERT_EQ(added.exitCode, 0) << added.err;
    auto run = Print({MakeFile("exact.prn", "exact"), "label"});
    WaitUntilQueueIdle("Label");
    auto jobs = CaptureDir(cups_, "Label").jobs();
    RunProgram({"lpadmin", "-x", "Label"});
    EXPECT_SUCCESS(run);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(ReadFile(jobs[0]), "exact");
    EXPECT_EQ(Received(kLabelQueue), std::vector<std::string>{});
}

TEST_F(BatchPrint, APipeIsPrintedInEveryCopyByteExact) {
    const std::string bytes = PatternBytes(40000, 7);
    const std::string source = MakeFile("source.bin", bytes);
    auto run = RunProgram(
        {"bash", "-c", "cat \"$1\" | \"$2\" -CD 2 - label", "pipe", source, VANTREL_BINARY},
        {{"HOME", home_.path()}, {"XDG_CONFIG_HOME", home_.path() + "/.config"}});
    EXPECT_SUCCESS(run);
    EXPECT_MENTIONS(run.err, "Nothing to delete");
    auto jobs = Received(kLabelQueue);
    ASSERT_EQ(jobs.size(), 2u);
    for (const auto& job : jobs) EXPECT_EQ(ReadFile(job), bytes);
    EXPECT_EQ(QueueJobs(kLabelQueue, true).back().title, "Vantrel: standard input");
}

TEST_F(BatchPrint, AMissingFileIsReportedAndNothingPrinted) {
    auto run = Print({"-D", files_.file("absent.prn")});
    EXPECT_NE(run.exitCode, 0);
    EXPECT_MENTIONS(run.err, "absent.prn");
    ExpectNothingPrinted();
}

}  // namespace
}  // namespace vantrel::integration

// The real vantrel program in batch mode, printing through the private CUPS scheduler: what each
// capture printer receives, byte for byte, what the scheduler lists, what becomes of the file,
// and what the program says and returns.

#include <cups/cups.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
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

// One file through the real program: its bytes in every copy, the stored eject setting's form
// feed last, and nothing for an empty file without it.
struct Bytes {
    const char* name;
    std::size_t size;
    int eject;  // the stored "Eject page between jobs"
    int copies;
};

class ByteExact : public BatchPrint, public ::testing::WithParamInterface<Bytes> {};

TEST_P(ByteExact, EveryCopyArrivesAsTheFileIs) {
    const auto& c = GetParam();
    StorePageEject(home_.path(), c.eject);
    const std::string data = PatternBytes(c.size, static_cast<unsigned>(c.size));
    auto run = Print({"-C", std::to_string(c.copies), MakeFile("data.prn", data)});
    EXPECT_SUCCESS(run);
    EXPECT_EQ(run.err, "");
    const auto jobs = Received(kDefaultQueue);
    const bool sends = c.size > 0 || c.eject == 1;
    ASSERT_EQ(jobs.size(), sends ? static_cast<std::size_t>(c.copies) : 0u);
    for (const auto& job : jobs) EXPECT_EQ(ReadFile(job), data + (c.eject == 1 ? "\f" : ""));
}

INSTANTIATE_TEST_SUITE_P(BatchPrint, ByteExact,
                         ::testing::Values(Bytes{"OneByte", 1, 0, 1},
                                           Bytes{"BelowAChunk", 16383, 0, 1},
                                           Bytes{"OneChunk", 16384, 0, 1},
                                           Bytes{"PastAChunk", 16385, 0, 1},
                                           Bytes{"ChunksAndRemainderWithEject", 40000, 1, 1},
                                           Bytes{"GreyedEjectSendsNoFormFeed", 100, 2, 1},
                                           Bytes{"EmptySendsNothing", 0, 0, 1},
                                           Bytes{"EmptyWithEjectIsAFormFeed", 0, 1, 1},
                                           Bytes{"ThreeCopiesThreeJobs", 20000, 0, 3},
                                           Bytes{"HalfCopiesToEven", 10, 0, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BatchPrint, AGzipFileIsSentCompressed) {
    // lp would unpack it; a raw print must not.
    const std::string plain = PatternBytes(1000, 5) + std::string(5000, 'A');
    std::string source = MakeFile("label.txt", plain);
    auto zipped = RunProgram({"gzip", "-9", "-n", source});
    ASSERT_EQ(zipped.exitCode, 0) << zipped.err;
    EXPECT_SUCCESS(Print({source + ".gz"}));
    EXPECT_EQ(OnlyJob(kDefaultQueue), ReadFile(source + ".gz"));
}

TEST_F(BatchPrint, AHundredMegabyteFileArrivesWhole) {
    std::string path = MakeFile("big.prn", PatternBytes(100 << 20, 11));
    EXPECT_SUCCESS(Print({path}));
    auto jobs = Received(kDefaultQueue);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_TRUE(SameContents(jobs[0], path));
    std::filesystem::remove(jobs[0]);
}

// --- Printers ---

TEST_F(BatchPrint, TheUsersLpoptionsDefaultComesBeforeTheSchedulers) {
    std::filesystem::create_directories(home_.path().string() + "/.cups");
    WriteFile(home_.path().string() + "/.cups/lpoptions",
              std::string("Default ") + kLabelQueue + "\n");
    EXPECT_SUCCESS(Print({MakeFile("mine.prn", "mine")}));
    EXPECT_EQ(OnlyJob(kLabelQueue), "mine");
    EXPECT_EQ(Received(kDefaultQueue), std::vector<std::string>{});
}

TEST_F(BatchPrint, WithoutADisplayTheWindowSaysSoInsteadOfAborting) {
    auto run = Print({}, {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"QT_QPA_PLATFORM", ""}});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_MENTIONS(run.err, "no display to show the window on");
    EXPECT_MENTIONS(run.err, "vantrel [-RDC] [copies] FILE [PRINTER]");
}

TEST_F(BatchPrint, ListPrintersMarksTheDefaultNotTheFirst) {
    auto run = Print({"--list-printers"});
    EXPECT_SUCCESS(run);
    EXPECT_MENTIONS(run.out, std::string(kDefaultQueue) + " - socket://");
    EXPECT_EQ(run.out.find("(default)"), run.out.find('\n', run.out.find(kDefaultQueue)) - 9);
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 4);
}

// --- What the scheduler shows ---

// The job is found by a title no earlier run used: the scheduler keeps old jobs.
TEST_F(BatchPrint, TheJobIsNamedAfterTheFileCleanedForIpp) {
    const std::string unique = std::to_string(::getpid()) + "-" + std::to_string(::time(nullptr));
    std::filesystem::create_directories(files_.file("sub"));
    // Plain; Latin-1; and so long that the title is cut inside a run of two-byte characters.
    std::string longName = unique + "x";
    for (int i = 0; i < 118; ++i) longName += "\xC3\xA9";
    for (const std::string& name :
         {"sub/REPORT-" + unique + ".TXT", "caf\xE9-" + unique + ".prn", longName}) {
        EXPECT_SUCCESS(Print({MakeFile(name, "r")}));
    }
    WaitUntilQueueIdle(kDefaultQueue);
    std::vector<std::string> titles;
    for (const auto& job : QueueJobs(kDefaultQueue, true)) titles.push_back(job.title);
    std::string cut = "Vantrel: " + unique + "x";
    while (cut.size() + 2 <= 255) cut += "\xC3\xA9";
    for (const std::string& title : {"Vantrel: REPORT-" + unique + ".TXT",
                                     "Vantrel: caf\xEF\xBF\xBD-" + unique + ".prn", cut}) {
        EXPECT_NE(std::find(titles.begin(), titles.end(), title), titles.end()) << title;
    }
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

// Command lines that print nothing: the file is kept, the status and the message say why.
struct Refusal {
    const char* name;
    std::vector<std::string> args;  // FILE stands for the file, NOWHERE for a dead scheduler
    std::string bytes;
    int status;
    std::string says;
};

class Refusals : public BatchPrint, public ::testing::WithParamInterface<Refusal> {};

TEST_P(Refusals, KeepTheFileAndSayWhy) {
    const auto& c = GetParam();
    const std::string path = MakeFile("kept.prn", c.bytes);
    const std::string nowhere = files_.file("no-scheduler.sock");
    std::vector<std::string> args;
    for (const auto& arg : c.args) args.push_back(arg == "FILE" ? path : arg);
    bool dead = std::find(args.begin(), args.end(), "NOWHERE") != args.end();
    std::erase(args, "NOWHERE");
    auto run = Print(args, dead ? std::map<std::string, std::string>{{"CUPS_SERVER", nowhere}}
                                : std::map<std::string, std::string>{});
    EXPECT_EQ(run.exitCode, c.status);
    EXPECT_MENTIONS(run.err, c.says);
    EXPECT_TRUE(FileExists(path));
    ExpectNothingPrinted();
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(BatchPrint, Refusals, ::testing::Values(
    Refusal{"UnknownPrinter", {"-CD", "0.5", "FILE", "Plotter"}, "kept", 1,
            "There is an error in the printer name.\nvantrel: no printer name begins with \"Plotter\""},
    Refusal{"RejectingQueue", {"-D", "FILE", "closed"}, "kept", 1, "not accepting jobs"},
    Refusal{"EmptyFileOnARejectingQueue", {"-D", "FILE", "closed"}, "", 1, "not accepting jobs"},
    Refusal{"StoppedScheduler", {"-D", "FILE", "NOWHERE"}, "kept", 1, "not running or can't be reached"},
    Refusal{"GuessedLongOption", {"--dry-run", "label", "FILE"}, "kept", 2, "unknown option --dry-run"},
    Refusal{"MissingFile", {"-D", "nothere.prn"}, "kept", 1, "nothere.prn"}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST_F(BatchPrint, APipeIsPrintedInEveryCopyByteExact) {
    const std::string bytes = PatternBytes(40000, 7);
    const std::string source = MakeFile("source.bin", bytes);
    auto run = RunProgram(
        {"bash", "-c", "cat \"$1\" | \"$2\" -CD 2 - label", "pipe", source, VANTREL_BINARY},
        {{"HOME", home_.path()}, {"XDG_CONFIG_HOME", home_.path().string() + "/.config"}});
    EXPECT_SUCCESS(run);
    EXPECT_MENTIONS(run.err, "Nothing to delete");
    auto jobs = Received(kLabelQueue);
    ASSERT_EQ(jobs.size(), 2u);
    for (const auto& job : jobs) EXPECT_EQ(ReadFile(job), bytes);
}

}  // namespace
}  // namespace vantrel::integration

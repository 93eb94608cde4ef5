// The real vantrel program in batch mode, printing through the private CUPS scheduler: what each
// capture printer receives, byte for byte, what the scheduler lists, what becomes of the file,
// and what the program says and returns.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "integration/harness.h"

namespace vantrel::integration {
namespace {

class BatchPrint : public ::testing::Test {
  protected:
    void SetUp() override {
        VANTREL_USE_PRIVATE_CUPS(cups_);
        for (const char* queue : {kDefaultQueue, kLabelQueue}) {
            before_[queue] = CapturedJobs(cups_, queue);
        }
    }

    RunResult Print(std::vector<std::string> args, const Env& extraEnv = {},
                    const std::string& in = "/dev/null") {
        args.insert(args.begin(), VANTREL_BINARY);
        return RunProgram(args, VantrelEnv(home_.path(), extraEnv), in);
    }

    // What the queue's printer received since the test began, once the queue is done; the job
    // files go (the large ones would fill the disk).
    std::vector<std::string> Received(const std::string& queue) {
        WaitUntilQueueIdle(queue);
        std::vector<std::string> contents;
        for (const auto& job : CapturedJobs(cups_, queue, before_[queue])) {
            contents.push_back(ReadFile(job));
            std::filesystem::remove(job);
        }
        return contents;
    }

    PrivateCups cups_;
    TempDir home_;
    TempDir files_;
    std::map<std::string, std::vector<std::string>> before_;
};

#define EXPECT_SUCCESS(run) EXPECT_EQ((run).exitCode, 0) << (run).err

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
    auto run = Print({"-C", std::to_string(c.copies), files_.write("data.prn", data)});
    EXPECT_SUCCESS(run);
    EXPECT_EQ(run.err, "");
    const auto jobs = Received(kDefaultQueue);
    const bool sends = c.size > 0 || c.eject == 1;
    ASSERT_EQ(jobs.size(), sends ? static_cast<std::size_t>(c.copies) : 0u);
    for (const auto& job : jobs) EXPECT_TRUE(job == data + (c.eject == 1 ? "\f" : ""));
}

INSTANTIATE_TEST_SUITE_P(BatchPrint, ByteExact,
                         ::testing::Values(Bytes{"OneChunk", 16384, 0, 1},
                                           Bytes{"PastAChunk", 16385, 0, 1},
                                           Bytes{"ChunksAndRemainderWithEject", 40000, 1, 1},
                                           Bytes{"GreyedEjectSendsNoFormFeed", 100, 2, 1},
                                           Bytes{"EmptySendsNothing", 0, 0, 1},
                                           Bytes{"EmptyWithEjectIsAFormFeed", 0, 1, 1},
                                           Bytes{"ThreeCopiesThreeJobs", 20000, 0, 3},
                                           Bytes{"AHundredMegabytes", 100 << 20, 0, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BatchPrint, AGzipFileIsSentCompressed) {
    // Compressed text: lp would unpack it; a raw print must not.
    const std::string source = files_.write("label.txt", std::string(6000, 'A'));
    ASSERT_EQ(RunProgram({"gzip", "-9", "-n", source}).exitCode, 0);
    EXPECT_SUCCESS(Print({source + ".gz"}));
    EXPECT_EQ(Received(kDefaultQueue), std::vector<std::string>{ReadFile(source + ".gz")});
}

// Each argument is one word: a name with blanks is that file, printed on the printer named.
TEST_F(BatchPrint, ANameWithBlanksIsOneArgument) {
    const std::string file = files_.write("a b.prn", "label with blanks");
    EXPECT_SUCCESS(Print({"-D", file, kLabelQueue}));
    EXPECT_SUCCESS(Print({"-R", kLabelQueue, files_.write("c d.prn", "second")}));
    EXPECT_EQ(Received(kLabelQueue), (std::vector<std::string>{"label with blanks", "second"}));
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(BatchPrint, APipeIsPrintedInEveryCopyByteExact) {
    const std::string bytes = PatternBytes(40000, 7);
    const std::string source = files_.write("source.bin", bytes);
    auto run = RunProgram(
        {"bash", "-c", "cat \"$1\" | \"$2\" -CD 2 - label", "pipe", source, VANTREL_BINARY},
        VantrelEnv(home_.path()));
    EXPECT_SUCCESS(run);
    EXPECT_NE(run.err.find("Nothing to delete"), std::string::npos) << run.err;
    EXPECT_EQ(Received(kLabelQueue), std::vector<std::string>(2, bytes));
}

// Queue names are anyone's who may add a queue: what a terminal acts on in them is written out.
TEST_F(BatchPrint, ListPrintersMarksTheDefaultNotTheFirstAndEscapesNames) {
    const std::string hostile =
        "Evil\xE2\x80\xAE\x9B"
        "2J";
    ASSERT_EQ(
        RunProgram({"lpadmin", "-p", hostile, "-m", "raw", "-v", "socket://127.0.0.1:9"}).exitCode,
        0);
    auto run = Print({"--list-printers"});
    RunProgram({"lpadmin", "-x", hostile});
    EXPECT_SUCCESS(run);
    EXPECT_NE(run.out.find("Evil\\u202e\\x9b2J - socket://"), std::string::npos) << run.out;
    std::vector<std::string> marked;
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);) {
        if (line.ends_with("  (default)")) marked.push_back(line.substr(0, line.find(" - ")));
    }
    EXPECT_EQ(marked, std::vector<std::string>{kDefaultQueue}) << run.out;
}

// The scheduler keeps old jobs: this one is found by a title no earlier run used.
TEST_F(BatchPrint, TheJobIsNamedAfterTheFileCleanedForIpp) {
    const std::string unique = std::to_string(::getpid()) + "-" + std::to_string(::time(nullptr));
    EXPECT_SUCCESS(Print({files_.write("caf\xE9-" + unique + ".prn", "r")}));  // Latin-1
    const std::string title = "Vantrel: caf\xEF\xBF\xBD-" + unique + ".prn";
    EXPECT_TRUE(HasJob(kDefaultQueue, title, true)) << title;
    EXPECT_EQ(Received(kDefaultQueue), std::vector<std::string>{"r"});  // not in the next test
}

// A writer appending while a large file is sent: nothing prints, the job is cancelled, and the
// file stays.
TEST_F(BatchPrint, AFileThatGrowsWhileSentIsWithdrawn) {
    const std::string path = files_.write("growing.prn", PatternBytes(50 << 20));
    auto run = RunProgram({"bash", "-c",
                           "\"$0\" -D \"$1\" label & while kill -0 $! 2>/dev/null; do printf x "
                           ">>\"$1\"; done; wait $!",
                           VANTREL_BINARY, path},
                          VantrelEnv(home_.path()));
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("it grew while it was sent, so its job was withdrawn"),
              std::string::npos)
        << run.err;
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(Received(kLabelQueue), std::vector<std::string>{});
    EXPECT_FALSE(HasJob(kLabelQueue, "Vantrel: growing.prn", false));  // withdrawn, not left
}

// The store takes over the legacy /etc/Vantrel.Ini at the first start only. The test owns that
// file while it runs: it needs root, and a machine without one.
TEST_F(BatchPrint, TheFirstStartTakesOverTheLegacySettingsOnce) {
    const std::string legacy = "/etc/Vantrel.Ini";
    if (::geteuid() != 0 || std::filesystem::exists(legacy))
        GTEST_SKIP() << "needs root and no " << legacy;
    WriteFile(legacy, "[Defaults]\r\nPage Eject=1\r\n");
    const std::shared_ptr<void> removed(nullptr, [&](void*) { std::filesystem::remove(legacy); });
    const std::string label = files_.write("label.prn", "^XA^FDhello^FS^XZ");
    EXPECT_SUCCESS(Print({label}));
    WriteFile(legacy, "[Defaults]\r\nPage Eject=0\r\n");
    EXPECT_SUCCESS(Print({label}));
    EXPECT_EQ(Received(kDefaultQueue), std::vector<std::string>(2, "^XA^FDhello^FS^XZ\f"));
}

// --wait ends once the scheduler says the job completed, and only then does -D delete.
TEST_F(BatchPrint, WaitingEndsWithTheCompletedJob) {
    const std::string label = files_.write("label.prn", "^XA^XZ");
    EXPECT_SUCCESS(Print({"--wait", "-D", label, "label"}));
    EXPECT_FALSE(std::filesystem::exists(label));
    EXPECT_SUCCESS(Print({"--wait=60", "-C", "2", "-", "label"}, {}, files_.write("in", "pipe")));
    EXPECT_EQ(Received(kLabelQueue), (std::vector<std::string>{"^XA^XZ", "pipe", "pipe"}));
}

// A stopped queue keeps the job: --wait=SECONDS gives up then and leaves it queued; a job
// cancelled while waited for ends the wait. The file stays either way.
TEST_F(BatchPrint, AStoppedQueueKeepsTheJobAndTheFile) {
    const std::shared_ptr<void> restarted(nullptr, [](void*) {
        RunProgram({"cancel", "-a", kStoppingQueue});
        RunProgram({"cupsenable", kStoppingQueue});
    });
    const std::string path = files_.write("stop.prn", "kept");
    auto run = Print({"--wait=12", "-D", path, kStoppingQueue});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find(" on Refused_Stop stopped: the printer is not responding"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(QueueJobs(kStoppingQueue, false).size(), 1u);
    const pid_t waiting = Spawn({VANTREL_BINARY, "--wait", "-D", path, kStoppingQueue},
                                VantrelEnv(home_.path()), files_.file("out"), files_.file("err"));
    EXPECT_TRUE(WaitFor([] { return QueueJobs(kStoppingQueue, false).size() == 2; }));
    RunProgram({"cancel", "-a", kStoppingQueue});
    EXPECT_EQ(WaitForExit(waiting), 1);
    EXPECT_NE(ReadFile(files_.file("err")).find(" on Refused_Stop was cancelled"),
              std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(path));
}

// Command lines that print nothing: the file is kept, the status and the message say why.
struct Refusal {
    const char* name;
    std::vector<std::string> args;  // FILE stands for the file
    std::string bytes;
    int status;
    std::string says;
    Env env = {};
    std::string input = "/dev/null";  // standard input; closed when empty
};

class Refusals : public BatchPrint, public ::testing::WithParamInterface<Refusal> {};

TEST_P(Refusals, KeepTheFileAndSayWhy) {
    const auto& c = GetParam();
    const std::string path = files_.write("kept.prn", c.bytes);
    std::vector<std::string> args = c.args;
    std::replace(args.begin(), args.end(), std::string("FILE"), path);
    auto run = Print(args, c.env, c.input);
    EXPECT_EQ(run.exitCode, c.status);
    EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    EXPECT_TRUE(std::filesystem::exists(path));
    for (const char* queue : {kDefaultQueue, kLabelQueue}) {
        EXPECT_EQ(Received(queue), std::vector<std::string>{}) << queue;
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(BatchPrint, Refusals, ::testing::Values(
    Refusal{"UnknownPrinter", {"-CD", "0.5", "FILE", "Plotter"}, "kept", 1,
            "There is an error in the printer name.\nvantrel: no printer name begins with \"Plotter\""},
    Refusal{"RejectingQueue", {"-D", "FILE", "closed"}, "kept", 1, "not accepting jobs"},
    Refusal{"EmptyFileOnARejectingQueue", {"-D", "FILE", "closed"}, "", 1, "not accepting jobs"},
    Refusal{"StoppedScheduler", {"-D", "FILE"}, "kept", 1,
            "the CUPS print server (/nonexistent/cups.sock) is not running or can't be reached",
            {{"CUPS_SERVER", "/nonexistent/cups.sock"}}},
    Refusal{"ReadErrorOnStandardInput", {"-C", "1", "-", "label"}, "kept", 1,
            "Can't read file: standard input (Is a directory)", {}, "/"},
    Refusal{"ClosedStandardInput", {"-C", "1", "-", "label"}, "kept", 1,
            "Nothing to print: standard input is closed.", {}, ""},
    Refusal{"GuessedLongOption", {"--dry-run", "label", "FILE"}, "kept", 2, "unknown option --dry-run"},
    Refusal{"GuessedLongOptionAfterWait", {"--wait", "--dry-run", "FILE"}, "kept", 2, "unknown option --dry-run"},
    Refusal{"WaitForNoTime", {"--wait=0", "-D", "FILE"}, "kept", 2, "--wait=0: SECONDS must be a whole number"},
    Refusal{"WaitForAnAbortedJob", {"--wait=60", "-D", "FILE", "Refused_Abort"}, "kept", 1,
            " on Refused_Abort was aborted: the printer is not responding"},
    Refusal{"NoDisplayForTheWindow", {}, "kept", 2, "vantrel: there is no display to show the window",
            {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"QT_QPA_PLATFORM", ""}}}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

}  // namespace
}  // namespace vantrel::integration

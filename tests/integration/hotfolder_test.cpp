// The headless AutoPrint, "vantrel --autoprint", as a running program on the private CUPS
// scheduler: what the capture printers receive, what becomes of the files, and what it says.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <thread>

#include "integration/harness.h"

namespace vantrel::integration {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

bool WaitFor(const std::function<bool()>& done, std::chrono::seconds timeout = 60s) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

// "vantrel --autoprint ARGS" in the background, its standard error kept in a file.
class Service {
  public:
    Service(std::vector<std::string> args, const std::string& home,
            std::map<std::string, std::string> env = {}) {
        env.insert({{"HOME", home}, {"XDG_CONFIG_HOME", home + "/.config"}});
        args.insert(args.begin(), {VANTREL_BINARY, "--autoprint"});
        pid_ = ::fork();
        if (pid_ == 0) {
            for (const auto& [name, value] : env) ::setenv(name.c_str(), value.c_str(), 1);
            std::vector<char*> argv;
            for (auto& arg : args) argv.push_back(arg.data());
            argv.push_back(nullptr);
            if (std::freopen(journal_.c_str(), "w", stderr)) ::execv(argv[0], argv.data());
            ::_exit(127);
        }
    }
    ~Service() {
        if (pid_ > 0) stop(SIGKILL);
    }
    // Sends the signal and returns the exit status.
    int stop(int signal = SIGTERM) {
        ::kill(pid_, signal);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }
    std::string journal() const { return FileExists(journal_) ? ReadFile(journal_) : ""; }
    bool said(const std::string& line) const { return journal().find(line) != std::string::npos; }

  private:
    TempDir dir_;
    std::string journal_ = dir_.file("journal");
    pid_t pid_ = -1;
};

class HotFolders : public ::testing::Test {
  protected:
    void SetUp() override {
        VANTREL_USE_PRIVATE_CUPS(cups_);
        labels_ = CaptureDir(cups_, kLabelQueue);
        before_ = labels_.jobs();
    }

    // Writes the files by name and returns their contents, sorted.
    static std::vector<std::string> Drop(const std::string& folder, int count, std::size_t size) {
        std::vector<std::string> contents;
        for (int i = 0; i < count; ++i) {
            contents.push_back(PatternBytes(size, static_cast<unsigned>(i + count)));
            WriteFile(folder + "/file-" + std::to_string(i) + ".prn", contents.back());
        }
        std::sort(contents.begin(), contents.end());
        return contents;
    }
    static bool Empty(const std::string& folder) {
        return std::none_of(fs::directory_iterator(folder), {},
                            [](const auto& entry) { return entry.is_regular_file(); });
    }
    // The contents of the jobs the capture printer received since `before`, sorted, once there
    // are `count` of them.
    static std::vector<std::string> Received(const CaptureDir& capture,
                                             const std::vector<std::string>& before,
                                             std::size_t count) {
        std::vector<std::string> contents;
        WaitFor([&] { return capture.jobsSince(before).size() >= count; });
        for (const auto& job : capture.jobsSince(before)) contents.push_back(ReadFile(job));
        std::sort(contents.begin(), contents.end());
        return contents;
    }

    PrivateCups cups_;
    CaptureDir labels_{cups_, kLabelQueue};  // set up again once cups_ is known
    std::vector<std::string> before_;
    TempDir home_;
    TempDir a_;
    TempDir b_;
};

TEST_F(HotFolders, TwoFoldersPrintOnTheirOwnPrintersByteForByte) {
    const CaptureDir office(cups_, kDefaultQueue);
    const auto officeBefore = office.jobs();
    Service service({a_.path().string() + "=label", b_.path().string() + "=Office_Laser"},
                    home_.path());
    const auto toLabels = Drop(a_.path(), 3, 20000);
    const auto toOffice = Drop(b_.path(), 2, 70000);
    EXPECT_EQ(Received(labels_, before_, 3), toLabels);
    EXPECT_EQ(Received(office, officeBefore, 2), toOffice);
    EXPECT_TRUE(WaitFor([&] { return Empty(a_.path()) && Empty(b_.path()); }));
    EXPECT_EQ(service.stop(), 0);
    EXPECT_TRUE(service.said("printed file-0.prn on Label_Printer (1 copy, 20000 bytes)\n"))
        << service.journal();
}

TEST_F(HotFolders, ARefusingQueueSendsTheFilesToTheFoldersFailedDirectory) {
    Service service({a_.path().string() + "=" + kRejectingQueue}, home_.path());
    Drop(a_.path(), 2, 100);
    EXPECT_TRUE(WaitFor([&] { return Empty(a_.path()); }));
    EXPECT_EQ(ReadFile(a_.file("Failed/file-0.prn")).size(), 100u);
    EXPECT_EQ(service.stop(), 0);
    EXPECT_TRUE(
        service.said("failed file-1.prn on Closed_Desk: the printer Closed_Desk is not "
                     "accepting jobs \u2192 Failed/file-1.prn\n"))
        << service.journal();
}

TEST_F(HotFolders, FilesWaitForAStoppedSpoolerAndArePrintedWhenItIsBack) {
    // A scheduler of the test's own, which the test stops and starts again.
    TempDir spooler;
    const std::string common = VANTREL_SOURCE_DIR "/scripts/cups/common.sh";
    auto scheduler = [&](const std::string& script) {
        return RunProgram({"bash", "-c", "source \"$0\" && " + script, common, spooler.path()},
                          {{"VANTREL_CAPTURE_BIN", CAPTURE_PRINTER_BINARY}})
            .exitCode;
    };
    const std::shared_ptr<void> stopAtTheEnd(nullptr,
                                             [&](void*) { scheduler("cups_stop \"$1\""); });
    ASSERT_EQ(scheduler("cups_start_scheduler \"$1\" && cups_add_capture_queue \"$1\" Spare"), 0);
    Service service(
        {a_.path().string() + "=Spare"}, home_.path(),
        {{"CUPS_SERVER", spooler.file("cups.sock")}, {"CUPS_SERVERROOT", spooler.file("etc")}});
    ASSERT_TRUE(WaitFor([&] { return service.said("watching"); }));
    ASSERT_EQ(scheduler("kill $(cat \"$1/pids/cupsd\") && while [[ -S \"$1/cups.sock\" ]]; do "
                        "sleep 0.05; done"),
              0);

    const auto dropped = Drop(a_.path(), 3, 5000);
    ASSERT_TRUE(WaitFor([&] { return service.said("spooler unreachable: "); }));
    std::this_thread::sleep_for(2s);
    EXPECT_EQ(std::distance(fs::directory_iterator(a_.path()), {}), 3);  // none in Failed/
    EXPECT_EQ(scheduler("cups_start_scheduler \"$1\""), 0);
    EXPECT_EQ(Received(CaptureDir({spooler.path(), {}}, "Spare"), {}, 3), dropped);
    EXPECT_TRUE(WaitFor([&] { return Empty(a_.path()); }));
    EXPECT_EQ(service.stop(), 0);
    EXPECT_TRUE(service.said("(files kept, retrying)\nprinting again on Spare\n"))
        << service.journal();
}

TEST_F(HotFolders, SigtermDuringABigJobLeavesItWholeOrAbsent) {
    Service service({a_.path().string() + "=" + kLabelQueue}, home_.path());
    const std::string big = b_.file("big.prn");
    {
        std::ofstream out(big, std::ios::binary);
        const std::string block = PatternBytes(1 << 20, 5);
        for (int i = 0; i < 100; ++i) out << block;
    }
    fs::create_hard_link(big, b_.file("expected.prn"));  // stays when the printed one goes
    fs::rename(big, a_.file("big.prn"));
    ASSERT_TRUE(WaitFor([] { return !QueueJobs(kLabelQueue, false).empty(); }));
    EXPECT_EQ(service.stop(), 0);
    EXPECT_TRUE(service.journal().ends_with("stopped\n")) << service.journal();

    WaitUntilQueueIdle(kLabelQueue);
    const auto jobs = labels_.jobsSince(before_);
    ASSERT_LE(jobs.size(), 1u);
    const bool printed = jobs.size() == 1;
    if (printed) {
        EXPECT_TRUE(SameContents(jobs[0], b_.file("expected.prn")));
    }
    EXPECT_EQ(fs::exists(a_.file("big.prn")), !printed);
    for (const auto& job : jobs) fs::remove(job);
}

}  // namespace
}  // namespace vantrel::integration

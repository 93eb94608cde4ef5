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
#include <thread>

#include "integration/harness.h"

extern char** environ;

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
    Service(const std::vector<std::string>& args, const std::string& home,
            std::map<std::string, std::string> env = {}) {
        env["HOME"] = home;
        env["XDG_CONFIG_HOME"] = home + "/.config";
        std::vector<std::string> vars;
        for (char** var = environ; *var; ++var) {
            const std::string text = *var;
            if (!env.contains(text.substr(0, text.find('=')))) vars.push_back(text);
        }
        for (const auto& [name, value] : env) vars.push_back(name + "=" + value);
        std::vector<std::string> argv = {VANTREL_BINARY, "--autoprint"};
        argv.insert(argv.end(), args.begin(), args.end());
        pid_ = ::fork();
        if (pid_ == 0) {
            std::vector<char*> a, e;
            for (auto& s : argv) a.push_back(s.data());
            for (auto& s : vars) e.push_back(s.data());
            a.push_back(nullptr);
            e.push_back(nullptr);
            if (!std::freopen(journal_.c_str(), "w", stderr)) ::_exit(127);
            ::execve(a[0], a.data(), e.data());
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
    void SetUp() override { VANTREL_USE_PRIVATE_CUPS(cups_); }

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
    // The contents of the jobs a capture directory received since `before`, sorted.
    static std::vector<std::string> Received(const std::string& dir,
                                             const std::vector<std::string>& before,
                                             std::size_t count) {
        std::vector<std::string> jobs;
        WaitFor([&] { return (jobs = Jobs(dir, before)).size() >= count; });
        std::vector<std::string> contents;
        for (const auto& job : jobs) contents.push_back(ReadFile(job));
        std::sort(contents.begin(), contents.end());
        return contents;
    }
    static std::vector<std::string> Jobs(const std::string& dir,
                                         const std::vector<std::string>& before = {}) {
        std::vector<std::string> jobs;
        for (const auto& entry : fs::directory_iterator(dir)) {
            const std::string path = entry.path().string();
            if (path.ends_with(".bin") &&
                std::find(before.begin(), before.end(), path) == before.end())
                jobs.push_back(path);
        }
        return jobs;
    }
    std::string Capture(const char* queue) const { return cups_.dir + "/capture/" + queue; }

    PrivateCups cups_;
    TempDir home_;
    TempDir a_;
    TempDir b_;
};

TEST_F(HotFolders, TwoFoldersPrintOnTheirOwnPrintersByteForByte) {
    const auto labelsBefore = Jobs(Capture(kLabelQueue));
    const auto officeBefore = Jobs(Capture(kDefaultQueue));
    Service service({a_.path() + "=label", b_.path() + "=Office_Laser"}, home_.path());
    const auto labels = Drop(a_.path(), 3, 20000);
    const auto office = Drop(b_.path(), 2, 70000);
    EXPECT_EQ(Received(Capture(kLabelQueue), labelsBefore, 3), labels);
    EXPECT_EQ(Received(Capture(kDefaultQueue), officeBefore, 2), office);
    EXPECT_TRUE(WaitFor([&] { return Empty(a_.path()) && Empty(b_.path()); }));
    EXPECT_EQ(service.stop(), 0);
    EXPECT_TRUE(service.said("printed file-0.prn on Label_Printer (1 copy, 20000 bytes)\n"))
        << service.journal();
}

TEST_F(HotFolders, AFileWrittenSlowlyIsPrintedOnceAndWhole) {
    const auto before = Jobs(Capture(kLabelQueue));
    Service service({a_.path() + "=" + kLabelQueue}, home_.path());
    const std::string bytes = PatternBytes(10000, 1);
    for (int piece = 0; piece < 10; ++piece) {
        std::ofstream(a_.file("slow.prn"), std::ios::app | std::ios::binary)
            << bytes.substr(piece * 1000, 1000);
        std::this_thread::sleep_for(300ms);
    }
    EXPECT_EQ(Received(Capture(kLabelQueue), before, 1), std::vector<std::string>{bytes});
    std::this_thread::sleep_for(1500ms);  // no second job follows
    EXPECT_EQ(Jobs(Capture(kLabelQueue), before).size(), 1u);
    EXPECT_EQ(service.stop(), 0);
}

TEST_F(HotFolders, FiveHundredFilesDroppedAtOnceAreAllPrinted) {
    const auto before = Jobs(Capture(kLabelQueue));
    Service service({a_.path() + "=" + kLabelQueue}, home_.path());
    const auto dropped = Drop(a_.path(), 500, 1024);
    EXPECT_EQ(Received(Capture(kLabelQueue), before, 500), dropped);
    EXPECT_TRUE(WaitFor([&] { return Empty(a_.path()); }));
    EXPECT_EQ(service.stop(), 0);
}

TEST_F(HotFolders, ARefusingQueueSendsTheFilesToTheFoldersFailedDirectory) {
    Service service({a_.path() + "=" + kRejectingQueue}, home_.path());
    const auto dropped = Drop(a_.path(), 2, 100);
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
    ASSERT_EQ(scheduler("cups_start_scheduler \"$1\" && cups_add_capture_queue \"$1\" Spare"), 0);
    Service service(
        {a_.path() + "=Spare"}, home_.path(),
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
    EXPECT_EQ(Received(spooler.file("capture/Spare"), {}, 3), dropped);
    EXPECT_TRUE(WaitFor([&] { return Empty(a_.path()); }));
    EXPECT_EQ(service.stop(), 0);
    scheduler("cups_stop \"$1\"");
    EXPECT_TRUE(service.said("(files kept, retrying)\nprinting again on Spare\n"))
        << service.journal();
}

TEST_F(HotFolders, SigtermDuringABigJobLeavesItWholeOrAbsent) {
    const auto before = Jobs(Capture(kLabelQueue));
    Service service({a_.path() + "=" + kLabelQueue}, home_.path());
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
    const auto jobs = Jobs(Capture(kLabelQueue), before);
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

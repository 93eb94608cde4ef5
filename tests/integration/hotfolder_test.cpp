// The headless AutoPrint, "vantrel --autoprint", as a running program on the private CUPS
// scheduler: what the capture printers receive, what becomes of the files, and what it says.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <memory>
#include <thread>
#include <utility>

#include "integration/harness.h"

namespace vantrel::integration {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Names = std::vector<std::string>;

// "vantrel --autoprint ARGS" in the background, its standard error kept in a file; started
// through a launcher (another user, another host name) when one is given.
class Service {
  public:
    Service(std::vector<std::string> args, const std::string& home, const Env& env = {},
            std::vector<std::string> launcher = {}, const std::string& program = VANTREL_BINARY) {
        args.insert(args.begin(), {program, "--autoprint"});
        args.insert(args.begin(), launcher.begin(), launcher.end());
        pid_ = Spawn(args, VantrelEnv(home, env), "/dev/null", journal_);
    }
    ~Service() {
        if (pid_ > 0) stop(SIGKILL);
    }
    // Sends the signal and returns the exit status.
    int stop(int signal = SIGTERM) {
        const pid_t pid = std::exchange(pid_, -1);
        ::kill(pid, signal);
        return WaitForExit(pid);
    }
    bool running() const { return pid_ > 0 && ::waitpid(pid_, nullptr, WNOHANG) == 0; }
    // Sends the signal and leaves the waiting to the caller; the process's id.
    pid_t signal(int signal) {
        ::kill(pid_, signal);
        return std::exchange(pid_, -1);
    }
    std::string journal() const { return ReadFile(journal_); }
    bool said(const std::string& line) const { return journal().find(line) != std::string::npos; }

  private:
    TempDir dir_;
    std::string journal_ = dir_.file("journal");
    pid_t pid_ = -1;
};

// What a service needs to print on a scheduler of the test's own.
Env On(const OwnScheduler& spooler) {
    return {{"CUPS_SERVER", spooler.cups().server},
            {"CUPS_SERVERROOT", spooler.cups().dir + "/etc"}};
}

class HotFolders : public ::testing::Test {
  protected:
    void SetUp() override { VANTREL_USE_PRIVATE_CUPS(cups_); }

    // Writes the files by name and returns their contents, sorted.
    static Names Drop(const TempDir& folder, int count, std::size_t size) {
        Names contents;
        for (int i = 0; i < count; ++i) {
            contents.push_back(PatternBytes(size, static_cast<unsigned>(i + count)));
            folder.write("file-" + std::to_string(i) + ".prn", contents.back());
        }
        std::sort(contents.begin(), contents.end());
        return contents;
    }
    // The plain files in a folder, by name.
    static Names Files(const TempDir& folder) {
        Names names;
        for (const auto& entry : fs::directory_iterator(folder.path())) {
            // The watch's lock file, and the marks of files in print, are AutoPrint's own.
            const std::string name = entry.path().filename();
            if (entry.is_regular_file() && !name.starts_with(".vantrel-")) names.push_back(name);
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    // The jobs the capture printer holds now, once it is writing none: the scheduler may call a
    // job done before the printer has stored its last bytes.
    static Names Captured(const PrivateCups& cups, const std::string& queue) {
        const auto writing = [&] {
            std::error_code none;
            for (const auto& entry : fs::directory_iterator(cups.dir + "/capture/" + queue, none))
                if (entry.path().filename().string().starts_with(".job-")) return true;
            return false;
        };
        WaitFor([&] { return !writing(); });
        return CapturedJobs(cups, queue);
    }
    // The contents of the jobs the capture printer received since `before`, sorted, once there
    // are `count` of them and none is being written.
    static Names Received(const PrivateCups& cups, const std::string& queue, const Names& before,
                          std::size_t count) {
        Names contents;
        WaitFor([&] { return CapturedJobs(cups, queue, before).size() >= count; });
        Captured(cups, queue);
        for (const auto& job : CapturedJobs(cups, queue, before)) contents.push_back(ReadFile(job));
        std::sort(contents.begin(), contents.end());
        return contents;
    }

    // How many jobs of the queue, ended ones too, are copies of the file of that name.
    static std::size_t Titled(const std::string& queue, const std::string& name) {
        const auto jobs = QueueJobs(queue, true);
        return std::count_if(jobs.begin(), jobs.end(), [&](const QueuedJob& job) {
            return job.title.starts_with("Vantrel: " + name + " [");
        });
    }

    PrivateCups cups_;
    TempDir home_;
    TempDir a_;
    TempDir b_;
};

// Each folder on its own printer; what the printer refuses goes to the folder's Failed/, and
// dot files stay where they are.
TEST_F(HotFolders, EachFolderPrintsOnItsOwnPrinterByteForByte) {
    const Names before = CapturedJobs(cups_, kLabelQueue);
    Service service({a_.path().string() + "=label", b_.path().string() + "=" + kRejectingQueue},
                    home_.path());
    ASSERT_TRUE(WaitFor([&] { return service.said("watching"); }));
    a_.write(".partial.prn", "not yet");  // only its event tells of it
    const Names dropped = Drop(a_, 3, 20000);
    Drop(b_, 2, 100);
    EXPECT_EQ(Received(cups_, kLabelQueue, before, 3), dropped);
    EXPECT_TRUE(WaitFor([&] { return Files(a_) == Names{".partial.prn"} && Files(b_).empty(); }));
    EXPECT_EQ(service.stop(), 0);
    EXPECT_TRUE(service.said("spooled file-0.prn on Label_Printer (1 copy, 20000 bytes)\n"))
        << service.journal();
    EXPECT_TRUE(
        service.said("failed file-1.prn on Closed_Desk: the printer Closed_Desk is not "
                     "accepting jobs \u2192 Failed/file-1.prn\n"))
        << service.journal();
}

// One watcher per folder, whoever runs it: the lock lies in the folder, not in a user's state
// directory. A second service (another home, as another user or machine has) waits, saying who
// holds the folder, and takes it over once the first is killed; a Failed that is a link is never
// followed, and what it would have taken stays where it is.
TEST_F(HotFolders, ASecondServiceWaitsAndTakesTheFolderOver) {
    const Names before = CapturedJobs(cups_, kLabelQueue);
    Service first({a_.path().string() + "=" + kLabelQueue}, home_.path());
    ASSERT_TRUE(WaitFor([&] { return first.said("watching"); }));
    TempDir otherHome;
    Service second({a_.path().string() + "=" + kLabelQueue}, otherHome.path());
    ASSERT_TRUE(WaitFor([&] { return second.said(" is watched by host "); })) << second.journal();
    first.stop(SIGKILL);
    const Names dropped = Drop(a_, 3, 1000);
    EXPECT_EQ(Received(cups_, kLabelQueue, before, 3), dropped);
    EXPECT_TRUE(WaitFor([&] { return Files(a_).empty(); }));
    EXPECT_TRUE(second.said("took over " + a_.path().string())) << second.journal();
    EXPECT_EQ(second.stop(), 0);

    TempDir elsewhere;
    fs::create_directory_symlink(elsewhere.path(), b_.path() / "Failed");
    Service refusing({b_.path().string() + "=" + kRejectingQueue}, home_.path());
    b_.write("refused.prn", "R");
    ASSERT_TRUE(WaitFor([&] { return refusing.said("could not move"); })) << refusing.journal();
    EXPECT_TRUE(refusing.said("Failed is a link, which AutoPrint does not follow"));
    EXPECT_TRUE(fs::is_empty(elsewhere.path()));
    EXPECT_EQ(Files(b_), Names{"refused.prn"});
    EXPECT_EQ(refusing.stop(), 0);
}

TEST_F(HotFolders, FilesWaitForAStoppedSpoolerAndArePrintedWhenItIsBack) {
    OwnScheduler spooler;
    ASSERT_EQ(spooler.startWithQueue(), 0);
    Service service({a_.path().string() + "=Spare"}, home_.path(), On(spooler));
    ASSERT_TRUE(WaitFor([&] { return service.said("watching"); }));
    ASSERT_EQ(spooler.run("kill $(cat \"$1/pids/cupsd\") && while [[ -S \"$1/cups.sock\" ]]; do "
                          "sleep 0.05; done"),
              0);

    const auto dropped = Drop(a_, 3, 5000);
    ASSERT_TRUE(WaitFor([&] { return service.said("spooler unreachable: "); }));
    std::this_thread::sleep_for(2s);
    EXPECT_EQ(Files(a_).size(), 3u);  // none printed, none moved to Failed/
    EXPECT_EQ(spooler.start(), 0);
    EXPECT_EQ(Received(spooler.cups(), "Spare", {}, 3), dropped);
    EXPECT_TRUE(WaitFor([&] { return Files(a_).empty(); }));
    EXPECT_EQ(service.stop(), 0);
    EXPECT_TRUE(service.said("(files kept, retrying)\nprinting again on Spare\n"))
        << service.journal();
}

// A stop request ends the service within moments although the scheduler froze in the middle of
// a document: the document is broken off, its job is withdrawn once the scheduler wakes, nothing
// of it prints, and the file stays, told as kept for the stop, not as an outage.
TEST_F(HotFolders, SigtermWhileTheSchedulerIsFrozenEndsSoonAndKeepsTheFile) {
    OwnScheduler spooler;
    ASSERT_EQ(spooler.startWithQueue(), 0);
    Service service({a_.path().string() + "=Spare"}, home_.path(), On(spooler));
    ASSERT_TRUE(WaitFor([&] { return service.said("watching"); }));
    a_.write("big.prn", PatternBytes(300 << 20, 3));
    const std::string jobs = "CUPS_SERVER=\"$1/cups.sock\" lpstat -o Spare | grep -q Spare";
    ASSERT_TRUE(WaitFor([&] { return spooler.run(jobs) == 0; }));
    ASSERT_EQ(spooler.run("kill -STOP $(cat \"$1/pids/cupsd\")"), 0);
    const pid_t pid = service.signal(SIGTERM);
    int status = -1;
    const bool ended = WaitFor([&] { return ::waitpid(pid, &status, WNOHANG) == pid; }, 15s);
    ASSERT_EQ(spooler.run("kill -CONT $(cat \"$1/pids/cupsd\")"), 0);
    ASSERT_TRUE(ended);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_TRUE(WaitFor([&] { return spooler.run(jobs) != 0; }, 30s));
    EXPECT_TRUE(CapturedJobs(spooler.cups(), "Spare").empty());
    EXPECT_EQ(Files(a_), Names{"big.prn"});
    EXPECT_TRUE(service.said("stopping: big.prn kept") && !service.said("unreachable"))
        << service.journal();
}

// A stop request lets the file in print finish, whole or withdrawn, and begins no other.
TEST_F(HotFolders, SigtermDuringABigJobLeavesItWholeOrAbsent) {
    const Names before = CapturedJobs(cups_, kLabelQueue);
    const std::string big = PatternBytes(100 << 20, 5);
    const std::string name = "big-" + std::to_string(::getpid()) + ".prn";  // a title of its own
    a_.write(name, big);
    a_.write("small.prn", "next in line");  // due at once with the big one
    Service service({a_.path().string() + "=" + kLabelQueue}, home_.path());
    ASSERT_TRUE(WaitFor([&] { return Titled(kLabelQueue, name) > 0; }));
    EXPECT_EQ(service.stop(), 0);

    WaitUntilQueueIdle(kLabelQueue);
    const auto jobs = CapturedJobs(cups_, kLabelQueue, before);
    ASSERT_LE(jobs.size(), 1u);
    const bool printed = jobs.size() == 1;
    EXPECT_TRUE(!printed || ReadFile(jobs[0]) == big);
    EXPECT_EQ(Files(a_), printed ? Names{"small.prn"} : (Names{name, "small.prn"}));
    for (const auto& job : jobs) fs::remove(job);
}

// SIGKILL and a new start: a job the spooler holds (a stopped queue, waited for) is followed,
// never sent again, and its file goes to Failed/ once the job is cancelled; a file killed in the
// middle of its document, or just after it, is printed once, whole, and then deleted.
TEST_F(HotFolders, AServiceKilledAndStartedAgainPrintsEachFileOnce) {
    const std::shared_ptr<void> restarted(nullptr, [](void*) {
        RunProgram({"cancel", "-a", kStoppingQueue});
        RunProgram({"cupsenable", kStoppingQueue});
    });
    const std::string held = "held-" + std::to_string(::getpid()) + ".prn";
    a_.write(held, "held bytes");
    const std::vector<std::string> stopping{"--wait", a_.path().string() + "=" + kStoppingQueue};
    Service first(stopping, home_.path());
    ASSERT_TRUE(WaitFor([&] { return first.said("spooled " + held); })) << first.journal();
    first.stop(SIGKILL);
    Service second(stopping, home_.path());
    ASSERT_TRUE(WaitFor([&] { return second.said("held " + held); })) << second.journal();
    EXPECT_FALSE(second.said("spooled"));
    EXPECT_EQ(Titled(kStoppingQueue, held), 1u);
    RunProgram({"cancel", "-a", kStoppingQueue});
    EXPECT_TRUE(WaitFor([&] { return second.said("failed " + held + " on Refused_Stop: job "); }))
        << second.journal();
    EXPECT_TRUE(fs::exists(a_.path() / "Failed" / held));
    second.stop(SIGKILL);

    const Names before = CapturedJobs(cups_, kLabelQueue);
    const std::string big = PatternBytes(100 << 20, 9);
    const std::string name = "big-" + std::to_string(::getpid()) + ".prn";
    b_.write(name, big);
    const std::vector<std::string> label{b_.path().string() + "=" + kLabelQueue};
    Service third(label, home_.path());
    ASSERT_TRUE(WaitFor([&] { return Titled(kLabelQueue, name) > 0; }));
    third.stop(SIGKILL);
    Service fourth(label, home_.path());
    EXPECT_TRUE(WaitFor([&] { return Files(b_).empty(); }, 120s)) << fourth.journal();
    WaitUntilQueueIdle(kLabelQueue);
    const auto jobs = CapturedJobs(cups_, kLabelQueue, before);
    ASSERT_EQ(jobs.size(), 1u) << fourth.journal();
    EXPECT_TRUE(ReadFile(jobs[0]) == big);
    for (const auto& job : jobs) fs::remove(job);
}

// A scheduler stopped dead (SIGSTOP) while the service looks its printer up for a dropped file:
// SIGTERM still ends it within the 15 s systemd grants, the file kept.
TEST_F(HotFolders, SigtermEndsTheServiceWhileTheSchedulerIsFrozen) {
    OwnScheduler frozen;
    ASSERT_EQ(frozen.startWithQueue(), 0);
    Service service({a_.path().string() + "=Spare"}, home_.path(), On(frozen));
    ASSERT_TRUE(WaitFor([&] { return service.said("watching"); })) << service.journal();
    ASSERT_EQ(frozen.run("kill -STOP $(cat \"$1/pids/cupsd\")"), 0);
    a_.write("kept.prn", "kept bytes");
    std::this_thread::sleep_for(3s);  // settled, and its printer asked for
    const pid_t pid = service.signal(SIGTERM);
    int status = -1;
    const bool ended = WaitFor([&] { return ::waitpid(pid, &status, WNOHANG) == pid; }, 15s);
    frozen.run("kill -CONT $(cat \"$1/pids/cupsd\")");
    if (!ended) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
    }
    EXPECT_TRUE(ended) << service.journal();
    EXPECT_EQ(ReadFile(a_.file("kept.prn")), "kept bytes");
}

// Two AutoPrints on one shared folder, as two users of a group (mode 2770) or two machines
// (two homes, two host names) have: 300 files written at 50 a second, the watching one killed
// after the first 100 and started again 2 s later, as systemd would. The other takes the folder
// over, the killed one still finishes the file it was printing, and each file prints once.
struct SharedFolderCase {
    const char* name;
    bool twoUsers;
};

class SharedFolder : public HotFolders, public ::testing::WithParamInterface<SharedFolderCase> {
  protected:
    void SetUp() override {
        HotFolders::SetUp();
        if (::geteuid() != 0)
            GTEST_SKIP() << "needs root: it makes users, or host names of its own (unshare)";
        // A place every user reaches: the build tree may lie in root's home.
        program_ = programDir_.file("vantrel");
        fs::copy_file(VANTREL_BINARY, program_);
        const auto module = fs::path(VANTREL_BINARY).parent_path() / "vantrel-settings.so";
        if (fs::exists(module)) fs::copy_file(module, programDir_.file("vantrel-settings.so"));
        if (GetParam().twoUsers) makeUsers();
    }
    void TearDown() override {
        for (auto& watcher : watchers_) watcher.reset();
        if (!users_) return;
        for (const char* user : {kUserA, kUserB}) RunProgram({"userdel", user});
        RunProgram({"groupdel", kGroup});
    }
    void makeUsers() {
        RunProgram({"groupadd", "--system", kGroup});
        for (const char* user : {kUserA, kUserB})
            RunProgram({"useradd", "--system", "--no-create-home", "--gid", kGroup, user});
        users_ = true;
        ASSERT_EQ(RunProgram({"chown", std::string("root:") + kGroup, a_.path()}).exitCode, 0);
        fs::permissions(a_.path(), fs::perms(02770));
    }
    // Watcher 0 or 1, started again when it was there before.
    void start(int which) {
        const char* user = which == 0 ? kUserA : kUserB;
        const std::string home = homes_[which].path().string();
        std::vector<std::string> launcher;
        if (GetParam().twoUsers) {
            RunProgram({"chown", "-R", user, home});
            launcher = {"setpriv", std::string("--reuid=") + user, std::string("--regid=") + kGroup,
                        "--clear-groups", "--"};
        } else {
            launcher = {"unshare", "--uts", "sh", "-c", "hostname \"$0\" && exec \"$@\"", user};
        }
        watchers_[which] = std::make_unique<Service>(
            std::vector<std::string>{a_.path().string() + "=" + kLabelQueue}, home, Env{}, launcher,
            program_);
    }

    static constexpr const char* kGroup = "vantrel-share";
    static constexpr const char* kUserA = "vantrel-a";
    static constexpr const char* kUserB = "vantrel-b";
    TempDir programDir_;
    std::string program_;
    TempDir homes_[2];
    std::unique_ptr<Service> watchers_[2];
    bool users_ = false;
};

TEST_P(SharedFolder, EachFilePrintsOnceWhenTheWatcherIsKilled) {
    WaitUntilQueueIdle(kLabelQueue);  // what earlier tests printed is stored before this one
    const Names before = Captured(cups_, kLabelQueue);
    start(0);
    ASSERT_TRUE(WaitFor([&] { return watchers_[0]->said("watching"); })) << watchers_[0]->journal();
    start(1);
    ASSERT_TRUE(WaitFor([&] { return watchers_[1]->said(" is watched by host "); }))
        << watchers_[1]->journal();
    // The kill lands in the middle of a big file's document; the killed one starts again only
    // once the other has taken the folder over.
    const std::string big = "big-" + std::to_string(::getpid()) + ".prn";
    Names dropped{PatternBytes(100 << 20, 77)};
    bool killed = false, restarted = false, bigLeft = false;
    for (int i = 0; i < 300; ++i) {
        dropped.push_back(PatternBytes(200, static_cast<unsigned>(1000 + i)));
        a_.write("shared-" + std::to_string(i) + ".prn", dropped.back());
        if (i == 100) a_.write(big, dropped.front());
        if (i > 100 && !killed && Titled(kLabelQueue, big) > 0) {
            watchers_[0]->stop(SIGKILL);
            killed = true;
            bigLeft = fs::exists(a_.path() / big);  // a fast machine may have sent it all
        }
        if (killed && !restarted && watchers_[1]->said("took over ")) {
            start(0);
            restarted = true;
        }
        std::this_thread::sleep_for(20ms);
    }
    ASSERT_TRUE(killed && WaitFor([&] { return watchers_[1]->said("took over "); }));
    if (!restarted) start(0);
    std::sort(dropped.begin(), dropped.end());
    EXPECT_TRUE(WaitFor([&] { return Files(a_).empty(); }, 180s))
        << Files(a_).size() << " left\n"
        << watchers_[0]->journal() << watchers_[1]->journal();
    WaitUntilQueueIdle(kLabelQueue);
    const Names received = Received(cups_, kLabelQueue, before, dropped.size());
    Names twice, never;
    std::ranges::set_difference(received, dropped, std::back_inserter(twice));
    std::ranges::set_difference(dropped, received, std::back_inserter(never));
    EXPECT_TRUE(twice.empty() && never.empty())
        << twice.size() << " printed more often, " << never.size() << " less often\n"
        << watchers_[0]->journal() << watchers_[1]->journal();
    if (bigLeft) {
        EXPECT_TRUE(watchers_[1]->said("left " + big + " to host ")) << watchers_[1]->journal();
    }
    for (const auto& job : CapturedJobs(cups_, kLabelQueue, before)) fs::remove(job);
}

INSTANTIATE_TEST_SUITE_P(Watchers, SharedFolder,
                         ::testing::Values(SharedFolderCase{"TwoUsers", true},
                                           SharedFolderCase{"TwoHosts", false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vantrel::integration

#include "integration/harness.h"

#include <cups/cups.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace vantrel::integration {

const char* const kNoPrivateCups =
    "no private CUPS server: scripts/test.sh starts one (or run scripts/cups/start-server.sh "
    "and export the variables it prints)";

std::optional<PrivateCups> FindPrivateCups() {
    const char* dir = std::getenv("VANTREL_TEST_CUPS_DIR");
    const char* server = std::getenv("CUPS_SERVER");
    if (!dir || !*dir || !server || !*server) return std::nullopt;
    return PrivateCups{dir, server};
}

bool PrivateCupsRequired() {
    const char* required = std::getenv("VANTREL_REQUIRE_CUPS");
    return required && *required && std::string(required) != "0";
}

bool SameContents(const std::string& a, const std::string& b) {
    return RunProgram({"cmp", "-s", a, b}).exitCode == 0;
}

CaptureDir::CaptureDir(const PrivateCups& cups, const std::string& queue)
    : dir_(cups.dir + "/capture/" + queue) {}

std::vector<std::string> CaptureDir::jobs() const {
    std::vector<std::string> names;
    std::error_code none;  // no job yet: no directory
    for (const auto& entry : std::filesystem::directory_iterator(dir_, none)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("job-") && name.ends_with(".bin")) names.push_back(entry.path());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> CaptureDir::jobsSince(const std::vector<std::string>& before) const {
    std::vector<std::string> added;
    for (const auto& job : jobs()) {
        if (std::find(before.begin(), before.end(), job) == before.end()) added.push_back(job);
    }
    return added;
}

std::vector<QueuedJob> QueueJobs(const std::string& queue, bool includeCompleted) {
    cups_job_t* jobs = nullptr;
    int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue.c_str(), 0,
                             includeCompleted ? CUPS_WHICHJOBS_ALL : CUPS_WHICHJOBS_ACTIVE);
    if (count < 0)
        throw std::runtime_error(std::string("cannot list jobs: ") + cupsLastErrorString());
    std::vector<QueuedJob> result;
    for (int i = 0; i < count; ++i) {
        result.push_back({jobs[i].id, jobs[i].title ? jobs[i].title : "",
                          static_cast<int>(jobs[i].state), jobs[i].dest ? jobs[i].dest : ""});
    }
    cupsFreeJobs(count, jobs);
    std::sort(result.begin(), result.end(),
              [](const QueuedJob& a, const QueuedJob& b) { return a.id < b.id; });
    return result;
}

void WaitUntilQueueIdle(const std::string& queue, std::chrono::seconds timeout) {
    auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        auto jobs = QueueJobs(queue, false);
        bool busy = std::any_of(jobs.begin(), jobs.end(), [](const QueuedJob& job) {
            return job.state == IPP_JSTATE_PENDING || job.state == IPP_JSTATE_PROCESSING;
        });
        if (!busy) return;
        if (std::chrono::steady_clock::now() > deadline) {
            throw std::runtime_error("queue " + queue + " still busy after the timeout");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

void CancelAllJobs(const std::string& queue) {
    for (const auto& job : QueueJobs(queue, false)) {
        cupsCancelJob2(CUPS_HTTP_DEFAULT, queue.c_str(), job.id, 0);
    }
}

namespace {

std::vector<std::string> Environment(const std::map<std::string, std::string>& extra) {
    std::map<std::string, std::string> vars;
    for (char** entry = environ; *entry; ++entry) {
        std::string text = *entry;
        auto equals = text.find('=');
        if (equals != std::string::npos) vars[text.substr(0, equals)] = text.substr(equals + 1);
    }
    // These name a default printer of their own and would hide the one under test.
    vars.erase("LPDEST");
    vars.erase("PRINTER");
    for (const auto& [name, value] : extra) vars[name] = value;
    std::vector<std::string> result;
    for (const auto& [name, value] : vars) result.push_back(name + "=" + value);
    return result;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (auto& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace

// The program's output goes into files, read once it has ended: no pipe can fill up.
RunResult RunProgram(const std::vector<std::string>& argv,
                     const std::map<std::string, std::string>& extraEnv) {
    TempDir io;
    const std::string out = io.file("out"), err = io.file("err");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT, 0600);
    std::vector<std::string> args = argv, env = Environment(extraEnv);
    pid_t child = 0;
    const int spawned = ::posix_spawnp(&child, args[0].c_str(), &actions, nullptr,
                                       Pointers(args).data(), Pointers(env).data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return {127, "", "cannot start " + args[0] + ": " + std::strerror(spawned)};
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return {WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status), ReadFile(out),
            ReadFile(err)};
}

RunResult RunVantrel(const std::vector<std::string>& args, const std::string& home,
                     const std::map<std::string, std::string>& extraEnv) {
    std::map<std::string, std::string> env = {
        {"HOME", home},
        {"XDG_CONFIG_HOME", home + "/.config"},
        {"QT_QPA_PLATFORM", "offscreen"},
    };
    for (const auto& [name, value] : extraEnv) env[name] = value;
    std::vector<std::string> argv = {VANTREL_BINARY};
    argv.insert(argv.end(), args.begin(), args.end());
    return RunProgram(argv, env);
}

void StorePageEject(const std::string& home, int value) {
    std::filesystem::create_directories(home + "/.config/Vantrel");
    // Marked as migrated, so that no legacy file on this machine can overwrite the value.
    WriteFile(home + "/.config/Vantrel/Vantrel.conf",
              "[Defaults]\nPageEject=" + std::to_string(value) + "\n\n[Migration]\nDone=1\n");
}

}  // namespace vantrel::integration

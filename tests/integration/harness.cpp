#include "integration/harness.h"

#include <cups/cups.h>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <thread>

namespace vantrel::integration {

std::optional<PrivateCups> FindPrivateCups() {
    const char* dir = std::getenv("VANTREL_TEST_CUPS_DIR");
    const char* server = std::getenv("CUPS_SERVER");
    if (!dir || !*dir || !server || !*server) return std::nullopt;
    return PrivateCups{dir, server};
}

std::vector<std::string> CapturedJobs(const PrivateCups& cups, const std::string& queue,
                                      const std::vector<std::string>& before) {
    std::vector<std::string> jobs;
    std::error_code none;  // no job yet: no directory
    for (const auto& entry :
         std::filesystem::directory_iterator(cups.dir + "/capture/" + queue, none)) {
        const std::string path = entry.path(), name = entry.path().filename();
        if (name.starts_with("job-") && name.ends_with(".bin") &&
            std::find(before.begin(), before.end(), path) == before.end()) {
            jobs.push_back(path);
        }
    }
    std::sort(jobs.begin(), jobs.end());
    return jobs;
}

std::vector<QueuedJob> QueueJobs(const std::string& queue, bool includeCompleted) {
    cups_job_t* jobs = nullptr;
    int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, queue.c_str(), 0,
                             includeCompleted ? CUPS_WHICHJOBS_ALL : CUPS_WHICHJOBS_ACTIVE);
    if (count < 0)
        throw std::runtime_error(std::string("cannot list jobs: ") + cupsLastErrorString());
    std::vector<QueuedJob> result;
    for (int i = 0; i < count; ++i) {
        result.push_back({jobs[i].title ? jobs[i].title : "", static_cast<int>(jobs[i].state)});
    }
    cupsFreeJobs(count, jobs);
    return result;
}

bool HasJob(const std::string& queue, const std::string& title, bool includeCompleted) {
    const auto jobs = QueueJobs(queue, includeCompleted);
    return std::any_of(jobs.begin(), jobs.end(),
                       [&](const QueuedJob& job) { return job.title == title; });
}

bool WaitFor(const std::function<bool()>& done, std::chrono::seconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

void WaitUntilQueueIdle(const std::string& queue) {
    const bool idle = WaitFor([&] {
        const auto jobs = QueueJobs(queue, false);
        return std::none_of(jobs.begin(), jobs.end(), [](const QueuedJob& job) {
            return job.state == IPP_JSTATE_PENDING || job.state == IPP_JSTATE_PROCESSING;
        });
    });
    if (!idle) throw std::runtime_error("queue " + queue + " still busy after the timeout");
}

pid_t Spawn(const std::vector<std::string>& argv, const Env& extraEnv, const std::string& out,
            const std::string& err, const std::string& in) {
    const pid_t child = ::fork();
    if (child < 0) throw std::system_error(errno, std::generic_category(), "fork");
    if (child > 0) return child;
    // These name a default printer of their own and would hide the one under test.
    ::unsetenv("LPDEST");
    ::unsetenv("PRINTER");
    for (const auto& [name, value] : extraEnv) ::setenv(name.c_str(), value.c_str(), 1);
    if (in.empty()) ::close(0);
    if (!in.empty()) ::dup2(::open(in.c_str(), O_RDONLY | O_CLOEXEC), 0);
    ::dup2(::open(out.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600), 1);
    ::dup2(::open(err.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600), 2);
    std::vector<char*> args;
    for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    ::execvp(args[0], args.data());
    ::_exit(127);
}

int WaitForExit(pid_t child) {
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// The program's output goes into files, read once it has ended: no pipe can fill up.
RunResult RunProgram(const std::vector<std::string>& argv, const Env& extraEnv,
                     const std::string& in) {
    TempDir io;
    const std::string out = io.file("out"), err = io.file("err");
    const int status = WaitForExit(Spawn(argv, extraEnv, out, err, in));
    return {status, ReadFile(out), ReadFile(err)};
}

Env VantrelEnv(const std::string& home, Env extraEnv) {
    extraEnv.insert(
        {{"HOME", home}, {"XDG_CONFIG_HOME", home + "/.config"}, {"QT_QPA_PLATFORM", "offscreen"}});
    return extraEnv;
}

void StorePageEject(const std::string& home, int value) {
    std::filesystem::create_directories(home + "/.config/Vantrel");
    // Marked as migrated, so that no legacy file on this machine can overwrite the value.
    WriteFile(home + "/.config/Vantrel/Vantrel.conf",
              "[Defaults]\nPageEject=" + std::to_string(value) + "\n\n[Migration]\nDone=1\n");
}

OwnScheduler::~OwnScheduler() {
    run("cups_stop \"$1\"");
}

int OwnScheduler::run(const std::string& command) const {
    return RunProgram({"bash", "-c", "source \"$0\" && " + command,
                       VANTREL_SOURCE_DIR "/scripts/cups/common.sh", dir_.path()},
                      {{"VANTREL_CAPTURE_BIN", CAPTURE_PRINTER_BINARY}})
        .exitCode;
}

}  // namespace vantrel::integration

#include "integration/harness.h"

#include <cups/cups.h>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
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

TempDir::TempDir() {
    char pattern[] = "/tmp/vantrel-test.XXXXXX";
    if (!::mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string PatternBytes(std::size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    std::uint64_t state = 0x9E3779B97F4A7C15ull * (seed + 1);
    for (std::size_t i = 0; i < size; ++i) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        bytes[i] = static_cast<char>(state >> 56);
    }
    return bytes;
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

bool SameContents(const std::string& a, const std::string& b) {
    std::ifstream first(a, std::ios::binary);
    std::ifstream second(b, std::ios::binary);
    if (!first || !second) return false;
    std::vector<char> x(1 << 20);
    std::vector<char> y(1 << 20);
    while (true) {
        first.read(x.data(), static_cast<std::streamsize>(x.size()));
        second.read(y.data(), static_cast<std::streamsize>(y.size()));
        if (first.gcount() != second.gcount()) return false;
        if (!std::equal(x.begin(), x.begin() + first.gcount(), y.begin())) return false;
        if (first.gcount() == 0) return true;
    }
}

CaptureDir::CaptureDir(const PrivateCups& cups, const std::string& queue)
    : dir_(cups.dir + "/capture/" + queue) {}

std::vector<std::string> CaptureDir::jobs() const {
    std::vector<std::string> names;
    if (DIR* d = ::opendir(dir_.c_str())) {
        while (dirent* entry = ::readdir(d)) {
            std::string name = entry->d_name;
            if (name.starts_with("job-") && name.ends_with(".bin")) names.push_back(name);
        }
        ::closedir(d);
    }
    std::sort(names.begin(), names.end());
    for (auto& name : names) name = dir_ + "/" + name;
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

constexpr int kRunTimeoutSeconds = 300;

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

void ReadInto(int fd, std::string& text, bool& open) {
    char buffer[65536];
    ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got > 0) {
        text.append(buffer, static_cast<std::size_t>(got));
    } else if (got == 0 || (errno != EINTR && errno != EAGAIN)) {
        open = false;
    }
}

}  // namespace

RunResult RunProgram(const std::vector<std::string>& argv,
                     const std::map<std::string, std::string>& extraEnv) {
    std::vector<std::string> env = Environment(extraEnv);
    std::vector<char*> args;
    for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    std::vector<char*> envp;
    for (const auto& var : env) envp.push_back(const_cast<char*>(var.c_str()));
    envp.push_back(nullptr);

    int out[2];
    int err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) {
        throw std::runtime_error("pipe failed");
    }
    pid_t child = ::fork();
    if (child < 0) throw std::runtime_error("fork failed");
    if (child == 0) {
        ::dup2(out[1], 1);
        ::dup2(err[1], 2);
        int null = ::open("/dev/null", O_RDONLY);
        ::dup2(null, 0);
        ::execvpe(args[0], args.data(), envp.data());
        std::fprintf(stderr, "exec %s: %s\n", args[0], std::strerror(errno));
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);

    RunResult result;
    bool outOpen = true;
    bool errOpen = true;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kRunTimeoutSeconds);
    bool killed = false;
    while (outOpen || errOpen) {
        pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
        if (!outOpen) fds[0].fd = -1;
        if (!errOpen) fds[1].fd = -1;
        ::poll(fds, 2, 1000);
        if (fds[0].revents) ReadInto(out[0], result.out, outOpen);
        if (fds[1].revents) ReadInto(err[0], result.err, errOpen);
        if (!killed && std::chrono::steady_clock::now() > deadline) {
            ::kill(child, SIGKILL);
            killed = true;
        }
    }
    ::close(out[0]);
    ::close(err[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
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

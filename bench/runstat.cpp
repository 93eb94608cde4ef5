// Runs one command and reports its wall time, peak resident set size, CPU time and page faults.
//
// Usage: vantrel_runstat COMMAND [ARGS...]
// Prints "wall_ns=<n> maxrss_kb=<n> cpu_us=<n> faults=<n> exit=<n>" on stderr after the command
// ended (CPU time user and system together, page faults minor and major); its own exit
// status is the command's (128 + signal when it was killed). Standard streams are passed
// through to the command.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: vantrel_runstat COMMAND [ARGS...]\n");
        return 2;
    }
    auto start = std::chrono::steady_clock::now();
    pid_t child = fork();
    if (child < 0) {
        std::perror("vantrel_runstat: fork");
        return 2;
    }
    if (child == 0) {
        execvp(argv[1], argv + 1);
        std::fprintf(stderr, "vantrel_runstat: %s: %s\n", argv[1], std::strerror(errno));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    while (wait4(child, &status, 0, &usage) < 0) {
        if (errno != EINTR) {
            std::perror("vantrel_runstat: wait4");
            return 2;
        }
    }
    auto wall = std::chrono::steady_clock::now() - start;
    int exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    std::fprintf(
        stderr, "wall_ns=%lld maxrss_kb=%ld cpu_us=%lld faults=%ld exit=%d\n",
        static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(wall).count()),
        usage.ru_maxrss,
        static_cast<long long>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000000 +
            usage.ru_utime.tv_usec + usage.ru_stime.tv_usec,
        usage.ru_minflt + usage.ru_majflt, exitCode);
    return exitCode;
}

// An emulated network printer of the "raw port 9100" kind, for tests and benchmarks.
//
// It listens on a loopback TCP port and stores the bytes of each connection in a file of its
// own in the capture directory: job-0001.bin, job-0002.bin, ... in the order the connections
// were accepted. A file is written as .job-NNNN.part and renamed when the sender has closed
// its side, so a job-NNNN.bin is always complete. Before the connection is closed, a line
//     job-NNNN.bin <bytes> <accepted-ns> <last-byte-ns>
// is appended to capture.log in the same directory (times in ns of CLOCK_REALTIME).
//
// Usage: capture_printer --dir DIR [--port N] [--port-file FILE] [--discard]
//   --port 0 (the default) takes a free port; --port-file receives the port number once the
//   socket listens. --discard keeps no data, only the log lines (for very large jobs).
// It runs until SIGTERM or SIGINT.

#include <arpa/inet.h>
#include <dirent.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <string>
#include <vector>

namespace {

volatile sig_atomic_t g_stop = 0;

void OnSignal(int) {
    g_stop = 1;
}

[[noreturn]] void Die(const std::string& what) {
    std::fprintf(stderr, "capture_printer: %s: %s\n", what.c_str(), std::strerror(errno));
    std::exit(1);
}

std::int64_t NowNs() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

bool WriteAll(int fd, const char* data, std::size_t n) {
    while (n > 0) {
        ssize_t done = ::write(fd, data, n);
        if (done < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += done;
        n -= static_cast<std::size_t>(done);
    }
    return true;
}

// Writes a small file so that readers see either nothing or all of it.
void WriteFileAtomically(const std::string& path, const std::string& text) {
    std::string temp = path + ".tmp";
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 || !WriteAll(fd, text.data(), text.size()) || ::close(fd) != 0) Die(temp);
    if (::rename(temp.c_str(), path.c_str()) != 0) Die(path);
}

// Continues the numbering of job files already in the directory.
int HighestJobNumber(const std::string& dir) {
    int highest = 0;
    DIR* d = ::opendir(dir.c_str());
    if (!d) Die(dir);
    while (dirent* entry = ::readdir(d)) {
        int number = 0;
        if (std::sscanf(entry->d_name, "job-%d.bin", &number) == 1 ||
            std::sscanf(entry->d_name, ".job-%d.part", &number) == 1) {
            if (number > highest) highest = number;
        }
    }
    ::closedir(d);
    return highest;
}

struct Capture {
    int number = 0;
    int file = -1;  // -1 with --discard
    std::string partPath;
    std::string finalName;
    std::uint64_t bytes = 0;
    std::int64_t acceptedNs = 0;
    std::int64_t lastByteNs = 0;
};

class CapturePrinter {
  public:
    CapturePrinter(std::string dir, bool discard)
        : dir_(std::move(dir)), discard_(discard), nextNumber_(HighestJobNumber(dir_) + 1) {
        std::string logPath = dir_ + "/capture.log";
        log_ = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (log_ < 0) Die(logPath);
    }

    int listenOn(int port) {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (listener_ < 0) Die("socket");
        int yes = 1;
        ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            Die("bind to 127.0.0.1:" + std::to_string(port));
        }
        if (::listen(listener_, 16) != 0) Die("listen");
        socklen_t length = sizeof address;
        if (::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            Die("getsockname");
        }
        return ntohs(address.sin_port);
    }

    void run() {
        std::vector<char> buffer(256 * 1024);
        while (!g_stop) {
            std::vector<pollfd> fds{{listener_, POLLIN, 0}};
            for (const auto& [socket, capture] : captures_) fds.push_back({socket, POLLIN, 0});
            int ready = ::poll(fds.data(), fds.size(), 500);
            if (ready < 0) {
                if (errno == EINTR) continue;
                Die("poll");
            }
            for (std::size_t i = 1; i < fds.size(); ++i) {
                if (fds[i].revents) drain(fds[i].fd, buffer);
            }
            if (fds[0].revents & POLLIN) acceptAll();
        }
    }

  private:
    void acceptAll() {
        while (true) {
            int socket = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            if (socket < 0) {
                if (errno == EINTR) continue;
                if (errno == EAGAIN || errno == EWOULDBLOCK || errno == ECONNABORTED) return;
                Die("accept");
            }
            Capture capture;
            capture.number = nextNumber_++;
            capture.acceptedNs = NowNs();
            char name[64];
            std::snprintf(name, sizeof name, "job-%04d.bin", capture.number);
            capture.finalName = name;
            if (!discard_) {
                std::snprintf(name, sizeof name, ".job-%04d.part", capture.number);
                capture.partPath = dir_ + "/" + name;
                capture.file =
                    ::open(capture.partPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
                if (capture.file < 0) Die(capture.partPath);
            }
            captures_.emplace(socket, capture);
        }
    }

    // Reads what is there; on end of stream or a reset, completes the job.
    void drain(int socket, std::vector<char>& buffer) {
        Capture& capture = captures_.at(socket);
        while (true) {
            ssize_t got = ::read(socket, buffer.data(), buffer.size());
            if (got > 0) {
                capture.bytes += static_cast<std::uint64_t>(got);
                capture.lastByteNs = NowNs();
                if (capture.file >= 0 &&
                    !WriteAll(capture.file, buffer.data(), static_cast<std::size_t>(got))) {
                    Die(capture.partPath);
                }
                continue;
            }
            if (got < 0 && errno == EINTR) continue;
            if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
            break;  // 0: the sender is done; < 0: the connection broke
        }
        complete(socket, capture);
    }

    void complete(int socket, Capture& capture) {
        if (capture.file >= 0) {
            if (::close(capture.file) != 0) Die(capture.partPath);
            std::string finalPath = dir_ + "/" + capture.finalName;
            if (::rename(capture.partPath.c_str(), finalPath.c_str()) != 0) Die(finalPath);
        }
        if (capture.lastByteNs == 0) capture.lastByteNs = NowNs();
        std::string line = capture.finalName + " " + std::to_string(capture.bytes) + " " +
                           std::to_string(capture.acceptedNs) + " " +
                           std::to_string(capture.lastByteNs) + "\n";
        if (!WriteAll(log_, line.data(), line.size())) Die("capture.log");
        // The job file and its log line exist before the sender learns that we are done.
        ::close(socket);
        captures_.erase(socket);
    }

    std::string dir_;
    bool discard_;
    int nextNumber_;
    int log_ = -1;
    int listener_ = -1;
    std::map<int, Capture> captures_;
};

}  // namespace

int main(int argc, char** argv) {
    std::string dir;
    std::string portFile;
    int port = 0;
    bool discard = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == "--dir" && hasValue) {
            dir = argv[++i];
        } else if (arg == "--port" && hasValue) {
            port = std::atoi(argv[++i]);
        } else if (arg == "--port-file" && hasValue) {
            portFile = argv[++i];
        } else if (arg == "--discard") {
            discard = true;
        } else {
            std::fprintf(stderr,
                         "usage: capture_printer --dir DIR [--port N] [--port-file FILE] "
                         "[--discard]\n");
            return 2;
        }
    }
    if (dir.empty()) {
        std::fprintf(stderr, "capture_printer: --dir is required\n");
        return 2;
    }
    if (::mkdir(dir.c_str(), 0755) != 0 && errno != EEXIST) Die(dir);

    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
    ::signal(SIGPIPE, SIG_IGN);

    CapturePrinter printer(dir, discard);
    int bound = printer.listenOn(port);
    if (!portFile.empty()) WriteFileAtomically(portFile, std::to_string(bound) + "\n");
    printer.run();
    return 0;
}

// Writes files into a watched folder the way a producing program does: each one created, written
// and closed, one after the other, from this one process.
//
// Usage: vantrel_drop_files DIR COUNT SIZE [--batch N]
// Writes DIR/drop-0.prn ... of SIZE bytes each (distinct contents). With --batch N, after every N
// files it waits until the folder holds fewer than N files, so that COUNT files pass through
// without piling up; after each batch it prints "written=<files so far>" on stdout. At the end
// it prints "closed_ns=<n>": when the last file was closed, in ns of CLOCK_REALTIME (the capture
// printer's clock).

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

long long RealtimeNs() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

int FilesIn(const char* dir) {
    int count = 0;
    if (DIR* d = ::opendir(dir)) {
        while (dirent* entry = ::readdir(d)) count += entry->d_type == DT_REG;
        ::closedir(d);
    }
    return count;
}

bool WriteOne(const std::string& path, std::string& bytes, int number) {
    std::snprintf(bytes.data(), bytes.size(), "%d", number);  // distinct contents
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const bool written =
        ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    return ::close(fd) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4 && !(argc == 6 && std::strcmp(argv[4], "--batch") == 0)) {
        std::fputs("usage: vantrel_drop_files DIR COUNT SIZE [--batch N]\n", stderr);
        return 2;
    }
    const char* dir = argv[1];
    const int count = std::atoi(argv[2]);
    std::string bytes(static_cast<std::size_t>(std::atoi(argv[3])), 'x');
    const int batch = argc == 6 ? std::atoi(argv[5]) : 0;
    for (int i = 0; i < count; ++i) {
        const std::string path = std::string(dir) + "/drop-" + std::to_string(i) + ".prn";
        if (!WriteOne(path, bytes, i)) {
            std::perror(path.c_str());
            return 1;
        }
        if (batch > 0 && (i + 1) % batch == 0) {
            while (FilesIn(dir) >= batch)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            std::printf("written=%d\n", i + 1);
            std::fflush(stdout);
        }
    }
    std::printf("closed_ns=%lld\n", RealtimeNs());
    return 0;
}

#pragma once

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>

namespace vantrel::testing {

// The capture printers of the private CUPS server that scripts/cups/start-server.sh starts, seen
// from a Windows program under Wine: what queue Q received is in CAPTURE/Q/job-0001.bin, ...,
// each file complete once it has its name.
class CupsCapture {
  public:
    // The capture directory of the server named by VANTREL_TEST_CUPS_DIR (a Linux path, reached
    // through Wine's drive Z:); nothing when no server was named.
    static std::optional<std::filesystem::path> Directory() {
        const char* dir = std::getenv("VANTREL_TEST_CUPS_DIR");
        if (!dir || !*dir) return std::nullopt;
        std::string path = dir;
        if (path.front() == '/') {
            for (char& c : path) {
                if (c == '/') c = '\\';
            }
            path = "Z:" + path;
        }
        return std::filesystem::path(path) / "capture";
    }

    // True when the tests must fail rather than skip without a server.
    static bool Required() {
        const char* required = std::getenv("VANTREL_REQUIRE_CUPS");
        return required && std::string(required) == "1";
    }

    explicit CupsCapture(std::filesystem::path directory) : directory_(std::move(directory)) {}

    // The number of the last job queue's printer received completely; 0 before the first.
    int lastJob(const std::string& queue) const {
        int last = 0;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(directory_ / queue, error)) {
            int number = 0;
            if (std::sscanf(entry.path().filename().string().c_str(), "job-%d.bin", &number) == 1 &&
                number > last) {
                last = number;
            }
        }
        return last;
    }

    // The bytes of job number of queue, once its printer has received all of it; nothing when
    // it has not arrived within the timeout.
    std::optional<std::string> waitForJob(
        const std::string& queue, int number,
        std::chrono::seconds timeout = std::chrono::seconds(60)) const {
        char name[32];
        std::snprintf(name, sizeof name, "job-%04d.bin", number);
        const auto path = directory_ / queue / name;
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (std::chrono::steady_clock::now() < deadline) {
            std::error_code error;
            if (std::filesystem::exists(path, error)) {
                std::ifstream in(path, std::ios::binary);
                return std::string(std::istreambuf_iterator<char>(in), {});
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return std::nullopt;
    }

    // True when no job after number reaches queue's printer within the wait.
    bool nothingAfter(const std::string& queue, int number, std::chrono::seconds wait) const {
        return !waitForJob(queue, number + 1, wait);
    }

  private:
    std::filesystem::path directory_;
};

}  // namespace vantrel::testing

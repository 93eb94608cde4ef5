// Times one AutoPrint tick that takes many dropped files at once, on the real spooler.
//
// Usage: vantrel_autoprint_tick DROP_DIR COUNT SIZE
// Fills DROP_DIR with COUNT files of SIZE bytes, lets a first tick look at them, then times the
// tick that prints and removes them all. Prints "tick_ms=... printed=... left=...".

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "autoprint/autoprint_watcher.h"
#include "platform/backends.h"
#include "platform/file_system.h"
#include "platform/stderr_messages.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fputs("usage: vantrel_autoprint_tick DROP_DIR COUNT SIZE\n", stderr);
        return 2;
    }
    namespace fs = std::filesystem;
    const fs::path drop = argv[1];
    const int count = std::atoi(argv[2]);
    const std::string bytes(static_cast<std::size_t>(std::atoi(argv[3])), 'x');
    fs::create_directories(drop);
    for (int i = 0; i < count; ++i) {
        std::ofstream(drop / ("drop-" + std::to_string(i) + ".prn"), std::ios::binary) << bytes;
    }

    auto system = vantrel::MakeSystemPrinterSystem();
    auto files = vantrel::MakeSystemFileSystem();
    vantrel::StderrMessages messages;
    vantrel::AutoPrintWatcher watcher(
        drop.string(), *system, *files, [] { return vantrel::SpoolOptions{}; }, messages,
        [] { return std::string("1"); });
    watcher.tick();  // the first look: nothing is printed yet

    const auto start = std::chrono::steady_clock::now();
    watcher.tick();
    const auto elapsed = std::chrono::steady_clock::now() - start;

    int left = 0;
    for (const auto& entry : fs::directory_iterator(drop)) left += entry.is_regular_file();
    std::printf("tick_ms=%.1f printed=%d left=%d\n",
                std::chrono::duration<double, std::milli>(elapsed).count(), count - left, left);
    return left == 0 ? 0 : 1;
}

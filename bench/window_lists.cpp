// Times the main window's lists on a big start directory: the start-up until the window is shown
// with its full file list, a Refresh, and the directory picker opening on that directory.
//
// Usage: vantrel_window_lists DIR COUNT [RUNS]
// Fills DIR with COUNT empty ".txt" files (those already there are kept), starts the window on it
// RUNS times (default 3) and prints the best and the worst of each figure in ms:
// "start_ms=best/worst refresh_ms=... picker_ms=... listed=N".
// Runs with QT_QPA_PLATFORM=offscreen; the settings live under a fresh HOME the caller sets.

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QListView>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/system_backends.h"
#include "app/window_startup.h"
#include "dirpick/directory_picker.h"
#include "formkit/message_boxes.h"
#include "platform/backends.h"
#include "platform/qt_desktop/qt_desktop.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point from) {
    return std::chrono::duration<double, std::milli>(Clock::now() - from).count();
}

// One printer that takes no jobs: the lists need a printer, the figures no spooler.
class BenchPrinters : public vantrel::PrinterSystem {
  public:
    std::vector<vantrel::Printer> printers() override { return {{"Bench", "BENCH:"}}; }
    std::optional<std::string> defaultPrinterEntry() override { return "Bench,winspool,BENCH:"; }
    std::unique_ptr<vantrel::PrinterConnection> openPrinter(const std::string&) override {
        throw vantrel::SpoolError("the bench prints nothing");
    }
    vantrel::JobStatus jobStatus(const std::string&, int) override { return {}; }
    vantrel::JobFacts jobFacts(const std::string&, int) override { return {}; }
    std::vector<int> ownJobsWithoutDocument(const std::string&, const std::string&) override {
        return {};
    }
    void cancelJob(const std::string&, int) override {}
};

void Settle(QWidget& widget) {
    while (!widget.windowHandle() || !widget.windowHandle()->isExposed()) {
        QApplication::processEvents();
    }
    QApplication::processEvents();
}

struct Figure {
    double best = 1e12, worst = 0;
    void add(double ms) { best = std::min(best, ms), worst = std::max(worst, ms); }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: vantrel_window_lists DIR COUNT [RUNS]\n", stderr);
        return 2;
    }
    const std::filesystem::path dir = argv[1];
    const int count = std::atoi(argv[2]);
    const int runs = argc > 3 ? std::atoi(argv[3]) : 3;
    std::filesystem::create_directories(dir);
    for (int i = 0; i < count; ++i) {
        const std::string name = (dir / ("file-" + std::to_string(i) + ".txt")).string();
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT, 0644);
        if (fd >= 0) ::close(fd);
    }

    QApplication app(argc, argv);
    vantrel::SystemBackends backends;
    backends.printers = std::make_unique<BenchPrinters>();
    const vantrel::WindowSeams seams = backends.seams();
    auto& store = backends.store;
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "/tmp";
    const vantrel::WindowPlaces places{home, home + "/data", {}};
    store->set("Defaults", "StartDir", dir.string() + "/");
    store->set("Mask", "MaskString", "*.txt *.prn *.*");
    store->set("Mask", "MaskIndex", "0");
    store->sync();

    Figure start, refresh, picker;
    int listed = 0;
    for (int run = 0; run < runs; ++run) {
        auto began = Clock::now();
        auto forms = vantrel::StartWindow(seams, places);
        if (!forms) return 1;
        vantrel::MainWindow& window = forms->mainWindow();
        Settle(window);
        start.add(Ms(began));
        listed = window.findChild<QAbstractItemView*>("File1")->model()->rowCount();

        began = Clock::now();
        window.findChild<QPushButton*>("Command1")->click();
        QApplication::processEvents();
        refresh.add(Ms(began));

        QTimer::singleShot(0, &window, [&] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            Settle(*dialog);
            picker.add(Ms(began));
            dialog->reject();
        });
        began = Clock::now();
        window.findChild<QPushButton*>("Command3")->click();
    }
    std::printf("start_ms=%.0f/%.0f refresh_ms=%.0f/%.0f picker_ms=%.0f/%.0f listed=%d\n",
                start.best, start.worst, refresh.best, refresh.worst, picker.best, picker.worst,
                listed);
    return 0;
}

// How long the main window's event loop is held up while AutoPrint works through many dropped
// files, on the real spooler.
//
// Usage: vantrel_autoprint_window APP_DIR COUNT SIZE
// Puts COUNT files of SIZE bytes into APP_DIR/RawSpool, starts the window program with its
// AutoPrint ticking every 200 ms, and runs the event loop until the drop directory is empty. A
// probe timer due every millisecond measures the longest gap between two of its calls: the
// longest time the window could not answer, and how many gaps were longer than 200 ms. Prints
// "max_blocked_ms=... over_200ms=... total_ms=... printed=... caption=..." (the last AutoPrint
// caption seen, if any).

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/system_backends.h"
#include "app/window_startup.h"
#include "formkit/message_boxes.h"
#include "platform/backends.h"
#include "platform/qt_desktop/qt_desktop.h"

namespace fs = std::filesystem;

namespace {

int FilesIn(const fs::path& folder) {
    int count = 0;
    for (const auto& entry : fs::directory_iterator(folder)) count += entry.is_regular_file();
    return count;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fputs("usage: vantrel_autoprint_window APP_DIR COUNT SIZE\n", stderr);
        return 2;
    }
    QApplication app(argc, argv);
    const fs::path appDir = argv[1];
    const fs::path drop = appDir / "RawSpool";
    const int count = std::atoi(argv[2]);
    const std::string bytes(static_cast<std::size_t>(std::atoi(argv[3])), 'x');
    fs::create_directories(drop);
    for (int i = 0; i < count; ++i) {
        std::ofstream(drop / ("drop-" + std::to_string(i) + ".prn"), std::ios::binary) << bytes;
    }

    vantrel::SystemBackends backends;
    backends.messages.setDefaultAnswer([](const vantrel::BoxMessage& message) {
        std::fprintf(stderr, "message: %s\n", message.text.c_str());
        return vantrel::MsgAnswer::Ok;
    });
    const vantrel::WindowSeams seams = backends.seams();
    QElapsedTimer clock;
    clock.start();
    auto forms = vantrel::StartWindow(seams, {appDir.string(), appDir.string(), {}, 200});
    if (!forms) return 1;

    qint64 last = clock.elapsed();
    qint64 longest = 0;
    int over200 = 0;
    QString caption;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longest = std::max(longest, now - last);
        over200 += now - last > 200;
        last = now;
        const QString title = forms->mainWindow().windowTitle();
        if (title.startsWith(QStringLiteral("AutoPrint"))) caption = title;
    });
    probe.start();
    QTimer done;
    QObject::connect(&done, &QTimer::timeout, [&] {
        if (FilesIn(drop) == 0) QApplication::quit();
    });
    done.start(50);
    QTimer::singleShot(600'000, [] { QApplication::exit(1); });
    const int status = QApplication::exec();

    const int left = FilesIn(drop);
    std::printf(
        "max_blocked_ms=%lld over_200ms=%d total_ms=%lld printed=%d left=%d caption=\"%s\"\n",
        static_cast<long long>(longest), over200, static_cast<long long>(clock.elapsed()),
        count - left, left, caption.toUtf8().constData());
    return status == 0 && left == 0 ? 0 : 1;
}

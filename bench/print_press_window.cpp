// How long the main window's event loop is held up while the Print press prints many selected
// files, or one big one, on the real spooler.
//
// Usage: vantrel_print_press_window APP_DIR COUNT SIZE
// Puts COUNT files of SIZE bytes into APP_DIR/selected, starts the window program there, selects
// every file and presses Print (one copy each, left in place), and runs the event loop until the
// press has ended. A probe timer due every millisecond measures the longest gap between two of
// its calls: the longest time the window could not answer, and how many gaps were longer than
// 200 ms. Prints "max_blocked_ms=... over_200ms=... total_ms=... caption=..." (the first Print
// caption seen).

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
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

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fputs("usage: vantrel_print_press_window APP_DIR COUNT SIZE\n", stderr);
        return 2;
    }
    QApplication app(argc, argv);
    const fs::path appDir = argv[1];
    const fs::path selected = appDir / "selected";
    const int count = std::atoi(argv[2]);
    const std::size_t size = std::strtoull(argv[3], nullptr, 10);
    fs::create_directories(selected);
    const std::string block(1 << 20, 'x');
    for (int i = 0; i < count; ++i) {
        std::ofstream file(selected / ("file-" + std::to_string(i) + ".txt"), std::ios::binary);
        for (std::size_t left = size; left > 0; left -= std::min(left, block.size())) {
            file.write(block.data(), static_cast<std::streamsize>(std::min(left, block.size())));
        }
    }

    vantrel::SystemBackends backends;
    backends.messages.setDefaultAnswer([](const vantrel::BoxMessage& message) {
        std::fprintf(stderr, "message: %s\n", message.text.c_str());
        return vantrel::MsgAnswer::Ok;
    });
    auto forms = vantrel::StartWindow(backends.seams(), {appDir.string(), appDir.string(), {}});
    if (!forms) return 1;
    vantrel::Vantrel& window = forms->vantrel();
    window.setCurrentDirectory(selected.string() + "/");
    window.refreshLists();
    window.findChild<QComboBox*>(QStringLiteral("Combo1"))->setCurrentIndex(-1);
    window.findChild<QLineEdit*>(QStringLiteral("Text2"))->setText(QStringLiteral("1"));
    window.findChild<QComboBox*>(QStringLiteral("Combo2"))->setCurrentIndex(0);  // Leave
    auto* list = window.findChild<QListView*>(QStringLiteral("File1"));
    list->setCurrentIndex(list->model()->index(0, 0));
    list->selectAll();

    QElapsedTimer clock;
    qint64 last = 0, longest = 0;
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
        const QString title = window.windowTitle();
        if (title.startsWith(QStringLiteral("Printing"))) {
            if (caption.isEmpty()) caption = title;
        } else if (!caption.isEmpty()) {
            QApplication::quit();
        }
    });
    QTimer::singleShot(0, [&] {
        clock.start();
        probe.start();
        window.findChild<QPushButton*>(QStringLiteral("Command2"))->click();
    });
    QTimer::singleShot(600'000, [] { QApplication::exit(1); });
    const int status = QApplication::exec();
    std::printf("max_blocked_ms=%lld over_200ms=%d total_ms=%lld files=%d caption=\"%s\"\n",
                static_cast<long long>(longest), over200, static_cast<long long>(clock.elapsed()),
                count, caption.toUtf8().constData());
    return status;
}

// How long the main window's event loop is held up while the Print press prints many selected
// files, or one big one, on the real spooler.
//
// Usage: vantrel_print_press_window APP_DIR COUNT SIZE [FREEZE_PID FREEZE_SECONDS]
// Puts COUNT files of SIZE bytes into APP_DIR/selected, starts the window program there, selects
// every file and presses Print (one copy each, left in place), and runs the event loop until the
// press has ended, then on while the window follows the jobs to their end. A probe timer due
// every millisecond measures the longest gap between two of its calls: the longest time the
// window could not answer, and how many gaps were longer than 200 ms. Prints "max_blocked_ms=...
// over_200ms=... total_ms=... caption=..." (the first Print caption seen) for the press, then
// "follow: max_blocked_ms=... follow_ms=... requests=... requests_per_s=..." for the following.
// With FREEZE_PID (the scheduler's process), the window instead presses Refresh with the
// scheduler stopped (SIGSTOP) for FREEZE_SECONDS and prints "frozen: max_blocked_ms=...
// told=..." (whether the jobs line told that the server does not answer). Every spooler call is
// timed as well: stderr gets, per kind of call, how many there were, their total and the longest,
// and for every gap over 200 ms how much of it was spent in which calls; the rest of such a gap is
// the program's own work.

#include <signal.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "app/system_backends.h"
#include "app/window_startup.h"
#include "formkit/message_boxes.h"
#include "platform/backends.h"

namespace fs = std::filesystem;

namespace {

// One spooler call: what it was and when it began and ended, in ms on the bench's clock.
struct Call {
    const char* kind;
    qint64 begin, end;
};

class CallLog {
  public:
    explicit CallLog(const QElapsedTimer& clock) : clock_(clock) {}
    template <typename Act>
    auto time(const char* kind, Act&& act) {
        struct Record {
            CallLog& log;
            const char* kind;
            qint64 begin;
            ~Record() { log.calls_.push_back({kind, begin, log.clock_.elapsed()}); }
        } record{*this, kind, clock_.elapsed()};
        return act();
    }
    // Per kind: count, total and longest; then, for each gap, the time each kind took in it.
    void report(qint64 since, const std::vector<std::pair<qint64, qint64>>& gaps) const {
        std::map<std::string, std::tuple<int, qint64, qint64>> kinds;
        for (const Call& call : calls_) {
            if (call.begin < since) continue;
            auto& [count, total, longest] = kinds[call.kind];
            ++count;
            total += call.end - call.begin;
            longest = std::max(longest, call.end - call.begin);
        }
        for (const auto& [kind, figures] : kinds) {
            const auto& [count, total, longest] = figures;
            std::fprintf(stderr, "calls: %-14s count=%d total_ms=%lld longest_ms=%lld\n",
                         kind.c_str(), count, static_cast<long long>(total),
                         static_cast<long long>(longest));
        }
        for (const auto& [from, to] : gaps) {
            std::map<std::string, std::pair<int, qint64>> in;
            qint64 spooler = 0;
            for (const Call& call : calls_) {
                const qint64 overlap = std::min(to, call.end) - std::max(from, call.begin);
                if (overlap <= 0 && !(call.begin >= from && call.end <= to)) continue;
                in[call.kind].first++;
                in[call.kind].second += std::max<qint64>(overlap, 0);
                spooler += std::max<qint64>(overlap, 0);
            }
            std::string parts;
            for (const auto& [kind, figures] : in) {
                parts += " " + kind + "=" + std::to_string(figures.first) + "x/" +
                         std::to_string(figures.second) + "ms";
            }
            std::fprintf(stderr, "gap: at_ms=%lld length_ms=%lld own_ms=%lld%s\n",
                         static_cast<long long>(from - since), static_cast<long long>(to - from),
                         static_cast<long long>(to - from - spooler), parts.c_str());
        }
    }

  private:
    const QElapsedTimer& clock_;
    std::vector<Call> calls_;
};

class TimedJob : public vantrel::RawJob {
  public:
    TimedJob(std::unique_ptr<vantrel::RawJob> job, CallLog& log)
        : job_(std::move(job)), log_(log) {}
    void write(const char* data, std::size_t n) override {
        log_.time("write", [&] { job_->write(data, n); });
    }
    void finish() override {
        log_.time("finish", [&] { job_->finish(); });
    }
    void cancel() noexcept override {
        log_.time("cancel", [&] { job_->cancel(); });
    }
    int id() const override { return job_->id(); }

  private:
    std::unique_ptr<vantrel::RawJob> job_;
    CallLog& log_;
};

class TimedConnection : public vantrel::PrinterConnection {
  public:
    TimedConnection(std::unique_ptr<vantrel::PrinterConnection> connection, CallLog& log)
        : connection_(std::move(connection)), log_(log) {}
    void checkAcceptingJobs() override {
        log_.time("accepting", [&] { connection_->checkAcceptingJobs(); });
    }
    std::unique_ptr<vantrel::RawJob> startDocument(const std::string& name) override {
        auto job = log_.time("startDocument", [&] { return connection_->startDocument(name); });
        return std::make_unique<TimedJob>(std::move(job), log_);
    }

  private:
    std::unique_ptr<vantrel::PrinterConnection> connection_;
    CallLog& log_;
};

// The system's spooler with every call timed.
class TimedPrinterSystem : public vantrel::PrinterSystem {
  public:
    TimedPrinterSystem(std::unique_ptr<vantrel::PrinterSystem> system, CallLog& log)
        : system_(std::move(system)), log_(log) {}
    std::vector<vantrel::Printer> printers() override {
        return log_.time("printers", [&] { return system_->printers(); });
    }
    std::optional<std::string> defaultPrinterEntry() override {
        return log_.time("defaultPrinter", [&] { return system_->defaultPrinterEntry(); });
    }
    std::unique_ptr<vantrel::PrinterConnection> openPrinter(const std::string& name) override {
        auto connection = log_.time("openPrinter", [&] { return system_->openPrinter(name); });
        if (!connection) return nullptr;
        return std::make_unique<TimedConnection>(std::move(connection), log_);
    }
    vantrel::JobStatus jobStatus(const std::string& name, int id) override {
        return log_.time("jobStatus", [&] { return system_->jobStatus(name, id); });
    }
    vantrel::JobFacts jobFacts(const std::string& name, int id) override {
        return log_.time("jobFacts", [&] { return system_->jobFacts(name, id); });
    }
    std::vector<int> ownJobsWithoutDocument(const std::string& name,
                                            const std::string& document) override {
        return log_.time("ownJobsWithoutDocument",
                         [&] { return system_->ownJobsWithoutDocument(name, document); });
    }
    void cancelJob(const std::string& name, int id) override {
        log_.time("cancelJob", [&] { system_->cancelJob(name, id); });
    }
    vantrel::QueueLook lookAtQueue(const std::string& name, const std::vector<int>& ids) override {
        ++looks;
        return log_.time("lookAtQueue", [&] { return system_->lookAtQueue(name, ids); });
    }
    void giveUpWaits() override { system_->giveUpWaits(); }
    int looks = 0;

  private:
    std::unique_ptr<vantrel::PrinterSystem> system_;
    CallLog& log_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4 && argc != 6) {
        std::fputs("usage: vantrel_print_press_window APP_DIR COUNT SIZE [FREEZE_PID SECONDS]\n",
                   stderr);
        return 2;
    }
    const pid_t freezePid = argc == 6 ? std::atoi(argv[4]) : 0;
    const int freezeSeconds = argc == 6 ? std::atoi(argv[5]) : 0;
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

    QElapsedTimer clock;
    clock.start();
    CallLog calls(clock);
    vantrel::SystemBackends backends;
    auto timed = std::make_unique<TimedPrinterSystem>(std::move(backends.printers), calls);
    TimedPrinterSystem& spooler = *timed;
    backends.printers = std::move(timed);
    backends.messages.setDefaultAnswer([](const vantrel::BoxMessage& message) {
        std::fprintf(stderr, "message: %s\n", message.text.c_str());
        return vantrel::MsgAnswer::Ok;
    });
    auto forms = vantrel::StartWindow(backends.seams(), {appDir.string(), appDir.string(), {}});
    if (!forms) return 1;
    vantrel::MainWindow& window = forms->mainWindow();
    window.setCurrentDirectory(selected.string() + "/");
    window.refreshLists();
    window.findChild<QComboBox*>(QStringLiteral("Combo1"))->setCurrentIndex(-1);
    window.findChild<QLineEdit*>(QStringLiteral("Text2"))->setText(QStringLiteral("1"));
    window.findChild<QComboBox*>(QStringLiteral("Combo2"))->setCurrentIndex(0);  // Leave
    auto* list = window.findChild<QListView*>(QStringLiteral("File1"));
    list->setCurrentIndex(list->model()->index(0, 0));
    list->selectAll();

    // A loop of the bench's own: QApplication::quit() would close the window, ending its work.
    QEventLoop phase;
    qint64 started = 0, last = 0, longest = 0;
    int over200 = 0;
    std::vector<std::pair<qint64, qint64>> gaps;  // over 200 ms: from, to
    QString caption;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    probe.setInterval(1);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longest = std::max(longest, now - last);
        if (now - last > 200) gaps.emplace_back(last, now);
        over200 += now - last > 200;
        last = now;
        const QString title = window.windowTitle();
        if (title.startsWith(QStringLiteral("Printing"))) {
            if (caption.isEmpty()) caption = title;
        } else if (!caption.isEmpty()) {
            phase.quit();
        }
    });
    auto* jobsLine = window.findChild<QLabel*>(QStringLiteral("jobsLine"));
    if (freezePid > 0) {
        // Refresh with the scheduler stopped: the window answers all along.
        bool told = false;
        QObject::connect(&probe, &QTimer::timeout, [&] {
            told |= jobsLine->text().startsWith(QStringLiteral("The print server does not"));
        });
        QTimer::singleShot(0, [&] {
            started = last = clock.elapsed();
            probe.start();
            ::kill(freezePid, SIGSTOP);
            QTimer::singleShot(freezeSeconds * 1000, [&] { ::kill(freezePid, SIGCONT); });
            QTimer::singleShot(freezeSeconds * 1000 + 2000, [&] { phase.quit(); });
            window.findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        });
        const int status = phase.exec();
        std::printf("frozen: max_blocked_ms=%lld seconds=%d told=%d\n",
                    static_cast<long long>(longest), freezeSeconds, told);
        return status;
    }
    QTimer::singleShot(0, [&] {
        started = last = clock.elapsed();
        probe.start();
        window.findChild<QPushButton*>(QStringLiteral("Command2"))->click();
    });
    QTimer::singleShot(600'000, [&] { phase.exit(1); });
    const int status = phase.exec();
    calls.report(started, gaps);
    std::printf("max_blocked_ms=%lld over_200ms=%d total_ms=%lld files=%d caption=\"%s\"\n",
                static_cast<long long>(longest), over200,
                static_cast<long long>(clock.elapsed() - started), count,
                caption.toUtf8().constData());
    if (status != 0) return status;

    // On while the window follows the jobs to their end.
    const qint64 followStart = last = clock.elapsed();
    const int looksBefore = spooler.looks;
    longest = 0;
    QObject::disconnect(&probe, nullptr, nullptr, nullptr);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longest = std::max(longest, now - last);
        last = now;
        if (jobsLine->text().endsWith(QStringLiteral(" printed"))) phase.quit();
    });
    QTimer::singleShot(300'000, [&] { phase.exit(1); });
    const int followed = phase.exec();
    const qint64 followMs = clock.elapsed() - followStart;
    const int requests = spooler.looks - looksBefore;
    std::printf(
        "follow: max_blocked_ms=%lld follow_ms=%lld requests=%d requests_per_s=%.1f "
        "line=\"%s\"\n",
        static_cast<long long>(longest), static_cast<long long>(followMs), requests,
        followMs > 0 ? requests * 1000.0 / double(followMs) : 0.0,
        jobsLine->text().toUtf8().constData());
    return followed;
}

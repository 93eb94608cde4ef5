#include "mainwindow/window_wait.h"

#include <QCoreApplication>
#include <QTimer>

namespace vantrel {

namespace {

// How often a wait looks at the clock for the notice when no event comes.
constexpr int kLookEveryMs = 100;

}  // namespace

void WindowWait::until(const std::function<bool()>& done, const std::function<void()>&) {
    const auto started = std::chrono::steady_clock::now();
    bool told = false;
    QTimer look;
    look.start(kLookEveryMs);
    while (!done()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        if (!told && std::chrono::steady_clock::now() - started >= kNoAnswerNotice) {
            told = true;
            noAnswer_(true);
        }
    }
    if (told) noAnswer_(false);
}

// An empty call queued to the window's thread: its event loop wakes and looks again.
void WindowWait::wake() {
    if (QCoreApplication* app = QCoreApplication::instance()) {
        QMetaObject::invokeMethod(
            app, [] {}, Qt::QueuedConnection);
    }
}

}  // namespace vantrel

#include "formkit/screen_places.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <algorithm>

namespace vantrel {

bool TitleBarReachable(const QRect& frame, int titleHeight, const QList<QRect>& screens) {
    const int row = frame.top() + std::max(titleHeight, 1) / 2;
    const int grip = std::min(kTitleBarGrip, frame.width());
    return std::any_of(screens.begin(), screens.end(), [&](const QRect& screen) {
        if (row < screen.top() || row > screen.bottom()) return false;
        const int from = std::max(frame.left(), screen.left());
        const int to = std::min(frame.right(), screen.right());
        return to - from + 1 >= grip;
    });
}

QList<QRect> AvailableScreenAreas() {
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens()) areas << screen->availableGeometry();
    return areas;
}

bool IsFramed(const QWidget& window) {
    return window.frameGeometry() != window.geometry();
}

QMargins FrameMarginsOf(const QWidget& window) {
    if (!IsFramed(window)) return {};
    const QRect outer = window.frameGeometry();
    const QRect inner = window.geometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

int TitleBarHeight(const QWidget& window) {
    if (IsFramed(window)) return FrameMarginsOf(window).top();
    return window.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
}

QRect ScreenRectOf(const QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect();
}

QRect PrimaryScreenRect() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect();
}

}  // namespace vantrel

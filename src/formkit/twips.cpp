#include "formkit/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace vantrel {

namespace {

double DpiX() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchX() : 96.0;
}

double DpiY() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchY() : 96.0;
}

const QScreen* ScreenOf(const QWidget* form) {
    if (form && form->screen()) return form->screen();
    return QGuiApplication::primaryScreen();
}

}  // namespace

int TwipsToPixelsX(double twips) {
    return static_cast<int>(std::lround(twips * DpiX() / kTwipsPerInch));
}

int TwipsToPixelsY(double twips) {
    return static_cast<int>(std::lround(twips * DpiY() / kTwipsPerInch));
}

float PixelsToTwipsX(int pixels) {
    return static_cast<float>(pixels * kTwipsPerInch / DpiX());
}

float PixelsToTwipsY(int pixels) {
    return static_cast<float>(pixels * kTwipsPerInch / DpiY());
}

void PlaceTwips(QWidget& control, double left, double top, double width, double height) {
    // Both edges are converted, so that controls that meet in twips meet in pixels too.
    const int x = TwipsToPixelsX(left);
    const int y = TwipsToPixelsY(top);
    control.setGeometry(x, y, TwipsToPixelsX(left + width) - x, TwipsToPixelsY(top + height) - y);
}

QSize ClientSizeTwips(double width, double height) {
    return {TwipsToPixelsX(width), TwipsToPixelsY(height)};
}

FormGeometry FormGeometryTwips(const QWidget& form) {
    const QRect frame = form.frameGeometry();
    return {PixelsToTwipsX(frame.x()), PixelsToTwipsY(frame.y()), PixelsToTwipsX(frame.width()),
            PixelsToTwipsY(frame.height())};
}

void MoveFormTwips(QWidget& form, float top, float left) {
    form.move(TwipsToPixelsX(left), TwipsToPixelsY(top));
}

bool OnSomeScreen(const FormGeometry& placed) {
    const QRect rect(TwipsToPixelsX(placed.left), TwipsToPixelsY(placed.top),
                     TwipsToPixelsX(placed.width), TwipsToPixelsY(placed.height));
    const auto screens = QGuiApplication::screens();
    return std::any_of(screens.begin(), screens.end(), [&](const QScreen* screen) {
        return screen->availableGeometry().intersects(rect);
    });
}

float ScreenWidthTwips(const QWidget* form) {
    const QScreen* screen = ScreenOf(form);
    return screen ? PixelsToTwipsX(screen->geometry().width()) : 0;
}

float ScreenHeightTwips(const QWidget* form) {
    const QScreen* screen = ScreenOf(form);
    return screen ? PixelsToTwipsY(screen->geometry().height()) : 0;
}

}  // namespace vantrel

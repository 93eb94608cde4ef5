#include "formkit/twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
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
    return RectTwips(form.frameGeometry());
}

void MoveFormTwips(QWidget& form, float top, float left) {
    form.move(TwipsToPixelsX(left), TwipsToPixelsY(top));
}

FormGeometry RectTwips(const QRect& pixels) {
    return {PixelsToTwipsX(pixels.x()), PixelsToTwipsY(pixels.y()), PixelsToTwipsX(pixels.width()),
            PixelsToTwipsY(pixels.height())};
}

QRect RectPixels(const FormGeometry& twips) {
    return {TwipsToPixelsX(twips.left), TwipsToPixelsY(twips.top), TwipsToPixelsX(twips.width),
            TwipsToPixelsY(twips.height)};
}

}  // namespace vantrel

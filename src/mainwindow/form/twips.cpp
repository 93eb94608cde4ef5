#include "mainwindow/form/twips.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace vantrel {

namespace {

// The forms' controls were sized for 8-point text.
constexpr int kFormFontPoints = 8;

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

float ScreenWidthTwips(const QWidget* form) {
    const QScreen* screen = ScreenOf(form);
    return screen ? PixelsToTwipsX(screen->geometry().width()) : 0;
}

float ScreenHeightTwips(const QWidget* form) {
    const QScreen* screen = ScreenOf(form);
    return screen ? PixelsToTwipsY(screen->geometry().height()) : 0;
}

CentredPlace CentredPlacement(const FormGeometry& form, const FormGeometry& mainWindow,
                              float screenWidth, float screenHeight) {
    if (form.width > mainWindow.width || form.height > mainWindow.height) {
        return {(screenHeight - form.height) / 2, (screenWidth - form.width) / 2};
    }
    return {mainWindow.top + (mainWindow.height - form.height) / 2,
            mainWindow.left + (mainWindow.width - form.width) / 2};
}

void CenterForm(QWidget& form, const QWidget& mainWindow) {
    if (form.isMinimized() || form.isMaximized() || form.isFullScreen()) return;
    const CentredPlace place =
        CentredPlacement(FormGeometryTwips(form), FormGeometryTwips(mainWindow),
                         ScreenWidthTwips(&mainWindow), ScreenHeightTwips(&mainWindow));
    MoveFormTwips(form, place.top, place.left);
}

void UseFormFont(QWidget& form) {
    QFont font = form.font();
    font.setPointSize(kFormFontPoints);
    form.setFont(font);
}

}  // namespace vantrel

namespace vantrel {

void FitCaption(QLabel& label, int limit) {
    const int needed = label.fontMetrics().horizontalAdvance(label.text()) + 2 * label.margin() +
                       2 * label.frameWidth() + 1;
    const QRect place = label.geometry();
    if (place.width() >= needed) return;
    if (label.alignment() & Qt::AlignRight) {
        const int left = std::max(limit, place.right() + 1 - needed);
        label.setGeometry(left, place.y(), place.right() + 1 - left, place.height());
    } else {
        label.resize(std::min(needed, limit - place.x()), place.height());
    }
}

QPushButton* MakeButton(QWidget* form, const char* name, const char* caption, double left,
                        double top, double width, double height) {
    auto* button = MakeControl<QPushButton>(form, name, left, top, width, height);
    button->setText(QString::fromUtf8(caption));
    button->setAutoDefault(false);
    return button;
}

}  // namespace vantrel

#include "formkit/center_form.h"

#include <QMargins>
#include <QWidget>

#include "formkit/twips.h"

namespace vantrel {

namespace {

// A window's frame margins. A window not shown yet has no frame: it will get one like its
// owner's.
QMargins FrameMargins(const QWidget& window, const QWidget& owner) {
    const QWidget& framed = window.frameGeometry() != window.geometry() ? window : owner;
    const QRect outer = framed.frameGeometry();
    const QRect inner = framed.geometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

}  // namespace

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
    FormGeometry outer = FormGeometryTwips(form);
    const QSize framed = form.size().grownBy(FrameMargins(form, mainWindow));
    outer.width = PixelsToTwipsX(framed.width());
    outer.height = PixelsToTwipsY(framed.height());
    const CentredPlace place =
        CentredPlacement(outer, FormGeometryTwips(mainWindow), ScreenWidthTwips(&mainWindow),
                         ScreenHeightTwips(&mainWindow));
    MoveFormTwips(form, place.top, place.left);
}

}  // namespace vantrel

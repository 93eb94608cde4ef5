#include "formkit/center_form.h"

#include <QWidget>

#include "formkit/twips.h"

namespace vantrel {

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
    if (form.frameGeometry().size() == form.size()) {
        const QSize frame = mainWindow.frameGeometry().size() - mainWindow.size();
        outer.width += PixelsToTwipsX(frame.width());
        outer.height += PixelsToTwipsY(frame.height());
    }
    const CentredPlace place =
        CentredPlacement(outer, FormGeometryTwips(mainWindow), ScreenWidthTwips(&mainWindow),
                         ScreenHeightTwips(&mainWindow));
    MoveFormTwips(form, place.top, place.left);
}

}  // namespace vantrel

#include "formkit/center_form.h"

#include <QWidget>
#include <algorithm>

#include "formkit/screen_places.h"
#include "formkit/twips.h"

namespace vantrel {

CentredPlace CentredPlacement(const FormGeometry& form, const FormGeometry& mainWindow,
                              const FormGeometry& screen) {
    if (form.width > mainWindow.width || form.height > mainWindow.height) {
        return {screen.top + (screen.height - form.height) / 2,
                screen.left + (screen.width - form.width) / 2};
    }
    return {mainWindow.top + (mainWindow.height - form.height) / 2,
            mainWindow.left + (mainWindow.width - form.width) / 2};
}

void CenterForm(QWidget& form, const QWidget& mainWindow) {
    if (form.isMinimized() || form.isMaximized() || form.isFullScreen()) return;
    FormGeometry outer = FormGeometryTwips(form);
    const QSize framed = form.size().grownBy(FrameMarginsOf(IsFramed(form) ? form : mainWindow));
    outer.width = PixelsToTwipsX(framed.width());
    outer.height = PixelsToTwipsY(framed.height());
    const CentredPlace place =
        CentredPlacement(outer, FormGeometryTwips(mainWindow), RectTwips(ScreenRectOf(mainWindow)));
    MoveFormTwips(form, place.top, place.left);
}

void CentreOverOwner(QWidget& box, const QWidget& owner) {
    const QSize framed = box.size().grownBy(FrameMarginsOf(IsFramed(box) ? box : owner));
    QRect place(QPoint(), framed);
    place.moveCenter(owner.frameGeometry().center());
    const QRect screen = ScreenRectOf(owner);
    place.moveLeft(
        std::max(screen.left(), std::min(place.left(), screen.right() + 1 - place.width())));
    place.moveTop(
        std::max(screen.top(), std::min(place.top(), screen.bottom() + 1 - place.height())));
    box.move(place.topLeft());
}

}  // namespace vantrel

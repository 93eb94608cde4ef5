#include "app/window_icon.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace vantrel {

QIcon ApplicationIcon() {
    // Drawn at the sizes window managers and task bars ask for, so that none is scaled from
    // another.
    QSvgRenderer renderer(QStringLiteral(":/vantrel/vantrel.svg"));
    QIcon icon;
    if (!renderer.isValid()) return icon;
    for (const int side : {16, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace vantrel

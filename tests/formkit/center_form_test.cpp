// Placement over the main window: CenterForm's rule (over the main window when the form fits, on
// the screen when it is wider or taller; the main window 600 by 500 twips at left 100, top 50,
// the screen 1920 by 1080).

#include "formkit/center_form.h"

#include <QtTest>

using namespace vantrel;

class CenterFormTest : public QObject {
    Q_OBJECT

  private slots:
    void placement() {
        auto place = [](float width, float height) {
            const CentredPlace at =
                CentredPlacement({0, 0, width, height}, {100, 50, 600, 500}, 1920, 1080);
            return QPointF(at.left, at.top);
        };
        QCOMPARE(place(400, 300), QPointF(200, 150));
        QCOMPARE(place(600, 500), QPointF(100, 50));
        QCOMPARE(place(601, 300), QPointF(659.5, 390));
        QCOMPARE(place(400, 501), QPointF(760, 289.5));
    }
};

QTEST_MAIN(CenterFormTest)
#include "center_form_test.moc"

// The About box on the offscreen platform: what it shows, where, and what its clicks hand over.

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QtTest>

#include "about/about_box.h"
#include "about/fake_desktop.h"
#include "about/fake_registry.h"
#include "about/frm_about.h"
#include "fakes/recording_messages.h"

using vantrel::frmAbout;
using vantrel::testing::FakeDesktop;
using vantrel::testing::FakeRegistry;
using vantrel::testing::RecordingMessages;

namespace {

struct Expected {
    const char* name;
    const char* caption;
    QRect twips;
};

// Every control with its caption and place in twips.
const Expected kControls[] = {
    {"Label1", "Welcome To:", {0, 0, 1935, 375}},
    {"Label2", "Vantrel", {0, 360, 5295, 855}},
    {"lblVersion", "Version 3.2.0", {4800, 120, 1725, 345}},
    {"Label3", "A Utitlity Designed by Brenwick Software.", {0, 1320, 6135, 495}},
    {"Label4",
     "Vantrel is used to bypass the printer drivers in Win95/98 or WinNT. This can be useful when "
     "a program outputs its own formatting, or when used with continuous,  or variable length, "
     "forms.",
     {240, 1800, 5895, 735}},
    {"Label9", "Brenwick Software can be reached through", {225, 2640, 3375, 255}},
    {"HTTPtag", "www.brenwick.example", {3600, 2640, 1830, 195}},
    {"Label5", "Or by e-mail at ", {240, 2880, 1095, 255}},
    {"MAILtag", "support@brenwick.example", {3600, 2880, 1620, 195}},
    {"cmdOK", "&OK", {5205, 3705, 1245, 345}},
    {"cmdSysInfo", "&System Info...", {5220, 4155, 1245, 345}},
};

int Px(int twips, int dpi) {
    return qRound(twips * dpi / 1440.0);
}

bool isLink(const char* name) {
    return QByteArray(name) == "HTTPtag" || QByteArray(name) == "MAILtag";
}

// The extent of the ink the label's text leaves when drawn in font, wrapped at the label's
// width, from the label's top left corner: what must fit inside the label to show whole.
QSize InkSize(const QLabel* label, const QFont& font) {
    const int width = label->width();
    QImage image(width * 3, 2000, QImage::Format_ARGB32_Premultiplied);
    image.setDotsPerMeterX(qRound(label->logicalDpiX() / 0.0254));
    image.setDotsPerMeterY(qRound(label->logicalDpiY() / 0.0254));
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QRect(0, 0, width, image.height()),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, label->text());
    }
    int right = 0;
    int bottom = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(row[x]) == 0) continue;
            right = std::max(right, x + 1);
            bottom = std::max(bottom, y + 1);
        }
    }
    return QSize(right, bottom);
}

}  // namespace

class AboutFormTest : public QObject {
    Q_OBJECT

  private:
    FakeDesktop desktop;
    FakeRegistry registry;
    RecordingMessages messages;
    std::unique_ptr<frmAbout> form;

    template <typename T>
    T* child(const char* name) {
        auto* widget = form->findChild<T*>(name);
        if (!widget) qFatal("no control %s", name);
        return widget;
    }
    QString text(const char* name) {
        if (auto* label = form->findChild<QLabel*>(name)) return label->text();
        return child<QPushButton>(name)->text();
    }

  private slots:
    void init() {
        desktop = FakeDesktop();
        messages = RecordingMessages();
        form = std::make_unique<frmAbout>(desktop, registry, messages);
    }
    void cleanup() { form.reset(); }

    void captionsAndTexts() {
        QCOMPARE(form->objectName(), QString("frmAbout"));
        QCOMPARE(form->windowTitle(), QString("About Vantrel"));
        for (const auto& control : kControls) {
            QCOMPARE(text(control.name), QString(control.caption));
        }
    }

    void geometryFollowsTheLogicalDpi() {
        const int dpiX = form->logicalDpiX();
        const int dpiY = form->logicalDpiY();
        QCOMPARE(form->size(), QSize(Px(6540, dpiX), Px(4605, dpiY)));
        QCOMPARE(form->minimumSize(), form->maximumSize());  // fixed border
        for (const auto& control : kControls) {
            auto* widget = child<QWidget>(control.name);
            const QRect& t = control.twips;
            const QRect design(Px(t.x(), dpiX), Px(t.y(), dpiY), Px(t.width(), dpiX),
                               Px(t.height(), dpiY));
            if (isLink(control.name)) {
                // A link grows to show its whole address, within the form.
                QCOMPARE(widget->pos(), design.topLeft());
                QVERIFY(widget->width() >= design.width());
                QVERIFY(widget->height() >= design.height());
                QVERIFY(form->rect().contains(widget->geometry()));
            } else {
                QCOMPARE(widget->geometry(), design);
            }
        }
    }

    void coloursAndFonts() {
        auto colour = [&](const char* name) {
            return child<QLabel>(name)->palette().color(QPalette::WindowText);
        };
        const QColor white(255, 255, 255);
        for (const char* name : {"Label1", "lblVersion", "Label3", "Label4", "Label9", "Label5"}) {
            QCOMPARE(colour(name), white);
        }
        QCOMPARE(colour("Label2"), QColor(0, 255, 255));
        QCOMPARE(colour("HTTPtag"), QColor(192, 255, 255));
        QCOMPARE(colour("MAILtag"), QColor(192, 255, 255));

        QVERIFY(child<QLabel>("Label2")->font().bold());
        for (const char* name : {"HTTPtag", "MAILtag"}) {
            QVERIFY(child<QLabel>(name)->font().underline());
            QCOMPARE(child<QLabel>(name)->cursor().shape(), Qt::PointingHandCursor);
        }
        QVERIFY(child<QLabel>("Label2")->alignment() & Qt::AlignHCenter);
        QVERIFY(child<QLabel>("Label3")->alignment() & Qt::AlignHCenter);
    }

    void backgroundIsDarkBlueEverywhereButTheText() {
        const QImage image = form->grab().toImage();
        const QColor background(0, 0, 64);
        // Corners of the form, and the blank right end of the "Welcome To:" label.
        const QRect label1 = child<QLabel>("Label1")->geometry();
        for (QPoint p : {QPoint(1, image.height() - 2), QPoint(image.width() - 2, 1),
                         QPoint(label1.right() - 2, label1.center().y())}) {
            const qreal ratio = image.devicePixelRatio();
            QCOMPARE(image.pixelColor(p * ratio), background);
        }
    }

    void fontSizesAreTheDesignSizesUnlessTheTextWouldNotShow() {
        const std::pair<const char*, qreal> sizes[] = {
            {"Label1", 8.25},  {"Label2", 36},   {"lblVersion", 12},
            {"Label3", 15.75}, {"Label4", 8.25}, {"Label9", 8.25},
            {"HTTPtag", 8.25}, {"Label5", 8.25}, {"MAILtag", 8.25},
        };
        for (const auto& [name, design] : sizes) {
            auto* label = child<QLabel>(name);
            QFont atDesign = label->font();
            atDesign.setPointSizeF(design);
            const QSize ink = InkSize(label, atDesign);
            const qreal size = label->font().pointSizeF();
            QVERIFY2(size <= design && size >= design * 0.6, name);
            // With room to spare at the design size, nothing is shrunk.
            if (ink.width() + 2 <= label->width() && ink.height() + 2 <= label->height()) {
                QVERIFY2(size == design, name);
            }
        }
    }

    void textsShowWholeInTheirLabels() {
        for (const auto& control : kControls) {
            auto* label = form->findChild<QLabel*>(control.name);
            if (!label) continue;
            const QSize ink = InkSize(label, label->font());
            QVERIFY2(ink.width() <= label->width() && ink.height() <= label->height(),
                     qPrintable(QString("%1: text %2x%3 in %4x%5")
                                    .arg(control.name)
                                    .arg(ink.width())
                                    .arg(ink.height())
                                    .arg(label->width())
                                    .arg(label->height())));
        }
    }

    void tabGoesFromOkToSystemInfo() {
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        auto* ok = child<QPushButton>("cmdOK");
        auto* sysInfo = child<QPushButton>("cmdSysInfo");
        QCOMPARE(QApplication::focusWidget(), ok);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), sysInfo);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), ok);
    }

    void webLinkOpensItsCaption() {
        QTest::mouseClick(child<QLabel>("HTTPtag"), Qt::LeftButton);
        QCOMPARE(desktop.opened, std::vector<std::string>{"www.brenwick.example"});
    }

    void mailLinkOpensMailtoWithTheBlank() {
        auto* mail = child<QLabel>("MAILtag");
        mail->setText("sales@brenwick.example");  // the caption is what is opened
        QTest::mouseClick(mail, Qt::LeftButton);
        QCOMPARE(desktop.opened, std::vector<std::string>{"Mailto: sales@brenwick.example"});
    }

    void onlyALeftClickOnTheLinkOpensIt() {
        auto* link = child<QLabel>("HTTPtag");
        QTest::mouseClick(link, Qt::RightButton);
        QTest::mousePress(link, Qt::LeftButton);
        QTest::mouseRelease(link, Qt::LeftButton, {}, QPoint(link->width() + 20, 2));
        QVERIFY(desktop.opened.empty());
    }

    void okCloses() {
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QTest::mouseClick(child<QPushButton>("cmdOK"), Qt::LeftButton);
        QVERIFY(!form->isVisible());
        QCOMPARE(form->result(), int(QDialog::Accepted));
    }

    void systemInfoReportsUnavailableAndStaysOpen() {
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QTest::mouseClick(child<QPushButton>("cmdSysInfo"), Qt::LeftButton);
        QCOMPARE(messages.texts(),
                 std::vector<std::string>{"System Information Is Unavailable At This Time"});
        QVERIFY(form->isVisible());
    }

    void centredOverAMainWindowItFits() {
        const QRect screen(0, 0, 1920, 1080);
        QCOMPARE(vantrel::CentredPosition(QSize(400, 300), QRect(100, 50, 600, 500), screen),
                 QPoint(200, 150));
        // Equal sizes still fit.
        QCOMPARE(vantrel::CentredPosition(QSize(600, 500), QRect(100, 50, 600, 500), screen),
                 QPoint(100, 50));
    }

    void centredOnTheScreenWhenLargerInEitherDimension() {
        const QRect screen(0, 0, 1920, 1080);
        QCOMPARE(vantrel::CentredPosition(QSize(601, 300), QRect(100, 50, 600, 500), screen),
                 QPoint(659, 390));
        QCOMPARE(vantrel::CentredPosition(QSize(400, 501), QRect(100, 50, 600, 500), screen),
                 QPoint(760, 289));
    }

    void showAboutBoxIsModalCentredAndDestroyedAfterwards() {
        QWidget mainWindow;
        mainWindow.setGeometry(200, 100, 1000, 800);
        mainWindow.show();
        QVERIFY(QTest::qWaitForWindowExposed(&mainWindow));

        QPointer<frmAbout> shown;
        bool wasModal = false;
        QPoint centreOffset;
        QTimer::singleShot(0, [&] {
            shown = qobject_cast<frmAbout*>(QApplication::activeModalWidget());
            if (!shown) return;
            wasModal = shown->isModal();
            centreOffset = shown->frameGeometry().center() - mainWindow.frameGeometry().center();
            QTest::mouseClick(shown->findChild<QPushButton*>("cmdOK"), Qt::LeftButton);
        });
        vantrel::ShowAboutBox(&mainWindow, desktop, registry, messages);

        QVERIFY(wasModal);
        QVERIFY(qAbs(centreOffset.x()) <= 2 && qAbs(centreOffset.y()) <= 2);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(shown.isNull());
    }
};

QTEST_MAIN(AboutFormTest)
#include "about_form_test.moc"

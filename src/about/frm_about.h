#pragma once

#include <QDialog>
#include <QLabel>
#include <QPoint>
#include <QRect>
#include <QSize>

#include "platform/desktop.h"
#include "platform/message_sink.h"
#include "platform/registry.h"

class QPushButton;

namespace vantrel {

// A label that reacts to a click of the left mouse button, shown with a pointing hand.
class ClickLabel : public QLabel {
    Q_OBJECT

  public:
    explicit ClickLabel(QWidget* parent = nullptr);

  signals:
    void clicked();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    bool pressed_ = false;
};

// The About box: product, version, the maker's links, and a start of the system's System
// Information program. Positions and sizes are laid down in twips and turned into pixels through
// the screen's logical DPI, so the box keeps its proportions at any scale.
class frmAbout : public QDialog {
    Q_OBJECT

  public:
    frmAbout(Desktop& desktop, Registry& registry, MessageSink& messages,
             QWidget* parent = nullptr);

    // Pixels for a length in twips at dpi dots per inch.
    static int TwipsToPixels(double twips, int dpi);

  private slots:
    void cmdOK_Click();
    void cmdSysInfo_Click();
    void HTTPtag_Click();
    void MAILtag_Click();

  private:
    void Form_Load();
    QLabel* addLabel(QLabel* label, const char* name, const QString& caption, QRect twips,
                     const QFont& font, const QColor& colour, Qt::Alignment alignment);
    QRect toPixels(QRect twips) const;

    Desktop& desktop_;
    Registry& registry_;
    MessageSink& messages_;

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label9 = nullptr;
    ClickLabel* HTTPtag = nullptr;
    QLabel* Label5 = nullptr;
    ClickLabel* MAILtag = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;
};

// Where a dialog of outer size dialog goes: centred over the main window's outer rectangle when it
// fits inside it in both dimensions, else centred on the screen.
QPoint CentredPosition(QSize dialog, QRect mainWindow, QRect screen);

}  // namespace vantrel

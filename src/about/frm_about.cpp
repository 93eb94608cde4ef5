#include "about/frm_about.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QStringList>
#include <QTextLayout>
#include <QTextOption>
#include <algorithm>
#include <cmath>
#include <memory>

#include "about/about_box.h"
#include "about/about_texts.h"
#include "about/start_sys_info.h"

namespace vantrel {

namespace {

constexpr int kTwipsPerInch = 1440;
const QSize kClientTwips(6540, 4605);

const QColor kBackground(0, 0, 64);
const QColor kWhite(255, 255, 255);
const QColor kTitleColour(0, 255, 255);
const QColor kLinkColour(192, 255, 255);

// Arial, or a font of the same widths where Arial is not installed.
QFont ArialFont(double points, bool bold = false) {
    QFont font;
    font.setFamilies({"Arial", "Liberation Sans", "Arimo", "Nimbus Sans", "Helvetica",
                      "DejaVu Sans", "Sans Serif"});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// The classic dialog font, or the closest sans serif at hand.
QFont DialogFont(double points = 8.25) {
    QFont font;
    font.setFamilies({"MS Sans Serif", "Microsoft Sans Serif", "Liberation Sans", "Arimo",
                      "Nimbus Sans", "Arial", "Helvetica", "DejaVu Sans", "Sans Serif"});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    return font;
}

QFont LinkFont() {
    QFont font = DialogFont();
    font.setUnderline(true);
    return font;
}

// The lines text breaks into at width, as a word-wrapping label breaks it.
QList<QTextLine> LayOut(QTextLayout& layout, int width) {
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    QList<QTextLine> lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        lines << line;
    }
    layout.endLayout();
    return lines;
}

// How far the text's ink reaches below its baseline, its underline included.
qreal InkBelowBaseline(const QString& line, const QFont& font) {
    const QFontMetricsF metrics(font);
    qreal below = std::max<qreal>(0, metrics.tightBoundingRect(line).bottom());
    if (font.underline()) below = std::max(below, metrics.underlinePos() + metrics.lineWidth());
    return below;
}

// True when the text, wrapped at the box's width, shows whole inside the box: no line wider than
// the box, and the ink of the last line above its bottom edge.
bool TextFits(const QString& text, const QFont& font, QSize box) {
    QTextLayout layout(text, font);
    const QList<QTextLine> lines = LayOut(layout, box.width());
    if (lines.isEmpty()) return true;
    for (const auto& line : lines) {
        if (line.naturalTextWidth() > box.width()) return false;
    }
    const QFontMetricsF metrics(font);
    const QTextLine& last = lines.back();
    const QString lastText = text.mid(last.textStart(), last.textLength()).trimmed();
    const qreal baseline = (lines.size() - 1) * metrics.lineSpacing() + metrics.ascent();
    return baseline + InkBelowBaseline(lastText, font) <= box.height();
}

// The smallest share of its design size a label's font may shrink to.
constexpr qreal kSmallestFontShare = 0.6;

// Shrinks the label's font, where the fonts at hand are wider than the ones the box was laid out
// for, until its text shows whole.
void ShrinkToFit(QLabel* label) {
    QFont font = label->font();
    const qreal smallest = font.pointSizeF() * kSmallestFontShare;
    while (!TextFits(label->text(), font, label->size()) && font.pointSizeF() - 0.25 >= smallest) {
        font.setPointSizeF(font.pointSizeF() - 0.25);
    }
    label->setFont(font);
}

// Makes a link as large as its one line of text, growing to the right and downwards as far as
// the form allows: an address cut short is useless.
void GrowToText(QLabel* link, QSize form) {
    const QFontMetricsF metrics(link->font());
    const int textWidth = static_cast<int>(std::ceil(metrics.horizontalAdvance(link->text())));
    const int textHeight = static_cast<int>(
        std::ceil(metrics.ascent() + InkBelowBaseline(link->text(), link->font())));
    link->resize(std::min(std::max(link->width(), textWidth + 1), form.width() - link->x()),
                 std::min(std::max(link->height(), textHeight), form.height() - link->y()));
}

}  // namespace

ClickLabel::ClickLabel(QWidget* parent) : QLabel(parent) {
    setCursor(Qt::PointingHandCursor);
}

void ClickLabel::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    QLabel::mousePressEvent(event);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    // A click is a press and a release of the left button both on the label.
    const bool click = pressed_ && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    pressed_ = false;
    QLabel::mouseReleaseEvent(event);
    if (click) emit clicked();
}

frmAbout::frmAbout(Desktop& desktop, Registry& registry, MessageSink& messages, QWidget* parent)
    : QDialog(parent), desktop_(desktop), registry_(registry), messages_(messages) {
    setObjectName("frmAbout");
    setWindowTitle("About Vantrel");
    // A fixed dialog border: title and close button only, no resizing.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFont(DialogFont());
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kBackground);
    setPalette(palette);
    setAutoFillBackground(true);
    setFixedSize(toPixels(QRect(QPoint(0, 0), kClientTwips)).size());

    // Labels are transparent, so each shows the form's background.
    const auto left = Qt::AlignLeft | Qt::AlignTop;
    const auto centred = Qt::AlignHCenter | Qt::AlignTop;
    Label1 = addLabel(new QLabel(this), "Label1", "Welcome To:", QRect(0, 0, 1935, 375),
                      DialogFont(), kWhite, left);
    Label2 = addLabel(new QLabel(this), "Label2", "Vantrel", QRect(0, 360, 5295, 855),
                      ArialFont(36, true), kTitleColour, centred);
    lblVersion = addLabel(new QLabel(this), "lblVersion", "Version", QRect(4800, 120, 1725, 345),
                          ArialFont(12), kWhite, left);
    Label3 = addLabel(new QLabel(this), "Label3", "A Utitlity Designed by Brenwick Software.",
                      QRect(0, 1320, 6135, 495), ArialFont(15.75), kWhite, centred);
    Label4 = addLabel(new QLabel(this), "Label4",
                      "Vantrel is used to bypass the printer drivers in Win95/98 or WinNT. This "
                      "can be useful when a program outputs its own formatting, or when used with "
                      "continuous,  or variable length, forms.",
                      QRect(240, 1800, 5895, 735), DialogFont(), kWhite, left);
    Label9 = addLabel(new QLabel(this), "Label9", "Brenwick Software can be reached through",
                      QRect(225, 2640, 3375, 255), DialogFont(), kWhite, left);
    HTTPtag = static_cast<ClickLabel*>(
        addLabel(new ClickLabel(this), "HTTPtag", QString::fromStdString(kMakerWebPage),
                 QRect(3600, 2640, 1830, 195), LinkFont(), kLinkColour, left));
    Label5 = addLabel(new QLabel(this), "Label5", "Or by e-mail at ", QRect(240, 2880, 1095, 255),
                      DialogFont(), kWhite, left);
    MAILtag = static_cast<ClickLabel*>(
        addLabel(new ClickLabel(this), "MAILtag", QString::fromStdString(kMakerMailAddress),
                 QRect(3600, 2880, 1620, 195), LinkFont(), kLinkColour, left));

    cmdOK = new QPushButton("&OK", this);
    cmdOK->setObjectName("cmdOK");
    cmdOK->setGeometry(toPixels(QRect(5205, 3705, 1245, 345)));
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton("&System Info...", this);
    cmdSysInfo->setObjectName("cmdSysInfo");
    cmdSysInfo->setGeometry(toPixels(QRect(5220, 4155, 1245, 345)));
    cmdSysInfo->setAutoDefault(false);
    setTabOrder(cmdOK, cmdSysInfo);
    cmdOK->setFocus();

    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
    connect(HTTPtag, &ClickLabel::clicked, this, &frmAbout::HTTPtag_Click);
    connect(MAILtag, &ClickLabel::clicked, this, &frmAbout::MAILtag_Click);

    Form_Load();

    // The fonts at hand may be wider than those the box was designed with.
    for (auto* link : {static_cast<QLabel*>(HTTPtag), static_cast<QLabel*>(MAILtag)}) {
        GrowToText(link, size());
    }
    for (auto* label : findChildren<QLabel*>()) ShrinkToFit(label);
}

int frmAbout::TwipsToPixels(double twips, int dpi) {
    return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}

QRect frmAbout::toPixels(QRect twips) const {
    const int dpiX = logicalDpiX();
    const int dpiY = logicalDpiY();
    return QRect(TwipsToPixels(twips.x(), dpiX), TwipsToPixels(twips.y(), dpiY),
                 TwipsToPixels(twips.width(), dpiX), TwipsToPixels(twips.height(), dpiY));
}

QLabel* frmAbout::addLabel(QLabel* label, const char* name, const QString& caption, QRect twips,
                           const QFont& font, const QColor& colour, Qt::Alignment alignment) {
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setText(caption);
    label->setFont(font);
    label->setAlignment(alignment);
    label->setWordWrap(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Window, kBackground);
    label->setPalette(palette);
    label->setGeometry(toPixels(twips));
    return label;
}

void frmAbout::Form_Load() {
    lblVersion->setText(QString::fromStdString(VersionLabelText()));
}

void frmAbout::cmdOK_Click() {
    accept();
}

void frmAbout::cmdSysInfo_Click() {
    StartSysInfo(registry_, desktop_, messages_);
}

void frmAbout::HTTPtag_Click() {
    desktop_.openDocument(HTTPtag->text().toStdString());
}

void frmAbout::MAILtag_Click() {
    desktop_.openDocument(MailTarget(MAILtag->text().toStdString()));
}

QPoint CentredPosition(QSize dialog, QRect mainWindow, QRect screen) {
    const bool larger =
        dialog.width() > mainWindow.width() || dialog.height() > mainWindow.height();
    const QRect around = larger ? screen : mainWindow;
    return QPoint(around.x() + (around.width() - dialog.width()) / 2,
                  around.y() + (around.height() - dialog.height()) / 2);
}

void ShowAboutBox(QWidget* mainWindow, Desktop& desktop, Registry& registry,
                  MessageSink& messages) {
    auto box = std::make_unique<frmAbout>(desktop, registry, messages, mainWindow);
    box->setWindowModality(Qt::ApplicationModal);
    // The box has no frame before it is shown; the main window's frame stands in for it.
    QRect around;
    QSize frame;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (mainWindow) {
        around = mainWindow->frameGeometry();
        frame = around.size() - mainWindow->size();
        if (mainWindow->screen()) screen = mainWindow->screen();
    }
    box->move(CentredPosition(box->size() + frame, around, screen ? screen->geometry() : QRect()));
    box->exec();
}

}  // namespace vantrel

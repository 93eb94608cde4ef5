#include "about/about_box_form.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLabel>
#include <QMouseEvent>
#include <QPalette>
#include <QPushButton>
#include <QSysInfo>
#include <QTextLayout>
#include <QTextOption>
#include <algorithm>
#include <cmath>
#include <functional>

#include "about/about_box.h"
#include "about/start_sys_info.h"
#include "formkit/center_form.h"
#include "formkit/controls.h"

namespace vantrel {

namespace {

constexpr double kClientWidth = 6540;  // twips
constexpr double kClientHeight = 4605;

const QColor kBackground(0, 0, 64);
const QColor kWhite(255, 255, 255);
const QColor kTitleColour(0, 255, 255);
const QColor kLinkColour(192, 255, 255);

// A label that reacts to a click of the left mouse button, shown with a pointing hand.
class ClickLabel : public QLabel {
  public:
    explicit ClickLabel(QWidget* parent) : QLabel(parent) { setCursor(Qt::PointingHandCursor); }

    std::function<void()> onClick;

  protected:
    void mousePressEvent(QMouseEvent* event) override {
        pressed_ = event->button() == Qt::LeftButton;
        QLabel::mousePressEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        // A click is a press and a release of the left button both on the label.
        const bool click = pressed_ && event->button() == Qt::LeftButton &&
                           rect().contains(event->position().toPoint());
        pressed_ = false;
        QLabel::mouseReleaseEvent(event);
        if (click && onClick) onClick();
    }

  private:
    bool pressed_ = false;
};

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

// A label of the box: plain text in its font and colour on the box's background.
template <typename Label = QLabel>
Label* AddLabel(QWidget* form, const char* name, const QString& caption, const QFont& font,
                const QColor& colour, Qt::Alignment side, double left, double top, double width,
                double height) {
    auto* label = MakeControl<Label>(form, name, left, top, width, height);
    label->setTextFormat(Qt::PlainText);
    label->setText(caption);
    label->setFont(font);
    label->setAlignment(side | Qt::AlignTop);
    label->setWordWrap(true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Window, kBackground);
    label->setPalette(palette);
    return label;
}

}  // namespace

// The controls, in design order.
struct AboutBox::Controls {
    QLabel* welcomeLabel;
    QLabel* titleLabel;
    QLabel* versionLabel;
    QLabel* makerLabel;
    QLabel* descriptionLabel;
    QLabel* reachLabel;
    ClickLabel* webPageLink;
    QLabel* mailCaption;
    ClickLabel* mailLink;
    QPushButton* okButton;
    QPushButton* sysInfoButton;
};

AboutBox::AboutBox(Desktop& desktop, Registry& registry, MessageSink& messages,
                   const ProgramVersion& version, QWidget* parent)
    : QDialog(parent),
      desktop_(desktop),
      registry_(registry),
      messages_(messages),
      ui_(std::make_unique<Controls>()) {
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
    setFixedSize(ClientSizeTwips(kClientWidth, kClientHeight));

    // Labels are transparent, so each shows the form's background.
    Controls& ui = *ui_;
    const auto left = Qt::AlignLeft;
    const auto centred = Qt::AlignHCenter;
    ui.welcomeLabel =
        AddLabel(this, "Label1", "Welcome To:", DialogFont(), kWhite, left, 0, 0, 1935, 375);
    ui.titleLabel = AddLabel(this, "Label2", "Vantrel", ArialFont(36, true), kTitleColour, centred,
                             0, 360, 5295, 855);
    ui.versionLabel =
        AddLabel(this, "lblVersion", "Version", ArialFont(12), kWhite, left, 4800, 120, 1725, 345);
    ui.makerLabel = AddLabel(this, "Label3", "A Utility Designed by Brenwick Software.",
                             ArialFont(15.75), kWhite, centred, 0, 1320, 6135, 495);
    ui.descriptionLabel = AddLabel(
        this, "Label4",
        QString::fromStdString(DescriptionText(QSysInfo::prettyProductName().toStdString())),
        DialogFont(), kWhite, left, 240, 1800, 5895, 735);
    ui.reachLabel = AddLabel(this, "Label9", "Brenwick Software can be reached through",
                             DialogFont(), kWhite, left, 225, 2640, 3375, 255);
    ui.webPageLink = AddLabel<ClickLabel>(this, "HTTPtag", QString::fromStdString(kMakerWebPage),
                                          LinkFont(), kLinkColour, left, 3600, 2640, 1830, 195);
    ui.mailCaption = AddLabel(this, "Label5", "Or by e-mail at ", DialogFont(), kWhite, left, 240,
                              2880, 1095, 255);
    ui.mailLink = AddLabel<ClickLabel>(this, "MAILtag", QString::fromStdString(kMakerMailAddress),
                                       LinkFont(), kLinkColour, left, 3600, 2880, 1620, 195);

    ui.okButton = MakeButton(this, "cmdOK", "&OK", 5205, 3705, 1245, 345);
    ui.okButton->setDefault(true);
    ui.sysInfoButton = MakeButton(this, "cmdSysInfo", "&System Info...", 5220, 4155, 1245, 345);
    setTabOrder(ui.okButton, ui.sysInfoButton);
    ui.okButton->setFocus();

    connect(ui.okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui.sysInfoButton, &QPushButton::clicked, this, [this] { onSysInfoClicked(); });
    ui.webPageLink->onClick = [this] { onWebPageClicked(); };
    ui.mailLink->onClick = [this] { onMailClicked(); };

    onLoad(version);

    // The fonts at hand may be wider than those the box was designed with.
    for (QLabel* link : {static_cast<QLabel*>(ui.webPageLink), static_cast<QLabel*>(ui.mailLink)}) {
        GrowToText(link, size());
    }
    for (auto* label : findChildren<QLabel*>()) ShrinkToFit(label);
}

AboutBox::~AboutBox() = default;

void AboutBox::onLoad(const ProgramVersion& version) {
    ui_->versionLabel->setText(QString::fromStdString(VersionLabelText(version)));
}

void AboutBox::onSysInfoClicked() {
    StartSysInfo(registry_, desktop_, messages_);
}

void AboutBox::onWebPageClicked() {
    const std::string address = ui_->webPageLink->text().toStdString();
    open(address, address);
}

void AboutBox::onMailClicked() {
    const std::string address = ui_->mailLink->text().toStdString();
    open(MailTarget(address), address);
}

void AboutBox::open(const std::string& target, const std::string& shown) {
    if (!desktop_.openDocument(target)) messages_.show(NoOpenerText(shown), MsgStyle::Exclamation);
}

void ShowAboutBox(QWidget& mainWindow, Desktop& desktop, Registry& registry, MessageSink& messages,
                  const ProgramVersion& version) {
    auto box = std::make_unique<AboutBox>(desktop, registry, messages, version, &mainWindow);
    box->setWindowModality(Qt::ApplicationModal);
    CenterForm(*box, mainWindow);
    box->exec();
}

}  // namespace vantrel

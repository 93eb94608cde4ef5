#include "formkit/controls.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <algorithm>

namespace vantrel {

namespace {

// The forms' controls were sized for 8-point text.
constexpr int kFormFontPoints = 8;
// The smallest share of its font that a box shrinks its text to.
constexpr double kSmallestFontShare = 0.6;
// QLineEdit keeps this many pixels free on either side of its text, inside the frame.
constexpr int kLineEditInnerMargin = 2;

// The width a text box has for its text: inside its frame and margins, with room for the cursor.
int TextRoom(const QLineEdit& box) {
    const int frame =
        box.hasFrame() ? box.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &box) : 0;
    const int cursor = box.style()->pixelMetric(QStyle::PM_TextCursorWidth, nullptr, &box);
    const QMargins text = box.textMargins();
    return box.contentsRect().width() - 2 * frame - text.left() - text.right() -
           2 * kLineEditInnerMargin - cursor;
}

int WidestNumber(const QFontMetrics& metrics, int digits) {
    int widest = 0;
    for (char digit = '0'; digit <= '9'; ++digit) {
        widest = std::max(widest, metrics.horizontalAdvance(QString(digits, QChar(digit))));
    }
    return widest;
}

// A button that Return and the keypad's Enter press while it has the focus, in every form, as
// Space does; the dialogs' default buttons answer Return elsewhere in them.
class Button : public QPushButton {
  public:
    using QPushButton::QPushButton;

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        const auto modifiers = event->modifiers() & ~Qt::KeypadModifier;
        if (!enter || modifiers != Qt::NoModifier) return QPushButton::keyPressEvent(event);
        if (!event->isAutoRepeat()) click();
        event->accept();
    }
};

}  // namespace

QPushButton* MakeButton(QWidget* form, const char* name, const char* caption, double left,
                        double top, double width, double height) {
    auto* button = MakeControl<Button>(form, name, left, top, width, height);
    button->setText(QString::fromUtf8(caption));
    button->setAutoDefault(false);
    return button;
}

void DrawFocusFrame(QAbstractItemView& list) {
    if (!list.hasFocus()) return;
    QPainter painter(list.viewport());
    painter.setPen(QPen(list.palette().color(QPalette::Highlight), 2));
    painter.drawRect(list.viewport()->rect().adjusted(1, 1, -1, -1));
}

QLineEdit* MakeTextBox(QWidget* form, const char* name, const char* text, double left, double top,
                       double width, double height) {
    auto* box = MakeControl<QLineEdit>(form, name, left, top, width, height);
    box->setText(QString::fromUtf8(text));
    return box;
}

QLabel* MakeLabel(QWidget* form, const char* name, const char* caption, Qt::Alignment side,
                  double left, double top, double width, double height) {
    auto* label = MakeControl<QLabel>(form, name, left, top, width, height);
    label->setText(QString::fromUtf8(caption));
    label->setAlignment(side | Qt::AlignTop);
    return label;
}

void UseFormFont(QWidget& form) {
    QFont font = form.font();
    font.setPointSize(kFormFontPoints);
    form.setFont(font);
}

void FitDigits(QLineEdit& box, int digits, int widest) {
    // Wider first, up to widest, so that its digits keep the size of the other controls' text.
    const int wanted = WidestNumber(box.fontMetrics(), digits) - TextRoom(box);
    if (wanted > 0) box.resize(std::min(widest, box.width() + wanted), box.height());
    const int room = TextRoom(box);
    QFont font = box.font();
    const double smallest = font.pointSizeF() * kSmallestFontShare;
    while (WidestNumber(QFontMetrics(font), digits) > room && font.pointSizeF() > smallest) {
        font.setPointSizeF(std::max(smallest, font.pointSizeF() - 0.25));
    }
    box.setFont(font);
}

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

}  // namespace vantrel

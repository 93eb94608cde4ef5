#include "formkit/controls.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

namespace vantrel {

namespace {

// The forms' controls were sized for 8-point text.
constexpr int kFormFontPoints = 8;

}  // namespace

QPushButton* MakeButton(QWidget* form, const char* name, const char* caption, double left,
                        double top, double width, double height) {
    auto* button = MakeControl<QPushButton>(form, name, left, top, width, height);
    button->setText(QString::fromUtf8(caption));
    button->setAutoDefault(false);
    return button;
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

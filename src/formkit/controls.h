#pragma once

#include <QListWidget>
#include <QString>
#include <QWidget>

#include "formkit/twips.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace vantrel {

// A new control of a form, named with its design name and placed in twips.
template <typename Control>
Control* MakeControl(QWidget* form, const char* name, double left, double top, double width,
                     double height) {
    auto* control = new Control(form);
    control->setObjectName(QString::fromLatin1(name));
    PlaceTwips(*control, left, top, width, height);
    return control;
}

// A button with a caption (an "&" marks its mnemonic). Return and Enter press it while it has the
// focus; it is no dialog's default unless made so.
QPushButton* MakeButton(QWidget* form, const char* name, const char* caption, double left,
                        double top, double width, double height);
// A list that shows when it has the focus, also while it has no current entry (the style marks
// only a current entry): a frame in the highlight colour inside its border.
void DrawFocusFrame(QAbstractItemView& list);
class ListBox : public QListWidget {
  public:
    using QListWidget::QListWidget;

  protected:
    void paintEvent(QPaintEvent* event) override {
        QListWidget::paintEvent(event);
        DrawFocusFrame(*this);
    }
};

// A text box holding text.
QLineEdit* MakeTextBox(QWidget* form, const char* name, const char* text, double left, double top,
                       double width, double height);
// A label with its caption aligned to the top and to the given side.
QLabel* MakeLabel(QWidget* form, const char* name, const char* caption, Qt::Alignment side,
                  double left, double top, double width, double height);

// The font the forms are designed for: the desktop's family at 8 points.
void UseFormFont(QWidget& form);

// Widens a label whose caption does not fit in one line with the desktop's fonts, keeping the
// edge its text is aligned to: a right-aligned label grows to the left, no further than limit;
// any other grows to the right, up to limit (pixels in its parent).
void FitCaption(QLabel& label, int limit);

// Makes a text box wide enough, up to widest pixels, for a number of the given digits however
// wide its digits are; then, only when that is not enough, shrinks its font until the number is
// seen whole, but never below 60 % of the font's size: the design's boxes were sized for the
// narrower fonts of their day.
void FitDigits(QLineEdit& box, int digits, int widest);

}  // namespace vantrel

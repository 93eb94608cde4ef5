#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

#include "settings/main_window_settings.h"

class QLabel;
class QPushButton;

namespace vantrel {

// Forms are laid out in twips (1440 to the inch), converted to pixels through the screen's
// logical DPI, so that they keep their designed proportions to the text on any screen.
constexpr double kTwipsPerInch = 1440.0;

// Pixels for a horizontal or a vertical length in twips, on the primary screen.
int TwipsToPixelsX(double twips);
int TwipsToPixelsY(double twips);
// Twips for a horizontal or a vertical length in pixels.
float PixelsToTwipsX(int pixels);
float PixelsToTwipsY(int pixels);

// Places a control at left, top with width and height, all in twips, inside its parent.
void PlaceTwips(QWidget& control, double left, double top, double width, double height);
// A new control of a form, named and placed in twips.
template <typename Control>
Control* MakeControl(QWidget* form, const char* name, double left, double top, double width,
                     double height) {
    auto* control = new Control(form);
    control->setObjectName(QString::fromLatin1(name));
    PlaceTwips(*control, left, top, width, height);
    return control;
}
// A new button with a caption; Return does not press it unless it has the focus.
QPushButton* MakeButton(QWidget* form, const char* name, const char* caption, double left,
                        double top, double width, double height);
// Gives a form's client area (the surface its controls stand on) a size in twips.
QSize ClientSizeTwips(double width, double height);

// A form's outer position and size (frame included) in twips.
FormGeometry FormGeometryTwips(const QWidget& form);
// Moves a form so that its outer top-left corner stands at top, left (twips).
void MoveFormTwips(QWidget& form, float top, float left);
// The size of the screen a form is on (the primary screen when it has none yet), in twips.
float ScreenWidthTwips(const QWidget* form);
float ScreenHeightTwips(const QWidget* form);

// Where a dialog goes: centred over the main window when it fits inside it, centred on the
// screen when it is wider or taller. All values in twips.
struct CentredPlace {
    float top = 0;
    float left = 0;
};
CentredPlace CentredPlacement(const FormGeometry& form, const FormGeometry& mainWindow,
                              float screenWidth, float screenHeight);

// CenterForm: places form by CentredPlacement relative to the main window; a minimised or
// maximised form stays where it is.
void CenterForm(QWidget& form, const QWidget& mainWindow);

// The font the forms are designed for: the desktop's family at 8 points.
void UseFormFont(QWidget& form);

// Widens a label whose caption does not fit in one line with the desktop's fonts, keeping the
// edge its text is aligned to: a right-aligned label grows to the left, no further than limit;
// any other grows to the right, up to limit (pixels in its parent).
void FitCaption(QLabel& label, int limit);

}  // namespace vantrel

#pragma once

#include <QRect>
#include <QSize>

#include "platform/form_geometry.h"

class QWidget;

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
// The pixel size of a form's client area (the surface its controls stand on) given in twips.
QSize ClientSizeTwips(double width, double height);

// A form's outer position and size (frame included) in twips.
FormGeometry FormGeometryTwips(const QWidget& form);
// Moves a form so that its outer top-left corner stands at top, left (twips).
void MoveFormTwips(QWidget& form, float top, float left);
// A rectangle in pixels as a geometry in twips, and back.
FormGeometry RectTwips(const QRect& pixels);
QRect RectPixels(const FormGeometry& twips);

}  // namespace vantrel

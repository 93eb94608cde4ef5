#pragma once

#include "platform/form_geometry.h"

class QWidget;

namespace vantrel {

// Where a dialog goes: centred over the main window when it fits inside it, centred on the
// screen (wherever the screen stands) when it is wider or taller. All values in twips.
struct CentredPlace {
    float top = 0;
    float left = 0;
};
CentredPlace CentredPlacement(const FormGeometry& form, const FormGeometry& mainWindow,
                              const FormGeometry& screen);

// CenterForm: places form by CentredPlacement relative to the main window; a minimised or
// maximised form stays where it is. Its frame is counted (one not framed yet is taken to get a
// frame like the main window's), so that it is centred as it will be seen; before the main window
// is framed, frames are not known and not counted.
void CenterForm(QWidget& form, const QWidget& mainWindow);

// Centres a message box over its owner where the owner stands now, whatever their sizes, kept
// within the owner's screen: a box belongs to the window it speaks for.
void CentreOverOwner(QWidget& box, const QWidget& owner);

}  // namespace vantrel

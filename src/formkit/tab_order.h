#pragma once

class QWidget;

namespace vantrel {

// Tab moves through a form's controls as they are laid out: top to bottom, and left to right
// among those at the same height (not in the order they were made).
void SetTabOrderByPlace(QWidget& form);

}  // namespace vantrel

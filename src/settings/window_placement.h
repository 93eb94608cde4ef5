#pragma once

#include <functional>
#include <optional>

#include "platform/form_geometry.h"
#include "settings/settings.h"

namespace vantrel {

// What placing the main window needs to know: the primary screen with its origin, where the
// window is centred, and the window's outer size, in twips; and whether the user could take the
// window by its title bar were it placed so (on some screen, any of them).
struct WindowRoom {
    FormGeometry screen;
    float width = 0;
    float height = 0;
    std::function<bool(const FormGeometry& placed)> reachable;
};

// The room of batch mode and the service, where there is no screen: the window's design size on
// a screen of no size at the origin.
WindowRoom NoScreenRoom();

// The centred top and left of the main window on its screen, in twips.
float CentredTop(const WindowRoom& room);
float CentredLeft(const WindowRoom& room);

// Where the stored placement puts the main window's outer top-left corner; nothing when it goes
// to the centre: both edges centred, or a place the user could not take it by its title bar
// (another monitor since unplugged, a hand-edited file).
struct Corner {
    float top = 0;
    float left = 0;
};
std::optional<Corner> StoredCorner(const Settings& settings, const WindowRoom& room);

}  // namespace vantrel

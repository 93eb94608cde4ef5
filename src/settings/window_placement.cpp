#include "settings/window_placement.h"

namespace vantrel {

namespace {

// The main window's outer size at design time, in twips.
constexpr float kDesignWidth = 7305;
constexpr float kDesignHeight = 4665;

}  // namespace

WindowRoom NoScreenRoom() {
    return {{}, kDesignWidth, kDesignHeight, [](const FormGeometry&) { return true; }};
}

float CentredTop(const WindowRoom& room) {
    return room.screen.top + (room.screen.height - room.height) / 2;
}

float CentredLeft(const WindowRoom& room) {
    return room.screen.left + (room.screen.width - room.width) / 2;
}

std::optional<Corner> StoredCorner(const Settings& settings, const WindowRoom& room) {
    const float centredTop = CentredTop(room);
    const float centredLeft = CentredLeft(room);
    const Corner corner{settings.top.value_or(centredTop), settings.left.value_or(centredLeft)};
    if (corner.top == centredTop && corner.left == centredLeft) return std::nullopt;
    if (!room.reachable({corner.left, corner.top, room.width, room.height})) return std::nullopt;
    return corner;
}

}  // namespace vantrel

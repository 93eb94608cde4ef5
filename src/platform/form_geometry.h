#pragma once

namespace vantrel {

// A form's or a screen's outer position and size, in twips.
struct FormGeometry {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
};

}  // namespace vantrel

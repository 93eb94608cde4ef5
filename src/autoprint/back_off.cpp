#include "autoprint/back_off.h"

#include <algorithm>

namespace vantrel {

std::chrono::milliseconds BackOff::next() {
    const auto wait = next_;
    next_ = std::min(next_ * 2, longest_);
    return wait;
}

}  // namespace vantrel

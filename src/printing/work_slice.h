#pragma once

#include <chrono>
#include <functional>

namespace vantrel {

// Takes steps for at most budget between a window's events: one at least (a step in progress is
// never cut short), and a further one only while one as long as the longest so far would still
// fit. step does one piece of the work and says whether any is left; so does the slice.
bool WorkSlice(std::chrono::milliseconds budget, const std::function<bool()>& step);

}  // namespace vantrel

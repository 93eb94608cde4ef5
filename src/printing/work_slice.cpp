#include "printing/work_slice.h"

#include <algorithm>

namespace vantrel {

bool WorkSlice(std::chrono::milliseconds budget, const std::function<bool()>& step) {
    using std::chrono::steady_clock;
    const auto start = steady_clock::now();
    steady_clock::duration longest{};
    while (true) {
        const auto stepStart = steady_clock::now();
        if (!step()) return false;
        const auto now = steady_clock::now();
        longest = std::max(longest, now - stepStart);
        if (std::chrono::duration_cast<std::chrono::milliseconds>(now - start + longest) >= budget)
            return true;
    }
}

}  // namespace vantrel

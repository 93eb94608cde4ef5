#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "printing/job_follower.h"

namespace vantrel {

// "--wait[=SECONDS]": every copy's job is followed to its end before the print counts.
struct JobWait {
    std::optional<std::chrono::seconds> limit;  // none: as long as it takes
    WaitClock* clock = nullptr;                 // the steady clock when none
};

// The longest limit taken, about 31 years: its seconds fit any clock's arithmetic.
constexpr long long kMaxWaitSeconds = 999'999'999;

// What a first word says of waiting.
struct WaitWord {
    bool isWait = false;  // the word is "--wait" or "--wait=..."
    std::optional<JobWait> wait;
    std::string error;  // why "--wait=..." was refused: its SECONDS is no count from 1
};

WaitWord ReadWaitWord(const std::string& word);

}  // namespace vantrel

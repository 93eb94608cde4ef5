#pragma once

#include <string>
#include <vector>

#include "printing/job_follower.h"

namespace vantrel {

// What the main window says of the jobs of the last Print.
struct JobsLine {
    std::string text;     // empty while the jobs go their way unremarkably
    bool failed = false;  // every job ended, and one did not complete: worth a box
    bool operator==(const JobsLine&) const = default;
};

// The line for the followed jobs as they stand: how many printed once every job ended ("sent to
// the printer" when one of them left a queue that keeps no history, as on Windows), or how
// many of them ended how at which printer when one did not complete (the first such job tells
// its state, printer and reason); while they go on, that a job waits on a paused queue, since a
// held or stopped job otherwise waits with no word.
JobsLine JobsLineOf(const std::vector<FollowedJob>& jobs);

}  // namespace vantrel

#include "serve/desk_json.h"

#include "serve/json_text.h"

namespace vantrel {

const char* StateWord(JobState state) {
    switch (state) {
        case JobState::Pending:
            return "pending";
        case JobState::Held:
            return "held";
        case JobState::Processing:
            return "processing";
        case JobState::Stopped:
            return "stopped";
        case JobState::Completed:
            return "completed";
        case JobState::Cancelled:
            return "cancelled";
        case JobState::Aborted:
            return "aborted";
        case JobState::LeftQueue:  // a queue that keeps no printed jobs no longer holds it
            return "left-queue";
        case JobState::Unknown:
            break;
    }
    return "unknown";
}

std::string PrintedJson(const std::string& printer, const std::vector<int>& jobs, bool repeated) {
    return "{\"printer\":" + JsonString(printer) + ",\"jobs\":" + JsonNumbers(jobs) +
           (repeated ? ",\"repeated\":true" : "") + "}";
}

std::string JobList(const std::vector<int>& jobs) {
    std::string text;
    for (const int id : jobs) text += (text.empty() ? "" : ", ") + std::to_string(id);
    return text;
}

}  // namespace vantrel

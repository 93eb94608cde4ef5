#pragma once

#include <string>
#include <vector>

#include "platform/printer_system.h"

namespace vantrel {

// The word a job's state is told by: "pending", "completed", "left-queue", ...
const char* StateWord(JobState state);

// {"printer":"Label_Printer","jobs":[12,13]}, with "repeated":true for an order's retry.
std::string PrintedJson(const std::string& printer, const std::vector<int>& jobs,
                        bool repeated = false);

// "12, 13"
std::string JobList(const std::vector<int>& jobs);

}  // namespace vantrel

#include "batch/wait_option.h"

#include <algorithm>
#include <cctype>

namespace vantrel {

WaitWord ReadWaitWord(const std::string& word) {
    constexpr std::string_view kWait = "--wait";
    if (word == kWait) return {true, JobWait{}, {}};
    if (!word.starts_with(std::string(kWait) + "=")) return {};
    const std::string seconds = word.substr(kWait.size() + 1);
    const bool digits =
        !seconds.empty() && seconds.size() <= 9 && std::ranges::all_of(seconds, [](char c) {
            return std::isdigit(static_cast<unsigned char>(c)) != 0;
        });
    if (!digits || std::stoll(seconds) < 1) {
        return {true, std::nullopt,
                "--wait=" + seconds + ": SECONDS must be a whole number from 1 to " +
                    std::to_string(kMaxWaitSeconds)};
    }
    return {true, JobWait{std::chrono::seconds(std::stoll(seconds))}, {}};
}

}  // namespace vantrel

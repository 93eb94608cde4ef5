#include "printing/copies_count.h"

#include <climits>

#include "text/runtime_text.h"

namespace vantrel {

CopiesCount ReadCopies(const std::string& copiesText, CopiesRule rule) {
    const bool commandLine = rule == CopiesRule::CommandLine;
    const auto copies = commandLine ? RoundHalfEven(Val(copiesText), INT_MIN, INT_MAX)
                                    : RoundHalfEven(Val(copiesText), 1, kMaxCopies);
    if (!copies) return {};
    // Below 1 is 1 on a command line: a count that rounds to 0 must not reach the deletion
    // without a copy.
    if (*copies < 1) return {CopiesCount::Usable, 1};
    if (*copies > kMaxCopies) return {CopiesCount::TooMany, 0};
    return {CopiesCount::Usable, static_cast<int>(*copies)};
}

std::string CopiesRefusalText(const CopiesCount& copies, const std::string& copiesText) {
    switch (copies.verdict) {
        case CopiesCount::Usable:
            break;
        case CopiesCount::NotACount:
            return "Invalid number of copies: " + copiesText;
        case CopiesCount::TooMany:
            return "Too many copies: " + copiesText + " (at most " + std::to_string(kMaxCopies) +
                   ")";
    }
    return {};
}

}  // namespace vantrel

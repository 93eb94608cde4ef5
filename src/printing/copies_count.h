#pragma once

#include <string>

namespace vantrel {

// The most copies one print asks for: a count past it is a typing error that would fill the
// spooler.
constexpr int kMaxCopies = 32767;

// Where a copies text is read; each place keeps its own rule.
enum class CopiesRule {
    PrintButton,  // the window's copies box at Print: a whole number from 1 to kMaxCopies
    AutoPrint,    // the copies box or the stored copies for AutoPrint: the same
    CommandLine,  // a batch command line: below 1 counts as 1, past kMaxCopies is too many
};

struct CopiesCount {
    enum Verdict { Usable, NotACount, TooMany } verdict = NotACount;
    int count = 0;  // when usable
    bool usable() const { return verdict == Usable; }
};

// The number of copies a copies text asks for: its leading number rounded with halves to even,
// then held to the rule of the place it is read in.
CopiesCount ReadCopies(const std::string& copiesText, CopiesRule rule);

// What a person is told of a copies text that is refused: "Invalid number of copies: abc",
// "Too many copies: 40000 (at most 32767)". Empty when the count is usable.
std::string CopiesRefusalText(const CopiesCount& copies, const std::string& copiesText);

}  // namespace vantrel

#pragma once

#include <optional>
#include <string>
#include <vector>

#include "printing/spool_file_raw.h"

namespace vantrel {

struct CopiesOutcome {
    int requested = 0;
    int spooled = 0;
    SpoolFailure failure = SpoolFailure::None;  // of the copy that failed
    std::string reason;                         // why it failed
    std::optional<FileIdentity> identity;       // the file as the first copy opened it
    std::string shownName;                      // the input as messages name it
    std::string printer;                        // the device name, as far as it was found
    std::vector<int> jobIds;                    // the spooled copies' jobs, in order (not
                                                // those of copies that sent no document)
    bool allSpooled() const { return requested > 0 && spooled == requested; }
};

// Spools the file the asked number of times, each copy its own document. Stops at the first
// failed copy, since the rest would fail alike, and says how many were spooled before it.
CopiesOutcome PrintCopies(const std::string& path, const std::string& selection, int copies,
                          PrinterSystem& system, FileSystem& files, const SpoolOptions& options);

// What a caller that keeps a record of a print is told of each copy (numbered from 1), so that
// a run that dies at any point leaves it knowing where the print stood.
struct CopySteps {
    int spooledBefore = 0;  // copies an earlier run spooled: the print goes on after them
    // Before the copy's document is begun; may name the document.
    std::function<void(int copy, SpoolInput& input)> beginning;
    // Once its job exists, before any byte of its document is sent.
    std::function<void(int copy, int jobId)> created;
    // Once it was spooled whole.
    std::function<void(int copy, const SpoolOutcome& one)> spooled;
};

// PrintCopies for any input; with steps, told of each copy.
CopiesOutcome PrintCopiesOf(SpoolInput input, const std::string& selection, int copies,
                            PrinterSystem& system, const SpoolOptions& options,
                            const CopySteps& steps = {});

}  // namespace vantrel

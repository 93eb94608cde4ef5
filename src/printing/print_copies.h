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

// PrintCopies for any input.
CopiesOutcome PrintCopiesOf(const SpoolInput& input, const std::string& selection, int copies,
                            PrinterSystem& system, const SpoolOptions& options);

// Whether a printed file may be deleted or moved now.
enum class AfterPrint {
    MayGo,         // every copy was spooled and the path still names the file that was printed
    NotAllCopies,  // no copy, or not every copy, was spooled
    Changed,       // the path now names other content: replaced, grown, cut or gone
};
AfterPrint CheckPrintedFile(const CopiesOutcome& outcome, FileSystem& files,
                            const std::string& path);

}  // namespace vantrel

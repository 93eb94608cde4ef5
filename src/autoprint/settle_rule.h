#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_system.h"

namespace vantrel {

using SteadyTime = std::chrono::steady_clock::time_point;

// The settle rule: a file is taken only once it has stayed the same (the same file, with the same
// size and modification time) between two looks at least the settle time apart. A file that is
// still being written, or is being replaced, is never taken half-done.
//
// Keeps, for the files of one folder, how each looked and when it is to be looked at next.
class SettleTracker {
  public:
    explicit SettleTracker(std::chrono::milliseconds settle) : settle_(settle) {}

    // A look found the file so (nothing: gone, or not a plain file). A new or changed file is
    // looked at again once the settle time has passed; an unchanged one keeps its place.
    void note(const std::string& name, const std::optional<FileIdentity>& now, SteadyTime at);

    // The look that was due: true when the file has stayed the same for the settle time. It is
    // then no longer due until it changes or recheckAt asks for it; otherwise it is due again
    // later, or forgotten when gone.
    bool settled(const std::string& name, const std::optional<FileIdentity>& now, SteadyTime at);

    // The names whose look is due by `at`, the longest due first.
    std::vector<std::string> takeDue(SteadyTime at);
    // When the next look is due; nothing when none is.
    std::optional<SteadyTime> nextDue() const;
    // Looks at a settled file again at `at`, as if it had just been due.
    void recheckAt(const std::string& name, SteadyTime at);
    // Forgets a file that was printed and deleted, or moved away.
    void forget(const std::string& name);
    // Forgets every file whose name is not among `present` (a full listing of the folder).
    void keepOnly(const std::vector<std::string>& present);
    // How many files it keeps track of.
    std::size_t size() const { return entries_.size(); }

  private:
    struct Entry {
        FileIdentity identity;
        SteadyTime since;               // first seen with this identity
        std::optional<SteadyTime> due;  // when it is to be looked at; nothing when settled
    };
    void schedule(const std::string& name, Entry& entry, std::optional<SteadyTime> at);

    std::chrono::milliseconds settle_;
    std::map<std::string, Entry> entries_;
    std::set<std::pair<SteadyTime, std::string>> due_;
};

}  // namespace vantrel

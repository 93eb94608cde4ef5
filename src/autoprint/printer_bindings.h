#pragma once

#include <map>
#include <optional>
#include <string>
#include <system_error>
#include <utility>

namespace vantrel {

// The queues that watched folders were bound to when their printer argument named a printer by
// itself, kept in a small private file across runs: a folder bound to "Label" stays bound to that
// queue while it is missing, and never falls to "Label_Printer" after a restart. A binding is
// keyed by the folder and the argument, so that a changed argument starts a new one.
class PrinterBindings {
  public:
    // recordPath empty: kept in memory only.
    explicit PrinterBindings(std::string recordPath);

    // The queue the folder was bound to under that argument; nothing when it never was.
    std::optional<std::string> find(const std::string& folder, const std::string& argument) const;
    // Binds the folder to the queue under that argument, in place of any earlier binding of the
    // folder. Why the record could not be saved; the binding holds in memory either way.
    std::error_code bind(const std::string& folder, const std::string& argument,
                         const std::string& queue);

  private:
    using Entries = std::map<std::string, std::pair<std::string, std::string>>;  // by folder
    Entries load() const;

    std::string recordPath_;
    Entries entries_;
};

// Where the service keeps the queues its folders are bound to.
std::string PrinterBindingsRecordPath();

}  // namespace vantrel

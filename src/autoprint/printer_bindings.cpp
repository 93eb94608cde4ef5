#include "autoprint/printer_bindings.h"

#include <sstream>

#include "autoprint/record_file.h"

namespace vantrel {

PrinterBindings::PrinterBindings(std::string recordPath)
    : recordPath_(std::move(recordPath)), entries_(load()) {}

std::optional<std::string> PrinterBindings::find(const std::string& folder,
                                                 const std::string& argument) const {
    auto found = entries_.find(folder);
    if (found == entries_.end() || found->second.first != argument) return std::nullopt;
    return found->second.second;
}

std::error_code PrinterBindings::bind(const std::string& folder, const std::string& argument,
                                      const std::string& queue) {
    entries_[folder] = {argument, queue};
    if (recordPath_.empty()) return {};
    return UpdateRecordFile(recordPath_, [&]() -> std::optional<std::string> {
        Entries entries = load();  // other services' folders as they stand
        entries[folder] = {argument, queue};
        // One line per folder: the folder, the printer argument, the queue.
        std::string text;
        for (const auto& [at, bound] : entries) {
            text += RecordField(at, true) + ' ' + RecordField(bound.first, true) + ' ' +
                    RecordField(bound.second, true) + '\n';
        }
        return text;
    });
}

PrinterBindings::Entries PrinterBindings::load() const {
    Entries entries;
    if (recordPath_.empty()) return entries;
    for (const auto& line : ReadRecordLines(recordPath_).value_or(std::vector<std::string>{})) {
        std::istringstream fields(line);
        std::string folder, argument, queue;
        if (!(fields >> folder >> argument >> queue)) continue;  // damaged: the name binds anew
        auto folderText = RecordFieldText(folder);
        auto argumentText = RecordFieldText(argument);
        auto queueText = RecordFieldText(queue);
        if (folderText && argumentText && queueText && !queueText->empty()) {
            entries[*folderText] = {*argumentText, *queueText};
        }
    }
    return entries;
}

std::string PrinterBindingsRecordPath() {
    return StateRecordPath("autoprint-bindings");
}

}  // namespace vantrel

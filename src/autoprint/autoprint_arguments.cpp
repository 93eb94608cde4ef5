#include "autoprint/autoprint_arguments.h"

#include <cmath>
#include <filesystem>
#include <system_error>

#include "autoprint/autoprint_rules.h"
#include "platform/path_text.h"
#include "text/runtime_text.h"

namespace vantrel {

namespace fs = std::filesystem;

namespace {

constexpr double kLongestSettleSeconds = 3600;

std::chrono::milliseconds SettleTime(const std::string& text) {
    const auto seconds = ParseWholeNumber(text);
    if (!seconds || !(*seconds >= 0 && *seconds <= kLongestSettleSeconds)) {
        throw AutoPrintUsageError("the settle time \"" + text +
                                  "\" is not a number of seconds from 0 to 3600");
    }
    return std::chrono::milliseconds(std::llround(*seconds * 1000));
}

HotFolder ReadFolderWord(const std::string& word, const FolderResolver& resolve) {
    const auto equals = word.rfind('=');
    std::string folder = word;
    std::optional<std::string> printer;
    if (equals != std::string::npos && !resolve(word)) {
        folder = word.substr(0, equals);
        printer = word.substr(equals + 1);
        if (folder.empty()) throw AutoPrintUsageError("no folder before \"=\" in \"" + word + "\"");
        if (printer->empty()) {
            throw AutoPrintUsageError("no printer after \"=\" in \"" + word + "\"");
        }
    }
    const auto resolved = resolve(folder);
    if (!resolved) throw AutoPrintUsageError(folder + " is not a folder");
    return {*resolved, printer};
}

void CheckDistinct(const std::vector<HotFolder>& folders) {
    for (std::size_t i = 0; i < folders.size(); ++i) {
        for (std::size_t j = 0; j < folders.size(); ++j) {
            const fs::path failed = PathOf(folders[j].folder) / kFailedDirectoryName;
            if (i > j && folders[i].folder == folders[j].folder) {
                throw AutoPrintUsageError("the folder " + folders[i].folder + " is given twice");
            }
            if (PathOf(folders[i].folder) == failed) {
                throw AutoPrintUsageError(folders[i].folder + " holds the files that " +
                                          folders[j].folder + " could not print");
            }
        }
    }
}

}  // namespace

AutoPrintRequest ParseAutoPrintArguments(const std::vector<std::string>& words,
                                         const FolderResolver& resolve) {
    AutoPrintRequest request;
    for (std::size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        if (word == "--settle") {
            if (i + 1 == words.size())
                throw AutoPrintUsageError("--settle needs a number of seconds");
            request.settle = SettleTime(words[++i]);
        } else if (word == "--wait") {
            request.wait = true;
        } else if (word.starts_with("--")) {
            throw AutoPrintUsageError("unknown option " + word);
        } else {
            request.folders.push_back(ReadFolderWord(word, resolve));
        }
    }
    CheckDistinct(request.folders);
    return request;
}

FolderResolver FolderResolverOn(FileSystem& files) {
    return [&files](const std::string& path) { return files.resolvedDirectory(path); };
}

std::optional<std::string> MissingNamedPrinter(const std::vector<HotFolder>& folders,
                                               PrinterSystem& system) {
    try {
        for (const auto& folder : folders) {
            if (!folder.printer) continue;
            const AutoPrintPrinter printer = FindAutoPrintPrinter(system, folder.printer);
            if (printer.selection.empty()) {
                return printer.missing + " (for " + folder.folder +
                       "); see vantrel --list-printers";
            }
        }
    } catch (const SpoolError&) {
        // Not known now: the service waits for the spooler and tells when it cannot reach it.
    }
    return std::nullopt;
}

}  // namespace vantrel

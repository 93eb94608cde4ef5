#include "platform/file_system.h"

#include "platform/directory_listing.h"

namespace vantrel {

std::vector<std::string> FileSystem::entryNames(const std::string& directory,
                                                std::error_code& error) {
    error.clear();
    std::vector<std::string> names;
    try {
        for (auto& entry : ListDirectory(directory)) names.push_back(std::move(entry.name));
    } catch (const std::system_error& failed) {
        error = failed.code();
        names.clear();
    }
    return names;
}

}  // namespace vantrel

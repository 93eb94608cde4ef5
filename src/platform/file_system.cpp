#include "platform/file_system.h"

#include <filesystem>

#include "platform/directory_listing.h"
#include "platform/path_text.h"

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

std::error_code FileSystem::makeDirectories(const std::string& path) {
    std::error_code error;
    const std::filesystem::path place = PathOf(path);
    if (std::filesystem::is_directory(place, error)) return {};
    std::filesystem::create_directories(place, error);
    if (error) return error;
    if (!std::filesystem::is_directory(place, error)) {
        return std::make_error_code(std::errc::not_a_directory);
    }
    return {};
}

std::optional<std::string> FileSystem::resolvedDirectory(const std::string& path) {
    std::error_code error;
    if (path.empty() || !std::filesystem::is_directory(PathOf(path), error)) return std::nullopt;
    const auto resolved = std::filesystem::canonical(PathOf(path), error);
    if (error) return std::nullopt;
    return TextOf(resolved);
}

}  // namespace vantrel

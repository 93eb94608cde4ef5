#include "platform/system_places.h"

#include <cstdlib>
#include <cwctype>
#include <filesystem>
#include <system_error>

#include "platform/path_text.h"

namespace vantrel {

namespace {

// True when path is folder or below it, names compared without regard to case as Windows does.
bool IsInside(const std::filesystem::path& path, const std::filesystem::path& folder) {
    const auto upper = [](std::filesystem::path name) {
        std::wstring text = name.lexically_normal().wstring();
        for (auto& c : text) c = static_cast<wchar_t>(::towupper(c));
        while (text.size() > 3 && (text.back() == L'\\' || text.back() == L'/')) text.pop_back();
        return text;
    };
    const std::wstring inner = upper(path), outer = upper(folder);
    return inner.size() >= outer.size() && inner.compare(0, outer.size(), outer) == 0 &&
           (inner.size() == outer.size() || inner[outer.size()] == L'\\');
}

}  // namespace

std::string HomeDirectory() {
    if (const char* profile = std::getenv("USERPROFILE"); profile && *profile) return profile;
    return "c:\\";
}

void EnsureHomeEnvironment() {}  // the registry store does not read HOME

std::string DefaultStartDirectory() {
    return "c:\\";
}

std::string DefaultCopyDirectory() {
    return "c:\\temp\\";
}

std::string UserDataDirectory() {
    return UserStateDirectory();  // %LOCALAPPDATA%\Vantrel, as Windows has no separate state place
}

std::string UserStateDirectory() {
    const char* local = std::getenv("LOCALAPPDATA");
    if (!local || !*local) return {};
    return JoinPath(local, "Vantrel");
}

bool IsSystemProgramDirectory(const std::string& path) {
    std::error_code error;
    const std::filesystem::path program = PathOf(path);
    if (!std::filesystem::is_directory(program, error)) return true;
    // An installed copy lives among the programs, which its users may not write to; a copy
    // unpacked anywhere else (the portable zip) keeps its drop directory beside it.
    for (const char* variable : {"ProgramFiles", "ProgramW6432", "ProgramFiles(x86)"}) {
        const char* programs = std::getenv(variable);
        if (programs && *programs && IsInside(program, PathOf(programs))) return true;
    }
    return false;
}

bool FileNamesIgnoreCase() {
    return true;
}

std::string MissingDisplayReason() {
    return {};  // a Windows session always has its desktop
}

}  // namespace vantrel

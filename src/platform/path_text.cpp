#include "platform/path_text.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace vantrel {

#ifdef _WIN32

std::wstring WideText(const std::string& text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int wide = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), size, out.data(), wide);
    return out;
}

std::string NarrowText(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int narrow =
        WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(narrow), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), size, out.data(), narrow, nullptr, nullptr);
    return out;
}

std::filesystem::path PathOf(const std::string& text) {
    return std::filesystem::path(WideText(text));
}

std::string TextOf(const std::filesystem::path& path) {
    return NarrowText(path.native());
}

#else

std::filesystem::path PathOf(const std::string& text) {
    return std::filesystem::path(text);
}

std::string TextOf(const std::filesystem::path& path) {
    return path.native();
}

#endif

std::string JoinPath(const std::string& folder, const std::string& name) {
    return TextOf(PathOf(folder) / PathOf(name));
}

std::string ParentOf(const std::string& path) {
    return TextOf(PathOf(path).parent_path());
}

std::string NameOf(const std::string& path) {
    return TextOf(PathOf(path).filename());
}

}  // namespace vantrel

#pragma once

#include <filesystem>
#include <string>

namespace vantrel {

// The program holds a path as text in the system's narrow encoding: bytes as they are on POSIX;
// on Windows the ANSI code page, which the program's manifest makes UTF-8. std::filesystem must
// not convert these texts itself: on Windows it widens narrow text byte by byte and narrows to
// UTF-8, so that a round trip through it mangles every name beyond ASCII.
std::filesystem::path PathOf(const std::string& text);
std::string TextOf(const std::filesystem::path& path);

// folder + separator + name, as std::filesystem joins them.
std::string JoinPath(const std::string& folder, const std::string& name);
// The folder a path names its file in ("" for a bare name).
std::string ParentOf(const std::string& path);
// The last element of a path.
std::string NameOf(const std::string& path);

#ifdef _WIN32
// A narrow text of the program as the system's wide characters, and back.
std::wstring WideText(const std::string& text);
std::string NarrowText(const std::wstring& text);
#endif

}  // namespace vantrel

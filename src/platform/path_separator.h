#pragma once

#include <string>

namespace vantrel {

// Path separator of directory texts: "\" on Windows, "/" elsewhere.
#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

// Appends the path separator unless the text already ends with one.
inline std::string WithTrailingSeparator(std::string text) {
    if (text.empty() || text.back() != kPathSeparator) text.push_back(kPathSeparator);
    return text;
}

}  // namespace vantrel

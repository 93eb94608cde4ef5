#pragma once

#include <cstddef>
#include <string>

namespace vantrel {

// The profile functions an earlier release kept its settings with.
class LegacyProfile {
  public:
    virtual ~LegacyProfile() = default;
    // The directory that holds the legacy INI file (the Windows directory; /etc on POSIX).
    virtual std::string windowsDirectory() = 0;
    // GetPrivateProfileStringA: the value of key in section of file, or the default when the
    // file, section or key is missing; at most bufferSize - 1 characters. On Windows a value in
    // the system's ANSI code page comes as the program's UTF-8.
    virtual std::string privateProfileString(const std::string& section, const std::string& key,
                                             const std::string& defaultValue,
                                             std::size_t bufferSize, const std::string& file) = 0;
};

}  // namespace vantrel

// The legacy INI file through the Windows profile functions themselves.

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "platform/backends.h"

namespace vantrel {

namespace {

class WindowsLegacyProfile : public LegacyProfile {
  public:
    std::string windowsDirectory() override {
        std::vector<char> buffer(MAX_PATH);
        for (;;) {
            const UINT length =
                GetWindowsDirectoryA(buffer.data(), static_cast<UINT>(buffer.size()));
            if (length == 0) return {};
            if (length < buffer.size()) return std::string(buffer.data(), length);
            buffer.resize(length + 1);  // too small: length is the size needed
        }
    }

    std::string privateProfileString(const std::string& section, const std::string& key,
                                     const std::string& defaultValue, std::size_t bufferSize,
                                     const std::string& file) override {
        if (bufferSize == 0) return {};
        std::vector<char> buffer(bufferSize, ' ');
        const DWORD length =
            GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(),
                                     buffer.data(), static_cast<DWORD>(bufferSize), file.c_str());
        return std::string(buffer.data(), std::min<std::size_t>(length, bufferSize - 1));
    }
};

}  // namespace

std::unique_ptr<LegacyProfile> MakeSystemLegacyProfile() {
    return std::make_unique<WindowsLegacyProfile>();
}

}  // namespace vantrel

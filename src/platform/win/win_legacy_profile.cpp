// The legacy INI file, read as the Windows profile functions read it.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/backends.h"
#include "platform/ini_values.h"
#include "platform/path_text.h"
#include "text/runtime_text.h"

namespace vantrel {

namespace {

// The earlier release wrote its file in the system's ANSI code page, which the program's own
// (UTF-8) is not: the profile functions would read its "é" as no character at all. A value
// that is UTF-8 already stays as it is.
std::string FromSystemCodePage(const std::string& text) {
    if (IsUtf8(text)) return text;
    DWORD codePage = 0;
    if (!GetLocaleInfoW(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE | LOCALE_RETURN_NUMBER,
                        reinterpret_cast<LPWSTR>(&codePage), sizeof codePage / sizeof(WCHAR)) ||
        codePage == 0 || codePage == CP_UTF8) {
        return text;
    }
    const int size = static_cast<int>(text.size());
    const int wide = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), size, out.data(), wide);
    return NarrowText(out);
}

class WindowsLegacyProfile : public LegacyProfile {
  public:
    std::string windowsDirectory() override {
        std::vector<wchar_t> buffer(MAX_PATH);
        for (;;) {
            const UINT length =
                GetWindowsDirectoryW(buffer.data(), static_cast<UINT>(buffer.size()));
            if (length == 0) return {};
            if (length < buffer.size()) return NarrowText(std::wstring(buffer.data(), length));
            buffer.resize(length + 1);  // too small: length is the size needed
        }
    }

    std::string privateProfileString(const std::string& section, const std::string& key,
                                     const std::string& defaultValue, std::size_t bufferSize,
                                     const std::string& file) override {
        return FromSystemCodePage(ProfileString(file, section, key, defaultValue, bufferSize));
    }
};

}  // namespace

std::unique_ptr<LegacyProfile> MakeSystemLegacyProfile() {
    return std::make_unique<WindowsLegacyProfile>();
}

}  // namespace vantrel

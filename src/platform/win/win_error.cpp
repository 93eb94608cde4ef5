#include "platform/win/win_error.h"

#include <windows.h>

namespace vantrel {

std::string WindowsErrorText(std::uint32_t code) {
    char* buffer = nullptr;
    DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
    std::string text;
    if (buffer) {
        text.assign(buffer, length);
        LocalFree(buffer);
    }
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n' || text.back() == ' ' ||
                             text.back() == '.')) {
        text.pop_back();
    }
    const std::string number = "error " + std::to_string(code);
    return text.empty() ? "Windows " + number : text + " (" + number + ")";
}

std::string LastWindowsErrorText() {
    return WindowsErrorText(GetLastError());
}

}  // namespace vantrel

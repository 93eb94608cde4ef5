#include "platform/text_output.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>

#include "platform/path_text.h"
#endif

namespace vantrel {

void WriteText(std::FILE* stream, const std::string& text) {
#ifdef _WIN32
    // The handle behind the C runtime's stream, which may have been reopened on the caller's
    // console.
    auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    if (DWORD mode = 0; GetConsoleMode(handle, &mode)) {
        std::fflush(stream);
        const std::wstring wide = WideText(text);
        DWORD written = 0;
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
#endif
    std::fputs(text.c_str(), stream);
    std::fflush(stream);
}

}  // namespace vantrel

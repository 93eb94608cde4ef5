#include "about/start_sys_info.h"

#include "about/get_key_value.h"
#include "platform/path_separator.h"
#include "platform/plain_file.h"
#include "text/runtime_text.h"

namespace vantrel {

namespace {

// Where Windows records the System Information program: its full path, or else the directory
// that holds MSINFO32.EXE.
constexpr const char* kProgramKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr const char* kProgramValue = "PATH";
constexpr const char* kLocationKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
constexpr const char* kLocationValue = "MSINFO";
constexpr const char* kProgramFile = "MSINFO32.EXE";

// The first of the desktop programs that is installed and starts.
bool StartDesktopProgram(Desktop& desktop, const std::vector<std::string>& names) {
    for (const auto& name : names) {
        const std::string path = desktop.findProgram(name);
        if (!path.empty() && desktop.startProgram(path)) return true;
    }
    return false;
}

// True when a System Information program was started.
bool TryStart(Registry& registry, Desktop& desktop,
              const std::vector<std::string>& desktopPrograms) {
    std::string path;
    if (GetKeyValue(registry, RegistryRoot::LocalMachine, kProgramKey, kProgramValue, path)) {
        // Taken as it stands; a path that names nothing fails to start.
        return desktop.startProgram(path);
    }
    std::string directory;
    if (GetKeyValue(registry, RegistryRoot::LocalMachine, kLocationKey, kLocationValue,
                    directory)) {
        const std::string program = directory + kPathSeparator + kProgramFile;
        return IsPlainFile(program) && desktop.startProgram(program);
    }
    return StartDesktopProgram(desktop, desktopPrograms);
}

}  // namespace

void StartSysInfo(Registry& registry, Desktop& desktop, MessageSink& messages,
                  const std::vector<std::string>& desktopPrograms) {
    try {
        if (TryStart(registry, desktop, desktopPrograms)) return;
    } catch (...) {
        // Any error on the way, an unreadable registry value included, means the same to the
        // user as a missing program.
    }
    messages.show(kSysInfoUnavailable, MsgStyle::Ok, kAppTitle);
}

}  // namespace vantrel

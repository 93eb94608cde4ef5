#include <windows.h>

#include <cstdio>

#include "platform/batch_output.h"
#include "platform/stderr_messages.h"
#include "text/runtime_text.h"

namespace vantrel {

namespace {

// The design's message boxes, for a command line started without a console (a shortcut, the
// Run box, a scheduled task).
class DialogMessages : public MessageSink {
  public:
    MsgAnswer show(const std::string& text, int style, const std::string& caption) override {
        UINT type = MB_OK;
        if ((style & 7) == MsgStyle::OkCancel) type = MB_OKCANCEL;
        if ((style & 7) == MsgStyle::YesNo) type = MB_YESNO;
        if ((style & 0x70) == MsgStyle::Critical) type |= MB_ICONERROR;
        if ((style & 0x70) == MsgStyle::Exclamation) type |= MB_ICONWARNING;
        const int answer = MessageBoxA(nullptr, EscapeControls(text).c_str(),
                                       EscapeControls(caption).c_str(), type);
        if (answer == IDYES) return MsgAnswer::Yes;
        if (answer == IDNO) return MsgAnswer::No;
        return answer == IDCANCEL ? MsgAnswer::Cancel : MsgAnswer::Ok;
    }
};

bool Usable(DWORD which) {
    HANDLE handle = GetStdHandle(which);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
           GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

}  // namespace

std::unique_ptr<MessageSink> MakeBatchMessages() {
    ConsoleFacts facts;
    facts.standardErrorUsable = Usable(STD_ERROR_HANDLE);
    if (!facts.standardErrorUsable && AttachConsole(ATTACH_PARENT_PROCESS)) {
        facts.callersConsole = true;
        std::freopen("CONOUT$", "w", stdout);
        std::freopen("CONOUT$", "w", stderr);
    }
    if (ChooseBatchOutput(facts) == BatchOutput::StandardError) {
        return std::make_unique<StderrMessages>();
    }
    return std::make_unique<DialogMessages>();
}

}  // namespace vantrel

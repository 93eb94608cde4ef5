#include "platform/stderr_messages.h"

#include "text/runtime_text.h"

namespace vantrel {

MsgAnswer StderrMessages::show(const std::string& text, int style, const std::string& caption) {
    std::string line = "vantrel: ";
    if (caption != kAppTitle) line += EscapeControls(caption) + ": ";
    line += EscapeControls(text) + "\n";
    write(line);
    return (style & 7) == MsgStyle::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
}

void StderrMessages::write(const std::string& line) {
    std::fputs(line.c_str(), out_);
    std::fflush(out_);
}

}  // namespace vantrel

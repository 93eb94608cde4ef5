#include "platform/stderr_messages.h"

#include "text/runtime_text.h"

namespace vantrel {

MsgAnswer StderrMessages::show(const std::string& text, int style, const std::string& caption) {
    std::string line = "vantrel: ";
    if (caption != kAppTitle) line += EscapeControls(caption) + ": ";
    line += EscapeControls(text) + "\n";
    std::fputs(line.c_str(), out_);
    std::fflush(out_);
    return (style & 7) == MsgStyle::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
}

}  // namespace vantrel

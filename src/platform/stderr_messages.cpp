#include "platform/stderr_messages.h"

#include "platform/text_output.h"
#include "text/runtime_text.h"

namespace vantrel {

MsgAnswer StderrMessages::show(const std::string& text, int style, const std::string& caption) {
    std::string line = "vantrel: ";
    if (caption != kAppTitle) line += EscapeControls(caption) + ": ";
    line += EscapeControls(text) + "\n";
    WriteText(out_, line);
    return (style & 7) == MsgStyle::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
}

}  // namespace vantrel

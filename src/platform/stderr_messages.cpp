#include "platform/stderr_messages.h"

namespace vantrel {

MsgAnswer StderrMessages::show(const std::string& text, int style, const std::string& caption) {
    std::string line = "vantrel: ";
    if (caption != kAppTitle) line += caption + ": ";
    line += text + "\n";
    std::fputs(line.c_str(), out_);
    std::fflush(out_);
    return (style & 7) == MsgStyle::YesNo ? MsgAnswer::No : MsgAnswer::Ok;
}

}  // namespace vantrel

#include "mainwindow/quiet_messages.h"

namespace vantrel {

MsgAnswer QuietMessages::show(const std::string& text, int style, const std::string& caption) {
    constexpr int kButtons = 7;  // the style's buttons, without its icon
    if (quiet_()) return (style & kButtons) == MsgStyle::YesNo ? MsgAnswer::No : MsgAnswer::Cancel;
    return inner_.show(text, style, caption);
}

}  // namespace vantrel

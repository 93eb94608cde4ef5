#pragma once

#include "platform/message_sink.h"

namespace vantrel {

// The window's messages: a modal message box per message, with the buttons and icon the style
// asks for, over the window the user is working in.
class QtMessages : public MessageSink {
  public:
    MsgAnswer show(const std::string& text, int style = MsgStyle::Ok,
                   const std::string& caption = kAppTitle) override;
};

}  // namespace vantrel

#pragma once

#include <functional>
#include <string>

#include "platform/message_sink.h"

namespace vantrel {

// The window's messages, silenced once it is going: a file in progress that fails while the
// program ends is kept without a box nobody would read, and a question is answered No, which
// changes nothing.
class QuietMessages : public MessageSink {
  public:
    QuietMessages(MessageSink& inner, std::function<bool()> quiet)
        : inner_(inner), quiet_(std::move(quiet)) {}
    MsgAnswer show(const std::string& text, int style = MsgStyle::Ok,
                   const std::string& caption = kAppTitle) override;

  private:
    MessageSink& inner_;
    std::function<bool()> quiet_;
};

}  // namespace vantrel

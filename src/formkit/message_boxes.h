#pragma once

#include <QPointer>
#include <QWidget>
#include <deque>
#include <functional>
#include <string>

#include "platform/message_sink.h"

namespace vantrel {

// One message as a box would show it.
struct BoxMessage {
    std::string text;
    int style = MsgStyle::Ok;
    std::string caption;
};

// The window's messages: a modal message box per message, with the buttons and icon the style
// asks for, centred on the window it belongs to, frames included: the dialog the user is in, or
// else the main window, whether or not it is the active one.
//
// Tests stand in for the user through answers: a message that has an answer goes to it and no
// box is shown. An answer sees the message and may run the event loop meanwhile, as a user
// reading the box would let timers fire.
class MessageBoxes : public MessageSink {
  public:
    using Answer = std::function<MsgAnswer(const BoxMessage&)>;

    MsgAnswer show(const std::string& text, int style = MsgStyle::Ok,
                   const std::string& caption = kAppTitle) override;

    // The next message goes to answer; answers set one after another take messages in turn.
    void setNextAnswer(Answer answer);
    // A message with no next answer left goes to answer; when unset it shows a box.
    void setDefaultAnswer(Answer answer);
    // The window the boxes belong to while no dialog is open.
    void setOwner(QWidget* owner) { owner_ = owner; }

  private:
    QPointer<QWidget> owner_;
    std::deque<Answer> nextAnswers_;
    Answer defaultAnswer_;
};

}  // namespace vantrel

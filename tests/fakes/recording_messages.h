#pragma once

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/message_sink.h"

namespace vantrel::testing {

struct ShownMessage {
    std::string text;
    int style;
    std::string caption;
};

// Records every message and answers from a queue (Ok, or Yes for yes/no questions, when empty).
// whileShown runs while the box would be open.
class RecordingMessages : public MessageSink {
  public:
    std::vector<ShownMessage> shown;
    std::deque<MsgAnswer> answers;
    std::function<void()> whileShown;

    MsgAnswer show(const std::string& text, int style, const std::string& caption) override {
        shown.push_back({text, style, caption});
        if (whileShown) whileShown();
        if (!answers.empty()) {
            auto answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return (style & 7) == MsgStyle::YesNo ? MsgAnswer::Yes : MsgAnswer::Ok;
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const auto& m : shown) out.push_back(m.text);
        return out;
    }
};

}  // namespace vantrel::testing

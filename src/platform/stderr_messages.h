#pragma once

#include <cstdio>

#include "platform/message_sink.h"

namespace vantrel {

// Batch-mode messages: one line each on standard error. Questions get the safe answer.
class StderrMessages : public MessageSink {
  public:
    explicit StderrMessages(std::FILE* out = stderr) : out_(out) {}
    MsgAnswer show(const std::string& text, int style, const std::string& caption) override;

  private:
    std::FILE* out_;
};

}  // namespace vantrel

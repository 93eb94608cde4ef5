#include "platform/batch_output.h"
#include "platform/stderr_messages.h"

namespace vantrel {

std::unique_ptr<MessageSink> MakeBatchMessages() {
    return std::make_unique<StderrMessages>();  // a POSIX program always has its standard error
}

}  // namespace vantrel

#include "platform/batch_output.h"

namespace vantrel {

BatchOutput ChooseBatchOutput(const ConsoleFacts& facts) {
    return facts.standardErrorUsable || facts.callersConsole ? BatchOutput::StandardError
                                                             : BatchOutput::MessageBoxes;
}

}  // namespace vantrel

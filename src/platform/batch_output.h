#pragma once

#include <memory>

#include "platform/message_sink.h"

namespace vantrel {

// Where a command line's messages go. A Windows program of the GUI subsystem (so that starting it
// from Explorer opens no console window) has no console of its own: when it was started from
// one, or its standard error was redirected, it writes there as on Linux; otherwise it shows
// message boxes.
enum class BatchOutput { StandardError, MessageBoxes };

struct ConsoleFacts {
    bool standardErrorUsable = false;  // redirected to a file or pipe, or a console's
    bool callersConsole = false;       // the program could attach to its caller's console
};

BatchOutput ChooseBatchOutput(const ConsoleFacts& facts);

// Connects standard output and standard error to the caller's console where there is one, and
// gives the messages of a command line their place.
std::unique_ptr<MessageSink> MakeBatchMessages();

}  // namespace vantrel

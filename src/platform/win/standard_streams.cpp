#include "platform/standard_streams.h"

#include <windows.h>

namespace vantrel {

// Windows gives no stream a number that a later file could take: a missing standard handle
// stays missing, and only standard input needs telling.
bool OpenClosedStandardStreams() {
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    return input == nullptr || input == INVALID_HANDLE_VALUE;
}

}  // namespace vantrel

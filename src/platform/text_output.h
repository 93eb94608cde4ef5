#pragma once

#include <cstdio>
#include <string>

namespace vantrel {

// Writes text to stream and flushes it. A Windows console is given the text's characters, since
// it shows its own code page rather than the program's UTF-8; anything else gets the bytes.
void WriteText(std::FILE* stream, const std::string& text);

}  // namespace vantrel

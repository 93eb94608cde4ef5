#pragma once

#include <string>
#include <vector>

#include "platform/http_server.h"

namespace vantrel {

// text as a JSON string, quotes included. Every text from outside (a printer's name, the
// spooler's reasons) is someone else's: quotes, backslashes and control characters are escaped,
// and so are "<", ">", "&" and the line separators U+2028 and U+2029, so that the answer stays
// one JSON value wherever a page puts it; bytes that are not UTF-8 become U+FFFD.
std::string JsonString(const std::string& text);

// The numbers as a JSON array: "[12,13]".
std::string JsonNumbers(const std::vector<int>& numbers);

// An answer whose body is the JSON text json; never kept by a cache.
HttpAnswer JsonAnswer(int status, std::string json);
// A refusal or failure: {"error": text}.
HttpAnswer ErrorAnswer(int status, const std::string& text);

}  // namespace vantrel

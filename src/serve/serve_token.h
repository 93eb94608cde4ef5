#pragma once

#include <string>
#include <string_view>

namespace vantrel {

// The file in the user's state directory that keeps the endpoint's token.
inline const std::string kServeTokenName = "serve-token";

// A new token: 256 bits from the system's secure random source, as 64 hexadecimal digits.
// Throws std::system_error when the system gives no random bytes.
std::string NewServeToken();

// The token kept in the file at path; a new one is made and kept when there is none, or when
// renew. The file is this user's alone (0600) and read never through a link. Throws
// std::runtime_error, saying why, when it cannot be read or kept, or holds no token.
std::string KeptServeToken(const std::string& path, bool renew);

// Whether the token a request gave is the token, in a time that does not depend on where they
// differ, so that a page cannot guess it digit by digit from how long refusals take.
bool SameToken(std::string_view given, std::string_view token);

}  // namespace vantrel

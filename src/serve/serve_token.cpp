#include "serve/serve_token.h"

#include <algorithm>
#include <stdexcept>

#include "platform/random_bytes.h"
#include "platform/replace_file.h"

namespace vantrel {

namespace {

constexpr std::size_t kTokenBytes = 32;

bool IsToken(const std::string& text) {
    return text.size() == 2 * kTokenBytes && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

}  // namespace

std::string NewServeToken() {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string token;
    for (const unsigned char byte : SecureRandomBytes(kTokenBytes)) {
        token += kDigits[byte >> 4];
        token += kDigits[byte & 15];
    }
    return token;
}

std::string KeptServeToken(const std::string& path, bool renew) {
    if (!renew) {
        std::string why;
        const auto text = ReadPrivateFile(path, why);
        if (!text) throw std::runtime_error("the token file " + path + " cannot be read: " + why);
        std::string token = *text;
        while (!token.empty() && (token.back() == '\n' || token.back() == '\r')) token.pop_back();
        if (IsToken(token)) return token;
        if (!text->empty()) {
            throw std::runtime_error("the token file " + path +
                                     " holds no token; make a new one with vantrel --serve "
                                     "--new-token");
        }
    }
    std::string token = NewServeToken();
    if (auto error = ReplaceFileAtomically(path, token + "\n")) {
        throw std::runtime_error("the token file " + path +
                                 " cannot be written: " + error.message());
    }
    return token;
}

bool SameToken(std::string_view given, std::string_view token) {
    // Every byte of the token is looked at whatever was given; only the length shows, and every
    // token has the same length.
    unsigned char differ = given.size() == token.size() ? 0 : 1;
    for (std::size_t i = 0; i < token.size(); ++i) {
        const char other = i < given.size() ? given[i] : '\0';
        differ |= static_cast<unsigned char>(other ^ token[i]);
    }
    return differ == 0;
}

}  // namespace vantrel

#include "platform/http_server.h"

#include <algorithm>
#include <cctype>

namespace vantrel {

namespace {

bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

std::optional<std::string> HttpRequest::header(std::string_view name) const {
    for (const auto& [key, value] : headers) {
        if (SameNameIgnoringCase(key, name)) return value;
    }
    return std::nullopt;
}

std::size_t HttpRequest::queryCount(std::string_view name) const {
    return std::count_if(query.begin(), query.end(),
                         [&](const auto& field) { return field.first == name; });
}

std::optional<std::string> HttpRequest::queryValue(std::string_view name) const {
    for (const auto& [key, value] : query) {
        if (key == name) return value;
    }
    return std::nullopt;
}

}  // namespace vantrel

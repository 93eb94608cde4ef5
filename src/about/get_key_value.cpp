#include "about/get_key_value.h"

namespace vantrel {

namespace {

// Each byte as two upper-case hexadecimal digits, the last byte first.
std::string HexLastByteFirst(const std::string& bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (auto it = bytes.rbegin(); it != bytes.rend(); ++it) {
        const auto byte = static_cast<unsigned char>(*it);
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    }
    return text;
}

}  // namespace

bool GetKeyValue(Registry& registry, RegistryRoot keyRoot, const std::string& keyName,
                 const std::string& subKeyRef, std::string& keyVal) {
    auto value = registry.queryValue(keyRoot, keyName, subKeyRef, kKeyValueBufferSize);
    if (!value || value->bytes.size() > kKeyValueBufferSize) {
        keyVal.clear();
        return false;
    }

    // The registry reports the size with or without a string's terminating NUL; the last byte
    // decides. A value of zero bytes has no last byte to look at.
    const std::string& bytes = value->bytes;
    if (bytes.empty()) {
        throw RegistryValueError("the registry value " + subKeyRef + " of " + keyName +
                                 " is empty");
    }
    const std::string kept = bytes.back() == '\0' ? bytes.substr(0, bytes.size() - 1) : bytes;

    switch (value->type) {
        case kRegSz:
            keyVal = kept;
            break;
        case kRegDword:
            keyVal = "&h" + HexLastByteFirst(kept);
            break;
        default:
            break;  // no text form for this type: the caller's text stays
    }
    return true;
}

}  // namespace vantrel

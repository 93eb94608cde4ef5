#include "platform/random_bytes.h"

#include <windows.h>
// windows.h first: bcrypt.h needs its types.
#include <bcrypt.h>

#include <system_error>

namespace vantrel {

std::string SecureRandomBytes(std::size_t count) {
    std::string bytes(count, '\0');
    const NTSTATUS status =
        BCryptGenRandom(nullptr, reinterpret_cast<PUCHAR>(bytes.data()), static_cast<ULONG>(count),
                        BCRYPT_USE_SYSTEM_PREFERRED_RNG);
    if (status < 0) {
        throw std::system_error(static_cast<int>(status), std::system_category(),
                                "BCryptGenRandom");
    }
    return bytes;
}

}  // namespace vantrel

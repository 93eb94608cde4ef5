#include "platform/random_bytes.h"

#include <sys/random.h>

#include <cerrno>
#include <system_error>

namespace vantrel {

std::string SecureRandomBytes(std::size_t count) {
    std::string bytes(count, '\0');
    std::size_t got = 0;
    while (got < count) {
        // getrandom waits only until the kernel's pool was first seeded, never afterwards.
        const ssize_t n = getrandom(bytes.data() + got, count - got, 0);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw std::system_error(errno, std::generic_category(), "getrandom");
        got += static_cast<std::size_t>(n);
    }
    return bytes;
}

}  // namespace vantrel

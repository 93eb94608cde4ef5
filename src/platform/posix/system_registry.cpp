#include <memory>

#include "platform/backends.h"
#include "platform/posix/empty_registry.h"

namespace vantrel {

std::unique_ptr<Registry> MakeSystemRegistry() {
    return std::make_unique<EmptyRegistry>();
}

}  // namespace vantrel

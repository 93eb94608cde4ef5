#pragma once

#include <sys/stat.h>

#include "platform/file_system.h"

namespace vantrel {

// The identity of a file from its status.
FileIdentity IdentityOf(const struct stat& info);

// The identity of an open file, asked through its descriptor. Throws FileReadError.
FileIdentity IdentityOfOpenFile(int fd);

}  // namespace vantrel

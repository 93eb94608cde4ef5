#include "platform/posix/run_time_module.h"

#include <dlfcn.h>

#include "platform/app_path.h"

namespace vantrel {

void* FindModuleEntry(const std::string& name, const char* entry, std::string& errors) {
    const std::string dir = AppPath();
    for (const auto& path : {dir + "/" + name, dir + "/../lib/vantrel/" + name}) {
        void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!module) {
            errors += std::string("\n  ") + dlerror();
            continue;
        }
        if (void* found = dlsym(module, entry)) return found;
        errors += "\n  " + path + ": no entry " + entry;
    }
    return nullptr;
}

}  // namespace vantrel

#include "app/window_loader.h"

#include <cstdio>
#include <string>
#include <vector>

#include "app/window_entry.h"
#include "platform/app_path.h"

#ifdef VANTREL_WINDOW_MODULE
#include <dlfcn.h>
#endif

namespace vantrel {

#ifdef VANTREL_WINDOW_MODULE

namespace {

// Beside the program (build tree, portable copy), then the installed library directory.
std::vector<std::string> ModuleCandidates() {
    std::string dir = AppPath();
    return {dir + "/" VANTREL_WINDOW_MODULE, dir + "/../lib/vantrel/" VANTREL_WINDOW_MODULE};
}

}  // namespace

int RunWindowMode(int argc, char** argv) {
    std::string errors;
    for (const auto& path : ModuleCandidates()) {
        void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!module) {
            errors += std::string("\n  ") + dlerror();
            continue;
        }
        auto entry = reinterpret_cast<WindowEntry>(dlsym(module, kWindowEntryName));
        if (!entry) {
            errors += "\n  " + path + ": no window entry";
            continue;
        }
        return entry(argc, argv);
    }
    std::fprintf(stderr, "vantrel: the window module cannot be loaded:%s\n", errors.c_str());
    return 1;
}

#elif defined(VANTREL_WINDOW_LINKED)

int RunWindowMode(int argc, char** argv) {
    return vantrel_window_main(argc, argv);
}

#else

int RunWindowMode(int, char**) {
    std::fputs("vantrel: this build has no window; give a command line (see --help)\n", stderr);
    return 2;
}

#endif

}  // namespace vantrel

#include "app/window_loader.h"

#include <cstdio>
#include <string>

#include "app/window_entry.h"

#ifdef VANTREL_WINDOW_MODULE
#include "platform/posix/run_time_module.h"
#endif

namespace vantrel {

#ifdef VANTREL_WINDOW_MODULE

int RunWindowMode(int argc, char** argv) {
    std::string errors;
    const auto entry = reinterpret_cast<WindowEntry>(
        FindModuleEntry(VANTREL_WINDOW_MODULE, kWindowEntryName, errors));
    if (entry) return entry(argc, argv);
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

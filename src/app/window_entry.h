#pragma once

// The entry point of the window module: runs the windowed program, returns the exit status.
extern "C" int vantrel_window_main(int argc, char** argv);

namespace vantrel {

using WindowEntry = int (*)(int, char**);
inline constexpr const char* kWindowEntryName = "vantrel_window_main";

}  // namespace vantrel

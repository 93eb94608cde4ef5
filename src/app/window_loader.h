#pragma once

namespace vantrel {

// Starts the windowed program. The window code lives in a module of its own, loaded only here,
// so that batch mode never pays for loading the widget toolkit.
int RunWindowMode(int argc, char** argv);

}  // namespace vantrel

#pragma once

#include <string>

namespace vantrel {

// The entry point named entry of the module file name, loaded beside the program (build tree,
// portable copy), else from the installed library directory; nullptr when neither has it, with
// the loader's reasons added to errors, one indented line each.
void* FindModuleEntry(const std::string& name, const char* entry, std::string& errors);

}  // namespace vantrel

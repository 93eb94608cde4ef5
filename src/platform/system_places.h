#pragma once

#include <string>

namespace vantrel {

// The places and facts of the operating system that the core needs, one definition per system.

// The user's home directory: $HOME, else the password database's entry. Settings and the start
// directory both use it, so that they agree when HOME is unset.
std::string HomeDirectory();
// Makes HOME name that directory when it is unset or empty, before anything (the settings
// store among them) reads it.
void EnsureHomeEnvironment();
// The defaults of the start directory and of the copy directory, ending in the separator.
std::string DefaultStartDirectory();
std::string DefaultCopyDirectory();
// Vantrel's per-user data directory (~/.local/share/Vantrel); empty where the drop directory
// stays beside the program (Windows).
std::string UserDataDirectory();
// Vantrel's per-user state directory (~/.local/state/Vantrel, %LOCALAPPDATA%\Vantrel).
std::string UserStateDirectory();
// True when the program's directory is no place for user data: installed by the system's
// package manager, or not writable.
bool IsSystemProgramDirectory(const std::string& path);
// True where file names are compared without regard to case.
bool FileNamesIgnoreCase();
// Why no window can be shown (no display to show it on), or empty when one can.
std::string MissingDisplayReason();

}  // namespace vantrel

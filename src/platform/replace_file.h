#pragma once

#include <string>
#include <system_error>

namespace vantrel {

// Replaces the file at path with bytes, so that a reader, or the next start after a crash,
// finds the old content or the new, whole: written beside it into a file only this user may
// read, flushed to the disk, then renamed over it. Folders missing on the way are made for this
// user only. An empty error code on success.
std::error_code ReplaceFileAtomically(const std::string& path, const std::string& bytes);

// Makes the missing folders of the path dir, each for this user only; those there stay as they
// are. An empty error code when dir is a folder now.
std::error_code MakePrivateFolders(const std::string& dir);

}  // namespace vantrel

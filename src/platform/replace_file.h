#pragma once

#include <optional>
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

// Appends text to the file at path, made for this user only when missing; with durable, the
// text is on the disk before this returns. Never through a link, and never into a pipe or a
// device. An empty error code on success.
std::error_code AppendToPrivateFile(const std::string& path, const std::string& text, bool durable);

// The whole content of the plain file at path; empty when there is none. Never through a link,
// and without waiting on a pipe or a device: then nothing, and why in words.
std::optional<std::string> ReadPrivateFile(const std::string& path, std::string& why);

// Why the folder at dir is not safe to keep this user's records in (it is a link, another
// user's, or others may write to it or to a folder above it), as a clause; nothing when it is.
std::optional<std::string> WhyNotPrivateFolder(const std::string& dir);

}  // namespace vantrel

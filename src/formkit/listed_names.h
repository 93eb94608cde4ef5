#pragma once

#include <QString>
#include <QStringList>
#include <string>
#include <vector>

#include "platform/directory_listing.h"

namespace vantrel {

// A stored name (the bytes the system keeps, not always valid text) as the lists show it: bytes
// that are no valid text show as U+FFFD. Opening, deleting and moving use the stored bytes.
QString ShownName(const std::string& stored);

// The names of the entries of kind in directory that the lists show, as stored, in one pass over
// the directory: hidden entries left out, only names matching one of masks (wildcards, any letter
// case; no masks: all), sorted by their shown names as the desktop's language sorts, letter case
// aside. Throws std::system_error when the directory cannot be read.
std::vector<std::string> ReadListedNames(const QString& directory, DirectoryEntry::Kind kind,
                                         const QStringList& masks = {});

}  // namespace vantrel

#pragma once

#include <QString>
#include <string>

#include "platform/message_sink.h"

namespace vantrel {

// Why a directory cannot be listed, in words for the user; empty when it can.
QString DirectoryProblem(const QString& path);

// The directory itself when it can be listed. Otherwise the user is told which one cannot be
// opened and why ("The <role> "..." cannot be opened: ..."), that the file list shows the home
// directory instead (then advice, if any), and the home directory is the answer.
std::string UsableDirectory(const std::string& directory, const std::string& role,
                            const std::string& advice, MessageSink& messages);

}  // namespace vantrel

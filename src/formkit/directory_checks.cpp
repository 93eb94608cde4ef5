#include "formkit/directory_checks.h"

#include <QDir>
#include <QFileInfo>

#include "platform/path_separator.h"
#include "text/runtime_text.h"

namespace vantrel {

QString DirectoryProblem(const QString& path) {
    if (path.isEmpty()) return QStringLiteral("no directory is given");
    const QFileInfo info(path);
    if (!info.isAbsolute()) return QStringLiteral("it is not a full path");
    if (!info.exists()) return QStringLiteral("it does not exist");
    if (!info.isDir()) return QStringLiteral("it is not a directory");
    if (!info.isReadable() || !info.isExecutable()) return QStringLiteral("permission denied");
    return {};
}

std::string UsableDirectory(const std::string& directory, const std::string& role,
                            const std::string& advice, MessageSink& messages) {
    const QString problem = DirectoryProblem(QString::fromStdString(directory));
    if (problem.isEmpty()) return directory;
    const std::string home =
        WithTrailingSeparator(QDir::toNativeSeparators(QDir::homePath()).toStdString());
    messages.show("The " + role + " \"" + directory + "\" cannot be opened: " +
                      problem.toStdString() + ".\nThe file list shows your home directory " + home +
                      " instead" + (advice.empty() ? "" : "; " + advice) + ".",
                  MsgStyle::Exclamation);
    return home;
}

}  // namespace vantrel

#include "platform/qt_desktop/qt_desktop.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

namespace vantrel {

QUrl DesktopUrl(const std::string& target) {
    const QString text = QString::fromStdString(target).trimmed();
    if (text.isEmpty()) return {};

    static const QString kMailPrefix = QStringLiteral("mailto:");
    if (text.startsWith(kMailPrefix, Qt::CaseInsensitive)) {
        return QUrl(kMailPrefix + text.mid(kMailPrefix.size()).trimmed());
    }

    const QFileInfo file(text);
    if (file.exists()) return QUrl::fromLocalFile(file.absoluteFilePath());
    if (QDir::isAbsolutePath(text)) return {};  // a file that is not there opens nothing

    static const QRegularExpression kScheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    if (kScheme.match(text).hasMatch()) return QUrl(text);
    return QUrl::fromUserInput(text);
}

bool QtDesktop::openDocument(const std::string& target) {
    const QUrl url = DesktopUrl(target);
    return url.isValid() && QDesktopServices::openUrl(url);
}

bool QtDesktop::startProgram(const std::string& path) {
    if (path.empty()) return false;
    return QProcess::startDetached(QString::fromStdString(path), {});
}

std::string QtDesktop::findProgram(const std::string& name) {
    return QStandardPaths::findExecutable(QString::fromStdString(name)).toStdString();
}

}  // namespace vantrel

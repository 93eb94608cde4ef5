// The per-user settings store kept by QSettings in the platform's native form: the registry on
// Windows, ~/.config/Vantrel/Vantrel.conf (or under $XDG_CONFIG_HOME) elsewhere.

#include "platform/qt/qt_settings_store.h"

#include <QByteArray>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <memory>
#include <optional>
#include <string>

namespace vantrel {

namespace {

const QString kOrganization = QStringLiteral("Vantrel");
const QString kApplication = QStringLiteral("Vantrel");

QString KeyPath(const std::string& section, const std::string& key) {
    return QString::fromStdString(section) + u'/' + QString::fromStdString(key);
}

// Text that is valid UTF-8 is stored as a string; other bytes are stored as they are, so that
// every value reads back exactly as it was written.
QVariant StoredForm(const std::string& value) {
    QString text = QString::fromStdString(value);
    if (text.toStdString() == value) return text;
    return QByteArray(value.data(), static_cast<qsizetype>(value.size()));
}

// The text of a stored value. A hand-edited "a,b" comes back from the INI reader as a list and
// is joined again; values of other kinds that have no text form count as absent.
std::optional<std::string> TextOf(const QVariant& value) {
    switch (value.typeId()) {
        case QMetaType::QString:
            return value.toString().toStdString();
        case QMetaType::QStringList:
            return value.toStringList().join(u',').toStdString();
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        }
        default:
            break;
    }
    if (!value.isValid() || !value.canConvert<QString>()) return std::nullopt;
    return value.toString().toStdString();
}

std::string Describe(QSettings::Status status, const QString& fileName) {
    const std::string file = fileName.toStdString();
    if (status == QSettings::FormatError) return "the settings file " + file + " is damaged";
    return "the settings cannot be written to " + file;
}

class QtSettingsStore : public SettingsStore {
  public:
    QtSettingsStore() : settings_(Open()) {}

    std::optional<std::string> get(const std::string& section, const std::string& key) override {
        const QString path = KeyPath(section, key);
        if (!settings_->contains(path)) return std::nullopt;
        return TextOf(settings_->value(path));
    }

    void set(const std::string& section, const std::string& key,
             const std::string& value) override {
        settings_->setValue(KeyPath(section, key), StoredForm(value));
    }

    void sync() override {
        // QSettings keeps the first error it meets, including a file that did not parse when it
        // was read. After one, this round goes on with a fresh object, made while the old one
        // still exists: values not yet written are held with the file they belong to and pass to
        // the new object, and an unchanged file is not parsed again.
        if (settings_->status() != QSettings::NoError) settings_ = Open();
        settings_->sync();
        const QSettings::Status status = settings_->status();
        if (status != QSettings::NoError) {
            throw SettingsError(Describe(status, settings_->fileName()));
        }
    }

  private:
    static std::unique_ptr<QSettings> Open() {
        auto settings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                                    kOrganization, kApplication);
        // Only this user's own values count; no organisation-wide or system-wide fallbacks.
        settings->setFallbacksEnabled(false);
        return settings;
    }

    std::unique_ptr<QSettings> settings_;
};

}  // namespace

std::unique_ptr<SettingsStore> MakeQtSettingsStore() {
    return std::make_unique<QtSettingsStore>();
}

}  // namespace vantrel

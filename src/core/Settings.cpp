#include "core/Settings.h"

#include "core/Conversions.h"
#include "core/Failure.h"

#include <QFile>
#include <QSettings>

#include <memory>

namespace {

// An INI file in the user's configuration folder; tests point QSettings' user path elsewhere.
std::unique_ptr<QSettings> store()
{
    const QString name = QString::fromUtf16(AppTitle);
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, name, name);
}

QString path(const QString& section, const QString& key)
{
    return section + u'/' + key;
}

} // namespace

QString GetSetting(const QString& section, const QString& key, const QString& defaultValue)
{
    const QVariant value = store()->value(path(section, key));
    return value.isValid() ? value.toString() : defaultValue;
}

void SaveSetting(const QString& section, const QString& key, const QString& value)
{
    const auto settings = store();
    settings->setValue(path(section, key), value);
    settings->sync();
    // The settings hold folders and notes of the user's own: nobody else may read them.
    const QString file = settings->fileName();
    if (QFile::exists(file))
        QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
}

bool GetBooleanSetting(const QString& section, const QString& key, bool defaultValue)
{
    try {
        return toBoolean(GetSetting(section, key, fromBoolean(defaultValue)));
    } catch (const Failure& failure) {
        // A value edited by hand into something else must not stop the program: it reads as unset.
        if (failure.Number() != ErrorNumber::TypeMismatch)
            throw;
        return defaultValue;
    }
}

void SaveBooleanSetting(const QString& section, const QString& key, bool value)
{
    SaveSetting(section, key, fromBoolean(value));
}

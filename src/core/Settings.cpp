#include "core/Settings.h"

#include "core/Conversions.h"

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
}

bool GetBooleanSetting(const QString& section, const QString& key, bool defaultValue)
{
    return toBoolean(GetSetting(section, key, fromBoolean(defaultValue)));
}

void SaveBooleanSetting(const QString& section, const QString& key, bool value)
{
    SaveSetting(section, key, fromBoolean(value));
}

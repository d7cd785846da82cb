#include "core/cRegistry.h"

#include <QDir>
#include <QFile>
#include <QMimeDatabase>
#include <QTextStream>

namespace {

// The folders of one kind of the desktop's base directories, most important first.
QStringList baseDirectories(const char* homeVariable, const QString& homeDefault, const char* listVariable,
                            const QString& listDefault)
{
    const QString home = qEnvironmentVariable(homeVariable);
    QStringList folders{home.isEmpty() ? QDir::home().filePath(homeDefault) : home};
    const QString list = qEnvironmentVariable(listVariable);
    folders += (list.isEmpty() ? listDefault : list).split(u':', Qt::SkipEmptyParts);
    return folders;
}

QStringList configDirectories()
{
    return baseDirectories("XDG_CONFIG_HOME", QStringLiteral(".config"), "XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg"));
}

QStringList applicationDirectories()
{
    QStringList folders;
    for (const QString& data : baseDirectories("XDG_DATA_HOME", QStringLiteral(".local/share"), "XDG_DATA_DIRS",
                                               QStringLiteral("/usr/local/share:/usr/share")))
        folders << QDir(data).filePath(QStringLiteral("applications"));
    return folders;
}

// One value of a desktop file or MIME list: the value of key in [group], or empty text.
QString desktopValue(const QString& path, const QString& group, const QString& key)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QTextStream in(&file);
    bool inGroup = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith(u'[')) {
            inGroup = line == u'[' + group + u']';
        } else if (inGroup) {
            const qsizetype equals = line.indexOf(u'=');
            if (equals > 0 && line.left(equals).trimmed() == key)
                return line.mid(equals + 1).trimmed();
        }
    }
    return {};
}

// Where an installed desktop entry lies; "kde-okular.desktop" may also be kde/okular.desktop.
QString desktopEntryPath(const QString& id)
{
    for (const QString& folder : applicationDirectories()) {
        const QDir applications(folder);
        if (applications.exists(id))
            return applications.filePath(id);
        QString nested = id;
        if (applications.exists(nested.replace(u'-', u'/')))
            return applications.filePath(nested);
    }
    return {};
}

// The first installed entry of a ";"-separated list of desktop entries.
QString firstInstalled(const QString& list)
{
    for (const QString& id : list.split(u';', Qt::SkipEmptyParts)) {
        const QString path = desktopEntryPath(id.trimmed());
        if (!path.isEmpty())
            return path;
    }
    return {};
}

QString defaultEntryFor(const QString& mimeType)
{
    // The user's and the system's chosen defaults come first, then the entries that merely can open it.
    QStringList lists;
    for (const QString& folder : configDirectories())
        lists << QDir(folder).filePath(QStringLiteral("mimeapps.list"));
    for (const QString& folder : applicationDirectories())
        lists << QDir(folder).filePath(QStringLiteral("mimeapps.list"));
    for (const QString& list : lists) {
        const QString entry = firstInstalled(desktopValue(list, QStringLiteral("Default Applications"), mimeType));
        if (!entry.isEmpty())
            return entry;
    }
    for (const QString& folder : applicationDirectories()) {
        const QString entry = firstInstalled(desktopValue(QDir(folder).filePath(QStringLiteral("mimeinfo.cache")),
                                                          QStringLiteral("MIME Cache"), mimeType));
        if (!entry.isEmpty())
            return entry;
    }
    return {};
}

} // namespace

QString cRegistry::GetDefaultValue(const QString& key) const
{
    if (!key.startsWith(u'.') || key.size() < 2)
        return {};
    const QMimeType type = QMimeDatabase().mimeTypeForFile(u"file" + key, QMimeDatabase::MatchExtension);
    return type.isDefault() ? QString() : type.name();
}

QString cRegistry::GetDefaultApp(const QString& fileType) const
{
    if (fileType.isEmpty())
        return {};
    const QString entry = defaultEntryFor(fileType);
    return entry.isEmpty() ? QString() : desktopValue(entry, QStringLiteral("Desktop Entry"), QStringLiteral("Exec"));
}

QString cRegistry::IEVersion() const
{
    return QString::fromLatin1(qVersion());
}

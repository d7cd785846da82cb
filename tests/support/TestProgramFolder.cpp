#include "support/TestProgramFolder.h"

#include "data/cDataBase.h"

#include <QDir>
#include <QFile>
#include <QSettings>

#include <stdexcept>

TestProgramFolder::TestProgramFolder()
{
    if (!m_folder.isValid() || !m_settings.isValid() || !m_cache.isValid())
        throw std::runtime_error("cannot make a temporary folder");
    for (const char* name : {"Vellaro.mdb", "Lighthouse.jpg", "Geese.jpg"}) {
        const QString file = QString::fromLatin1(name);
        if (!QFile::copy(QDir(deliveredFolder()).filePath(file), filePath(file)))
            throw std::runtime_error("cannot copy the delivered files; was the build's 'delivered' target made?");
        QFile(filePath(file)).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    }
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_settings.path());
    // Thumbnails the windows make go here, never into the user's own cache.
    m_userCache = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", QFile::encodeName(m_cache.path()));
    auto messages = std::make_unique<RecordingMessages>();
    m_messages = messages.get();
    SetMessageService(std::move(messages));
}

TestProgramFolder::~TestProgramFolder()
{
    gDB.reset();
    SetMessageService(nullptr);
    if (m_userCache.isNull())
        qunsetenv("XDG_CACHE_HOME");
    else
        qputenv("XDG_CACHE_HOME", m_userCache);
}

QString TestProgramFolder::settingsFile() const
{
    return QDir(m_settings.path()).filePath(QStringLiteral("Vellaro/Vellaro.ini"));
}

void TestProgramFolder::addHelp()
{
    const QDir source(QStringLiteral(VELLARO_HELP_DIR));
    QDir(path()).mkdir(QStringLiteral("Help"));
    for (const QString& file : source.entryList(QDir::Files))
        QFile::copy(source.filePath(file), filePath(u"Help/" + file));
}

void TestProgramFolder::addReport()
{
    QFile::copy(QStringLiteral(VELLARO_REPORT_FILE), filePath(QStringLiteral("Avery5267.rpt")));
    QFile::copy(QStringLiteral(VELLARO_INVENTORY_FILE), filePath(QStringLiteral("Inventory.rpt")));
}

void TestProgramFolder::openCatalogue()
{
    gDB = std::make_unique<cDataBase>();
    gDB->setDBName(cataloguePath());
    gDB->OpenDB();
}

QString TestProgramFolder::deliveredFolder()
{
    return QStringLiteral(VELLARO_DELIVERED_DIR);
}

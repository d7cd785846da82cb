#pragma once

#include "support/RecordingMessages.h"

#include <QString>
#include <QTemporaryDir>

// A temporary program folder for one test: a fresh copy of the delivered catalogue and pictures,
// an empty settings store and an empty user cache folder (XDG_CACHE_HOME) of its own, and recorded
// messages. Everything is undone when it ends.
class TestProgramFolder
{
public:
    TestProgramFolder();
    ~TestProgramFolder();
    TestProgramFolder(const TestProgramFolder&) = delete;
    TestProgramFolder& operator=(const TestProgramFolder&) = delete;

    QString path() const { return m_folder.path(); }
    QString filePath(const QString& name) const { return m_folder.filePath(name); }
    QString cataloguePath() const { return filePath(QStringLiteral("Vellaro.mdb")); }
    QString settingsFile() const;
    QString cacheFolder() const { return m_cache.path(); }

    // Puts the program's help pages into the folder's Help folder.
    void addHelp();
    // Puts the program's report files, the labels' and the inventory sheet's, into the folder.
    void addReport();

    // Makes gDB and opens the folder's catalogue through it.
    void openCatalogue();

    RecordingMessages& messages() { return *m_messages; }

    // Where the build put the delivered catalogue and pictures.
    static QString deliveredFolder();

private:
    QTemporaryDir m_folder;
    QTemporaryDir m_settings;
    QTemporaryDir m_cache;
    QByteArray m_userCache;
    RecordingMessages* m_messages; // owned by the message service
};

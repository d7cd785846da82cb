#include "core/Settings.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

class SettingsTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_store = std::make_unique<QTemporaryDir>();
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, m_store->path());
    }

    void anAbsentKeyReadsAsItsDefaultAndIsNotWritten()
    {
        QCOMPARE(GetSetting(QStringLiteral("StartUp"), QStringLiteral("imgSplitter"), QStringLiteral("2000")),
                 QStringLiteral("2000"));
        QCOMPARE(GetSetting(QStringLiteral("StartUp"), QStringLiteral("FindText")), QString());
        QVERIFY(GetBooleanSetting(QStringLiteral("Caption"), QStringLiteral("CopyrightinCaption"), true));
        QVERIFY(!QFile::exists(storeFile()));
    }

    void aWrittenValueIsReadBackInAnotherSession()
    {
        SaveSetting(QStringLiteral("StartUp"), QStringLiteral("frmPhotosTop"), QStringLiteral("1440"));
        SaveSetting(QStringLiteral("Import Filenames from..."), QStringLiteral("Dir"), QStringLiteral("/home/a, b"));
        QVERIFY(QFile::exists(storeFile()));
        // The file holds the user's own folders and notes: nobody else may read it.
        QCOMPARE(QFile::permissions(storeFile()) & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
                 QFile::ReadOwner | QFile::WriteOwner);
        QCOMPARE(GetSetting(QStringLiteral("StartUp"), QStringLiteral("frmPhotosTop"), QStringLiteral("0")),
                 QStringLiteral("1440"));
        // A path with a comma comes back as one text, not as a list.
        QCOMPARE(GetSetting(QStringLiteral("Import Filenames from..."), QStringLiteral("Dir")),
                 QStringLiteral("/home/a, b"));
        // Sections keep their keys apart.
        QCOMPARE(GetSetting(QStringLiteral("Margins"), QStringLiteral("frmPhotosTop"), QStringLiteral("x")),
                 QStringLiteral("x"));
    }

    void booleansAreWrittenAsTrueAndFalseAndOtherTextReadsAsTheDefault()
    {
        SaveBooleanSetting(QStringLiteral("Remember"), QStringLiteral("LastDate"), false);
        QCOMPARE(GetSetting(QStringLiteral("Remember"), QStringLiteral("LastDate")), QStringLiteral("False"));
        QVERIFY(!GetBooleanSetting(QStringLiteral("Remember"), QStringLiteral("LastDate"), true));
        SaveBooleanSetting(QStringLiteral("Remember"), QStringLiteral("LastDate"), true);
        QCOMPARE(GetSetting(QStringLiteral("Remember"), QStringLiteral("LastDate")), QStringLiteral("True"));

        // A file edited by hand must not stop the program: what cannot be read counts as unset.
        SaveSetting(QStringLiteral("StartUp"), QStringLiteral("Expanded"), QStringLiteral("yes"));
        QVERIFY(GetBooleanSetting(QStringLiteral("StartUp"), QStringLiteral("Expanded"), true));
        QVERIFY(!GetBooleanSetting(QStringLiteral("StartUp"), QStringLiteral("Expanded"), false));
        SaveSetting(QStringLiteral("Remember"), QStringLiteral("lastComments"), QStringLiteral("0"));
        QVERIFY(!GetBooleanSetting(QStringLiteral("Remember"), QStringLiteral("lastComments"), true));
        SaveSetting(QStringLiteral("Remember"), QStringLiteral("lastComments"), QStringLiteral(" -1 "));
        QVERIFY(GetBooleanSetting(QStringLiteral("Remember"), QStringLiteral("lastComments"), false));
    }

private:
    QString storeFile() const { return m_store->filePath(QStringLiteral("Vellaro/Vellaro.ini")); }

    std::unique_ptr<QTemporaryDir> m_store;
};

int runSettingsTest(int argc, char* argv[])
{
    SettingsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "SettingsTest.moc"

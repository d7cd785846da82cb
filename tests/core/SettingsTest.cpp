#include "core/Settings.h"
#include "support/Assertions.h"

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
        QCOMPARE(GetSetting(QStringLiteral("StartUp"), QStringLiteral("frmPhotosTop"), QStringLiteral("0")),
                 QStringLiteral("1440"));
        // A path with a comma comes back as one text, not as a list.
        QCOMPARE(GetSetting(QStringLiteral("Import Filenames from..."), QStringLiteral("Dir")),
                 QStringLiteral("/home/a, b"));
        // Sections keep their keys apart.
        QCOMPARE(GetSetting(QStringLiteral("Margins"), QStringLiteral("frmPhotosTop"), QStringLiteral("x")),
                 QStringLiteral("x"));
    }

    void booleansAreWrittenAsTrueAndFalse()
    {
        SaveBooleanSetting(QStringLiteral("Remember"), QStringLiteral("LastDate"), false);
        QCOMPARE(GetSetting(QStringLiteral("Remember"), QStringLiteral("LastDate")), QStringLiteral("False"));
        QVERIFY(!GetBooleanSetting(QStringLiteral("Remember"), QStringLiteral("LastDate"), true));
        SaveBooleanSetting(QStringLiteral("Remember"), QStringLiteral("LastDate"), true);
        QCOMPARE(GetSetting(QStringLiteral("Remember"), QStringLiteral("LastDate")), QStringLiteral("True"));
    }

    void aStoredBooleanThatIsNeitherTrueNorFalseIsATypeMismatch()
    {
        SaveSetting(QStringLiteral("Remember"), QStringLiteral("lastComments"), QStringLiteral("maybe"));
        QVERIFY_FAILURE(GetBooleanSetting(QStringLiteral("Remember"), QStringLiteral("lastComments"), true),
                        ErrorNumber::TypeMismatch);
        SaveSetting(QStringLiteral("Remember"), QStringLiteral("lastComments"), QStringLiteral("0"));
        QVERIFY(!GetBooleanSetting(QStringLiteral("Remember"), QStringLiteral("lastComments"), true));
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

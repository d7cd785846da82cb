#include "ChildWindows.h"
#include "gui/shell/MainVellaro.h"
#include "core/Failure.h"
#include "core/Settings.h"
#include "gui/shell/mdiMain.h"
#include "data/cDataBase.h"
#include "support/FileFaults.h"
#include "support/TestProgramFolder.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

#include <sys/stat.h>

namespace {

const QString fatalOpenMessage = QStringLiteral("Unable to find or read Vellaro.mdb - Closing Application.");

bool splashShowing()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == u"frmSplash" && window->isVisible())
            return true;
    }
    return false;
}

} // namespace

// Starting the program: the catalogue opened, or the reason it could not be.
class StartupTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_folder = std::make_unique<TestProgramFolder>();
        SaveSetting(QStringLiteral("StartUp"), QStringLiteral("FirstTime"), QStringLiteral("False"));
        m_splashAtMessage = false;
        m_folder->messages().setOnShow(
            [this](const RecordingMessages::Shown&) { m_splashAtMessage |= splashShowing(); });
    }
    void cleanup() { m_folder.reset(); }

    void theCatalogueInTheProgramFolderIsOpenedAndTheMainWindowShown()
    {
        // A catalogue others may read is kept to its owner from now on.
        QVERIFY(QFile::setPermissions(m_folder->cataloguePath(), QFile::ReadOwner | QFile::WriteOwner |
                                                                     QFile::ReadGroup | QFile::WriteGroup |
                                                                     QFile::ReadOther));
        // A folder given with a trailing separator still names the catalogue with a single one.
        auto main = StartVellaro(m_folder->path() + u'/', RegisterChildWindows, false);
        QVERIFY(main);
        QVERIFY(main->isVisible());
        QVERIFY(!splashShowing());
        QCOMPARE(gDB->DBName(), m_folder->cataloguePath());
        QCOMPARE(gHelpFile, m_folder->filePath(QStringLiteral("Help/topics.map")));
        QVERIFY(m_folder->messages().shown().empty());
        QCOMPARE(fileMode(m_folder->cataloguePath()), 0600);
    }

    void settingsEditedByHandNeverStopTheStart()
    {
        for (const char* key : {"mdiMainTop", "frmPhotosTop", "frmPhotosLeft"})
            SaveSetting(QStringLiteral("StartUp"), QString::fromLatin1(key), QStringLiteral("abc"));
        SaveSetting(QStringLiteral("StartUp"), QStringLiteral("mdiMainWidth"), QStringLiteral("1e12"));
        SaveSetting(QStringLiteral("StartUp"), QStringLiteral("frmPhotosHeight"), QStringLiteral("99999999999"));
        SaveSetting(QStringLiteral("StartUp"), QStringLiteral("Expanded"), QStringLiteral("yes"));
        auto main = StartVellaro(m_folder->path(), RegisterChildWindows, false);
        QVERIFY(main);
        QVERIFY(main->isVisible());
        QVERIFY(m_folder->messages().shown().empty());
        // The editor opens on the first photo, expanded as when nothing is stored.
        QWidget* editor = main->Child(QStringLiteral("frmPhotos"));
        QVERIFY(editor && editor->isVisible());
        QVERIFY(!editor->findChild<QLineEdit*>(QStringLiteral("txtPhotoID"))->text().isEmpty());
        QVERIFY(main->findChild<QAction*>(QStringLiteral("Expand"))->isChecked());
    }

    void aMissingCatalogueEndsTheStartWithTheEnginesReason()
    {
        QVERIFY(QFile::remove(m_folder->cataloguePath()));
        QVERIFY(!StartVellaro(m_folder->path(), RegisterChildWindows, false));
        QCOMPARE(m_folder->messages().shown().size(), std::size_t(1));
        const auto& message = m_folder->messages().shown().front();
        QVERIFY(message.text.startsWith(QStringLiteral(" Error Opening the database.  ")));
        QVERIFY(message.text.contains(QStringLiteral("Vellaro.mdb")));
        // The reason shows on its own, never under the splash that stays on top.
        QVERIFY(!m_splashAtMessage);
        QCOMPARE(message.title, QStringLiteral("Vellaro"));
        QCOMPARE(message.icon, MsgIcon::None);
        QCOMPARE(message.buttons, MsgButtons::OK);
        QVERIFY(!splashShowing());
        QVERIFY(!gDB);
        QVERIFY(!QFile::exists(m_folder->cataloguePath()));
    }

    void aCatalogueThatCannotBeReadEndsTheStart()
    {
        QVERIFY(writeFile(m_folder->cataloguePath(), "not a catalogue at all"));
        QVERIFY(!StartVellaro(m_folder->path(), RegisterChildWindows, false));
        QCOMPARE(m_folder->messages().shown().size(), std::size_t(1));
        const auto& message = m_folder->messages().shown().front();
        QCOMPARE(message.text, fatalOpenMessage);
        QCOMPARE(message.title, QStringLiteral("Fatal Error"));
        QCOMPARE(message.icon, MsgIcon::Critical);
        QVERIFY(!m_splashAtMessage);
        QVERIFY(!splashShowing());
    }

    void aCatalogueThatCannotBeWrittenEndsTheStart()
    {
        // The catalogue can be read, but its folder takes no journal: refused before any change.
        const QByteArray folder = QFile::encodeName(m_folder->path());
        QCOMPARE(chmod(folder.constData(), 0555), 0);
        QCOMPARE(chmod(QFile::encodeName(m_folder->cataloguePath()).constData(), 0644), 0);
        const int outcome = asOrdinaryUser([&] {
            if (StartVellaro(m_folder->path(), RegisterChildWindows, false))
                return 1;
            const auto& shown = m_folder->messages().shown();
            return shown.size() == 1 && shown.front().text == fatalOpenMessage && !gDB ? 0 : 2;
        });
        chmod(folder.constData(), 0700);
        QCOMPARE(outcome, 0);
    }

    void aDamagedCatalogueIsReportedAndNotWrittenOnTheFirstRun()
    {
        SaveSetting(QStringLiteral("StartUp"), QStringLiteral("FirstTime"), QStringLiteral("True"));
        growCatalogue(m_folder->cataloguePath(), 3000);
        damagePages(m_folder->cataloguePath(), 0.3, 0.7);
        const QByteArray damaged = fileBytes(m_folder->cataloguePath());

        auto main = StartVellaro(m_folder->path(), RegisterChildWindows, false);
        QVERIFY(main);
        const auto& shown = m_folder->messages().shown();
        QVERIFY(std::any_of(shown.begin(), shown.end(), [](const auto& message) {
            return message.text == Failure::describe(ErrorNumber::CatalogueDamaged);
        }));
        main.reset();
        gDB.reset();
        QVERIFY(fileBytes(m_folder->cataloguePath()) == damaged);
    }

    void onlyOneCopyRunsForAProgramFolder()
    {
        QTemporaryDir other;
        SingleCopy first(m_folder->path());
        QVERIFY(first.IsOnlyCopy());
        {
            SingleCopy second(m_folder->path());
            QVERIFY(!second.IsOnlyCopy());
            SingleCopy elsewhere(other.path());
            QVERIFY(elsewhere.IsOnlyCopy());
        }
        QVERIFY(first.IsOnlyCopy());
    }

    void aSecondCopyOfTheProgramEndsAtOnceAndLeavesTheFirstRunning()
    {
        // The real program, run twice from a program folder of its own.
        QTemporaryDir home;
        QVERIFY(QFile::copy(QStringLiteral(VELLARO_EXECUTABLE), m_folder->filePath(QStringLiteral("Vellaro"))));
        QFile::setPermissions(m_folder->filePath(QStringLiteral("Vellaro")), QFile::ReadOwner | QFile::ExeOwner);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.path());

        QProcess first;
        first.setProcessEnvironment(environment);
        first.start(m_folder->filePath(QStringLiteral("Vellaro")), {});
        QVERIFY(first.waitForStarted());
        // The first copy holds its lock once it runs; wait until its settings show it got past the start.
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(home.filePath(QStringLiteral("config/Vellaro/Vellaro.ini"))), 15000);

        QProcess second;
        second.setProcessEnvironment(environment);
        second.start(m_folder->filePath(QStringLiteral("Vellaro")), {});
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QCOMPARE(first.state(), QProcess::Running);
        first.kill();
        first.waitForFinished();
    }

private:
    static int fileMode(const QString& path)
    {
        struct stat status = {};
        return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? int(status.st_mode & 07777) : -1;
    }

    std::unique_ptr<TestProgramFolder> m_folder;
    bool m_splashAtMessage = false;
};

int runStartupTest(int argc, char* argv[])
{
    StartupTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "StartupTest.moc"

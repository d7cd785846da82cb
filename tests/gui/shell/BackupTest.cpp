#include "core/Failure.h"
#include "core/Settings.h"
#include "data/Database.h"
#include "data/cDataBase.h"
#include "gui/shell/MainVellaro.h"
#include "gui/shell/frmBackUp.h"
#include "gui/shell/frmHelp.h"
#include "support/Assertions.h"
#include "support/CatalogueQueries.h"
#include "support/FileFaults.h"
#include "support/Controls.h"
#include "support/MainWindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>

namespace {

const QString backUpCaption = QStringLiteral("BackUp");
const QString importFrom = QStringLiteral("Import Filenames from...");

QString shownFolder(const QWidget* dialog)
{
    return control<QLabel>(dialog, "lblFolder")->text();
}

// Answers the folder dialog each time the backup shows it, with the next step given; a dialog shown
// with no step left is cancelled.
class DialogSteps final : public QObject
{
public:
    using Step = std::function<void(frmBackUp&)>;

    explicit DialogSteps(std::deque<Step> steps) : m_steps(std::move(steps)) { qApp->installEventFilter(this); }
    ~DialogSteps() override { qApp->removeEventFilter(this); }

    int shown() const { return m_shown; }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* dialog = qobject_cast<frmBackUp*>(watched);
        if (!dialog || event->type() != QEvent::Show)
            return false;
        ++m_shown;
        Step step = m_steps.empty() ? Step([](frmBackUp& shown) { click(&shown, "cmdCancel"); }) : m_steps.front();
        if (!m_steps.empty())
            m_steps.pop_front();
        QTimer::singleShot(0, dialog, [dialog, step] {
            step(*dialog);
            // A step that failed must not leave the test waiting on the dialog.
            if (dialog->isVisible())
                dialog->reject();
        });
        return false;
    }

private:
    std::deque<Step> m_steps;
    int m_shown = 0;
};

DialogSteps::Step okIn(const QString& folderName)
{
    return [folderName](frmBackUp& shown) {
        openFolder(shown, folderName);
        click(&shown, "cmdOK");
    };
}

const DialogSteps::Step okHere = [](frmBackUp& shown) { click(&shown, "cmdOK"); };

// A window whose change can never be saved: it refuses every close.
class Stubborn final : public QLabel
{
public:
    Stubborn() : QLabel(QStringLiteral("unsaved")) { setObjectName(QStringLiteral("frmLists")); }

protected:
    void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

QString setting(const char* key)
{
    return GetSetting(QStringLiteral("StartUp"), QString::fromLatin1(key));
}

int photoCountIn(const QString& catalogue)
{
    auto database = Database::OpenDatabase(catalogue, false, true, cDataBase::ConnectString());
    return database->OpenRecordset(QStringLiteral("SELECT count(*) AS n FROM Photos"))
        ->Value(QStringLiteral("n"))
        .toInt();
}

} // namespace

// The folder dialog, and the backup the main window makes with it.
class BackupTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_folder = std::make_unique<TestProgramFolder>();
        m_places = std::make_unique<QTemporaryDir>();
        QVERIFY(m_places->isValid());
        for (const char* name : {"Backups", "Backups/2026", "Pictures", "Pictures/Roll 1"})
            QVERIFY(QDir(m_places->path()).mkdir(QString::fromLatin1(name)));
    }
    void cleanup()
    {
        m_main.reset();
        m_places.reset();
        m_folder.reset();
    }

    void aBackupIsACatalogueAndTheWindowsOpenAgainAsTheyWere()
    {
        mdiMain& main = openMain();
        // Remembered as open at the last Exit but closed since: the backup records it closed.
        SaveSetting(QStringLiteral("StartUp"), QStringLiteral("frmListsShown"), QStringLiteral("True"));
        main.ShowChild(QStringLiteral("frmExplorer"));
        main.ShowChild(QStringLiteral("frmFind"));
        const QPointer<QWidget> explorerBefore = main.Child(QStringLiteral("frmExplorer"));
        const QString backup = place(u"Backups/Vellaro.mdb");
        bool busyAtMessage = false;
        m_folder->messages().setOnShow([&](const RecordingMessages::Shown& shown) {
            if (shown.text != u"Replace Existing File?")
                busyAtMessage |= busy();
        });

        {
            const DialogSteps steps({okIn(QStringLiteral("Backups"))});
            runBackup();
            QCOMPARE(steps.shown(), 1);
        }
        QVERIFY(m_folder->messages().shown().empty());
        QCOMPARE(photoCountIn(backup), countRows(QStringLiteral("SELECT * FROM Photos")));
        QCOMPARE(fileBytes(backup), fileBytes(m_folder->cataloguePath()));
        // Every window was closed and the catalogue with them; those open before are back.
        QVERIFY(main.Child(QStringLiteral("frmExplorer")) != explorerBefore.data());
        QVERIFY(main.Child(QStringLiteral("frmExplorer")));
        QVERIFY(main.Child(QStringLiteral("frmFind")));
        QVERIFY(!main.Child(QStringLiteral("frmLists")));
        QVERIFY(main.Child(QStringLiteral("frmPhotos")));
        QVERIFY(!main.Child(QStringLiteral("frmPhotos"))
                     ->findChild<QLineEdit*>(QStringLiteral("txtPhotoID"))
                     ->text()
                     .isEmpty());
        QCOMPARE(setting("frmExplorerShown"), QStringLiteral("True"));
        QCOMPARE(setting("frmFindShown"), QStringLiteral("True"));
        QCOMPARE(setting("frmListsShown"), QStringLiteral("False"));
        QVERIFY(!busy());
        QCOMPARE(m_folder->messages().busyChanges().front(), true);

        // The next backup opens at the folder accepted last. No keeps the older backup, Yes replaces it.
        gDB->DB().Execute(QStringLiteral("INSERT INTO Photos (PhotoID, Caption) VALUES (5000, 'After the backup')"));
        const QByteArray older = fileBytes(backup);
        m_folder->messages().setNextAnswer(MsgAnswer::No);
        m_folder->messages().setNextAnswer(MsgAnswer::Yes);
        QString openedAt;
        {
            const DialogSteps steps({[&openedAt](frmBackUp& shown) {
                                         openedAt = shown.SelectedFolder();
                                         click(&shown, "cmdOK");
                                     },
                                     [&older, &backup](frmBackUp& shown) {
                                         QCOMPARE(fileBytes(backup), older);
                                         click(&shown, "cmdOK");
                                     }});
            runBackup();
            QCOMPARE(steps.shown(), 2);
        }
        QCOMPARE(openedAt, place(u"Backups"));
        QCOMPARE(m_folder->messages().shown().size(), std::size_t(2));
        for (const auto& question : m_folder->messages().shown()) {
            QCOMPARE(question.text, QStringLiteral("Replace Existing File?"));
            QCOMPARE(question.buttons, MsgButtons::YesNo);
            QCOMPARE(question.icon, MsgIcon::Question);
        }
        QCOMPARE(photoCountIn(backup), countRows(QStringLiteral("SELECT * FROM Photos")));
        QVERIFY(photoCountIn(backup) > 0 && fileBytes(backup) != older);
        QVERIFY(!busyAtMessage);
        QVERIFY(!busy());
    }

    void theProgramsOwnFolderIsRefusedHoweverItIsWritten()
    {
        mdiMain& main = openMain();
        QWidget* editor = main.Child(QStringLiteral("frmPhotos"));
        QVERIFY(QFile::link(m_folder->path(), place(u"Backups/live")));
        const QString programFolder = m_folder->path();
        const QString name = QFileInfo(programFolder).fileName();
        const QStringList spellings{programFolder + u'/', programFolder + QStringLiteral("/../") + name,
                                    place(u"Backups")};
        for (const QString& spelling : spellings) {
            m_folder->messages().clear();
            SaveSetting(backUpCaption, QStringLiteral("Dir"), spelling);
            // The link is followed in the folder list; the other spellings are the folder shown.
            const DialogSteps steps({spelling == place(u"Backups") ? okIn(QStringLiteral("live")) : okHere});
            runBackup();
            QCOMPARE(steps.shown(), 2);
            QCOMPARE(m_folder->messages().shown().size(), std::size_t(1));
            const auto& refusal = m_folder->messages().shown().front();
            QCOMPARE(refusal.text, QStringLiteral("Please choose a different directory to save your data."));
            QCOMPARE(refusal.icon, MsgIcon::Critical);
            QCOMPARE(refusal.buttons, MsgButtons::OK);
            QCOMPARE(refusal.title, QStringLiteral("Vellaro Backup"));
            // Nothing was closed or copied.
            QCOMPARE(main.Child(QStringLiteral("frmPhotos")), editor);
            QVERIFY(m_folder->messages().busyChanges().empty());
        }
        QCOMPARE(QDir(programFolder).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{"Geese.jpg", "Lighthouse.jpg", "Vellaro.mdb"}));
    }

    void aFailedCopyKeepsTheOlderBackupAndTheCatalogueOpen()
    {
        mdiMain& main = openMain();
        main.ShowChild(QStringLiteral("frmExplorer"));
        const QString backup = place(u"Backups/Vellaro.mdb");
        QVERIFY(writeFile(backup, "an older backup"));
        bool busyAtFailure = true;
        m_folder->messages().setOnShow([&](const RecordingMessages::Shown& shown) {
            if (shown.title == u"ERROR")
                busyAtFailure = busy();
        });
        {
            // The disk fills up a little way into the copy; the catalogue is larger.
            const FileSizeLimit full(16 * 1024);
            QVERIFY(QFileInfo(m_folder->cataloguePath()).size() > 16 * 1024);
            const DialogSteps steps({okIn(QStringLiteral("Backups"))});
            runBackup();
            QCOMPARE(steps.shown(), 2);
        }
        QCOMPARE(m_folder->messages().shown().size(), std::size_t(2));
        QCOMPARE(m_folder->messages().shown().front().text, QStringLiteral("Replace Existing File?"));
        const auto& failed = m_folder->messages().shown().back();
        QCOMPARE(failed.text, QStringLiteral("Backup Failed. Disk maybe full or write protected."));
        QCOMPARE(failed.icon, MsgIcon::Critical);
        QCOMPARE(failed.buttons, MsgButtons::OK);
        QCOMPARE(failed.title, QStringLiteral("ERROR"));
        QVERIFY(!busyAtFailure);
        QCOMPARE(fileBytes(backup), QByteArray("an older backup"));
        QCOMPARE(QDir(place(u"Backups")).entryList(QDir::Files | QDir::Hidden), QStringList{"Vellaro.mdb"});
        // The catalogue is open again and the windows are back.
        QVERIFY(countRows(QStringLiteral("SELECT * FROM Photos")) > 0);
        QVERIFY(main.Child(QStringLiteral("frmExplorer")));
        QVERIFY(main.Child(QStringLiteral("frmPhotos")));
        QVERIFY(!busy());
    }

    void aWindowThatWillNotCloseStopsTheBackupAndEverythingStays()
    {
        mdiMain& main = openMain();
        main.ShowChild(QStringLiteral("frmExplorer"));
        const QPointer<QWidget> explorer = main.Child(QStringLiteral("frmExplorer"));
        const QPointer<QWidget> editor = main.Child(QStringLiteral("frmPhotos"));
        // A change the editor cannot save: the number of a photo that exists.
        auto* id = editor->findChild<QLineEdit*>(QStringLiteral("txtPhotoID"));
        QCOMPARE(id->text(), QStringLiteral("1"));
        auto* comments = editor->findChild<QLineEdit*>(QStringLiteral("txtComments"));
        id->setText(QStringLiteral("2"));
        comments->setFocus();
        QTest::keyClicks(comments, QStringLiteral("#"));
        const QString changed = comments->text();
        m_folder->messages().setNextAnswer(MsgAnswer::Yes);
        bool busyAtRefusal = true;
        m_folder->messages().setOnShow([&](const RecordingMessages::Shown& shown) {
            if (shown.title == u"Vellaro Backup")
                busyAtRefusal = busy();
        });
        {
            const DialogSteps steps({okIn(QStringLiteral("Backups"))});
            runBackup();
            QCOMPARE(steps.shown(), 1);
        }
        QVERIFY(!busyAtRefusal);
        QCOMPARE(m_folder->messages().shown().front().text, QStringLiteral("Save Changes?"));
        QCOMPARE(m_folder->messages().shown().back().text,
                 QStringLiteral("The backup was not made: a window could not be closed."));
        QVERIFY(!QFile::exists(place(u"Backups/Vellaro.mdb")));
        QVERIFY(editor && explorer);
        QCOMPARE(main.Child(QStringLiteral("frmPhotos")), editor.data());
        QCOMPARE(main.Child(QStringLiteral("frmExplorer")), explorer.data());
        QCOMPARE(comments->text(), changed);
        QCOMPARE(id->text(), QStringLiteral("2"));
        QCOMPARE(setting("frmExplorerShown"), QString());
        QVERIFY(countRows(QStringLiteral("SELECT * FROM Photos")) > 0);
        QVERIFY(!busy());

        // A window that refuses after others have closed: those come back.
        m_folder->messages().clear();
        m_folder->messages().setNextAnswer(MsgAnswer::No);
        main.setChildFactory(QStringLiteral("frmLists"), [](mdiMain&) { return new Stubborn; });
        main.ShowChild(QStringLiteral("frmLists"));
        {
            const DialogSteps steps({okHere});
            runBackup();
        }
        QCOMPARE(m_folder->messages().shown().back().text,
                 QStringLiteral("The backup was not made: a window could not be closed."));
        QVERIFY(!QFile::exists(place(u"Backups/Vellaro.mdb")));
        QVERIFY(main.Child(QStringLiteral("frmPhotos")));
        QVERIFY(main.Child(QStringLiteral("frmExplorer")));
        QVERIFY(main.Child(QStringLiteral("frmLists")));
        QVERIFY(countRows(QStringLiteral("SELECT * FROM Photos")) > 0);
    }

    void aCatalogueThatCannotBeOpenedAgainEndsTheProgram()
    {
        mdiMain& main = openMain();
        // Taken away while the program runs: neither copied nor opened again.
        QVERIFY(QFile::remove(m_folder->cataloguePath()));
        {
            const DialogSteps steps({okIn(QStringLiteral("Backups"))});
            runBackup();
            QCOMPARE(steps.shown(), 1);
        }
        QCOMPARE(m_folder->messages().shown().size(), std::size_t(2));
        QCOMPARE(m_folder->messages().shown().front().text,
                 QStringLiteral("Backup Failed. Disk maybe full or write protected."));
        const auto& fatal = m_folder->messages().shown().back();
        QVERIFY(fatal.text.startsWith(
            QStringLiteral("Vellaro.mdb could not be opened again after the backup - Closing Application.")));
        QCOMPARE(fatal.icon, MsgIcon::Critical);
        QCOMPARE(fatal.title, QStringLiteral("Fatal Error"));
        QVERIFY(!main.isVisible());
        QVERIFY(!main.Child(QStringLiteral("frmPhotos")));
        QVERIFY_FAILURE(gDB->DB(), ErrorNumber::ObjectNotSet);
        QVERIFY(!busy());
    }

    void eachCaptionRemembersTheFolderLastAcceptedWithOK()
    {
        const QString programFolder = QCoreApplication::applicationDirPath();
        {
            // Nothing remembered yet: the backup's caption, the program's folder and its drive.
            frmBackUp dialog;
            QCOMPARE(dialog.windowTitle(), backUpCaption);
            QCOMPARE(dialog.SelectedFolder(), programFolder);
            QCOMPARE(control<QComboBox>(&dialog, "Drive1")->currentText(), QStorageInfo(programFolder).rootPath());
            QCOMPARE(control<QPushButton>(&dialog, "cmdOK")->text(), QStringLiteral("&OK"));
            QCOMPARE(control<QPushButton>(&dialog, "cmdCancel")->text(), QStringLiteral("&Cancel"));
        }
        SaveSetting(backUpCaption, QStringLiteral("Dir"), m_places->path());
        SaveSetting(importFrom, QStringLiteral("Dir"), m_places->path());
        frmBackUp dialog;
        QCOMPARE(shownFolder(&dialog), m_places->path());
        runModal(dialog, [this](frmBackUp& shown) {
            openFolder(shown, QStringLiteral("Backups"));
            QCOMPARE(shown.SelectedFolder(), place(u"Backups"));
            // Enter in the folder list opens the folder; it is no press of OK.
            auto* folders = control<QListWidget>(&shown, "Dir1");
            folders->setCurrentItem(folders->findItems(QStringLiteral("2026"), Qt::MatchExactly).value(0));
            QTest::keyClick(folders, Qt::Key_Return);
            QVERIFY(shown.isVisible());
            click(&shown, "cmdOK");
        });
        QVERIFY(!dialog.Cancelled());
        QCOMPARE(dialog.SelectedFolder(), place(u"Backups/2026"));
        QCOMPARE(GetSetting(backUpCaption, QStringLiteral("Dir")), place(u"Backups/2026"));
        QCOMPARE(GetSetting(backUpCaption, QStringLiteral("Drive")), QStorageInfo(m_places->path()).rootPath());
        QVERIFY(!GetSetting(QStringLiteral("StartUp"), QStringLiteral("frmBackUpWidth")).isEmpty());

        // The import's caption has a folder of its own.
        dialog.setFormCaption(importFrom);
        QCOMPARE(dialog.windowTitle(), importFrom);
        QCOMPARE(shownFolder(&dialog), m_places->path());
        runModal(dialog, [](frmBackUp& shown) {
            openFolder(shown, QStringLiteral("Pictures"));
            openFolder(shown, QStringLiteral("Roll 1"));
            click(&shown, "cmdOK");
        });
        QCOMPARE(dialog.SelectedFolder(), place(u"Pictures/Roll 1"));
        QCOMPARE(GetSetting(backUpCaption, QStringLiteral("Dir")), place(u"Backups/2026"));

        // Cancel, Escape and the close button all cancel, and remember nothing.
        const std::function<void(frmBackUp&)> leaves[] = {
            [](frmBackUp& shown) { click(&shown, "cmdCancel"); },
            [](frmBackUp& shown) { QTest::keyClick(&shown, Qt::Key_Escape); },
            [](frmBackUp& shown) { shown.close(); },
        };
        for (const auto& leave : leaves) {
            runModal(dialog, [](frmBackUp& shown) { click(&shown, "cmdOK"); });
            QVERIFY(!dialog.Cancelled());
            const QString accepted = dialog.SelectedFolder();
            runModal(dialog, [&leave](frmBackUp& shown) {
                openFolder(shown, QStringLiteral(".."));
                leave(shown);
            });
            QVERIFY(dialog.Cancelled());
            QCOMPARE(GetSetting(importFrom, QStringLiteral("Dir")), accepted);
        }

        // A new dialog opens at the backup's folder, then at the import's once captioned so.
        frmBackUp again;
        QCOMPARE(again.SelectedFolder(), place(u"Backups/2026"));
        again.setFormCaption(importFrom);
        QCOMPARE(again.SelectedFolder(), GetSetting(importFrom, QStringLiteral("Dir")));
        QCOMPARE(shownFolder(&again), m_places->path());
        QVERIFY(m_folder->messages().shown().empty());
    }

    void anUnreadableDriveGoesBackToTheBrowsersStartFolderAndF1OpensItsHelp()
    {
        SaveSetting(QStringLiteral("Browse"), QStringLiteral("StartDir"), place(u"Pictures"));
        SaveSetting(backUpCaption, QStringLiteral("Dir"), place(u"Backups"));
        frmBackUp dialog;
        m_folder->addHelp();
        gHelpFile = m_folder->filePath(QStringLiteral("Help/topics.map"));
        runModal(dialog, [this](frmBackUp& shown) {
            auto* drives = control<QComboBox>(&shown, "Drive1");
            // A drive taken out since the list was filled.
            drives->addItem(place(u"unplugged"));
            drives->setCurrentIndex(drives->count() - 1);
            QCOMPARE(m_folder->messages().shown().size(), std::size_t(1));
            QCOMPARE(m_folder->messages().shown().front().text, QStringLiteral("Drive not ready"));
            QCOMPARE(shown.SelectedFolder(), place(u"Pictures"));
            QCOMPARE(drives->currentText(), QStorageInfo(m_places->path()).rootPath());

            QTest::keyClick(control<QListWidget>(&shown, "Dir1"), Qt::Key_F1);
            click(&shown, "cmdCancel");
        });
        frmHelp* help = nullptr;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* found = qobject_cast<frmHelp*>(window); found && found->isVisible())
                help = found;
        }
        QVERIFY(help);
        QCOMPARE(help->CurrentPage(), QStringLiteral("folder-dialog.html"));
        // An owner may give the dialog a topic of its own.
        dialog.setFormHelpContextID(700);
        runModal(dialog, [](frmBackUp& shown) {
            QTest::keyClick(control<QListWidget>(&shown, "Dir1"), Qt::Key_F1);
            click(&shown, "cmdCancel");
        });
        QCOMPARE(help->CurrentPage(), QStringLiteral("options.html"));
        help->close();
        // A folder that is gone opens its drive's root instead.
        SaveSetting(backUpCaption, QStringLiteral("Dir"), place(u"gone"));
        SaveSetting(backUpCaption, QStringLiteral("Drive"), QStorageInfo(m_places->path()).rootPath());
        const frmBackUp gone;
        QCOMPARE(gone.SelectedFolder(), QStorageInfo(m_places->path()).rootPath());
    }

private:
    QString place(QStringView name) const { return QDir(m_places->path()).filePath(name.toString()); }

    bool busy() const
    {
        const auto& changes = m_folder->messages().busyChanges();
        return !changes.empty() && changes.back();
    }

    // A later run of the program over the test's catalogue, with its own windows.
    mdiMain& openMain()
    {
        SaveSetting(QStringLiteral("StartUp"), QStringLiteral("FirstTime"), QStringLiteral("False"));
        SaveSetting(backUpCaption, QStringLiteral("Dir"), m_places->path());
        m_folder->openCatalogue();
        m_main = makeMainWindow(*m_folder);
        m_main->Load();
        m_main->show();
        return *m_main;
    }

    void runBackup()
    {
        QAction* command = m_main->findChild<QAction*>(QStringLiteral("mnuFileBackUp"));
        QVERIFY(command->isEnabled());
        command->trigger();
    }

    std::unique_ptr<TestProgramFolder> m_folder;
    std::unique_ptr<QTemporaryDir> m_places;
    std::unique_ptr<mdiMain> m_main;
};

int runBackupTest(int argc, char* argv[])
{
    BackupTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "BackupTest.moc"

#include "core/Settings.h"
#include "gui/shell/MainVellaro.h"
#include "gui/shell/frmBackUp.h"
#include "gui/shell/frmHelp.h"
#include "support/ModalAnswer.h"
#include "support/TestProgramFolder.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

namespace {

const QString backUp = QStringLiteral("BackUp");
const QString importFrom = QStringLiteral("Import Filenames from...");

template <typename T> T* control(const QWidget* window, const char* name)
{
    return window->findChild<T*>(QString::fromLatin1(name));
}

QString shownFolder(const QWidget* dialog)
{
    return control<QLabel>(dialog, "lblFolder")->text();
}

void openFolder(const QWidget* dialog, const QString& name)
{
    auto* list = control<QListWidget>(dialog, "Dir1");
    const QList<QListWidgetItem*> found = list->findItems(name, Qt::MatchExactly);
    QVERIFY2(!found.isEmpty(), qPrintable(name));
    const QPoint at = list->visualItemRect(found.first()).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

void click(const QWidget* dialog, const char* name)
{
    QTest::mouseClick(control<QPushButton>(dialog, name), Qt::LeftButton);
}

// Shows the dialog as its owners do, with act doing what the user does while it waits.
void runModal(frmBackUp& dialog, const std::function<void(frmBackUp&)>& act)
{
    bool modal = false;
    whenModalShows([&](QWidget* shown) {
        modal = shown == &dialog;
        if (modal)
            act(dialog);
        // A step that failed must not leave the test waiting on the dialog.
        if (dialog.isVisible())
            dialog.reject();
    });
    dialog.exec();
    QVERIFY(modal);
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
        m_places.reset();
        m_folder.reset();
    }

    void eachCaptionRemembersTheFolderLastAcceptedWithOK()
    {
        const QString programFolder = QCoreApplication::applicationDirPath();
        {
            // Nothing remembered yet: the backup's caption, the program's folder and its drive.
            frmBackUp dialog;
            QCOMPARE(dialog.windowTitle(), backUp);
            QCOMPARE(dialog.SelectedFolder(), programFolder);
            QCOMPARE(control<QComboBox>(&dialog, "Drive1")->currentText(), QStorageInfo(programFolder).rootPath());
            QCOMPARE(control<QPushButton>(&dialog, "cmdOK")->text(), QStringLiteral("&OK"));
            QCOMPARE(control<QPushButton>(&dialog, "cmdCancel")->text(), QStringLiteral("&Cancel"));
        }
        SaveSetting(backUp, QStringLiteral("Dir"), m_places->path());
        SaveSetting(importFrom, QStringLiteral("Dir"), m_places->path());
        frmBackUp dialog;
        QCOMPARE(shownFolder(&dialog), m_places->path());
        runModal(dialog, [this](frmBackUp& shown) {
            openFolder(&shown, QStringLiteral("Backups"));
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
        QCOMPARE(GetSetting(backUp, QStringLiteral("Dir")), place(u"Backups/2026"));
        QCOMPARE(GetSetting(backUp, QStringLiteral("Drive")), QStorageInfo(m_places->path()).rootPath());
        QVERIFY(!GetSetting(QStringLiteral("StartUp"), QStringLiteral("frmBackUpWidth")).isEmpty());

        // The import's caption has a folder of its own.
        dialog.setFormCaption(importFrom);
        QCOMPARE(dialog.windowTitle(), importFrom);
        QCOMPARE(shownFolder(&dialog), m_places->path());
        runModal(dialog, [this](frmBackUp& shown) {
            openFolder(&shown, QStringLiteral("Pictures"));
            openFolder(&shown, QStringLiteral("Roll 1"));
            click(&shown, "cmdOK");
        });
        QCOMPARE(dialog.SelectedFolder(), place(u"Pictures/Roll 1"));
        QCOMPARE(GetSetting(backUp, QStringLiteral("Dir")), place(u"Backups/2026"));

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
                openFolder(&shown, QStringLiteral(".."));
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
        SaveSetting(backUp, QStringLiteral("Dir"), place(u"Backups"));
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
        help->close();
        // A folder that is gone opens its drive's root instead.
        SaveSetting(backUp, QStringLiteral("Dir"), place(u"gone"));
        SaveSetting(backUp, QStringLiteral("Drive"), QStorageInfo(m_places->path()).rootPath());
        const frmBackUp gone;
        QCOMPARE(gone.SelectedFolder(), QStorageInfo(m_places->path()).rootPath());
    }

private:
    QString place(QStringView name) const { return QDir(m_places->path()).filePath(name.toString()); }

    std::unique_ptr<TestProgramFolder> m_folder;
    std::unique_ptr<QTemporaryDir> m_places;
};

int runBackupTest(int argc, char* argv[])
{
    BackupTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "BackupTest.moc"

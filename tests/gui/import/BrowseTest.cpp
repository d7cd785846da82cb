#include "core/Settings.h"
#include "gui/import/frmBrowse.h"
#include "gui/controls/ucImageViewer.h"
#include "gui/shell/MainVellaro.h"
#include "gui/shell/frmHelp.h"
#include "support/Controls.h"
#include "support/TestProgramFolder.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QLineEdit>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

namespace {

const QString browse = QStringLiteral("Browse");
const QString startDir = QStringLiteral("StartDir");

// A small real picture, so that the preview has something to decode.
bool writeJpeg(const QString& path)
{
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    return image.save(path, "JPG");
}

// A double-click as the system delivers it: a click, then the second press as a double-click.
void doubleClick(QWidget* viewport, QPoint at)
{
    QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
    QTest::mouseDClick(viewport, Qt::LeftButton, {}, at);
}

void clickFile(const frmBrowse& window, const QString& name, bool twice = false)
{
    auto* view = control<QListView>(window, "File1");
    const int row = window.ListedFiles().indexOf(name);
    QVERIFY(row >= 0);
    const QModelIndex index = view->model()->index(row, 0);
    view->scrollTo(index);
    const QPoint at = view->visualRect(index).center();
    if (twice)
        doubleClick(view->viewport(), at);
    else
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
}

void typePattern(const frmBrowse& window, const QString& pattern)
{
    auto* combo = control<QComboBox>(window, "cboFiletypes");
    combo->setEditText(pattern);
    QTest::keyClick(combo, Qt::Key_Return);
}

// Picks a pattern in the open list with the mouse.
void choosePattern(const frmBrowse& window, int index)
{
    auto* combo = control<QComboBox>(window, "cboFiletypes");
    combo->showPopup();
    QAbstractItemView* view = combo->view();
    QVERIFY(view->isVisible());
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(index, 0)).center());
}

} // namespace

// The file browser driven through its controls, over a folder of pictures of its own.
class BrowseTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_program = std::make_unique<TestProgramFolder>();
        m_pictures = std::make_unique<QTemporaryDir>();
        QVERIFY(m_pictures->isValid());
        const QDir dir(m_pictures->path());
        QVERIFY(dir.mkdir(QStringLiteral("Holidays")) && dir.mkdir(QStringLiteral("archive")));
        QVERIFY(writeJpeg(path(u"beach.jpg")) && writeJpeg(path(u"Dune.JPG")) && writeJpeg(path(u"Holidays/sea.jpg")));
        for (const char16_t* name : {u"gull.gif", u"Map.BMP", u"notes.txt", u"shot.png"})
            QVERIFY(QFile(path(name)).open(QIODevice::WriteOnly));
    }

    void cleanup()
    {
        m_window.reset();
        m_pictures.reset();
        m_program.reset();
    }

    void theFirstOpeningShowsTheProgramFolder()
    {
        frmBrowse window;
        const QString programFolder = QCoreApplication::applicationDirPath();
        QCOMPARE(window.windowTitle(), QStringLiteral("Browse"));
        QCOMPARE(window.Folder(), programFolder);
        QCOMPARE(control<QLabel>(window, "lblFolder")->text(), programFolder);
        const auto* patterns = control<QComboBox>(window, "cboFiletypes");
        QStringList offered;
        for (int i = 0; i < patterns->count(); ++i)
            offered << patterns->itemText(i);
        QCOMPARE(offered,
                 (QStringList{"*.BMP;*.GIF;*.JPG", "*.JPG", "*.GIF", "*.BMP", "*.ICO", "*.CUR", "*.WMF", "*.*"}));
        QCOMPARE(patterns->currentText(), offered.first());
        // The drive shown is the volume that holds the folder, by its root.
        QCOMPARE(control<QComboBox>(window, "Drive1")->currentText(), QStorageInfo(programFolder).rootPath());
    }

    void patternsMatchWithoutRegardToCapitals_data()
    {
        QTest::addColumn<int>("chosen"); // the pattern's place in the list, or -1 to type it
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("listed");
        const QStringList pictures{"beach.jpg", "Dune.JPG", "gull.gif", "Map.BMP"};
        QTest::newRow("the first pattern") << 0 << QString() << pictures;
        QTest::newRow("*.JPG chosen") << 1 << QString() << QStringList{"beach.jpg", "Dune.JPG"};
        QTest::newRow("*.* chosen") << 7 << QString() << (pictures + QStringList{"notes.txt", "shot.png"});
        QTest::newRow("two typed, spaced") << -1 << "*.png; *.TXT" << QStringList{"notes.txt", "shot.png"};
        QTest::newRow("unknown type") << -1 << "*.xyz" << QStringList();
        QTest::newRow("empty") << -1 << "" << QStringList();
        QTest::newRow("a path") << -1 << "Holidays/*.jpg" << QStringList();
        QTest::newRow("one part refused") << -1 << "*.JPG;*.[" << QStringList();
    }

    void patternsMatchWithoutRegardToCapitals()
    {
        QFETCH(int, chosen);
        QFETCH(QString, typed);
        QFETCH(QStringList, listed);
        frmBrowse& window = opened(m_pictures->path());
        // Start from a pattern other than the one chosen, so that choosing it must list again.
        typePattern(window, QStringLiteral("*.txt"));
        QCOMPARE(window.ListedFiles(), QStringList{"notes.txt"});
        if (chosen >= 0)
            choosePattern(window, chosen);
        else
            typePattern(window, typed);
        QCOMPARE(window.ListedFiles(), listed);
        QCOMPARE(m_program->messages().shown().size(), std::size_t(0));
        // Enter in the pattern box lists; it is no press of OK.
        QVERIFY(window.isVisible());
    }

    void foldersOpenAndLeadBackUpToTheDrive()
    {
        frmBrowse& window = opened(m_pictures->path());
        QCOMPARE(itemTexts(control<QListWidget>(window, "Dir1")), (QStringList{"..", "archive", "Holidays"}));
        openFolder(window, QStringLiteral("Holidays"));
        QCOMPARE(window.Folder(), path(u"Holidays"));
        QCOMPARE(control<QLabel>(window, "lblFolder")->text(), path(u"Holidays"));
        QCOMPARE(itemTexts(control<QListWidget>(window, "Dir1")), QStringList{".."});
        QCOMPARE(window.ListedFiles(), QStringList{"sea.jpg"});

        // Enter on ".." goes up, and does not close the window.
        auto* folders = control<QListWidget>(window, "Dir1");
        folders->setCurrentRow(0);
        QTest::keyClick(folders, Qt::Key_Return);
        QCOMPARE(window.Folder(), m_pictures->path());
        QVERIFY(window.isVisible());

        // Up and up again ends at the drive's root, which has no "..".
        for (int steps = 0; steps < 64 && itemTexts(control<QListWidget>(window, "Dir1")).value(0) == u".."; ++steps)
            openFolder(window, QStringLiteral(".."));
        QCOMPARE(window.Folder(), QStorageInfo(m_pictures->path()).rootPath());
        QCOMPARE(control<QComboBox>(window, "Drive1")->currentText(), window.Folder());
    }

    void aClickPreviewsAFileAnotherFolderClearsItAndADoubleClickChooses()
    {
        // A place that cannot be read, as a hand-edited settings file may hold, leaves the window its own.
        SaveSetting(QStringLiteral("StartUp"), QStringLiteral("frmBrowseTop"), QStringLiteral("top"));
        SaveSetting(QStringLiteral("StartUp"), QStringLiteral("frmBrowseWidth"), QStringLiteral("1e30"));
        SaveSetting(browse, startDir, m_pictures->path());
        frmBrowse window;
        QCOMPARE(window.size(), QSize(760, 420));
        runModal(window, [this](frmBrowse& shown) {
            const auto viewer = [&shown] { return control<ucImageViewer>(shown, "ucImageViewer1"); };
            clickFile(shown, QStringLiteral("beach.jpg"));
            QCOMPARE(viewer()->FileName(), path(u"beach.jpg"));
            QVERIFY(!viewer()->ShowsError());
            QVERIFY(!viewer()->ImageRect().isEmpty());
            QCOMPARE(m_program->messages().busyChanges(), (std::vector<bool>{true, false}));

            // The picture of a file of the folder left behind goes with it, without any error.
            openFolder(shown, QStringLiteral("Holidays"));
            QCOMPARE(shown.Folder(), path(u"Holidays"));
            QCOMPARE(viewer()->FileName(), QString());
            QVERIFY(viewer()->ImageRect().isEmpty());
            QVERIFY(!viewer()->ShowsError());

            clickFile(shown, QStringLiteral("sea.jpg"), true);
        });
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QCOMPARE(window.SelectedFile(), path(u"Holidays/sea.jpg"));
        QCOMPARE(m_program->messages().beeps(), 0);
        QVERIFY(m_program->messages().shown().empty());
    }

    void aTiffScanIsPreviewedAndF1InThePatternBoxOpensTheBrowsersHelp()
    {
        // TIFF comes from Qt's extra image format plugins, which the set-up installs.
        QVERIFY(QImageReader::supportedImageFormats().contains("tiff"));
        QImage scan(80, 60, QImage::Format_RGB32);
        scan.fill(Qt::darkYellow);
        QVERIFY(scan.save(path(u"scan.tif"), "TIFF"));
        frmBrowse& window = opened(m_pictures->path());
        typePattern(window, QStringLiteral("*.*"));
        clickFile(window, QStringLiteral("scan.tif"));
        const auto* viewer = control<ucImageViewer>(window, "ucImageViewer1");
        QVERIFY2(!viewer->ShowsError(), qPrintable(viewer->ErrorText()));
        QVERIFY(!viewer->ImageRect().isEmpty());

        m_program->addHelp();
        gHelpFile = m_program->filePath(QStringLiteral("Help/topics.map"));
        QTest::keyClick(control<QComboBox>(window, "cboFiletypes")->lineEdit(), Qt::Key_F1);
        frmHelp* help = nullptr;
        for (QWidget* shown : QApplication::topLevelWidgets()) {
            if (auto* found = qobject_cast<frmHelp*>(shown); found && found->isVisible())
                help = found;
        }
        QVERIFY(help);
        QCOMPARE(help->CurrentPage(), QStringLiteral("file-browser.html"));
        QVERIFY(m_program->messages().shown().empty());
        help->close();
    }

    void okGivesTheFullPathWithSingleSeparators()
    {
        // A saved folder written with a trailing and a doubled "/" still gives clean paths.
        SaveSetting(browse, startDir, m_pictures->path() + u"//Holidays/");
        frmBrowse window;
        runModal(window, [this](frmBrowse& shown) {
            QCOMPARE(shown.Folder(), path(u"Holidays"));
            clickFile(shown, QStringLiteral("sea.jpg"));
            click(shown, "cmdOK");
        });
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QCOMPARE(window.SelectedFile(), path(u"Holidays/sea.jpg"));

        // At the root the folder already ends in "/".
        const QStringList files = QDir(QStringLiteral("/")).entryList(QDir::Files | QDir::Readable);
        if (files.isEmpty())
            QSKIP("the root folder holds no readable file");
        frmBrowse& atRoot = opened(QStringLiteral("/"));
        typePattern(atRoot, QStringLiteral("*.*"));
        clickFile(atRoot, files.first());
        click(atRoot, "cmdOK");
        QCOMPARE(atRoot.SelectedFile(), u'/' + files.first());
    }

    void okWithoutAFileKeepsTheChoiceAndCancelClearsIt()
    {
        SaveSetting(browse, startDir, m_pictures->path());
        frmBrowse window;
        runModal(window, [](frmBrowse& shown) {
            typePattern(shown, QStringLiteral("*.JPG"));
            clickFile(shown, QStringLiteral("Dune.JPG"));
            click(shown, "cmdOK");
        });
        QCOMPARE(window.SelectedFile(), path(u"Dune.JPG"));
        // Entering a folder lists its files afresh: nothing is selected any more.
        runModal(window, [this](frmBrowse& shown) {
            openFolder(shown, QStringLiteral("archive"));
            QCOMPARE(shown.Folder(), path(u"archive"));
            click(shown, "cmdOK");
        });
        QCOMPARE(window.result(), int(QDialog::Accepted));
        QCOMPARE(window.SelectedFile(), path(u"Dune.JPG"));
        runModal(window, [](frmBrowse& shown) { click(shown, "cmdCancel"); });
        QCOMPARE(window.result(), int(QDialog::Rejected));
        QCOMPARE(window.SelectedFile(), QString());
        // Escape leaves as Cancel does, even after a file was chosen.
        runModal(window, [](frmBrowse& shown) {
            openFolder(shown, QStringLiteral(".."));
            clickFile(shown, QStringLiteral("beach.jpg"));
            click(shown, "cmdOK");
        });
        runModal(window, [](frmBrowse& shown) { QTest::keyClick(&shown, Qt::Key_Escape); });
        QCOMPARE(window.SelectedFile(), QString());
    }

    void theNextOpeningStartsWhereTheLastEnded()
    {
        for (const char* leaveWith : {"cmdOK", "cmdCancel"}) {
            SaveSetting(browse, startDir, m_pictures->path());
            {
                frmBrowse window;
                runModal(window, [&](frmBrowse& shown) {
                    openFolder(shown, QStringLiteral("Holidays"));
                    click(shown, leaveWith);
                });
            }
            QCOMPARE(GetSetting(browse, startDir), path(u"Holidays"));
            QVERIFY(!GetSetting(QStringLiteral("StartUp"), QStringLiteral("frmBrowseWidth")).isEmpty());
            const frmBrowse again;
            QCOMPARE(again.Folder(), path(u"Holidays"));
            QCOMPARE(again.ListedFiles(), QStringList{"sea.jpg"});
        }
    }

    void aDriveThatCannotBeReadGoesBackToTheSavedFolder_data()
    {
        QTest::addColumn<bool>("savedFolderGone");
        QTest::newRow("saved folder") << false;
        QTest::newRow("saved folder gone") << true;
    }

    void aDriveThatCannotBeReadGoesBackToTheSavedFolder()
    {
        QFETCH(bool, savedFolderGone);
        frmBrowse& window = opened(m_pictures->path());
        openFolder(window, QStringLiteral("Holidays"));
        QCOMPARE(window.Folder(), path(u"Holidays"));
        if (savedFolderGone)
            SaveSetting(browse, startDir, path(u"gone"));
        auto* drives = control<QComboBox>(window, "Drive1");
        const QString drive = drives->currentText();
        // A drive taken out since the list was filled.
        drives->addItem(path(u"unplugged"));
        drives->setCurrentIndex(drives->count() - 1);

        QCOMPARE(m_program->messages().shown().size(), std::size_t(1));
        const RecordingMessages::Shown& shown = m_program->messages().shown().front();
        QCOMPARE(shown.text, QStringLiteral("Drive not ready"));
        QCOMPARE(shown.buttons, MsgButtons::OK);
        QCOMPARE(shown.title, QStringLiteral("Vellaro"));
        const QString expected = savedFolderGone ? QCoreApplication::applicationDirPath() : m_pictures->path();
        QCOMPARE(window.Folder(), expected);
        QCOMPARE(drives->currentText(), savedFolderGone ? QStorageInfo(expected).rootPath() : drive);
        QVERIFY(window.isVisible());
    }

private:
    QString path(QStringView name) const { return QDir(m_pictures->path()).filePath(name.toString()); }

    // A window opened in the folder and showing, as the user sees it.
    frmBrowse& opened(const QString& folder)
    {
        SaveSetting(browse, startDir, folder);
        m_window = std::make_unique<frmBrowse>();
        m_window->show();
        if (!QTest::qWaitForWindowExposed(m_window.get()))
            qWarning("the browse window was not exposed");
        return *m_window;
    }

    std::unique_ptr<TestProgramFolder> m_program;
    std::unique_ptr<QTemporaryDir> m_pictures;
    std::unique_ptr<frmBrowse> m_window;
};

int runBrowseTest(int argc, char* argv[])
{
    BrowseTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "BrowseTest.moc"

#include "core/Failure.h"
#include "gui/shell/Icons.h"
#include "gui/shell/MainVellaro.h"
#include "core/Settings.h"
#include "gui/shell/frmHelp.h"
#include "data/cDataBase.h"
#include "data/cPhotos.h"
#include "support/ModalAnswer.h"
#include "support/MainWindowFixture.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

namespace {

// Stands in for child windows whose real windows come later.
mdiMain::ChildFactory fakeWindow(const QString& name)
{
    return [name](mdiMain&) {
        auto* window = new QLabel(name);
        window->setObjectName(name);
        return window;
    };
}

QString photoFile(int position)
{
    cPhotos photos;
    photos.GoFirst();
    for (int i = 1; i < position; ++i)
        photos.GoNext();
    return photos.Photo().FileName;
}

} // namespace

// The main window: its commands, the first run, Exit and help.
class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_folder = std::make_unique<TestProgramFolder>();
        m_folder->addHelp();
        m_folder->openCatalogue();
        gHelpFile = m_folder->filePath(QStringLiteral("Help/topics.map"));
    }
    void cleanup()
    {
        m_main.reset();
        m_folder.reset();
    }

    void everyMenuItemHasItsCaptionAndShortcut_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("shortcut");
        QTest::addColumn<bool>("enabled");
        // clang-format off
        QTest::newRow("labels") << "mnuFileLabels" << "Print &Labels" << "Ctrl+L" << true;
        QTest::newRow("backup") << "mnuFileBackUp" << "Backup Vellaro" << "Ctrl+B" << true;
        QTest::newRow("exit") << "mnuFileExit" << "E&xit  " << "Ctrl+Q" << true;
        QTest::newRow("photos") << "mnuViewPhotos" << "&Photos " << "Ctrl+P" << true;
        QTest::newRow("lists") << "mnuLists" << "&Lists" << "Ctrl+A" << true;
        QTest::newRow("explorer") << "mnuViewExplorer" << "&Explorer " << "Ctrl+E" << true;
        QTest::newRow("expand") << "mnuViewExpand" << "&Digital Information" << "Ctrl+D" << true;
        QTest::newRow("copy photo") << "mnuToolsCopyPhoto" << "&Copy Photo   " << "Ctrl+I" << true;
        QTest::newRow("find") << "mnuToolsFind" << "&Find       " << "Ctrl+F" << true;
        QTest::newRow("options") << "mnuToolsOptions" << "&Options...   " << "Ctrl+O" << true;
        QTest::newRow("import") << "mnuToolsImport" << "Import File&names" << "Ctrl+N" << true;
        QTest::newRow("contents") << "mnuHelpContents" << "&Contents..." << "" << true;
        QTest::newRow("about") << "mnuHelpAbout" << "&About" << "" << true;
        // clang-format on
    }
    void everyMenuItemHasItsCaptionAndShortcut()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, shortcut);
        QFETCH(bool, enabled);
        mdiMain& main = openMain();
        auto* item = main.findChild<QAction*>(name);
        QVERIFY(item);
        QCOMPARE(item->text(), caption);
        QCOMPARE(item->shortcut(), QKeySequence(shortcut));
        QCOMPARE(item->isEnabled(), enabled);
    }

    void theToolbarHasItsButtonsInOrderWithPictures()
    {
        mdiMain& main = openMain();
        auto* toolbar = main.findChild<QToolBar*>(QStringLiteral("Toolbar1"));
        QVERIFY(toolbar);
        QStringList keys;
        for (QAction* button : toolbar->actions())
            keys << button->objectName();
        QCOMPARE(keys, (QStringList{"Photos", "PhotoCopy", "Expand", "ImportFilenames", "photosep", "Lists", "Explorer",
                                    "FindSep", "Find", "Options", "Labels", "CopySep", QString(), "Exit"}));
        for (QAction* button : toolbar->actions()) {
            if (!button->isSeparator() && !button->objectName().isEmpty())
                QVERIFY2(!button->icon().isNull(), qPrintable(button->objectName()));
        }
        QCOMPARE(main.findChild<QAction*>(QStringLiteral("Exit"))->toolTip(), QStringLiteral("Exit the Vellaro"));
        QCOMPARE(main.findChild<QAction*>(QStringLiteral("Photos"))->toolTip(),
                 QStringLiteral("Edit, add, delete photos to the library"));
        QVERIFY(main.findChild<QAction*>(QStringLiteral("Expand"))->isCheckable());
        QCOMPARE(main.windowTitle(), QStringLiteral("Vellaro"));
        // The trees' pictures, in the order of their image list.
        QCOMPARE(TreeIconKeys(), (QStringList{"Lists", "States", "StorageDevices", "Camera", "CameraFlash"}));
        for (const QString& key : TreeIconKeys())
            QVERIFY2(!TreeIcon(key).isNull(), qPrintable(key));
    }

    void theExitButtonStaysAtTheRightEnd()
    {
        mdiMain& main = openMain();
        auto* toolbar = main.findChild<QToolBar*>(QStringLiteral("Toolbar1"));
        for (const int width : {760, 1400}) {
            main.resize(width, 600);
            QTest::qWait(20);
            QWidget* exit = toolbar->widgetForAction(main.findChild<QAction*>(QStringLiteral("Exit")));
            QWidget* labels = toolbar->widgetForAction(main.findChild<QAction*>(QStringLiteral("Labels")));
            QVERIFY(exit->geometry().right() >= toolbar->contentsRect().right() - 12);
            QVERIFY(exit->x() > labels->x());
        }
    }

    void aChildWindowOpensOnceAndComesToTheFront()
    {
        mdiMain& main = openMain();
        main.setChildFactory(QStringLiteral("frmExplorer"), fakeWindow(QStringLiteral("frmExplorer")));
        main.setChildFactory(QStringLiteral("frmFind"), fakeWindow(QStringLiteral("frmFind")));
        QVERIFY(main.findChild<QAction*>(QStringLiteral("mnuViewExplorer"))->isEnabled());
        QVERIFY(main.findChild<QAction*>(QStringLiteral("Explorer"))->isEnabled());
        main.findChild<QAction*>(QStringLiteral("mnuViewExplorer"))->trigger();
        main.findChild<QAction*>(QStringLiteral("Find"))->trigger();
        QCOMPARE(main.mdiArea()->activeSubWindow()->widget()->objectName(), QStringLiteral("frmFind"));
        main.findChild<QAction*>(QStringLiteral("mnuViewExplorer"))->trigger();
        int explorers = 0;
        for (QMdiSubWindow* frame : main.mdiArea()->subWindowList())
            explorers += frame->widget()->objectName() == u"frmExplorer" ? 1 : 0;
        QCOMPARE(explorers, 1);
        QCOMPARE(main.mdiArea()->activeSubWindow()->widget()->objectName(), QStringLiteral("frmExplorer"));
    }

    void theFirstRunTiesTheSamplePicturesAndOpensGettingStarted()
    {
        mdiMain& main = openMain();
        QCOMPARE(GetSetting(QStringLiteral("StartUp"), QStringLiteral("FirstTime")), QStringLiteral("False"));
        QVERIFY(main.windowState() & Qt::WindowMaximized);
        QCOMPARE(photoFile(1), m_folder->filePath(QStringLiteral("Lighthouse.jpg")));
        QCOMPARE(photoFile(2), m_folder->filePath(QStringLiteral("Geese.jpg")));
        QCOMPARE(photoFile(3), QString());
        auto* help = main.findChild<frmHelp*>(QStringLiteral("frmHelp"));
        QVERIFY(help && help->isVisible());
        QCOMPARE(help->CurrentPage(), QStringLiteral("getting-started.html"));
    }

    void aLaterRunKeepsThePlaceAndThePhotos()
    {
        SaveSetting(QStringLiteral("StartUp"), QStringLiteral("FirstTime"), QStringLiteral("False"));
        SaveSetting(QStringLiteral("StartUp"), QStringLiteral("mdiMainWidth"), QString::number(700 * 15));
        mdiMain& main = openMain();
        QVERIFY(!(main.windowState() & Qt::WindowMaximized));
        QCOMPARE(main.width(), 700);
        QCOMPARE(photoFile(1), QString());
        QVERIFY(!main.findChild<frmHelp*>(QStringLiteral("frmHelp")));
    }

    void aFirstRunKeepsFilesThePhotosAlreadyHave()
    {
        gDB->DB().Execute(QStringLiteral("UPDATE Photos SET FileName = '/home/me/own.jpg' WHERE PhotoID = 1"));
        openMain();
        QCOMPARE(photoFile(1), QStringLiteral("/home/me/own.jpg"));
        QCOMPARE(photoFile(2), m_folder->filePath(QStringLiteral("Geese.jpg")));
    }

    void exitRemembersTheOpenWindowsForTheNextStart()
    {
        SaveSetting(QStringLiteral("StartUp"), QStringLiteral("frmListsShown"), QStringLiteral("True"));
        {
            mdiMain& main = openMain();
            main.setChildFactory(QStringLiteral("frmExplorer"), fakeWindow(QStringLiteral("frmExplorer")));
            main.setChildFactory(QStringLiteral("frmFind"), fakeWindow(QStringLiteral("frmFind")));
            main.ShowChild(QStringLiteral("frmExplorer"));
            main.ShowChild(QStringLiteral("frmFind"));
            // Reopened at start, the lists window is closed again before Exit.
            QVERIFY(main.Child(QStringLiteral("frmLists")));
            main.Child(QStringLiteral("frmLists"))->parentWidget()->close();
            main.findChild<QAction*>(QStringLiteral("mnuFileExit"))->trigger();
            QVERIFY(!main.isVisible());
        }
        QCOMPARE(GetSetting(QStringLiteral("StartUp"), QStringLiteral("frmExplorerShown")), QStringLiteral("True"));
        QCOMPARE(GetSetting(QStringLiteral("StartUp"), QStringLiteral("frmFindShown")), QStringLiteral("True"));
        QCOMPARE(GetSetting(QStringLiteral("StartUp"), QStringLiteral("frmListsShown")), QStringLiteral("False"));
        QCOMPARE(GetSetting(QStringLiteral("StartUp"), QStringLiteral("frmHelpShown")), QStringLiteral("True"));

        m_main = makeMainWindow(*m_folder);
        for (const char* name : {"frmExplorer", "frmFind", "frmLists"})
            m_main->setChildFactory(QString::fromLatin1(name), fakeWindow(QString::fromLatin1(name)));
        m_main->Load();
        QVERIFY(m_main->Child(QStringLiteral("frmExplorer")));
        QVERIFY(m_main->Child(QStringLiteral("frmFind")));
        QVERIFY(!m_main->Child(QStringLiteral("frmLists")));
    }

    void closingByOtherMeansForgetsNothingAndRecordsNothing()
    {
        SaveSetting(QStringLiteral("StartUp"), QStringLiteral("frmFindShown"), QStringLiteral("True"));
        mdiMain& main = openMain();
        main.setChildFactory(QStringLiteral("frmExplorer"), fakeWindow(QStringLiteral("frmExplorer")));
        main.ShowChild(QStringLiteral("frmExplorer"));
        main.close();
        QVERIFY(!main.isVisible());
        QCOMPARE(GetSetting(QStringLiteral("StartUp"), QStringLiteral("frmExplorerShown")), QString());
        QCOMPARE(GetSetting(QStringLiteral("StartUp"), QStringLiteral("frmFindShown")), QStringLiteral("True"));
        QVERIFY(!GetSetting(QStringLiteral("StartUp"), QStringLiteral("mdiMainWidth")).isEmpty());
    }

    void helpOpensAtTheTopicAsked()
    {
        SaveSetting(QStringLiteral("StartUp"), QStringLiteral("FirstTime"), QStringLiteral("False"));
        mdiMain& main = openMain();
        main.findChild<QAction*>(QStringLiteral("mnuHelpContents"))->trigger();
        auto* help = main.findChild<frmHelp*>(QStringLiteral("frmHelp"));
        QVERIFY(help && help->isVisible());
        QCOMPARE(help->CurrentPage(), QStringLiteral("contents.html"));

        QTest::keyRelease(&main, Qt::Key_F1);
        QCOMPARE(help->CurrentPage(), QStringLiteral("main-window.html"));
        ShowHelp(700);
        QCOMPARE(help->CurrentPage(), QStringLiteral("options.html"));
        QCOMPARE(main.findChildren<frmHelp*>().size(), 1);
        QVERIFY(m_folder->messages().shown().empty());
    }

    void f1OpensTheHelpOfTheWindowWhereverTheFocusIs()
    {
        SaveSetting(QStringLiteral("StartUp"), QStringLiteral("FirstTime"), QStringLiteral("False"));
        // The help window's stored place cannot be read: it opens all the same.
        SaveSetting(QStringLiteral("StartUp"), QStringLiteral("frmHelpTop"), QStringLiteral("abc"));
        SaveSetting(QStringLiteral("StartUp"), QStringLiteral("frmHelpWidth"), QStringLiteral("1e40"));
        mdiMain& main = openMain();
        const auto page = [&main] {
            const auto* help = main.findChild<frmHelp*>(QStringLiteral("frmHelp"));
            return help && help->isVisible() ? help->CurrentPage() : QString();
        };
        QWidget* editor = main.Child(QStringLiteral("frmPhotos"));
        QVERIFY(editor);

        // Line edits and editable combos keep F1 from their window unless the program looks first.
        QTest::keyClick(editor->findChild<QLineEdit*>(QStringLiteral("txtPhotoID")), Qt::Key_F1);
        QCOMPARE(page(), QStringLiteral("photo-editor.html"));
        auto* help = main.findChild<frmHelp*>(QStringLiteral("frmHelp"));
        // A dialog-type window of the main window stays in front of it.
        QCOMPARE(help->parentWidget(), &main);
        QCOMPARE(help->windowType(), Qt::Dialog);
        QVERIFY(help->width() < 5000);
        // F1 in the help is help on the help: its contents. Escape closes it.
        QWidget* topic = help->findChild<QWidget*>(QStringLiteral("txtTopic"));
        QTest::keyClick(topic, Qt::Key_F1);
        QCOMPARE(page(), QStringLiteral("contents.html"));
        QTest::keyClick(topic, Qt::Key_Escape);
        QVERIFY(!help->isVisible());

        auto* combo = editor->findChild<QComboBox*>(QStringLiteral("cboPhotos(0)"));
        QVERIFY(combo && combo->isEditable());
        QTest::keyClick(combo->lineEdit(), Qt::Key_F1);
        QCOMPARE(page(), QStringLiteral("photo-editor.html"));
        QTest::keyRelease(&main, Qt::Key_F1);
        QCOMPARE(page(), QStringLiteral("main-window.html"));

        QString inOptions;
        whenModalShows([&](QWidget* options) {
            QVERIFY(options && options->objectName() == u"frmOptions");
            QTest::keyClick(options->findChild<QPlainTextEdit*>(QStringLiteral("txtCopyright")), Qt::Key_F1);
            inOptions = page();
            options->findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click();
        });
        main.findChild<QAction*>(QStringLiteral("mnuToolsOptions"))->trigger();
        QCOMPARE(inOptions, QStringLiteral("options.html"));
        QCOMPARE(main.findChildren<frmHelp*>().size(), 1);
        QVERIFY(m_folder->messages().shown().empty());
    }

    void aWindowThatCannotOpenSaysWhyAndTheProgramGoesOn()
    {
        SaveSetting(QStringLiteral("StartUp"), QStringLiteral("FirstTime"), QStringLiteral("False"));
        SaveSetting(QStringLiteral("StartUp"), QStringLiteral("frmListsShown"), QStringLiteral("True"));
        m_main = makeMainWindow(*m_folder);
        m_main->setChildFactory(QStringLiteral("frmLists"),
                                [](mdiMain&) -> QWidget* { throw Failure(ErrorNumber::CannotOpenFile); });
        m_main->Load();
        const QString reason = Failure::describe(ErrorNumber::CannotOpenFile);
        QCOMPARE(m_folder->messages().shown().size(), std::size_t(1));
        QCOMPARE(m_folder->messages().shown().back().text, reason);
        QVERIFY(m_main->Child(QStringLiteral("frmPhotos")));

        // The menu command and its button each say why, and nothing ends the program.
        m_main->findChild<QAction*>(QStringLiteral("mnuLists"))->trigger();
        m_main->findChild<QAction*>(QStringLiteral("Lists"))->trigger();
        QCOMPARE(m_folder->messages().shown().size(), std::size_t(3));
        QCOMPARE(m_folder->messages().shown().back().text, reason);
        QVERIFY(!m_main->Child(QStringLiteral("frmLists")));
    }

    void missingHelpSaysWhereItBelongs()
    {
        SaveSetting(QStringLiteral("StartUp"), QStringLiteral("FirstTime"), QStringLiteral("False"));
        QVERIFY(QDir(m_folder->filePath(QStringLiteral("Help"))).removeRecursively());
        mdiMain& main = openMain();
        main.findChild<QAction*>(QStringLiteral("mnuHelpContents"))->trigger();
        QCOMPARE(m_folder->messages().shown().size(), std::size_t(1));
        QCOMPARE(m_folder->messages().shown().front().text,
                 QStringLiteral("Please copy the Vellaro help files to the %1 directory.")
                     .arg(m_folder->filePath(QStringLiteral("Help"))));
    }

    void aboutShowsTheProgramAndItsVersion()
    {
        SaveSetting(QStringLiteral("StartUp"), QStringLiteral("FirstTime"), QStringLiteral("False"));
        mdiMain& main = openMain();
        QString title;
        QString version;
        whenModalShows([&](QWidget* about) {
            QVERIFY(about);
            title = about->findChild<QLineEdit*>(QStringLiteral("lblTitle"))->text();
            version = about->findChild<QLabel*>(QStringLiteral("lblVersion"))->text();
            QVERIFY(!about->findChild<QLineEdit*>(QStringLiteral("txtEMail"))->text().isEmpty());
            about->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
        });
        main.findChild<QAction*>(QStringLiteral("mnuHelpAbout"))->trigger();
        QCOMPARE(title, QStringLiteral("Vellaro"));
        QCOMPARE(version, QStringLiteral("Version 1.1.0"));
    }

private:
    mdiMain& openMain()
    {
        m_main = makeMainWindow(*m_folder);
        m_main->Load();
        m_main->show();
        return *m_main;
    }

    std::unique_ptr<TestProgramFolder> m_folder;
    std::unique_ptr<mdiMain> m_main;
};

int runMainWindowTest(int argc, char* argv[])
{
    MainWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "MainWindowTest.moc"

#include "ChildWindows.h"
#include "core/Failure.h"
#include "core/Settings.h"
#include "gui/shell/mdiMain.h"
#include "data/cDataBase.h"
#include "gui/import/frmBrowse.h"
#include "gui/controls/DatePicker.h"
#include "gui/photos/frmPhotos.h"
#include "gui/photos/frmViewPhoto.h"
#include "gui/controls/uc2ColCombo.h"
#include "gui/controls/ucImageViewer.h"
#include "support/CatalogueQueries.h"
#include "support/ModalAnswer.h"
#include "support/TestProgramFolder.h"

#include <QAction>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

// The editor's subjects, its digital file and copying a photo, driven as a user drives them.
class EditorSubjectsAndFilesTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_folder = std::make_unique<TestProgramFolder>();
        m_folder->openCatalogue();
        SaveSetting(QStringLiteral("StartUp"), QStringLiteral("FirstTime"), QStringLiteral("False"));
        m_main = std::make_unique<mdiMain>(m_folder->path());
        RegisterChildWindows(*m_main);
        m_main->show();
        QApplication::setActiveWindow(m_main.get());
        QVERIFY(QTest::qWaitForWindowActive(m_main.get()));
        openEditor();
    }
    void cleanup()
    {
        m_main.reset();
        m_folder.reset();
    }

    void subjectsAreLinkedOnceAndOnlyWhenThePhotoIsSaved()
    {
        // A subject chosen by typing is listed at once but linked only by Save.
        chooseSubject(QStringLiteral("do"));
        QCOMPARE(listed(), (QStringList{"Lighthouses", "Sunsets", "Dogs"}));
        QCOMPARE(button("cmdClose")->text(), QStringLiteral("&Cancel"));
        QCOMPARE(linkedSubjects(1).size(), 2);
        // Removed and chosen twice again, it is listed once.
        removeListed(QStringLiteral("Dogs"));
        chooseSubject(QStringLiteral("dogs"));
        chooseSubject(QStringLiteral("dogs"));
        QCOMPARE(listed(), (QStringList{"Lighthouses", "Sunsets", "Dogs"}));
        // Escape adds nothing, even after a subject was found by typing.
        startChoosing();
        QTest::keyClick(chooserEdit(), Qt::Key_Escape);
        QVERIFY(!chooser()->isVisible());
        startChoosing();
        QTest::keyClicks(chooserEdit(), QStringLiteral("hor"));
        QCOMPARE(chooser()->Text(), QStringLiteral("Horses"));
        QTest::keyClick(chooserEdit(), Qt::Key_Escape);
        button("cmdAddSubject")->setFocus();
        QCOMPARE(listed(), (QStringList{"Lighthouses", "Sunsets", "Dogs"}));
        click("cmdUpdate");
        QCOMPARE(linkedSubjects(1), (QStringList{"Dogs", "Lighthouses", "Sunsets"}));

        // Cancel undoes a removal.
        removeListed(QStringLiteral("Sunsets"));
        QCOMPARE(listed(), (QStringList{"Lighthouses", "Dogs"}));
        click("cmdClose");
        QCOMPARE(listed().size(), 3);
        QCOMPARE(linkedSubjects(1), (QStringList{"Dogs", "Lighthouses", "Sunsets"}));
        // Removed and saved, the link goes; one added and removed before saving leaves none.
        removeListed(QStringLiteral("Sunsets"));
        chooseSubject(QStringLiteral("horses"));
        removeListed(QStringLiteral("Horses"));
        click("cmdUpdate");
        QCOMPARE(linkedSubjects(1), (QStringList{"Dogs", "Lighthouses"}));
    }

    void copyingAPhotoRepeatsItUnderTheNextNumber()
    {
        gDB->DB().Execute(QStringLiteral("INSERT INTO Photos (PhotoID, Caption) VALUES (20, 'twenty')"));
        gDB->DB().Execute(
            QStringLiteral("UPDATE Photos SET Caption = '7: Lake, seen in 1977 and 7 again' WHERE PhotoID = 7"));
        gDB->DB().Execute(QStringLiteral("UPDATE Photos SET LocationID = 7, StorageLocationID = 3, NumberofLabels = 4, "
                                         "PrintLabel = 1, Comments = 'calm', FileName = ? WHERE PhotoID = 7"),
                          {m_folder->filePath(QStringLiteral("Geese.jpg"))});
        // A subject linked twice is copied once.
        gDB->DB().Execute(QStringLiteral("INSERT INTO PhotosSubjects (PhotoID, SubjectID) SELECT 7, SubjectID "
                                         "FROM Subjects WHERE Subject = 'Dogs'"));
        reopenEditor();
        click("cmdLast");
        click("cmdPrevious");
        QCOMPARE(text("txtPhotoID"), QStringLiteral("7"));
        m_main->findChild<QAction*>(QStringLiteral("mnuToolsCopyPhoto"))->trigger();

        // Only the number standing on its own is renumbered, not its digits inside 1977.
        QCOMPARE(photoField(21, "Caption").toString(), QStringLiteral("21: Lake, seen in 1977 and 21 again"));
        QCOMPARE(photoField(21, "DateTaken").toDate(), QDate(2005, 5, 30));
        QCOMPARE(photoField(21, "LocationID").toInt(), 7);
        QCOMPARE(photoField(21, "StorageLocationID").toInt(), 3);
        QCOMPARE(photoField(21, "NumberofLabels").toInt(), 4);
        QCOMPARE(photoField(21, "Comments").toString(), QStringLiteral("calm"));
        QCOMPARE(photoField(21, "FileName").toString(), m_folder->filePath(QStringLiteral("Geese.jpg")));
        QCOMPARE(linkedSubjects(21), QStringList{"Dogs"});
        QCOMPARE(button("cmdClose")->text(), QStringLiteral("&Close"));

        // A photo without a date is copied without one, through the toolbar button.
        click("cmdFirst");
        for (int i = 0; i < 5; ++i)
            click("cmdNext");
        QCOMPARE(text("txtPhotoID"), QStringLiteral("6"));
        m_main->findChild<QAction*>(QStringLiteral("PhotoCopy"))->trigger();
        QVERIFY(photoField(22, "DateTaken").isNull());
        QCOMPARE(photoField(22, "Caption").toString(), QStringLiteral("Portland Head Light"));
        QCOMPARE(linkedSubjects(22), QStringList{"Lighthouses"});
    }

    void theLargestNumberHasNoNextOneToAddOrCopyTo()
    {
        gDB->DB().Execute(QStringLiteral("UPDATE Photos SET PhotoID = 2147483647 WHERE PhotoID = 7"));
        reopenEditor();
        const QString overflow = Failure::describe(ErrorNumber::Overflow);
        click("cmdAdd");
        QCOMPARE(m_folder->messages().shown().size(), std::size_t(1));
        QCOMPARE(m_folder->messages().shown().back().text, overflow);
        QCOMPARE(text("txtPhotoID"), QStringLiteral("1"));
        QCOMPARE(button("cmdClose")->text(), QStringLiteral("&Close"));

        // Copying stops where adding failed: nothing is written, not even a second link.
        m_main->findChild<QAction*>(QStringLiteral("mnuToolsCopyPhoto"))->trigger();
        QCOMPARE(m_folder->messages().shown().size(), std::size_t(2));
        QCOMPARE(m_folder->messages().shown().back().text, overflow);
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM Photos")), 7);
        QCOMPARE(linkedSubjects(1), (QStringList{"Lighthouses", "Sunsets"}));
        QCOMPARE(button("cmdClose")->text(), QStringLiteral("&Close"));
        QCOMPARE(text("txtPhotoID"), QStringLiteral("1"));
    }

    void aSaveThatFailsStoresNothingAndCanBeRepeated()
    {
        const QString addBridges =
            QStringLiteral("INSERT INTO Subjects (SubjectID, CategoryID, Subject) "
                           "SELECT 90, CategoryID, 'Bridges' FROM Subjects WHERE Subject = 'Dogs'");
        gDB->DB().Execute(addBridges);
        click("cmdAdd");
        QCOMPARE(text("txtPhotoID"), QStringLiteral("8"));
        QTest::keyClicks(lineEdit("txtComments"), QStringLiteral("across"));
        chooseSubject(QStringLiteral("bri"));
        QCOMPARE(listed(), QStringList{"Bridges"});

        // Another program deletes the subject meanwhile: the link fails and the photo is not kept.
        gDB->DB().Execute(QStringLiteral("DELETE FROM Subjects WHERE SubjectID = 90"));
        click("cmdUpdate");
        QCOMPARE(m_folder->messages().shown().size(), std::size_t(1));
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM Photos WHERE PhotoID = 8")), 0);
        QCOMPARE(button("cmdClose")->text(), QStringLiteral("&Cancel"));
        QCOMPARE(listed(), QStringList{"Bridges"});
        QCOMPARE(text("txtComments"), QStringLiteral("across"));

        // The cause gone, Save stores everything.
        gDB->DB().Execute(addBridges);
        click("cmdUpdate");
        QCOMPARE(m_folder->messages().shown().size(), std::size_t(1));
        QCOMPARE(button("cmdClose")->text(), QStringLiteral("&Close"));
        QCOMPARE(photoField(8, "Comments").toString(), QStringLiteral("across"));
        QCOMPARE(linkedSubjects(8), QStringList{"Bridges"});
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM Photos")), 8);

        // A link that cannot be removed fails the save as well, and the photo's change goes with it.
        gDB->DB().Execute(QStringLiteral("CREATE TRIGGER KeepLinks BEFORE DELETE ON PhotosSubjects "
                                         "BEGIN SELECT RAISE(ABORT, 'kept'); END"));
        click("cmdFirst");
        const QString comments = photoField(1, "Comments").toString();
        QTest::keyClicks(lineEdit("txtComments"), QStringLiteral("!"));
        removeListed(QStringLiteral("Sunsets"));
        click("cmdUpdate");
        QCOMPARE(m_folder->messages().shown().size(), std::size_t(2));
        QCOMPARE(photoField(1, "Comments").toString(), comments);
        QCOMPARE(linkedSubjects(1), (QStringList{"Lighthouses", "Sunsets"}));
        QCOMPARE(button("cmdClose")->text(), QStringLiteral("&Cancel"));
        QCOMPARE(listed(), QStringList{"Lighthouses"});

        gDB->DB().Execute(QStringLiteral("DROP TRIGGER KeepLinks"));
        click("cmdUpdate");
        QCOMPARE(m_folder->messages().shown().size(), std::size_t(2));
        QCOMPARE(photoField(1, "Comments").toString(), u'!' + comments);
        QCOMPARE(linkedSubjects(1), QStringList{"Lighthouses"});
        // The editor still walks the photos in their order after the failed saves.
        click("cmdLast");
        QCOMPARE(text("txtPhotoID"), QStringLiteral("8"));
        click("cmdPrevious");
        QCOMPARE(text("txtPhotoID"), QStringLiteral("7"));
    }

    void aFileChosenInTheBrowserIsShownAndMarksTheChange()
    {
        QString listedInBrowser;
        whenModalShows([&](QWidget* window) {
            auto* browse = qobject_cast<frmBrowse*>(window);
            QVERIFY(browse);
            browse->setFolder(m_folder->path());
            listedInBrowser = browse->ListedFiles().join(u',');
            auto* files = browse->findChild<QListView*>(QStringLiteral("File1"));
            const int row = int(browse->ListedFiles().indexOf(QStringLiteral("Geese.jpg")));
            files->setCurrentIndex(files->model()->index(row, 0));
            browse->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
        });
        click("cmdBrowse");
        QCOMPARE(listedInBrowser, QStringLiteral("Geese.jpg,Lighthouse.jpg"));
        QCOMPARE(text("txtFileName"), m_folder->filePath(QStringLiteral("Geese.jpg")));
        QCOMPARE(viewer()->FileName(), m_folder->filePath(QStringLiteral("Geese.jpg")));
        QVERIFY(!viewer()->ShowsError());
        QVERIFY(button("cmdViewPhoto")->isEnabled());
        QCOMPARE(button("cmdClose")->text(), QStringLiteral("&Cancel"));
        click("cmdUpdate");
        QCOMPARE(photoField(1, "FileName").toString(), m_folder->filePath(QStringLiteral("Geese.jpg")));

        // Cancelling the browser changes nothing.
        whenModalShows([](QWidget* window) { window->findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click(); });
        click("cmdBrowse");
        QCOMPARE(text("txtFileName"), m_folder->filePath(QStringLiteral("Geese.jpg")));
        QCOMPARE(button("cmdClose")->text(), QStringLiteral("&Close"));
    }

    void aTypedFileNameIsShownOnEnterAndInTheViewerWindow()
    {
        QLineEdit* box = lineEdit("txtFileName");
        box->clear();
        QTest::keyClicks(box, m_folder->filePath(QStringLiteral("Lighthouse.jpg")));
        QVERIFY(viewer()->FileName().isEmpty());
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(viewer()->FileName(), m_folder->filePath(QStringLiteral("Lighthouse.jpg")));
        QCOMPARE(button("cmdClose")->text(), QStringLiteral("&Cancel"));

        QString shown;
        whenModalShows([&](QWidget* window) {
            QVERIFY(qobject_cast<frmViewPhoto*>(window));
            shown = window->findChild<ucImageViewer*>(QStringLiteral("ucImageViewer1"))->FileName();
            window->close();
        });
        click("cmdViewPhoto");
        QCOMPARE(shown, m_folder->filePath(QStringLiteral("Lighthouse.jpg")));
    }

    void theDefaultProgramGetsTheFileAsItsOnlyArgument()
    {
        QTemporaryDir desktop;
        const QByteArray savedHome = qgetenv("XDG_CONFIG_HOME");
        const QByteArray savedData = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(desktop.filePath(QStringLiteral("config"))));
        qputenv("XDG_DATA_HOME", QFile::encodeName(desktop.filePath(QStringLiteral("data"))));
        QDir().mkpath(desktop.filePath(QStringLiteral("config")));
        QDir().mkpath(desktop.filePath(QStringLiteral("data/applications")));
        const QString script = desktop.filePath(QStringLiteral("viewer.sh"));
        const QString record = desktop.filePath(QStringLiteral("arguments.txt"));
        writeFile(script, "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\" >> '" + QFile::encodeName(record) + "'; done\n");
        QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        writeFile(desktop.filePath(QStringLiteral("data/applications/vellaro-test-viewer.desktop")),
                  "[Desktop Entry]\nType=Application\nName=Viewer\nExec=\"" + QFile::encodeName(script) + "\" %U\n");
        writeFile(desktop.filePath(QStringLiteral("config/mimeapps.list")),
                  "[Default Applications]\nimage/jpeg=vellaro-test-viewer.desktop;\n");

        lineEdit("txtFileName")->setText(m_folder->filePath(QStringLiteral("Geese.jpg")));
        QTest::keyClick(lineEdit("txtFileName"), Qt::Key_Return);
        click("cmdEditPhoto");
        const auto recorded = [&record] {
            QFile arguments(record);
            return arguments.open(QIODevice::ReadOnly) ? QString::fromUtf8(arguments.readAll()).trimmed() : QString();
        };
        QTRY_COMPARE(recorded(), m_folder->filePath(QStringLiteral("Geese.jpg")));

        // A file type with no program says so; one without a command offers the help.
        QFile::copy(m_folder->filePath(QStringLiteral("Geese.jpg")), m_folder->filePath(QStringLiteral("Geese.gif")));
        writeFile(m_folder->filePath(QStringLiteral("notes.vellaro-nothing")), "not a picture");
        lineEdit("txtFileName")->setText(m_folder->filePath(QStringLiteral("notes.vellaro-nothing")));
        QTest::keyClick(lineEdit("txtFileName"), Qt::Key_Return);
        click("cmdEditPhoto");
        QCOMPARE(m_folder->messages().shown().back().text, QStringLiteral("Unable to launch default application."));
        lineEdit("txtFileName")->setText(m_folder->filePath(QStringLiteral("Geese.gif")));
        QTest::keyClick(lineEdit("txtFileName"), Qt::Key_Return);
        m_folder->messages().setNextAnswer(MsgAnswer::No);
        click("cmdEditPhoto");
        QCOMPARE(m_folder->messages().shown().back().text,
                 QStringLiteral("No Default Program set for this filetype. Display Help?"));
        QCOMPARE(m_folder->messages().shown().back().title, QStringLiteral("View Error"));
        qputenv("XDG_CONFIG_HOME", savedHome);
        qputenv("XDG_DATA_HOME", savedData);
    }

private:
    void openEditor()
    {
        m_main->ShowChild(QStringLiteral("frmPhotos"));
        m_editor = qobject_cast<frmPhotos*>(m_main->Child(QStringLiteral("frmPhotos")));
        QVERIFY(m_editor);
    }

    // The editor reads the photos when it opens; changes made behind its back need a new one.
    void reopenEditor()
    {
        qobject_cast<QMdiSubWindow*>(m_editor->parentWidget())->close();
        QTRY_VERIFY(!m_main->Child(QStringLiteral("frmPhotos")));
        openEditor();
    }

    QPushButton* button(const char* name) const { return m_editor->findChild<QPushButton*>(QString::fromLatin1(name)); }
    void click(const char* name) const { button(name)->click(); }
    QLineEdit* lineEdit(const char* name) const { return m_editor->findChild<QLineEdit*>(QString::fromLatin1(name)); }
    QString text(const char* name) const { return lineEdit(name)->text(); }
    uc2ColCombo* chooser() const { return m_editor->findChild<uc2ColCombo*>(QStringLiteral("cboSubjects")); }
    QLineEdit* chooserEdit() const { return chooser()->combo()->lineEdit(); }
    ucImageViewer* viewer() const { return m_editor->findChild<ucImageViewer*>(QStringLiteral("ucImageViewer1")); }

    QStringList listed() const
    {
        QStringList names;
        auto* list = m_editor->findChild<QListWidget*>(QStringLiteral("lstSubjects"));
        for (int i = 0; i < list->count(); ++i)
            names << list->item(i)->text();
        return names;
    }

    void startChoosing()
    {
        click("cmdAddSubject");
        QVERIFY(chooser()->isVisible());
        chooser()->HideDropDown();
        chooser()->combo()->setFocus();
    }

    // Chooses a subject as a user does: types its start into the subject combo and presses Enter.
    void chooseSubject(const QString& typed)
    {
        startChoosing();
        QTest::keyClicks(chooserEdit(), typed);
        QTest::keyClick(chooserEdit(), Qt::Key_Return);
        QTRY_VERIFY(!chooser()->isVisible());
    }

    void removeListed(const QString& name)
    {
        auto* list = m_editor->findChild<QListWidget*>(QStringLiteral("lstSubjects"));
        list->setFocus();
        list->setCurrentItem(list->findItems(name, Qt::MatchExactly).front());
        QTest::keyClick(list, Qt::Key_Delete);
    }

    static void writeFile(const QString& path, const QByteArray& content)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    std::unique_ptr<TestProgramFolder> m_folder;
    std::unique_ptr<mdiMain> m_main;
    frmPhotos* m_editor = nullptr;
};

int runEditorSubjectsAndFilesTest(int argc, char* argv[])
{
    EditorSubjectsAndFilesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "EditorSubjectsAndFilesTest.moc"

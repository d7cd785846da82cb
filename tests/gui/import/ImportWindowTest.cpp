#include "core/Settings.h"
#include "data/cDataBase.h"
#include "gui/controls/DatePicker.h"
#include "gui/controls/uc2ColCombo.h"
#include "gui/import/frmImport.h"
#include "gui/shell/frmHelp.h"
#include "support/CatalogueQueries.h"
#include "support/FileFaults.h"
#include "support/Controls.h"
#include "support/MainWindowFixture.h"
#include "support/TaggedPictures.h"

#include <QAction>
#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

// The import window driven as a user drives it, from the main window's menu to the editor it
// opens when it closes.
class ImportWindowTest : public MainWindowTestCase
{
    Q_OBJECT

private:
    void setUp() override
    {
        m_main = showMainWindow(*m_folder);
        m_main->ShowChild(QStringLiteral("frmPhotos"));
        QVERIFY(m_main->Child(QStringLiteral("frmPhotos")));
    }

private slots:
    void aFolderBecomesPhotosSharingWhatWasFilledIn()
    {
        QTemporaryDir card;
        for (const char* name : {"dsc1.jpg", "dsc2.jpg", "notes.txt"})
            writeFile(card.filePath(QString::fromLatin1(name)));
        // Files in a subfolder are not the folder's own.
        QDir(card.path()).mkdir(QStringLiteral("thumbs"));
        writeFile(card.filePath(QStringLiteral("thumbs/dsc1.jpg")));

        openImport();
        QVERIFY(!m_main->Child(QStringLiteral("frmPhotos")));
        QCOMPARE(m_import->windowTitle(), QStringLiteral("Import"));
        QCOMPARE(m_import->findChild<QGroupBox*>(QStringLiteral("fraDirectory"))->title(), QStringLiteral("Directory"));
        QCOMPARE(m_import->findChild<QGroupBox*>(QStringLiteral("fraApply"))->title(),
                 QStringLiteral("Apply to all imported photos"));
        QCOMPARE(button("cmdDir(1)")->toolTip(), QStringLiteral("Select directory form"));
        QCOMPARE(lineEdit("txtExportDir")->toolTip(), QStringLiteral("Directory where files should be moved to"));
        QVERIFY(lineEdit("txtImportDir")->text().isEmpty());
        QVERIFY(!button("cmdImport")->isEnabled());
        QVERIFY(!button("cmdMove")->isEnabled());
        QVERIFY(picker()->Value().isNull());

        // The folder dialog opens at the folder last chosen under its caption; OK puts it into the
        // box, which enables Import, and Cancel changes nothing.
        SaveSetting(QStringLiteral("Import Filenames from..."), QStringLiteral("Dir"), card.path());
        QString caption;
        QString help;
        whenModalShows([&](QWidget* dialog) {
            QVERIFY(dialog);
            caption = dialog->windowTitle();
            QTest::keyRelease(dialog, Qt::Key_F1);
            help = helpPage();
            dialog->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
        });
        click("cmdDir(0)");
        QCOMPARE(caption, QStringLiteral("Import Filenames from..."));
        QCOMPARE(help, QStringLiteral("folder-dialog.html"));
        QCOMPARE(lineEdit("txtImportDir")->text(), card.path());
        QVERIFY(button("cmdImport")->isEnabled());
        whenModalShows([&](QWidget* dialog) {
            QVERIFY(dialog);
            caption = dialog->windowTitle();
            dialog->findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click();
        });
        click("cmdDir(1)");
        QCOMPARE(caption, QStringLiteral("Move files to..."));
        QVERIFY(lineEdit("txtExportDir")->text().isEmpty());
        QVERIFY(!button("cmdMove")->isEnabled());
        QApplication::setActiveWindow(m_main.get());
        QVERIFY(QTest::qWaitForWindowActive(m_main.get()));
        // Emptying the box disables Import again; typing a folder enables it.
        lineEdit("txtImportDir")->clear();
        QVERIFY(!button("cmdImport")->isEnabled());
        QTest::keyClicks(lineEdit("txtImportDir"), card.path());
        QVERIFY(button("cmdImport")->isEnabled());
        QVERIFY(!button("cmdMove")->isEnabled());

        QTest::keyClicks(m_import->findChild<QPlainTextEdit*>(QStringLiteral("txtCaption")),
                         QStringLiteral("Beach week"));
        // The date takes digits only.
        picker()->setValue(QDate(2006, 7, 1));
        const int beeps = m_folder->messages().beeps();
        QTest::keyClick(picker()->dateEdit(), Qt::Key_X);
        QCOMPARE(m_folder->messages().beeps(), beeps + 1);
        QCOMPARE(picker()->Value().toDate(), QDate(2006, 7, 1));

        // Each confirmed place moves the focus on to the next field.
        chooseByTyping(combo("cboPhotos(0)"), QStringLiteral("mai"));
        QCOMPARE(QApplication::focusWidget(), coded(0)->combo());
        chooseByTyping(coded(0)->combo(), QStringLiteral("pem"));
        QCOMPARE(coded(0)->Text(), QStringLiteral("Pemaquid Point"));
        QCOMPARE(QApplication::focusWidget(), button("cmdAddSubject"));
        chooseByTyping(combo("cboPhotos(1)"), QStringLiteral("alb"));
        chooseByTyping(coded(1)->combo(), QStringLiteral("album 1"));
        QCOMPARE(QApplication::focusWidget(), lineEdit("txtComments"));
        QTest::keyClicks(lineEdit("txtComments"), QStringLiteral("from the card"));

        // Two subjects kept, one removed; one removed and chosen again is listed and linked again.
        chooseSubject(QStringLiteral("do"));
        chooseSubject(QStringLiteral("lig"));
        chooseSubject(QStringLiteral("sun"));
        removeListed(QStringLiteral("Sunsets"));
        removeListed(QStringLiteral("Dogs"));
        chooseSubject(QStringLiteral("dogs"));
        QCOMPARE(listed(), (QStringList{"Lighthouses", "Dogs"}));
        lineEdit("txtNumberofLabels")->setText(QStringLiteral("3"));

        click("cmdImport");
        const auto& shown = m_folder->messages().shown();
        QCOMPARE(shown.size(), std::size_t(2));
        QCOMPARE(shown[0].text, QStringLiteral("3 files found. Import?"));
        QCOMPARE(shown[0].buttons, MsgButtons::YesNo);
        QCOMPARE(shown[0].icon, MsgIcon::Question);
        QCOMPARE(shown[0].title, QStringLiteral("Import Filenames"));
        QCOMPARE(shown[1].text, QStringLiteral("3 files added to Vellaro."));
        QCOMPARE(shown[1].title, QStringLiteral("Vellaro"));
        QCOMPARE(button("cmdCancel")->text(), QStringLiteral("Close"));
        QCOMPARE(GetSetting(QStringLiteral("ImportExport"), QStringLiteral("ImportDir")), card.path());

        QStringList files;
        for (int id = 8; id <= 10; ++id) {
            files << photoField(id, "FileName").toString();
            QCOMPARE(photoField(id, "Caption").toString(), QStringLiteral("Beach week"));
            QCOMPARE(photoField(id, "DateTaken").toDate(), QDate(2006, 7, 1));
            QCOMPARE(photoField(id, "LocationID"), photoField(1, "LocationID"));
            QCOMPARE(photoField(id, "StorageLocationID"), photoField(1, "StorageLocationID"));
            QCOMPARE(photoField(id, "NumberofLabels").toInt(), 3);
            QCOMPARE(photoField(id, "PrintLabel").toInt(), 1);
            QCOMPARE(photoField(id, "Comments").toString(), QStringLiteral("from the card"));
            QCOMPARE(linkedSubjects(id), (QStringList{"Dogs", "Lighthouses"}));
        }
        files.sort();
        QCOMPARE(files,
                 (QStringList{card.filePath(QStringLiteral("dsc1.jpg")), card.filePath(QStringLiteral("dsc2.jpg")),
                              card.filePath(QStringLiteral("notes.txt"))}));
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM Photos")), 10);

        // Closing opens the editor at the last photo, the last one imported.
        click("cmdCancel");
        QTRY_VERIFY(!m_main->Child(QStringLiteral("frmImport")));
        QWidget* editor = m_main->Child(QStringLiteral("frmPhotos"));
        QVERIFY(editor);
        QCOMPARE(editor->findChild<QLineEdit*>(QStringLiteral("txtPhotoID"))->text(), QStringLiteral("10"));
    }

    void nothingIsAddedWithoutFilesAYesOrAValidLabelCount()
    {
        QTemporaryDir empty;
        QTemporaryDir two;
        writeFile(two.filePath(QStringLiteral("a.jpg")));
        writeFile(two.filePath(QStringLiteral("b.jpg")));
        openImport();
        auto& messages = m_folder->messages();

        QTest::keyClicks(lineEdit("txtImportDir"), empty.path());
        click("cmdImport");
        QCOMPARE(messages.shown().size(), std::size_t(1));
        QCOMPARE(messages.shown().back().text, QStringLiteral("No files found."));
        QCOMPARE(messages.shown().back().icon, MsgIcon::Information);
        QCOMPARE(messages.shown().back().title, QStringLiteral("Vellaro"));

        lineEdit("txtImportDir")->setText(two.path());
        messages.setNextAnswer(MsgAnswer::No);
        click("cmdImport");
        QCOMPARE(messages.shown().size(), std::size_t(2));
        QCOMPARE(messages.shown().back().text, QStringLiteral("2 files found. Import?"));

        // A label count that is no number stops the import before anything is added.
        lineEdit("txtNumberofLabels")->setText(QStringLiteral("two"));
        click("cmdImport");
        QCOMPARE(messages.shown().size(), std::size_t(4));
        QVERIFY2(messages.shown().back().text.startsWith(QStringLiteral("No photos were added. The number of labels")),
                 qPrintable(messages.shown().back().text));
        // A folder that does not exist is reported as such.
        lineEdit("txtImportDir")->setText(two.filePath(QStringLiteral("gone")));
        click("cmdImport");
        QCOMPARE(messages.shown().size(), std::size_t(5));
        QVERIFY(messages.shown().back().text.contains(two.filePath(QStringLiteral("gone"))));
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM Photos")), 7);
        QCOMPARE(button("cmdCancel")->text(), QStringLiteral("&Cancel"));
        QVERIFY(GetSetting(QStringLiteral("ImportExport"), QStringLiteral("ImportDir")).isEmpty());

        // F1 opens the window's own help.
        QTest::keyClick(lineEdit("txtImportDir"), Qt::Key_F1);
        QCOMPARE(helpPage(), QStringLiteral("import.html"));
        m_main->findChild<frmHelp*>(QStringLiteral("frmHelp"))->close();

        // Exit closes the window without opening the editor, which would keep the program open.
        m_main->findChild<QAction*>(QStringLiteral("mnuFileExit"))->trigger();
        QVERIFY(!m_main->isVisible());
        QVERIFY(!m_main->Child(QStringLiteral("frmPhotos")));
        QCOMPARE(GetSetting(QStringLiteral("StartUp"), QStringLiteral("frmPhotosShown")), QString());
    }

    void moveThenImportRefusesToOverwriteAndElseMovesEveryFile()
    {
        QTemporaryDir source;
        QTemporaryDir destination;
        const QStringList names = {"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg"};
        for (const QString& name : names)
            writeFile(source.filePath(name), name.toLatin1());
        writeFile(destination.filePath(QStringLiteral("c.jpg")), "older");
        openImport();
        // An editor opened beside the import holds the photos as they were before it.
        m_main->findChild<QAction*>(QStringLiteral("mnuViewPhotos"))->trigger();
        QVERIFY(m_main->Child(QStringLiteral("frmPhotos")));
        auto& messages = m_folder->messages();
        messages.clear();

        // The same folder in other capitals is no move at all.
        lineEdit("txtImportDir")->setText(source.path());
        lineEdit("txtExportDir")->setText(source.path().toUpper());
        QVERIFY(button("cmdMove")->isEnabled());
        click("cmdMove");
        QVERIFY(messages.shown().empty());
        QVERIFY(messages.busyChanges().empty());

        // One file already at the destination stops everything before it starts.
        lineEdit("txtExportDir")->setText(destination.path());
        click("cmdMove");
        QCOMPARE(messages.shown().size(), std::size_t(2));
        QCOMPARE(messages.shown().front().text, QStringLiteral("5 files found. Import?"));
        const auto& conflict = messages.shown().back();
        QCOMPARE(conflict.text, QStringLiteral("The file ") + destination.filePath(QStringLiteral("c.jpg")) +
                                    QStringLiteral(" already exists.\nNo files were added to Vellaor.\nYou may:\n"
                                                   "1) Use Import (without Move) \n"
                                                   "2) Select a different directory to move the files to, or\n"
                                                   "3) Delete the existing files and try 'Move Then Import' again."));
        QCOMPARE(conflict.icon, MsgIcon::Exclamation);
        QCOMPARE(conflict.buttons, MsgButtons::OK);
        QCOMPARE(conflict.title, QStringLiteral("Import Error"));
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM Photos")), 7);
        QCOMPARE(QDir(source.path()).entryList(QDir::Files).size(), 5);
        QCOMPARE(QDir(destination.path()).entryList(QDir::Files), QStringList{"c.jpg"});
        QCOMPARE(messages.busyChanges(), (std::vector<bool>{true, false}));
        QCOMPARE(GetSetting(QStringLiteral("ImportExport"), QStringLiteral("ExportDir")), destination.path());
        QCOMPARE(button("cmdCancel")->text(), QStringLiteral("&Cancel"));

        QVERIFY(QFile::remove(destination.filePath(QStringLiteral("c.jpg"))));
        click("cmdMove");
        QCOMPARE(messages.shown().size(), std::size_t(4));
        QCOMPARE(messages.shown().back().text, QStringLiteral("Moved 5 files and added them to Vellaro."));
        QCOMPARE(messages.busyChanges().back(), false);
        QVERIFY(QDir(source.path()).entryList(QDir::Files).isEmpty());
        QCOMPARE(QDir(destination.path()).entryList(QDir::Files), names);
        QStringList files;
        for (int id = 8; id <= 12; ++id)
            files << photoField(id, "FileName").toString();
        files.sort();
        QStringList expected;
        for (const QString& name : names)
            expected << destination.filePath(name);
        QCOMPARE(files, expected);
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM Photos")), 12);
        QCOMPARE(button("cmdCancel")->text(), QStringLiteral("Close"));

        // A file that goes missing once counted cannot be moved: the photos stay added and the
        // user is told which file and why.
        writeFile(source.filePath(QStringLiteral("f.jpg")));
        writeFile(source.filePath(QStringLiteral("g.jpg")));
        messages.setOnShow([&source](const RecordingMessages::Shown& shown) {
            if (shown.text == u"2 files found. Import?")
                QFile::remove(source.filePath(QStringLiteral("g.jpg")));
        });
        click("cmdMove");
        messages.setOnShow({});
        QCOMPARE(messages.shown().size(), std::size_t(6));
        const QString failed = messages.shown().back().text;
        QVERIFY2(failed.startsWith(QStringLiteral("Error moving file ") + source.filePath(QStringLiteral("g.jpg")) +
                                   QStringLiteral(". ")),
                 qPrintable(failed));
        QVERIFY2(failed.endsWith(QStringLiteral("\n The filenames have been added but may not have been moved.")),
                 qPrintable(failed));
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM Photos")), 14);
        QCOMPARE(messages.busyChanges().back(), false);
        // Every photo names the place of its file: f.jpg where it is now, moved or not, and the
        // vanished g.jpg where it was.
        for (int id : {13, 14}) {
            const QString path = photoField(id, "FileName").toString();
            if (path.endsWith(u"f.jpg"))
                QVERIFY2(QFile::exists(path), qPrintable(path));
            else
                QCOMPARE(path, source.filePath(QStringLiteral("g.jpg")));
        }

        // Closing brings the editor forward at the last photo imported, though it opened before.
        click("cmdCancel");
        QTRY_VERIFY(!m_main->Child(QStringLiteral("frmImport")));
        QCOMPARE(
            m_main->Child(QStringLiteral("frmPhotos"))->findChild<QLineEdit*>(QStringLiteral("txtPhotoID"))->text(),
            QStringLiteral("14"));
    }

    void eachPictureGivesItsOwnDateAndTheRestTakeTheWindowsDate()
    {
        QTemporaryDir card;
        QTemporaryDir archive;
        const std::string original = "Exif.Photo.DateTimeOriginal";
        const auto fillCard = [&] {
            writeTaggedPicture(card.filePath(QStringLiteral("beach.jpg")), {{original, "2019:07:14 10:22:01"}});
            writeTaggedPicture(card.filePath(QStringLiteral("light.jpg")), {{original, "2003:08:14 19:45:00"}});
            writeTaggedPicture(card.filePath(QStringLiteral("plain.jpg")));
            writeTaggedPicture(card.filePath(QStringLiteral("reset clock.jpg")), {{original, "2019:13:01 10:00:00"}});
            writeFile(card.filePath(QStringLiteral("notes.txt")));
        };
        fillCard();
        openImport();
        auto* useDates = m_import->findChild<QCheckBox*>(QStringLiteral("chkPictureDates"));
        QVERIFY(useDates);
        QCOMPARE(useDates->text(), QStringLiteral("Use the date each picture was taken"));
        QVERIFY(useDates->isChecked());

        lineEdit("txtImportDir")->setText(card.path());
        picker()->setValue(QDate(2006, 7, 1));
        click("cmdImport");
        QCOMPARE(m_folder->messages().shown().back().text, QStringLiteral("5 files added to Vellaro."));
        const QString shared = QStringLiteral("2006-07-01");
        QCOMPARE(datesByFile(8, 12), (QStringList{"beach.jpg 2019-07-14", "light.jpg 2003-08-14", "notes.txt " + shared,
                                                  "plain.jpg " + shared, "reset clock.jpg " + shared}));

        // Without a date in the window, the pictures that tell none stay without one.
        picker()->setValue(QVariant());
        click("cmdImport");
        QCOMPARE(datesByFile(13, 17), (QStringList{"beach.jpg 2019-07-14", "light.jpg 2003-08-14", "notes.txt none",
                                                   "plain.jpg none", "reset clock.jpg none"}));

        // Move Then Import reads each picture before moving it.
        lineEdit("txtExportDir")->setText(archive.path());
        click("cmdMove");
        QCOMPARE(m_folder->messages().shown().back().text, QStringLiteral("Moved 5 files and added them to Vellaro."));
        QCOMPARE(datesByFile(18, 22), (QStringList{"beach.jpg 2019-07-14", "light.jpg 2003-08-14", "notes.txt none",
                                                   "plain.jpg none", "reset clock.jpg none"}));
        QCOMPARE(photoField(18, "FileName").toString().section(u'/', 0, -2), archive.path());

        // Cleared, the box gives every photo the window's date, and the window remembers it.
        useDates->click();
        fillCard();
        picker()->setValue(QDate(2006, 7, 1));
        click("cmdImport");
        QCOMPARE(datesByFile(23, 27), (QStringList{"beach.jpg " + shared, "light.jpg " + shared, "notes.txt " + shared,
                                                   "plain.jpg " + shared, "reset clock.jpg " + shared}));
        click("cmdCancel");
        QTRY_VERIFY(!m_main->Child(QStringLiteral("frmImport")));
        openImport();
        QVERIFY(!m_import->findChild<QCheckBox*>(QStringLiteral("chkPictureDates"))->isChecked());
        m_import->findChild<QCheckBox*>(QStringLiteral("chkPictureDates"))->click();
        click("cmdCancel");
        QTRY_VERIFY(!m_main->Child(QStringLiteral("frmImport")));
        openImport();
        QVERIFY(m_import->findChild<QCheckBox*>(QStringLiteral("chkPictureDates"))->isChecked());
    }

private:
    void openImport()
    {
        m_main->findChild<QAction*>(QStringLiteral("mnuToolsImport"))->trigger();
        m_import = qobject_cast<frmImport*>(m_main->Child(QStringLiteral("frmImport")));
        QVERIFY(m_import);
        // What the editor showed before is no concern of the import.
        m_folder->messages().clear();
    }

    QPushButton* button(const char* name) const { return m_import->findChild<QPushButton*>(QString::fromLatin1(name)); }
    void click(const char* name) const { button(name)->click(); }
    QLineEdit* lineEdit(const char* name) const { return m_import->findChild<QLineEdit*>(QString::fromLatin1(name)); }
    QComboBox* combo(const char* name) const { return m_import->findChild<QComboBox*>(QString::fromLatin1(name)); }
    uc2ColCombo* coded(int index) const
    {
        return m_import->findChild<uc2ColCombo*>(QStringLiteral("cboCodedPhoto(%1)").arg(index));
    }
    DatePicker* picker() const { return m_import->findChild<DatePicker*>(QStringLiteral("dtpTaken")); }
    uc2ColCombo* chooser() const { return m_import->findChild<uc2ColCombo*>(QStringLiteral("cboSubjects")); }

    // The page the help window shows, empty while it is closed.
    QString helpPage() const
    {
        const auto* help = m_main->findChild<frmHelp*>(QStringLiteral("frmHelp"));
        return help && help->isVisible() ? help->CurrentPage() : QString();
    }

    // "name date" for each photo of these numbers, by the name of its file, sorted; "none" for no date.
    static QStringList datesByFile(int first, int last)
    {
        QStringList dates;
        for (int id = first; id <= last; ++id) {
            const QVariant date = photoField(id, "DateTaken");
            dates << photoField(id, "FileName").toString().section(u'/', -1) + u' ' +
                         (date.isNull() ? QStringLiteral("none") : date.toDate().toString(Qt::ISODate));
        }
        dates.sort();
        return dates;
    }

    QStringList listed() const { return itemTexts(m_import->findChild<QListWidget*>(QStringLiteral("lstSubjects"))); }

    // Types the start of an entry into a combo that has the focus and confirms it with Enter.
    static void chooseByTyping(QComboBox* box, const QString& typed)
    {
        box->setFocus();
        QTest::keyClicks(box->lineEdit(), typed);
        QTest::keyClick(box->lineEdit(), Qt::Key_Return);
    }

    void chooseSubject(const QString& typed)
    {
        click("cmdAddSubject");
        QVERIFY(chooser()->isVisible());
        chooser()->HideDropDown();
        chooser()->combo()->setFocus();
        QTest::keyClicks(chooser()->combo()->lineEdit(), typed);
        QTest::keyClick(chooser()->combo()->lineEdit(), Qt::Key_Return);
        QTRY_VERIFY(!chooser()->isVisible());
    }

    void removeListed(const QString& name)
    {
        auto* list = m_import->findChild<QListWidget*>(QStringLiteral("lstSubjects"));
        list->setFocus();
        list->setCurrentItem(list->findItems(name, Qt::MatchExactly).front());
        QTest::keyClick(list, Qt::Key_Delete);
    }

    frmImport* m_import = nullptr;
};

int runImportWindowTest(int argc, char* argv[])
{
    ImportWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ImportWindowTest.moc"

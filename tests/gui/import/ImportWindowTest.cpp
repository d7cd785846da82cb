#include "core/Settings.h"
#include "data/FolderImport.h"
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
#include <QCryptographicHash>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
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

        // Without a date in the window, the pictures that tell none stay without one. The same
        // pictures come in again, so each import below is told to take them anyway.
        Listed again;
        picker()->setValue(QVariant());
        answerDuplicates("cmdImportAnyway", again);
        click("cmdImport");
        QCOMPARE(datesByFile(13, 17), (QStringList{"beach.jpg 2019-07-14", "light.jpg 2003-08-14", "notes.txt none",
                                                   "plain.jpg none", "reset clock.jpg none"}));

        // Move Then Import reads each picture before moving it.
        lineEdit("txtExportDir")->setText(archive.path());
        answerDuplicates("cmdImportAnyway", again);
        click("cmdMove");
        QCOMPARE(m_folder->messages().shown().back().text, QStringLiteral("Moved 5 files and added them to Vellaro."));
        QCOMPARE(datesByFile(18, 22), (QStringList{"beach.jpg 2019-07-14", "light.jpg 2003-08-14", "notes.txt none",
                                                   "plain.jpg none", "reset clock.jpg none"}));
        QCOMPARE(photoField(18, "FileName").toString().section(u'/', 0, -2), archive.path());

        // Cleared, the box gives every photo the window's date, and the window remembers it.
        useDates->click();
        fillCard();
        picker()->setValue(QDate(2006, 7, 1));
        answerDuplicates("cmdImportAnyway", again);
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

    void filesAlreadyCataloguedAreListedThenSkippedOrImported()
    {
        QTemporaryDir old;
        QTemporaryDir card;
        QTemporaryDir source;
        QTemporaryDir destination;
        const auto put = [](const QTemporaryDir& folder, const char* name, const QByteArray& content) {
            const QString path = folder.filePath(QString::fromLatin1(name));
            writeFile(path, content);
            return path;
        };
        const QString sunset = put(old, "sunset.jpg", "sunset-pixels");
        put(old, "harbour.jpg", "harbour-pixels");
        put(old, "unique.jpg", "a picture of its own size");
        const QString gone = put(old, "gone.jpg", "vanished picture");
        openImport();
        auto& messages = m_folder->messages();
        lineEdit("txtImportDir")->setText(old.path());
        click("cmdImport");
        QCOMPARE(messages.shown().back().text, QStringLiteral("4 files added to Vellaro."));
        // An import keeps each file's size, without reading its content.
        QCOMPARE(keptFiles(), (QStringList{"gone.jpg 16 unread", "harbour.jpg 14 unread", "sunset.jpg 13 unread",
                                           "unique.jpg 25 unread"}));
        const int sunsetPhoto = photoOf(sunset);
        const int harbourPhoto = photoOf(old.filePath(QStringLiteral("harbour.jpg")));
        QVERIFY(sunsetPhoto > 7 && harbourPhoto > 7);
        QVERIFY(QFile::remove(gone));

        // Photos of an older build name files whose sizes were never kept: one in the card itself.
        const QString lake = put(old, "lake.jpg", "lake-picture");
        const QString kept = put(card, "kept.jpg", "kept");
        gDB->DB().Execute(QStringLiteral("UPDATE Photos SET FileName = ? WHERE PhotoID = ?"), {lake, 1});
        gDB->DB().Execute(QStringLiteral("UPDATE Photos SET FileName = ? WHERE PhotoID = ?"), {kept, 2});
        const QString copy = put(card, "copy-of-sunset.jpg", "sunset-pixels");
        const QString lakeAgain = put(card, "lake-again.jpg", "lake-picture");
        // The harbour's size with other content, and the vanished file's size: no duplicates.
        const QString impostor = put(card, "impostor.jpg", "harbour-pixelz");
        const QString fresh = put(card, "fresh.jpg", "a brand new shot");
        const QString small = put(card, "new.jpg", "new");
        lineEdit("txtImportDir")->setText(card.path());
        const auto row = [](const QString& file, int photo, const char* why) -> QString {
            return file + u" | " + QString::number(photo) + u" | " + QString::fromLatin1(why);
        };

        // Cancel in the list of duplicates adds nothing.
        messages.clear();
        Listed listed;
        answerDuplicates("cmdCancel", listed);
        click("cmdImport");
        QCOMPARE(listed.count, QStringLiteral("3 of the 6 files are already in Vellaro:"));
        QCOMPARE(listed.rows, (QStringList{row(copy, sunsetPhoto, "same picture"), row(kept, 2, "same file"),
                                           row(lakeAgain, 1, "same picture")}));
        QCOMPARE(messages.shown().size(), std::size_t(1));
        QCOMPARE(messages.shown().back().text, QStringLiteral("6 files found. Import?"));
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM Photos")), 11);
        // Only catalogued files of a new file's size were read; the one that is gone is no duplicate.
        QCOMPARE(keptFiles(), (QStringList{"gone.jpg 16 unread", "harbour.jpg 14 read", "kept.jpg 4 unread",
                                           "lake.jpg 12 read", "sunset.jpg 13 read", "unique.jpg 25 unread"}));
        QCOMPARE(gDB->DB()
                     .OpenRecordset(QStringLiteral("SELECT Hash FROM PhotoFiles WHERE FileName = ?"), {sunset})
                     ->Value(QStringLiteral("Hash"))
                     .toByteArray(),
                 QCryptographicHash::hash("sunset-pixels", QCryptographicHash::Sha256));

        // Skip imports the rest.
        answerDuplicates("cmdSkip", listed);
        click("cmdImport");
        QCOMPARE(listed.rows.size(), 3);
        QCOMPARE(messages.shown().back().text, QStringLiteral("3 files added to Vellaro."));
        QStringList added;
        for (int id = 12; id <= 14; ++id)
            added << photoField(id, "FileName").toString();
        added.sort();
        QCOMPARE(added, (QStringList{fresh, impostor, small}));

        // The sunset retouched in place: its kept hash no longer counts, and the copy is new.
        writeFile(sunset, "sunset-pixelZ");
        QFile retouched(sunset);
        QVERIFY(retouched.open(QIODevice::ReadWrite));
        QVERIFY(retouched.setFileTime(QDateTime(QDate(2001, 1, 1), QTime(12, 0)), QFileDevice::FileModificationTime));
        retouched.close();
        answerDuplicates("cmdImportAnyway", listed);
        click("cmdImport");
        QCOMPARE(listed.count, QStringLiteral("5 of the 6 files are already in Vellaro:"));
        QCOMPARE(listed.rows,
                 (QStringList{row(fresh, photoOf(fresh), "same file"), row(impostor, photoOf(impostor), "same file"),
                              row(kept, 2, "same file"), row(lakeAgain, 1, "same picture"),
                              row(small, photoOf(small), "same file")}));
        QCOMPARE(messages.shown().back().text, QStringLiteral("6 files added to Vellaro."));
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM Photos")), 20);

        // Skipping every file leaves nothing to import, and the user is told so.
        answerDuplicates("cmdSkip", listed);
        click("cmdImport");
        QCOMPARE(listed.count, QStringLiteral("6 of the 6 files are already in Vellaro:"));
        QCOMPARE(messages.shown().back().text, QStringLiteral("Every file found is already in Vellaro, so there is "
                                                              "nothing to import. No photos were added."));
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM Photos")), 20);

        // Move Then Import: a skipped file stays where it is, and a file of its name at the
        // destination stops nothing.
        const QString harbourCopy = put(source, "harbour-copy.jpg", "harbour-pixels");
        put(source, "boat.jpg", "boat picture");
        put(destination, "harbour-copy.jpg", "something else");
        lineEdit("txtImportDir")->setText(source.path());
        lineEdit("txtExportDir")->setText(destination.path());
        answerDuplicates("cmdSkip", listed);
        click("cmdMove");
        QCOMPARE(listed.rows, QStringList{row(harbourCopy, harbourPhoto, "same picture")});
        QCOMPARE(messages.shown().back().text, QStringLiteral("Moved 1 files and added them to Vellaro."));
        QCOMPARE(QDir(source.path()).entryList(QDir::Files), QStringList{"harbour-copy.jpg"});
        QCOMPARE(fileBytes(destination.filePath(QStringLiteral("harbour-copy.jpg"))), QByteArray("something else"));
        QCOMPARE(photoOf(destination.filePath(QStringLiteral("boat.jpg"))), 21);
        QVERIFY(keptFiles().contains(QStringLiteral("boat.jpg 12 unread")));

        // Reading the files can be stopped: the look ends as cancelled.
        QVERIFY(FindImportDuplicates({harbourCopy}, [](qint64, qint64) { return false; }).Cancelled);
        QVERIFY(!FindImportDuplicates({harbourCopy}, [](qint64, qint64) { return true; }).Cancelled);
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

    struct Listed
    {
        QString count;
        QStringList rows; // file | photo | why, sorted
    };

    // Reads the list of duplicates the next step shows, then clicks one of its buttons.
    static void answerDuplicates(const char* button, Listed& listed)
    {
        listed = {};
        whenModalShows([button, &listed](QWidget* dialog) {
            QVERIFY2(dialog, "no list of duplicates was shown");
            // Whatever showed is answered, so that a wrong window fails the test instead of waiting.
            const auto* view = dialog->findChild<QTableView*>(QStringLiteral("grdDuplicates"));
            if (auto* label = dialog->findChild<QLabel*>(QStringLiteral("lblDuplicates")))
                listed.count = label->text();
            for (int r = 0; view && r < view->model()->rowCount(); ++r) {
                QStringList cells;
                for (int c = 0; c < view->model()->columnCount(); ++c)
                    cells << view->model()->index(r, c).data().toString();
                listed.rows << cells.join(QStringLiteral(" | "));
            }
            listed.rows.sort();
            if (auto* answer = dialog->findChild<QPushButton*>(QString::fromLatin1(button)))
                answer->click();
            else
                dialog->close();
            QCOMPARE(dialog->objectName(), QStringLiteral("frmDuplicates"));
        });
    }

    // The lowest number of a photo that names the file.
    static int photoOf(const QString& path)
    {
        return gDB->DB()
            .OpenRecordset(QStringLiteral("SELECT min(PhotoID) AS Photo FROM Photos WHERE FileName = ?"), {path})
            ->Value(QStringLiteral("Photo"))
            .toInt();
    }

    // The files whose sizes the catalogue keeps: name, size, and whether their content was read.
    static QStringList keptFiles()
    {
        QStringList files;
        auto rows = gDB->DB().OpenRecordset(QStringLiteral("SELECT FileName, Size, Hash FROM PhotoFiles"));
        for (; !rows->Eof(); rows->MoveNext())
            files << QFileInfo(rows->Value(QStringLiteral("FileName")).toString()).fileName() + u' ' +
                         rows->Value(QStringLiteral("Size")).toString() +
                         (rows->Value(QStringLiteral("Hash")).isNull() ? u" unread"_qs : u" read"_qs);
        files.sort();
        return files;
    }

    frmImport* m_import = nullptr;
};

int runImportWindowTest(int argc, char* argv[])
{
    ImportWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ImportWindowTest.moc"

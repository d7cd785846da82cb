#include "core/Failure.h"
#include "core/Settings.h"
#include "data/cDataBase.h"
#include "gui/controls/DatePicker.h"
#include "gui/controls/uc2ColCombo.h"
#include "gui/controls/ucImageViewer.h"
#include "gui/import/frmBrowse.h"
#include "gui/photos/frmPhotos.h"
#include "gui/photos/frmViewPhoto.h"
#include "support/CatalogueQueries.h"
#include "support/Controls.h"
#include "support/FileFaults.h"
#include "support/MainWindowFixture.h"
#include "support/TaggedPictures.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

// The photo editor driven as a user drives it, over the sample catalogue's photos 1 to 7: moving,
// adding, saving and copying photos, their subjects and their digital files.
class PhotoEditorTest : public MainWindowTestCase
{
    Q_OBJECT

private slots:
    void itOpensOnTheRememberedPhotoOrTheFirst()
    {
        SaveSetting(QStringLiteral("StartUp"), QStringLiteral("LastPhoto"), QStringLiteral("5"));
        open();
        QCOMPARE(text("txtPhotoID"), QStringLiteral("5"));
        QCOMPARE(label("lblStatus"), QStringLiteral(" Record Number: 5"));
        closeEditor();
        QCOMPARE(GetSetting(QStringLiteral("StartUp"), QStringLiteral("LastPhoto")), QStringLiteral("5"));

        SaveSetting(QStringLiteral("StartUp"), QStringLiteral("LastPhoto"), QStringLiteral("999"));
        open();
        QCOMPARE(text("txtPhotoID"), QStringLiteral("1"));
        QCOMPARE(editor()->findChild<QPlainTextEdit*>(QStringLiteral("txtCaption"))->toPlainText(),
                 QStringLiteral("Pemaquid Point Light at dusk, Maine"));
        QCOMPARE(combo("cboPhotos(0)")->currentText(), QStringLiteral("Maine"));
        QCOMPARE(coded(0)->Text(), QStringLiteral("Pemaquid Point"));
        QCOMPARE(combo("cboPhotos(1)")->currentText(), QStringLiteral("Album"));
        QCOMPARE(coded(1)->Text(), QStringLiteral("Album 1 - Coast"));
        QCOMPARE(subjects(), (QStringList{"Lighthouses", "Sunsets"}));
        QCOMPARE(editor()->findChild<DatePicker*>(QStringLiteral("dtpTaken"))->Value().toDate(), QDate(2003, 8, 14));
    }

    void buttonsAndKeysMoveWhileBrowsingOnly()
    {
        open();
        click("cmdNext");
        QCOMPARE(text("txtPhotoID"), QStringLiteral("2"));
        click("cmdLast");
        QCOMPARE(text("txtPhotoID"), QStringLiteral("7"));
        click("cmdNext");
        QCOMPARE(text("txtPhotoID"), QStringLiteral("7"));
        QTest::keyClick(lineEdit("txtPhotoID"), Qt::Key_Home);
        QCOMPARE(text("txtPhotoID"), QStringLiteral("1"));
        QTest::keyClick(lineEdit("txtComments"), Qt::Key_PageDown);
        QCOMPARE(text("txtPhotoID"), QStringLiteral("2"));
        QTest::keyClick(lineEdit("txtPhotoID"), Qt::Key_End);
        QTest::keyClick(lineEdit("txtPhotoID"), Qt::Key_PageUp);
        QCOMPARE(text("txtPhotoID"), QStringLiteral("6"));

        // A pending change holds the photo: keys do nothing and the buttons are off.
        QTest::keyClicks(lineEdit("txtComments"), QStringLiteral(" more"));
        QCOMPARE(button("cmdClose")->text(), QStringLiteral("&Cancel"));
        QVERIFY(!button("cmdNext")->isEnabled());
        QVERIFY(button("cmdUpdate")->isEnabled());
        QTest::keyClick(lineEdit("txtComments"), Qt::Key_PageDown);
        QCOMPARE(text("txtPhotoID"), QStringLiteral("6"));
    }

    void anEditorWithoutItsRecordSetsNeverOpensAndNeverCrashes()
    {
        // The subject links cannot be read: the editor cannot be made.
        gDB->DB().Execute(QStringLiteral("DROP TABLE PhotosSubjects"));
        m_main = showMainWindow(*m_folder);
        QVERIFY(!m_main->ShowChild(QStringLiteral("frmPhotos")));
        QCOMPARE(m_folder->messages().shown().size(), std::size_t(1));
        m_main->findChild<QAction*>(QStringLiteral("mnuToolsCopyPhoto"))->trigger();
        QCOMPARE(m_folder->messages().shown().size(), std::size_t(2));

        // Made directly, it offers nothing but Close, and whatever reaches it does nothing.
        SaveSetting(QStringLiteral("StartUp"), QStringLiteral("LastPhoto"), QStringLiteral("5"));
        auto* editor = new frmPhotos(nullptr);
        editor->show();
        for (QPushButton* command : editor->findChildren<QPushButton*>())
            QCOMPARE(command->isEnabled(), command->objectName() == u"cmdClose");
        auto* number = editor->findChild<QLineEdit*>(QStringLiteral("txtPhotoID"));
        QTest::keyClick(number, Qt::Key_PageDown);
        QTest::keyClick(number, Qt::Key_1);
        editor->findChild<QComboBox*>(QStringLiteral("cboPhotos(0)"))->showPopup();
        QVERIFY(!editor->Find(QStringLiteral("Caption"), QStringLiteral("*")));
        QVERIFY(!editor->FindFirst(QStringLiteral("PhotoID"), QStringLiteral("1")));
        editor->CopyPhoto();
        editor->findChild<QPushButton*>(QStringLiteral("cmdClose"))->click();
        QVERIFY(!editor->isVisible());
        delete editor;
        QCOMPARE(GetSetting(QStringLiteral("StartUp"), QStringLiteral("LastPhoto")), QStringLiteral("5"));
    }

    void aPhotoThatCannotBeReadWholeIsNotShownHalf()
    {
        gDB->DB().Execute(QStringLiteral("UPDATE Photos SET NumberofLabels = 99999 WHERE PhotoID = 3"));
        open();
        click("cmdNext");
        const QString caption = editor()->findChild<QPlainTextEdit*>(QStringLiteral("txtCaption"))->toPlainText();
        const QVariant date = editor()->findChild<DatePicker*>(QStringLiteral("dtpTaken"))->Value();
        click("cmdNext");
        QCOMPARE(m_folder->messages().shown().size(), std::size_t(1));
        QCOMPARE(text("txtPhotoID"), QStringLiteral("2"));
        QCOMPARE(editor()->findChild<QPlainTextEdit*>(QStringLiteral("txtCaption"))->toPlainText(), caption);
        QCOMPARE(editor()->findChild<DatePicker*>(QStringLiteral("dtpTaken"))->Value(), date);
        QCOMPARE(label("lblStatus"), QStringLiteral(" Record Number: 2"));

        // A change made now goes to the photo shown, never to the one that could not be read.
        const QVariant unread = photoField(3, "Comments");
        typeAtEnd(lineEdit("txtComments"), QStringLiteral("+"));
        click("cmdUpdate");
        QVERIFY(photoField(2, "Comments").toString().endsWith(u'+'));
        QCOMPARE(photoField(3, "Comments"), unread);
        click("cmdLast");
        QCOMPARE(text("txtPhotoID"), QStringLiteral("7"));

        // The photo moved to is read, but its subjects cannot be: the editor stays on the photo it shows.
        gDB->DB().Execute(QStringLiteral("ALTER TABLE Subjects RENAME TO SubjectsAside"));
        const QVariant previous = photoField(6, "Comments");
        click("cmdPrevious");
        QCOMPARE(text("txtPhotoID"), QStringLiteral("7"));
        QVERIFY(m_folder->messages().shown().size() > 1);
        typeAtEnd(lineEdit("txtComments"), QStringLiteral("!"));
        click("cmdUpdate");
        QVERIFY(photoField(7, "Comments").toString().endsWith(u'!'));
        QCOMPARE(photoField(6, "Comments"), previous);
    }

    void typedPlacesAreFoundAtOnceAndSavedAsShown()
    {
        open();
        const QVariant location = photoField(1, "LocationID");
        const QVariant storage = photoField(1, "StorageLocationID");
        click("cmdAdd");
        QCOMPARE(text("txtPhotoID"), QStringLiteral("8"));
        // No list has been opened: typing finds the entries all the same.
        QTest::keyClicks(combo("cboPhotos(0)")->lineEdit(), QStringLiteral("mai"));
        QCOMPARE(combo("cboPhotos(0)")->currentText(), QStringLiteral("Maine"));
        QTest::keyClicks(coded(0)->combo()->lineEdit(), QStringLiteral("pem"));
        QCOMPARE(coded(0)->Text(), QStringLiteral("Pemaquid Point"));
        QCOMPARE(coded(0)->Code(), location.toString());
        QTest::keyClicks(combo("cboPhotos(1)")->lineEdit(), QStringLiteral("alb"));
        QTest::keyClicks(coded(1)->combo()->lineEdit(), QStringLiteral("album 1"));
        QCOMPARE(coded(1)->Text(), QStringLiteral("Album 1 - Coast"));

        // Opening a list and closing it again changes nothing shown, nor the code behind it.
        for (QComboBox* box : {combo("cboPhotos(0)"), static_cast<QComboBox*>(coded(0)->combo()), combo("cboPhotos(1)"),
                               static_cast<QComboBox*>(coded(1)->combo())}) {
            const QString shown = box->currentText();
            box->showPopup();
            QTest::keyClick(box->view(), Qt::Key_Escape);
            box->hidePopup();
            QCOMPARE(box->currentText(), shown);
        }
        QCOMPARE(coded(0)->Code(), location.toString());
        click("cmdUpdate");
        QCOMPARE(photoField(8, "LocationID"), location);
        QCOMPARE(photoField(8, "StorageLocationID"), storage);
    }

    void onlyARealChangeMarksThePhotoChanged()
    {
        open();
        auto* check = editor()->findChild<QCheckBox*>(QStringLiteral("chkPrintLabel"));
        const bool printed = check->isChecked();
        for (int key : {Qt::Key_Tab, Qt::Key_Right, Qt::Key_Down, Qt::Key_Up, Qt::Key_Shift})
            QTest::keyClick(check, Qt::Key(key));
        QTest::mouseRelease(check, Qt::LeftButton);
        QTest::keyClick(lineEdit("txtPhotoID"), Qt::Key_Left);
        QTest::keyClick(editor()->findChild<QPlainTextEdit*>(QStringLiteral("txtCaption")), Qt::Key_Down);
        QCOMPARE(button("cmdClose")->text(), QStringLiteral("&Close"));
        QVERIFY(button("cmdNext")->isEnabled());
        QTest::keyClick(check, Qt::Key_Space);
        QCOMPARE(check->isChecked(), !printed);
        QCOMPARE(button("cmdClose")->text(), QStringLiteral("&Cancel"));
        click("cmdClose");
        QCOMPARE(check->isChecked(), printed);

        // A photo without a date shows an empty date, not the date of the photo before.
        auto* picker = editor()->findChild<DatePicker*>(QStringLiteral("dtpTaken"));
        for (int i = 0; i < 5; ++i)
            click("cmdNext");
        QCOMPARE(text("txtPhotoID"), QStringLiteral("6"));
        QVERIFY(picker->Value().isNull());
        QCOMPARE(picker->dateEdit()->text().trimmed(), QString());
        QCOMPARE(button("cmdClose")->text(), QStringLiteral("&Close"));
        click("cmdNext");
        QCOMPARE(picker->dateEdit()->text(), picker->Value().toDate().toString(QStringLiteral("MM/dd/yyyy")));
    }

    void aPhotoWithoutPlacesOrCaptionKeepsItsPlacesMissingAndGetsANumberedCaption()
    {
        gDB->DB().Execute(QStringLiteral("UPDATE Photos SET Caption = '' WHERE PhotoID = 7"));
        for (const char* option : {"DateinCaption", "LocationinCaption", "CopyrightinCaption"})
            SaveBooleanSetting(QStringLiteral("Caption"), QString::fromLatin1(option), false);
        open();
        click("cmdLast");
        QCOMPARE(combo("cboPhotos(0)")->currentText(), QString());
        QCOMPARE(coded(0)->Text(), QString());
        QCOMPARE(coded(0)->Code(), QStringLiteral("-1"));
        QCOMPARE(coded(1)->Code(), QStringLiteral("-1"));
        // Focusing the empty caption fills it and marks the photo changed.
        focusIn(editor()->findChild<QPlainTextEdit*>(QStringLiteral("txtCaption")));
        QCOMPARE(button("cmdClose")->text(), QStringLiteral("&Cancel"));
        // Stored unchanged, the missing places stay missing.
        QTest::keyClicks(lineEdit("txtComments"), QStringLiteral("x"));
        click("cmdUpdate");
        QVERIFY(photoField(7, "LocationID").isNull());
        QVERIFY(photoField(7, "StorageLocationID").isNull());
        QCOMPARE(photoField(7, "Comments").toString(), QStringLiteral("x"));
        QCOMPARE(photoField(7, "Caption").toString(), QStringLiteral("7: "));
    }

    void aNewPhotoGetsTheNextNumberAndOneLabel()
    {
        gDB->DB().Execute(QStringLiteral("INSERT INTO Photos (PhotoID, Caption) VALUES (57, 'last')"));
        open();
        click("cmdAdd");
        QCOMPARE(text("txtPhotoID"), QStringLiteral("58"));
        QCOMPARE(text("txtNumberofLabels"), QStringLiteral("1"));
        QVERIFY(editor()->findChild<QCheckBox*>(QStringLiteral("chkPrintLabel"))->isChecked());
        QCOMPARE(label("lblStatus"), QStringLiteral("New Record"));
        QVERIFY(subjects().isEmpty());
        QCOMPARE(button("cmdClose")->text(), QStringLiteral("&Cancel"));
        click("cmdUpdate");
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM Photos WHERE PhotoID = 58 AND PrintLabel = 1 AND "
                                          "NumberofLabels = 1")),
                 1);
        QCOMPARE(label("lblStatus"), QStringLiteral(" Record Number: 9"));
    }

    void theLastPlaceAndDateCarryIntoTheNextNewPhoto()
    {
        open();
        click("cmdAdd");
        chooseByTyping(combo("cboPhotos(0)"), QStringLiteral("min"));
        QCOMPARE(combo("cboPhotos(0)")->currentText(), QStringLiteral("Minnesota"));
        chooseByTyping(coded(0)->combo(), QStringLiteral("du"));
        QCOMPARE(coded(0)->Text(), QStringLiteral("Duluth"));
        const QString duluth = coded(0)->Code();
        QCOMPARE(duluth, QStringLiteral("6"));
        editor()->findChild<DatePicker*>(QStringLiteral("dtpTaken"))->setValue(QDate(2000, 6, 5));
        click("cmdUpdate");
        QCOMPARE(photoField(8, "LocationID").toString(), duluth);

        click("cmdAdd");
        QCOMPARE(text("txtPhotoID"), QStringLiteral("9"));
        QCOMPARE(combo("cboPhotos(0)")->currentText(), QStringLiteral("Minnesota"));
        QCOMPARE(coded(0)->Text(), QStringLiteral("Duluth"));
        QCOMPARE(editor()->findChild<DatePicker*>(QStringLiteral("dtpTaken"))->Value().toDate(), QDate(2000, 6, 5));
        click("cmdUpdate");
        QCOMPARE(photoField(9, "LocationID").toString(), duluth);
        QCOMPARE(photoField(9, "DateTaken").toDate(), QDate(2000, 6, 5));

        // With the option off nothing is carried.
        SaveBooleanSetting(QStringLiteral("Remember"), QStringLiteral("LastLocation"), false);
        SaveBooleanSetting(QStringLiteral("Remember"), QStringLiteral("LastDate"), false);
        click("cmdAdd");
        QCOMPARE(combo("cboPhotos(0)")->currentText(), QString());
        QVERIFY(editor()->findChild<DatePicker*>(QStringLiteral("dtpTaken"))->Value().isNull());
    }

    void theAutomaticCaptionFollowsTheOptions_data()
    {
        QTest::addColumn<bool>("date");
        QTest::addColumn<bool>("location");
        QTest::addColumn<bool>("copyright");
        QTest::addColumn<QString>("caption");
        QTest::newRow("none") << false << false << false << "8: ";
        QTest::newRow("date") << true << false << false << "8:  06/05/2000 ";
        QTest::newRow("location") << false << true << false << "8: Duluth, Minnesota ";
        QTest::newRow("copyright") << false << false << true << "8:  (c) Ann";
        QTest::newRow("all") << true << true << true << "8:  06/05/2000 Duluth, Minnesota  (c) Ann";
    }
    void theAutomaticCaptionFollowsTheOptions()
    {
        QFETCH(bool, date);
        QFETCH(bool, location);
        QFETCH(bool, copyright);
        QFETCH(QString, caption);
        SaveBooleanSetting(QStringLiteral("Caption"), QStringLiteral("DateinCaption"), date);
        SaveBooleanSetting(QStringLiteral("Caption"), QStringLiteral("LocationinCaption"), location);
        SaveBooleanSetting(QStringLiteral("Caption"), QStringLiteral("CopyrightinCaption"), copyright);
        SaveSetting(QStringLiteral("Caption"), QStringLiteral("Copyright"), QStringLiteral("(c) Ann"));
        open();
        click("cmdAdd");
        editor()->findChild<DatePicker*>(QStringLiteral("dtpTaken"))->setValue(QDate(2000, 6, 5));
        combo("cboPhotos(0)")->setEditText(QStringLiteral("Minnesota"));
        coded(0)->setText(QStringLiteral("Duluth"));
        auto* captionBox = editor()->findChild<QPlainTextEdit*>(QStringLiteral("txtCaption"));
        focusIn(captionBox);
        QCOMPARE(captionBox->toPlainText(), caption);
        QCOMPARE(captionBox->textCursor().position(), 3);
        // A caption with text is left alone.
        captionBox->setPlainText(QStringLiteral("Mine"));
        focusIn(captionBox);
        QCOMPARE(captionBox->toPlainText(), QStringLiteral("Mine"));
    }

    void numbersInUseOrTooLargeAreRefusedWithTheInputKept()
    {
        open();
        click("cmdAdd");
        const QString overflow = Failure::describe(ErrorNumber::Overflow);
        lineEdit("txtPhotoID")->setText(QStringLiteral("99999999999"));
        click("cmdUpdate");
        QCOMPARE(m_folder->messages().shown().back().text, overflow);
        QCOMPARE(text("txtPhotoID"), QStringLiteral("99999999999"));
        lineEdit("txtPhotoID")->setText(QStringLiteral("8"));
        lineEdit("txtNumberofLabels")->setText(QStringLiteral("40000"));
        click("cmdUpdate");
        QCOMPARE(m_folder->messages().shown().size(), std::size_t(2));
        QCOMPARE(m_folder->messages().shown().back().text, overflow);
        QCOMPARE(text("txtNumberofLabels"), QStringLiteral("40000"));
        QCOMPARE(button("cmdClose")->text(), QStringLiteral("&Cancel"));
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM Photos")), 7);

        lineEdit("txtNumberofLabels")->setText(QStringLiteral("1"));
        lineEdit("txtPhotoID")->setText(QStringLiteral("3"));
        lineEdit("txtComments")->setText(QStringLiteral("my notes"));
        click("cmdUpdate");
        QCOMPARE(m_folder->messages().shown().size(), std::size_t(3));
        QCOMPARE(m_folder->messages().shown().back().text,
                 QStringLiteral("A photo with this ID already exists. Enter a different ID number."));
        QCOMPARE(m_folder->messages().shown().back().buttons, MsgButtons::OK);
        QCOMPARE(button("cmdClose")->text(), QStringLiteral("&Cancel"));
        QCOMPARE(text("txtPhotoID"), QStringLiteral("3"));
        QCOMPARE(lineEdit("txtPhotoID")->selectedText(), QStringLiteral("3"));
        QCOMPARE(text("txtComments"), QStringLiteral("my notes"));
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM Photos")), 7);

        lineEdit("txtPhotoID")->setText(QStringLiteral("50"));
        click("cmdUpdate");
        QCOMPARE(button("cmdClose")->text(), QStringLiteral("&Close"));
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM Photos")), 8);
        QCOMPARE(photoField(50, "Comments").toString(), QStringLiteral("my notes"));
        QCOMPARE(photoField(3, "Comments").toString(), QString());
    }

    void cancelAndEscapeShowThePhotoAsStored()
    {
        open();
        QTest::keyClicks(lineEdit("txtComments"), QStringLiteral(" changed"));
        lineEdit("txtPhotoID")->setText(QStringLiteral("42"));
        click("cmdClose");
        QCOMPARE(text("txtPhotoID"), QStringLiteral("1"));
        QCOMPARE(text("txtComments"), QStringLiteral("Taken from the rocks below the keeper's house."));
        QCOMPARE(button("cmdClose")->text(), QStringLiteral("&Close"));
        QCOMPARE(photoField(1, "Comments").toString(),
                 QStringLiteral("Taken from the rocks below the keeper's house."));

        click("cmdAdd");
        click("cmdClose");
        QCOMPARE(label("lblStatus"), QStringLiteral(" Record Number: 1"));
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM Photos")), 7);

        // Escape in the number abandons a new photo as well.
        click("cmdNext");
        click("cmdNext"); // photo 3
        click("cmdAdd");
        lineEdit("txtComments")->setText(QStringLiteral("never stored"));
        QTest::keyClick(lineEdit("txtPhotoID"), Qt::Key_Escape);
        QCOMPARE(text("txtPhotoID"), QStringLiteral("2"));
        QCOMPARE(button("cmdClose")->text(), QStringLiteral("&Close"));
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM Photos")), 7);
        // A change made after that changes the photo shown and adds none.
        typeAtEnd(lineEdit("txtComments"), QStringLiteral("kept"));
        click("cmdUpdate");
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM Photos")), 7);
        QCOMPARE(photoField(2, "Comments").toString(),
                 QStringLiteral("The first skein of the autumn, flying south.kept"));
    }

    void numberBoxesTakeDigitsOnly()
    {
        open();
        QLineEdit* labels = lineEdit("txtNumberofLabels");
        labels->setFocus();
        labels->setCursorPosition(int(labels->text().size()));
        const int beeps = m_folder->messages().beeps();
        QTest::keyClicks(labels, QStringLiteral("x"));
        QCOMPARE(labels->text(), QStringLiteral("2"));
        QCOMPARE(m_folder->messages().beeps(), beeps + 1);
        QCOMPARE(button("cmdClose")->text(), QStringLiteral("&Close"));
        QTest::keyClicks(labels, QStringLiteral("5"));
        QCOMPARE(labels->text(), QStringLiteral("25"));
        QCOMPARE(button("cmdClose")->text(), QStringLiteral("&Cancel"));
    }

    void renumberingAPhotoKeepsItsSubjects()
    {
        open();
        lineEdit("txtPhotoID")->setText(QStringLiteral("100"));
        QTest::keyClicks(lineEdit("txtPhotoID"), QStringLiteral("0"));
        click("cmdUpdate");
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM PhotosSubjects WHERE PhotoID = 1000")), 2);
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM Photos WHERE PhotoID = 1")), 0);
        QCOMPARE(subjects(), (QStringList{"Lighthouses", "Sunsets"}));
    }

    void deletingTheOnlyPhotoIsRefused()
    {
        gDB->DB().Execute(QStringLiteral("DELETE FROM Photos WHERE PhotoID > 1"));
        open();
        click("cmdDelete");
        QCOMPARE(m_folder->messages().shown().size(), std::size_t(1));
        QCOMPARE(
            m_folder->messages().shown().back().text,
            QStringLiteral("Vellaro requires at least one Photo.\rPlease add a new one before deleteing this one."));
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM Photos")), 1);
        QCOMPARE(text("txtPhotoID"), QStringLiteral("1"));
    }

    void closingWithAChangeAsksToSaveIt()
    {
        open();
        typeAtEnd(lineEdit("txtComments"), QStringLiteral("!"));
        m_folder->messages().setNextAnswer(MsgAnswer::Yes);
        closeEditor();
        QCOMPARE(m_folder->messages().shown().back().text, QStringLiteral("Save Changes?"));
        QCOMPARE(m_folder->messages().shown().back().icon, MsgIcon::Question);
        QCOMPARE(m_folder->messages().shown().back().buttons, MsgButtons::YesNo);
        QVERIFY(!m_main->Child(QStringLiteral("frmPhotos")));
        QVERIFY(photoField(1, "Comments").toString().endsWith(u'!'));

        open();
        typeAtEnd(lineEdit("txtComments"), QStringLiteral("?"));
        m_folder->messages().setNextAnswer(MsgAnswer::No);
        closeEditor();
        QVERIFY(!m_main->Child(QStringLiteral("frmPhotos")));
        QVERIFY(photoField(1, "Comments").toString().endsWith(u'!'));

        // A change that cannot be saved keeps the window open instead of being lost.
        open();
        lineEdit("txtPhotoID")->setText(QStringLiteral("2"));
        typeAtEnd(lineEdit("txtComments"), QStringLiteral("#"));
        m_folder->messages().setNextAnswer(MsgAnswer::Yes);
        closeEditor();
        QVERIFY(m_main->Child(QStringLiteral("frmPhotos")));
        QCOMPARE(text("txtComments").right(1), QStringLiteral("#"));
    }

    void theTwoLayoutsPlaceTheButtons()
    {
        SaveBooleanSetting(QStringLiteral("StartUp"), QStringLiteral("Expanded"), false);
        open();
        QVERIFY(!editor()->IsExpanded());
        QCOMPARE(editor()->width(), 287);
        QCOMPARE(button("cmdFirst")->x(), 4);
        QCOMPARE(button("cmdLast")->x(), 259);
        QCOMPARE(button("cmdClose")->x(), 211);
        auto* viewer = editor()->findChild<ucImageViewer*>(QStringLiteral("ucImageViewer1"));
        QVERIFY(viewer->FileName().isEmpty()); // the narrow layout loads no picture
        QVERIFY(!m_main->findChild<QAction*>(QStringLiteral("Expand"))->isChecked());

        gDB->DB().Execute(QStringLiteral("UPDATE Photos SET FileName = ? WHERE PhotoID = 1"),
                          {m_folder->filePath(QStringLiteral("Lighthouse.jpg"))});
        click("cmdFirst");
        QVERIFY(viewer->FileName().isEmpty());
        m_main->findChild<QAction*>(QStringLiteral("mnuViewExpand"))->trigger();
        QVERIFY(editor()->IsExpanded());
        QCOMPARE(editor()->width(), 570);
        QCOMPARE(button("cmdFirst")->x(), 144);
        QCOMPARE(button("cmdClose")->x(), 351);
        QCOMPARE(viewer->FileName(), m_folder->filePath(QStringLiteral("Lighthouse.jpg")));
        QVERIFY(!viewer->ShowsError());
        QVERIFY(m_main->findChild<QAction*>(QStringLiteral("Expand"))->isChecked());
        closeEditor();
        QVERIFY(GetBooleanSetting(QStringLiteral("StartUp"), QStringLiteral("Expanded"), false));
    }

    void subjectsAreLinkedOnceAndOnlyWhenThePhotoIsSaved()
    {
        open();
        // A subject chosen by typing is listed at once but linked only by Save.
        chooseSubject(QStringLiteral("do"));
        QCOMPARE(subjects(), (QStringList{"Lighthouses", "Sunsets", "Dogs"}));
        QCOMPARE(button("cmdClose")->text(), QStringLiteral("&Cancel"));
        QCOMPARE(linkedSubjects(1).size(), 2);
        // Removed and chosen twice again, it is listed once.
        removeListed(QStringLiteral("Dogs"));
        chooseSubject(QStringLiteral("dogs"));
        chooseSubject(QStringLiteral("dogs"));
        QCOMPARE(subjects(), (QStringList{"Lighthouses", "Sunsets", "Dogs"}));
        // Escape adds nothing, even after a subject was found by typing.
        startChoosing();
        QTest::keyClick(chooserEdit(), Qt::Key_Escape);
        QVERIFY(!chooser()->isVisible());
        startChoosing();
        QTest::keyClicks(chooserEdit(), QStringLiteral("hor"));
        QCOMPARE(chooser()->Text(), QStringLiteral("Horses"));
        QTest::keyClick(chooserEdit(), Qt::Key_Escape);
        button("cmdAddSubject")->setFocus();
        QCOMPARE(subjects(), (QStringList{"Lighthouses", "Sunsets", "Dogs"}));
        click("cmdUpdate");
        QCOMPARE(linkedSubjects(1), (QStringList{"Dogs", "Lighthouses", "Sunsets"}));

        // Cancel undoes a removal.
        removeListed(QStringLiteral("Sunsets"));
        QCOMPARE(subjects(), (QStringList{"Lighthouses", "Dogs"}));
        click("cmdClose");
        QCOMPARE(subjects().size(), 3);
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
        open();
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
        open();
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
        open();
        const QString addBridges =
            QStringLiteral("INSERT INTO Subjects (SubjectID, CategoryID, Subject) "
                           "SELECT 90, CategoryID, 'Bridges' FROM Subjects WHERE Subject = 'Dogs'");
        gDB->DB().Execute(addBridges);
        click("cmdAdd");
        QCOMPARE(text("txtPhotoID"), QStringLiteral("8"));
        QTest::keyClicks(lineEdit("txtComments"), QStringLiteral("across"));
        chooseSubject(QStringLiteral("bri"));
        QCOMPARE(subjects(), QStringList{"Bridges"});

        // Another program deletes the subject meanwhile: the link fails and the photo is not kept.
        gDB->DB().Execute(QStringLiteral("DELETE FROM Subjects WHERE SubjectID = 90"));
        click("cmdUpdate");
        QCOMPARE(m_folder->messages().shown().size(), std::size_t(1));
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM Photos WHERE PhotoID = 8")), 0);
        QCOMPARE(button("cmdClose")->text(), QStringLiteral("&Cancel"));
        QCOMPARE(subjects(), QStringList{"Bridges"});
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
        QCOMPARE(subjects(), QStringList{"Lighthouses"});

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

    void aFileChosenOrTypedIsShownAndMarksTheChange()
    {
        open();
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
        QCOMPARE(button("cmdClose")->text(), QStringLiteral("&Cancel"));
        click("cmdUpdate");
        QCOMPARE(photoField(1, "FileName").toString(), m_folder->filePath(QStringLiteral("Geese.jpg")));

        // Cancelling the browser changes nothing.
        whenModalShows([](QWidget* window) { window->findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click(); });
        click("cmdBrowse");
        QCOMPARE(text("txtFileName"), m_folder->filePath(QStringLiteral("Geese.jpg")));
        QCOMPARE(button("cmdClose")->text(), QStringLiteral("&Close"));

        // A typed name is shown on Enter, and in the viewer window.
        QLineEdit* box = lineEdit("txtFileName");
        box->clear();
        QTest::keyClicks(box, m_folder->filePath(QStringLiteral("Lighthouse.jpg")));
        QCOMPARE(viewer()->FileName(), m_folder->filePath(QStringLiteral("Geese.jpg")));
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

    void aPictureChosenForAPhotoWithoutADateOffersTheDateItWasTaken()
    {
        QTemporaryDir card;
        writeTaggedPicture(card.filePath(QStringLiteral("beach.jpg")),
                           {{"Exif.Photo.DateTimeOriginal", "2019:07:14 10:22:01"}});
        writeTaggedPicture(card.filePath(QStringLiteral("light.jpg")),
                           {{"Exif.Photo.DateTimeOriginal", "2001:02:03 04:05:06"}});
        writeTaggedPicture(card.filePath(QStringLiteral("plain.jpg")));
        open();
        auto& messages = m_folder->messages();
        messages.clear();
        auto* picker = editor()->findChild<DatePicker*>(QStringLiteral("dtpTaken"));

        // A photo that has a date keeps it without a question.
        browseTo(card.path(), QStringLiteral("beach.jpg"));
        QVERIFY(messages.shown().empty());
        QCOMPARE(picker->Value().toDate(), QDate(2003, 8, 14));
        click("cmdClose");

        click("cmdAdd");
        QVERIFY(picker->Value().isNull());
        // A picture that tells no date asks nothing.
        browseTo(card.path(), QStringLiteral("plain.jpg"));
        QVERIFY(messages.shown().empty());
        messages.setNextAnswer(MsgAnswer::No);
        browseTo(card.path(), QStringLiteral("beach.jpg"));
        QCOMPARE(messages.shown().size(), std::size_t(1));
        QCOMPARE(messages.shown().back().text,
                 QStringLiteral("This picture was taken on 07/14/2019. Use it as the date taken?"));
        QCOMPARE(messages.shown().back().buttons, MsgButtons::YesNo);
        QCOMPARE(messages.shown().back().icon, MsgIcon::Question);
        QCOMPARE(messages.shown().back().title, QStringLiteral("Vellaro"));
        QVERIFY(picker->Value().isNull());

        messages.setNextAnswer(MsgAnswer::Yes);
        browseTo(card.path(), QStringLiteral("beach.jpg"));
        QCOMPARE(messages.shown().size(), std::size_t(2));
        QCOMPARE(picker->Value().toDate(), QDate(2019, 7, 14));
        click("cmdUpdate");
        QCOMPARE(photoField(8, "DateTaken").toDate(), QDate(2019, 7, 14));
        QCOMPARE(photoField(8, "FileName").toString(), card.filePath(QStringLiteral("beach.jpg")));

        // Once it has a date, another picture does not question it.
        browseTo(card.path(), QStringLiteral("light.jpg"));
        QCOMPARE(messages.shown().size(), std::size_t(2));
        QCOMPARE(picker->Value().toDate(), QDate(2019, 7, 14));
    }

    void theDefaultProgramGetsTheFileAsItsOnlyArgument()
    {
        open();
        QTemporaryDir desktop;
        const QByteArray savedHome = qgetenv("XDG_CONFIG_HOME");
        const QByteArray savedData = qgetenv("XDG_DATA_HOME");
        const QByteArray savedSystemData = qgetenv("XDG_DATA_DIRS");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(desktop.filePath(QStringLiteral("config"))));
        qputenv("XDG_DATA_HOME", QFile::encodeName(desktop.filePath(QStringLiteral("data"))));
        // The machine's file types but none of its programs: an image viewer installed there would claim the types
        // below.
        QDir().mkpath(desktop.filePath(QStringLiteral("system")));
        QFile::link(QStringLiteral("/usr/share/mime"), desktop.filePath(QStringLiteral("system/mime")));
        qputenv("XDG_DATA_DIRS", QFile::encodeName(desktop.filePath(QStringLiteral("system"))));
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
        QTRY_COMPARE(QString::fromUtf8(fileBytes(record)).trimmed(), m_folder->filePath(QStringLiteral("Geese.jpg")));

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
        qputenv("XDG_DATA_DIRS", savedSystemData);
    }

private:
    void open()
    {
        if (!m_main)
            m_main = showMainWindow(*m_folder);
        m_main->ShowChild(QStringLiteral("frmPhotos"));
        QVERIFY(editor());
    }

    void closeEditor() { qobject_cast<QMdiSubWindow*>(editor()->parentWidget())->close(); }

    frmPhotos* editor() const { return qobject_cast<frmPhotos*>(m_main->Child(QStringLiteral("frmPhotos"))); }
    QLineEdit* lineEdit(const char* name) const { return editor()->findChild<QLineEdit*>(QString::fromLatin1(name)); }
    QString text(const char* name) const { return lineEdit(name)->text(); }
    QString label(const char* name) const { return editor()->findChild<QLabel*>(QString::fromLatin1(name))->text(); }
    QPushButton* button(const char* name) const { return editor()->findChild<QPushButton*>(QString::fromLatin1(name)); }
    void click(const char* name) const { button(name)->click(); }
    QComboBox* combo(const char* name) const { return editor()->findChild<QComboBox*>(QString::fromLatin1(name)); }
    uc2ColCombo* coded(int index) const
    {
        return editor()->findChild<uc2ColCombo*>(QStringLiteral("cboCodedPhoto(%1)").arg(index));
    }
    uc2ColCombo* chooser() const { return editor()->findChild<uc2ColCombo*>(QStringLiteral("cboSubjects")); }
    QLineEdit* chooserEdit() const { return chooser()->combo()->lineEdit(); }
    ucImageViewer* viewer() const { return editor()->findChild<ucImageViewer*>(QStringLiteral("ucImageViewer1")); }

    // Chooses the file in the folder through Browse and its file dialog, as a user does.
    void browseTo(const QString& folder, const QString& name)
    {
        whenModalShows([&](QWidget* window) {
            auto* browse = qobject_cast<frmBrowse*>(window);
            QVERIFY(browse);
            browse->setFolder(folder);
            auto* files = browse->findChild<QListView*>(QStringLiteral("File1"));
            files->setCurrentIndex(files->model()->index(int(browse->ListedFiles().indexOf(name)), 0));
            browse->findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
        });
        click("cmdBrowse");
        QCOMPARE(text("txtFileName"), QDir(folder).filePath(name));
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
        auto* list = editor()->findChild<QListWidget*>(QStringLiteral("lstSubjects"));
        list->setFocus();
        list->setCurrentItem(list->findItems(name, Qt::MatchExactly).front());
        QTest::keyClick(list, Qt::Key_Delete);
    }

    QStringList subjects() const { return itemTexts(editor()->findChild<QListWidget*>(QStringLiteral("lstSubjects"))); }

    // Drops the combo's list down (which fills it), closes it and types the start of an entry.
    static void chooseByTyping(QComboBox* box, const QString& typed)
    {
        box->showPopup();
        box->hidePopup();
        box->lineEdit()->clear();
        QTest::keyClicks(box->lineEdit(), typed);
        QTest::keyClick(box->lineEdit(), Qt::Key_Return);
    }

    static void typeAtEnd(QLineEdit* box, const QString& typed)
    {
        box->end(false);
        QTest::keyClicks(box, typed);
    }

    static void focusIn(QWidget* widget)
    {
        QFocusEvent focus(QEvent::FocusIn, Qt::TabFocusReason);
        QApplication::sendEvent(widget, &focus);
    }
};

int runPhotoEditorTest(int argc, char* argv[])
{
    PhotoEditorTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "PhotoEditorTest.moc"

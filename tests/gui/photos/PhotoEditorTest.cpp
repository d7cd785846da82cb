#include "ChildWindows.h"
#include "core/Failure.h"
#include "core/Settings.h"
#include "gui/shell/mdiMain.h"
#include "data/cDataBase.h"
#include "gui/controls/DatePicker.h"
#include "gui/photos/frmPhotos.h"
#include "gui/controls/uc2ColCombo.h"
#include "gui/controls/ucImageViewer.h"
#include "support/CatalogueQueries.h"
#include "support/TestProgramFolder.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

// The photo editor driven as a user drives it, over the sample catalogue's photos 1 to 7.
class PhotoEditorTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_folder = std::make_unique<TestProgramFolder>();
        m_folder->openCatalogue();
        SaveSetting(QStringLiteral("StartUp"), QStringLiteral("FirstTime"), QStringLiteral("False"));
    }
    void cleanup()
    {
        m_main.reset();
        m_folder.reset();
    }

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
        m_main = std::make_unique<mdiMain>(m_folder->path());
        RegisterChildWindows(*m_main);
        m_main->show();
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

private:
    void open()
    {
        if (!m_main) {
            m_main = std::make_unique<mdiMain>(m_folder->path());
            RegisterChildWindows(*m_main);
            m_main->show();
        }
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
    QStringList subjects() const
    {
        QStringList names;
        auto* list = editor()->findChild<QListWidget*>(QStringLiteral("lstSubjects"));
        for (int i = 0; i < list->count(); ++i)
            names << list->item(i)->text();
        return names;
    }

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

    std::unique_ptr<TestProgramFolder> m_folder;
    std::unique_ptr<mdiMain> m_main;
};

int runPhotoEditorTest(int argc, char* argv[])
{
    PhotoEditorTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "PhotoEditorTest.moc"

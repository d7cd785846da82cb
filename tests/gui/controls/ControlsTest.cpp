#include "gui/controls/DatePicker.h"
#include "gui/controls/TypeAhead.h"
#include "gui/controls/uc2ColCombo.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

namespace {

const QString noCode = QStringLiteral("-1");

// Fills the list as the record sets do, through the interface they know.
void fillLakeAndHill(CodedListTarget& target)
{
    target.AddItem(QStringLiteral("Lake"), QStringLiteral("7"));
    target.AddItem(QStringLiteral("Hill"), QStringLiteral("9"));
}

// Picks an entry in the open list with the mouse.
void clickInList(QComboBox* combo, int index)
{
    QAbstractItemView* view = combo->view();
    QVERIFY(view->isVisible());
    const QPoint at = view->visualRect(view->model()->index(index, 0)).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
}

// A window with one combo of either kind and the type-ahead on it, counting its calls.
class Host
{
public:
    Host(bool coded, const QStringList& entries)
    {
        if (coded) {
            m_coded = new uc2ColCombo(&window);
            const QStringList codes{QStringLiteral("7"), QStringLiteral("9"), QStringLiteral("11")};
            for (qsizetype i = 0; i < entries.size(); ++i)
                m_coded->AddItem(entries[i], codes.value(i));
            QObject::connect(m_coded, &uc2ColCombo::Click, &window, [this] { ++clicks; });
            combo = m_coded->combo();
        } else {
            // As the windows set up their plain combos.
            combo = new QComboBox(&window);
            combo->setEditable(true);
            combo->setInsertPolicy(QComboBox::NoInsert);
            combo->addItems(entries);
            combo->setCurrentIndex(-1);
        }
        typeAhead.attach(combo);
    }

    QString code() const { return m_coded ? m_coded->Code() : QString(); }
    QLineEdit* edit() const { return combo->lineEdit(); }

    QWidget window;
    QComboBox* combo = nullptr;
    int changed = 0;
    int clicks = 0; // of the two-column combo
    QList<QComboBox*> movedOnFrom;
    TypeAhead typeAhead{nullptr, [this] { ++changed; }, [this](QComboBox* from) { movedOnFrom << from; }};

private:
    uc2ColCombo* m_coded = nullptr;
};

} // namespace

// The two-column combo, the type-ahead the windows put on their combos, and the date picker.
class ControlsTest : public QObject
{
    Q_OBJECT

private slots:
    void choosingAnEntryGivesItsCodeAndOneClick()
    {
        uc2ColCombo combo;
        combo.show();
        QSignalSpy clicks(&combo, &uc2ColCombo::Click);
        fillLakeAndHill(combo);
        // Adding selects nothing, unlike a bare Qt combo.
        QCOMPARE(combo.ListCount(), 2);
        QCOMPARE(combo.NewIndex(), 1);
        QCOMPARE(combo.ListIndex(), -1);
        QCOMPARE(combo.Text(), QString());
        QCOMPARE(clicks.count(), 0);

        combo.setListIndex(1);
        QCOMPARE(combo.Code(), QStringLiteral("9"));
        QCOMPARE(combo.Text(), QStringLiteral("Hill"));
        QCOMPARE(clicks.count(), 1);

        QTest::keyClick(combo.combo(), Qt::Key_Up);
        QCOMPARE(combo.Code(), QStringLiteral("7"));
        QCOMPARE(clicks.count(), 2);

        combo.ShowDropDown();
        clickInList(combo.combo(), 1);
        QCOMPARE(combo.Code(), QStringLiteral("9"));
        QCOMPARE(clicks.count(), 3);
        // Picking the entry the typed text already shows changes no text, and is still a click.
        combo.combo()->lineEdit()->selectAll();
        QTest::keyClicks(combo.combo(), QStringLiteral("hill"));
        QCOMPARE(clicks.count(), 4);
        combo.setCode(QStringLiteral("12"));
        combo.ShowDropDown();
        clickInList(combo.combo(), 1);
        QCOMPARE(combo.Code(), QStringLiteral("9"));
        QCOMPARE(clicks.count(), 5);
    }

    void textIsMatchedIgnoringCapitals()
    {
        uc2ColCombo combo;
        fillLakeAndHill(combo);
        QSignalSpy clicks(&combo, &uc2ColCombo::Click);
        QTest::keyClicks(combo.combo(), QStringLiteral("hILL"));
        QCOMPARE(combo.Code(), QStringLiteral("9"));
        QCOMPARE(combo.ListIndex(), 1);
        QCOMPARE(combo.Text(), QStringLiteral("Hill"));
        QCOMPARE(clicks.count(), 1);

        // Text that no entry has is no choice, and what was typed stays.
        QTest::keyClick(combo.combo(), Qt::Key_S);
        QCOMPARE(combo.Code(), noCode);
        QCOMPARE(combo.ListIndex(), -1);
        QCOMPARE(combo.Text(), QStringLiteral("Hills"));

        combo.setText(QStringLiteral("LAKE"));
        QCOMPARE(combo.Code(), QStringLiteral("7"));
        combo.setText(QStringLiteral("Pond"));
        QCOMPARE(combo.Code(), noCode);
        QCOMPARE(clicks.count(), 2);
    }

    void changeComesBeforeTheMatchOnEveryWrittenText()
    {
        uc2ColCombo combo;
        QStringList codesSeen;
        connect(&combo, &uc2ColCombo::Change, this, [&] { codesSeen << combo.Code(); });
        // Text written before the list is filled has no entry; the code written after it stays, and
        // filling the list neither matches again nor selects.
        combo.setText(QStringLiteral("Hill"));
        QCOMPARE(combo.Code(), noCode);
        combo.setCode(QStringLiteral("9"));
        fillLakeAndHill(combo);
        QCOMPARE(combo.Code(), QStringLiteral("9"));
        QCOMPARE(combo.Text(), QStringLiteral("Hill"));
        QCOMPARE(combo.ListIndex(), -1);
        QCOMPARE(codesSeen, QStringList{QString()});

        combo.setText(QStringLiteral("Lake"));
        QCOMPARE(codesSeen.last(), QStringLiteral("9"));
        QCOMPARE(combo.Code(), QStringLiteral("7"));
        // The same text again still matches, so a code written in between gives way to it.
        combo.setCode(QStringLiteral("12"));
        combo.setText(QStringLiteral("Lake"));
        QCOMPARE(codesSeen.last(), QStringLiteral("12"));
        QCOMPARE(combo.Code(), QStringLiteral("7"));
        QTest::keyClick(combo.combo(), Qt::Key_Backspace);
        QCOMPARE(codesSeen.last(), QStringLiteral("7"));
        QCOMPARE(combo.Code(), noCode);
        QCOMPARE(codesSeen.size(), 4);
    }

    void removingAndClearingKeepBothListsInStep()
    {
        uc2ColCombo combo;
        fillLakeAndHill(combo);
        combo.setListIndex(1);
        QSignalSpy changes(&combo, &uc2ColCombo::Change);
        combo.RemoveItem(0);
        QCOMPARE(combo.ListCount(), 1);
        QCOMPARE(combo.NewIndex(), -1);
        QCOMPARE(combo.List(0), QStringLiteral("Hill"));
        QCOMPARE(combo.ListIndex(), 0);
        QCOMPARE(combo.Text(), QStringLiteral("Hill"));
        combo.setListIndex(0);
        QCOMPARE(combo.Code(), QStringLiteral("9"));

        // Removing the chosen entry leaves the text and the code, and no entry selected.
        combo.RemoveItem(0);
        QCOMPARE(combo.ListIndex(), -1);
        QCOMPARE(combo.Text(), QStringLiteral("Hill"));
        QCOMPARE(combo.Code(), QStringLiteral("9"));

        // Clearing also empties the edit field, even with no entry selected.
        fillLakeAndHill(combo);
        combo.Clear();
        QCOMPARE(combo.ListCount(), 0);
        QCOMPARE(combo.NewIndex(), -1);
        QCOMPARE(combo.Text(), QString());
        QCOMPARE(combo.Code(), QStringLiteral("9"));
        QCOMPARE(changes.count(), 0);
        // The hidden list was emptied too: the first new entry carries its own code.
        combo.AddItem(QStringLiteral("Pond"), QStringLiteral("3"));
        QCOMPARE(combo.NewIndex(), 0);
        combo.setListIndex(0);
        QCOMPARE(combo.Code(), QStringLiteral("3"));
    }

    void dropDownComesFirstAndKeysAreReported()
    {
        uc2ColCombo combo;
        combo.show();
        // The owner fills the list just in time.
        connect(&combo, &uc2ColCombo::DropDown, this, [&] {
            combo.Clear();
            fillLakeAndHill(combo);
        });
        combo.ShowDropDown();
        QVERIFY(combo.combo()->view()->isVisible());
        QCOMPARE(combo.combo()->view()->model()->rowCount(), 2);
        combo.HideDropDown();
        QVERIFY(!combo.combo()->view()->isVisible());

        QSignalSpy down(&combo, &uc2ColCombo::KeyDown);
        QSignalSpy press(&combo, &uc2ColCombo::KeyPress);
        QSignalSpy up(&combo, &uc2ColCombo::KeyUp);
        QTest::keyClick(combo.combo(), 'L', Qt::ShiftModifier);
        QCOMPARE(down.last(), (QVariantList{int(Qt::Key_L), int(Qt::ShiftModifier)}));
        QCOMPARE(press.count(), 1);
        QCOMPARE(press[0][0].toInt(), int('L'));
        QCOMPARE(up.count(), down.count());
        // Delete is a key, not a typed character, though X11 gives it one.
        QTest::sendKeyEvent(QTest::Click, combo.combo()->lineEdit(), Qt::Key_Delete, QString(QChar(0x7F)),
                            Qt::NoModifier);
        QCOMPARE(down.last()[0].toInt(), int(Qt::Key_Delete));
        QCOMPARE(press.count(), 1);

        // Locked, the keys are still reported but change nothing.
        combo.setListIndex(0);
        combo.setLocked(true);
        QTest::keyClick(combo.combo(), Qt::Key_Down);
        QTest::keyClick(combo.combo(), 'x');
        QCOMPARE(combo.Text(), QStringLiteral("Lake"));
        QCOMPARE(combo.Code(), QStringLiteral("7"));
        QCOMPARE(down.last()[0].toInt(), int(Qt::Key_X));
    }

    void typingCompletesToTheFirstEntryThatBegins_data()
    {
        QTest::addColumn<bool>("coded");
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<QString>("typed");
        QTest::newRow("two-column combo") << true << QStringList{"Lake", "Hill"} << QStringLiteral("hI");
        QTest::newRow("plain combo, lower-case entries")
            << false << QStringList{"lake", "hill"} << QStringLiteral("Hi");
    }

    void typingCompletesToTheFirstEntryThatBegins()
    {
        QFETCH(bool, coded);
        QFETCH(QStringList, entries);
        QFETCH(QString, typed);
        Host host(coded, entries);
        const QString hill = entries[1];
        QTest::keyClick(host.combo, typed[0].toLatin1());
        QCOMPARE(host.combo->currentText(), hill);
        QCOMPARE(host.edit()->selectedText(), hill.mid(1));
        QCOMPARE(host.edit()->cursorPosition(), 1);
        QCOMPARE(host.typeAhead.lastFound(), 1);
        QCOMPARE(host.changed, 1);
        if (coded) {
            QCOMPARE(host.code(), QStringLiteral("9"));
            QCOMPARE(host.clicks, 1);
        }

        // Text no entry begins with cannot be typed.
        QTest::keyClick(host.combo, 'x');
        QCOMPARE(host.combo->currentText(), hill);
        QCOMPARE(host.edit()->selectedText(), hill.mid(1));
        QCOMPARE(host.typeAhead.lastFound(), -1);
        QCOMPARE(host.changed, 2);

        QTest::keyClick(host.combo, typed[1].toLatin1());
        QCOMPARE(host.edit()->selectedText(), hill.mid(2));
        QCOMPARE(host.edit()->cursorPosition(), 2);

        // Backspace acts normally: the completion goes.
        QTest::keyClick(host.combo, Qt::Key_Backspace);
        QCOMPARE(host.combo->currentText(), hill.left(2));
        QCOMPARE(host.changed, 4);
        if (coded)
            QCOMPARE(host.code(), noCode);
        // Characters beyond the plain ones are not held back.
        QTest::sendKeyEvent(QTest::Click, host.combo, Qt::Key_Eacute, QString(QChar(0xE9)), Qt::NoModifier);
        QCOMPARE(host.combo->currentText(), hill.left(2) + QChar(0xE9));
        QTest::keyClick(host.combo, Qt::Key_Left);
        QTest::sendKeyEvent(QTest::Click, host.combo, Qt::Key_Delete, QString(QChar(0x7F)), Qt::NoModifier);
        QCOMPARE(host.combo->currentText(), hill.left(2));
        QCOMPARE(host.movedOnFrom, QList<QComboBox*>());
    }

    void enterTakesTheEntryFoundAndMovesOn()
    {
        Host host(true, {"Lake", "Hill"});
        QSignalSpy returns(host.edit(), &QLineEdit::returnPressed);
        QTest::keyClick(host.combo, 'h');
        QTest::keyClick(host.combo, Qt::Key_Backspace);
        QTest::keyClick(host.combo, Qt::Key_Backspace);
        QCOMPARE(host.combo->currentText(), QString());
        QTest::keyClick(host.combo, Qt::Key_Return);
        QCOMPARE(host.combo->currentText(), QStringLiteral("Hill"));
        QCOMPARE(host.code(), QStringLiteral("9"));
        QCOMPARE(host.movedOnFrom, QList<QComboBox*>{host.combo});
        QCOMPARE(returns.count(), 0);
    }

    void onlyAChoiceMadeOffTheArrowKeysMovesOn()
    {
        Host host(false, {"Lake", "Hill", "Hillside"});
        host.window.show();
        // Qt chooses while the arrow is down; that is browsing.
        host.combo->setCurrentIndex(0);
        QTest::keyPress(host.combo, Qt::Key_Down);
        QCOMPARE(host.combo->currentText(), QStringLiteral("Hill"));
        QVERIFY(host.movedOnFrom.isEmpty());
        QTest::keyRelease(host.combo, Qt::Key_Down);
        QCOMPARE(host.typeAhead.lastFound(), 1);

        // So is turning the wheel over the combo.
        const QPointF inside(5, 5);
        QWheelEvent wheel(inside, host.combo->mapToGlobal(inside), {}, {0, -120}, Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(host.combo, &wheel);
        QCOMPARE(host.combo->currentText(), QStringLiteral("Hillside"));
        QVERIFY(host.movedOnFrom.isEmpty());
        QCoreApplication::processEvents();

        host.combo->showPopup();
        clickInList(host.combo, 0);
        QCOMPARE(host.combo->currentText(), QStringLiteral("Lake"));
        QCOMPARE(host.movedOnFrom, QList<QComboBox*>{host.combo});
    }

    void dateOrNullRoundTrips()
    {
        DatePicker picker;
        QSignalSpy changes(&picker, &DatePicker::ValueChanged);
        QVERIFY(!picker.Value().isValid());
        QVERIFY(!picker.dateEdit()->isEnabled());
        QCOMPARE(picker.dateEdit()->displayFormat(), QStringLiteral("MM/dd/yyyy"));

        const QDate taken(2004, 7, 5);
        picker.setValue(taken);
        QCOMPARE(picker.Value(), QVariant(taken));
        QVERIFY(picker.checkBox()->isChecked() && picker.dateEdit()->isEnabled());
        QCOMPARE(picker.dateEdit()->text(), QStringLiteral("07/05/2004"));
        QCOMPARE(changes.count(), 1);
        picker.setValue(taken);
        QCOMPARE(changes.count(), 1);
        picker.setValue(QDate(1920, 12, 31));
        QCOMPARE(picker.Value(), QVariant(QDate(1920, 12, 31)));
        QCOMPARE(changes.count(), 2);

        picker.setValue(QVariant());
        QVERIFY(!picker.Value().isValid());
        QVERIFY(!picker.checkBox()->isChecked() && !picker.dateEdit()->isEnabled());
        QCOMPARE(changes.count(), 3);
        picker.setValue(taken);
        picker.setValue(QDate());
        QVERIFY(!picker.Value().isValid());
    }

    void theUsersActionsRaiseTheirEvents()
    {
        DatePicker picker;
        picker.resize(200, 30);
        picker.show();
        QVERIFY(QTest::qWaitForWindowExposed(&picker));
        QSignalSpy clicks(&picker, &DatePicker::Click);
        QSignalSpy drops(&picker, &DatePicker::DropDown);
        QSignalSpy changes(&picker, &DatePicker::ValueChanged);
        QDateEdit* date = picker.dateEdit();
        QWidget* calendar = date->calendarWidget()->window();

        // Unchecked, the date takes no clicks and no keys.
        QTest::mouseClick(date, Qt::LeftButton, {}, QPoint(5, date->height() / 2));
        QTest::keyClick(date, Qt::Key_F4);
        QCOMPARE(clicks.count(), 0);
        QCOMPARE(drops.count(), 0);

        QTest::mouseClick(picker.checkBox(), Qt::LeftButton);
        QVERIFY(picker.Value().isValid());
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(changes.count(), 1);

        picker.setValue(QDate(2004, 7, 5));
        date->setCurrentSection(QDateTimeEdit::YearSection);
        QTest::keyClick(date, Qt::Key_Up);
        QCOMPARE(picker.Value(), QVariant(QDate(2005, 7, 5)));

        QTest::mouseClick(date, Qt::LeftButton, {}, QPoint(5, date->height() / 2));
        QCOMPARE(clicks.count(), 2);
        QTest::mouseClick(date, Qt::LeftButton, {}, QPoint(date->width() - 4, date->height() / 2));
        QCOMPARE(clicks.count(), 3);
        QCOMPARE(drops.count(), 1);
        QVERIFY(calendar->isVisible());
        // A click away from the open calendar closes it; it is no click on the picker.
        QTest::mouseClick(calendar, Qt::LeftButton, {}, calendar->mapFromGlobal(picker.mapToGlobal(QPoint(-50, 5))));
        QVERIFY(!calendar->isVisible());
        QTest::keyClick(date, Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(drops.count(), 2);
        QVERIFY(calendar->isVisible());
        calendar->hide();
        QCOMPARE(clicks.count(), 3);
    }
};

int runControlsTest(int argc, char* argv[])
{
    ControlsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ControlsTest.moc"

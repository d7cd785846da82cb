#include "core/Settings.h"
#include "data/cDataBase.h"
#include "gui/shell/frmHelp.h"
#include "support/CatalogueQueries.h"
#include "support/MainWindowFixture.h"

#include <QAction>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

// The find window driven as a user would, over the sample catalogue, with the photo editor
// showing what it finds.
class FindWindowTest : public MainWindowTestCase
{
    Q_OBJECT

private:
    void setUp() override
    {
        gDB->DB().Execute(QStringLiteral("UPDATE Photos SET FileName = ? WHERE PhotoID = 7"),
                          {QStringLiteral("/home/me/Pictures/2005/beach.jpg")});
        m_main = showMainWindow(*m_folder);
    }

private slots:
    void findsInEachFieldAndEnterRepeatsTheButtonUsedLast()
    {
        QVERIFY(m_main->findChild<QAction*>(QStringLiteral("Find"))->isEnabled());
        m_main->findChild<QAction*>(QStringLiteral("mnuToolsFind"))->trigger();
        QVERIFY(window());
        QVERIFY(m_main->Child(QStringLiteral("frmPhotos")));
        QCOMPARE(window()->windowTitle(), QStringLiteral("Find"));
        // The first time, the caption is where to look.
        QVERIFY(option(1)->isChecked());
        QCOMPARE(button("cmdFind(0)")->text(), QStringLiteral("Find &First"));
        QTest::keyRelease(option(2), Qt::Key_F1);
        auto* help = m_main->findChild<frmHelp*>(QStringLiteral("frmHelp"));
        QVERIFY(help && help->isVisible());
        QCOMPARE(help->CurrentPage(), QStringLiteral("find.html"));
        m_main->ShowChild(QStringLiteral("frmFind"));

        type(QStringLiteral("LIGHT"));
        click("cmdFind(0)");
        QCOMPARE(shownPhoto(), QStringLiteral("1"));
        QCOMPARE(m_main->mdiArea()->activeSubWindow()->widget(), window());
        click("cmdFind(1)");
        QCOMPARE(shownPhoto(), QStringLiteral("6"));
        click("cmdFind(1)");
        QCOMPARE(shownPhoto(), QStringLiteral("1"));
        // Enter repeats Find Next...
        QTest::keyClick(findBox(), Qt::Key_Return);
        QCOMPARE(shownPhoto(), QStringLiteral("6"));
        // ...and after Find First, Find First.
        click("cmdFind(0)");
        QCOMPARE(shownPhoto(), QStringLiteral("1"));
        QTest::keyClick(findBox(), Qt::Key_Enter);
        QCOMPARE(shownPhoto(), QStringLiteral("1"));

        // Wildcards and an apostrophe (which stands for any run of characters).
        type(QStringLiteral("geese*lake"));
        click("cmdFind(0)");
        QCOMPARE(shownPhoto(), QStringLiteral("2"));
        type(QStringLiteral("grandma's 8#th"));
        click("cmdFind(0)");
        QCOMPARE(shownPhoto(), QStringLiteral("3"));
        option(0)->click();
        type(QStringLiteral("?"));
        click("cmdFind(0)");
        QCOMPARE(shownPhoto(), QStringLiteral("1"));
        type(QStringLiteral("5"));
        click("cmdFind(0)");
        QCOMPARE(shownPhoto(), QStringLiteral("5"));
        option(3)->click();
        type(QStringLiteral("pictures/2005"));
        click("cmdFind(0)");
        QCOMPARE(shownPhoto(), QStringLiteral("7"));
        option(2)->click();
        type(QStringLiteral("keeper"));
        click("cmdFind(0)");
        QCOMPARE(shownPhoto(), QStringLiteral("1"));
        QVERIFY(m_folder->messages().shown().empty());

        // Nothing found is said, and the editor stays where it was.
        type(QStringLiteral("no such words"));
        click("cmdFind(1)");
        QCOMPARE(shownPhoto(), QStringLiteral("1"));
        QCOMPARE(m_folder->messages().shown().size(), std::size_t(1));
        QCOMPARE(lastMessage(), QStringLiteral("No photo matches \"no such words\" in Comments."));

        // The text and the field are there again when the window opens next.
        type(QStringLiteral("dad's"));
        click("cmdClose");
        QVERIFY(!window());
        QCOMPARE(GetSetting(QStringLiteral("StartUp"), QStringLiteral("FindText")), QStringLiteral("dad's"));
        m_main->ShowChild(QStringLiteral("frmFind"));
        QCOMPARE(findBox()->text(), QStringLiteral("dad's"));
        QCOMPARE(findBox()->cursorPosition(), 5);
        QVERIFY(option(2)->isChecked());
        QTest::keyClick(findBox(), Qt::Key_Return);
        QCOMPARE(shownPhoto(), QStringLiteral("6"));
    }

    void anUnsavedChangeInTheEditorIsSettledFirst()
    {
        m_main->ShowChild(QStringLiteral("frmFind"));
        type(QStringLiteral("geese"));
        click("cmdFind(0)");
        QCOMPARE(shownPhoto(), QStringLiteral("2"));

        // No: the change is dropped and the search goes on.
        QTest::keyClicks(editorBox("txtComments"), QStringLiteral(" dropped"));
        m_folder->messages().setNextAnswer(MsgAnswer::No);
        type(QStringLiteral("light"));
        click("cmdFind(0)");
        QCOMPARE(lastMessage(), QStringLiteral("Save Changes?"));
        QCOMPARE(shownPhoto(), QStringLiteral("1"));
        QVERIFY(!photoField(2, "Comments").toString().contains(u"dropped"));

        // Yes with a change that cannot be saved (a number in use): the change stays on the screen.
        editorBox("txtPhotoID")->selectAll();
        QTest::keyClicks(editorBox("txtPhotoID"), QStringLiteral("5"));
        m_folder->messages().setNextAnswer(MsgAnswer::Yes);
        click("cmdFind(1)");
        QCOMPARE(lastMessage(), QStringLiteral("A photo with this ID already exists. Enter a different ID number."));
        QCOMPARE(shownPhoto(), QStringLiteral("5"));
        QCOMPARE(photoField(1, "Caption").toString(), QStringLiteral("Pemaquid Point Light at dusk, Maine"));

        // Yes with a sound change: it is stored, then the editor moves.
        editorBox("txtPhotoID")->selectAll();
        QTest::keyClicks(editorBox("txtPhotoID"), QStringLiteral("1"));
        QTest::keyClicks(editorBox("txtComments"), QStringLiteral(" kept"));
        m_folder->messages().setNextAnswer(MsgAnswer::Yes);
        click("cmdFind(1)");
        QVERIFY(photoField(1, "Comments").toString().contains(u" kept"));
        QCOMPARE(shownPhoto(), QStringLiteral("6"));
    }

private:
    QWidget* window() const { return m_main->Child(QStringLiteral("frmFind")); }
    QLineEdit* findBox() const { return window()->findChild<QLineEdit*>(QStringLiteral("txtFind")); }
    QRadioButton* option(int index) const
    {
        return window()->findChild<QRadioButton*>(QStringLiteral("optFind(%1)").arg(index));
    }
    QPushButton* button(const char* name) const { return window()->findChild<QPushButton*>(QString::fromLatin1(name)); }
    void click(const char* name) const { button(name)->click(); }
    void type(const QString& text) const
    {
        findBox()->selectAll();
        QTest::keyClicks(findBox(), text);
    }
    QLineEdit* editorBox(const char* name) const
    {
        return m_main->Child(QStringLiteral("frmPhotos"))->findChild<QLineEdit*>(QString::fromLatin1(name));
    }
    QString lastMessage() const { return m_folder->messages().lastText(); }
    QString shownPhoto() const { return editorBox("txtPhotoID")->text(); }
};

int runFindWindowTest(int argc, char* argv[])
{
    FindWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "FindWindowTest.moc"

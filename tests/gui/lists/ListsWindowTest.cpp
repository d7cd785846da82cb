#include "core/Failure.h"
#include "core/Settings.h"
#include "data/cDataBase.h"
#include "gui/lists/frmAdd.h"
#include "gui/controls/uc2ColCombo.h"
#include "gui/lists/frmLists.h"
#include "gui/shell/frmHelp.h"
#include "support/CatalogueQueries.h"
#include "support/ModalAnswer.h"
#include "support/MainWindowFixture.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTreeWidget>

namespace {

const QString startUp = QStringLiteral("StartUp");

// Each tab's tables and the names that its entries are given in the scenario: every name holds
// characters that a path, a query or a key could trip over.
struct TabCase
{
    int tab;
    QString root;
    QString topTable, topName, childTable, childName, parentId;
    QString topCaption, childCaption;
    QString kind, children;
    QString top, topRenamed, child, childRenamed;
};

QString longName(QChar fill)
{
    return QString(150, fill) + QStringLiteral(R"( \ "" )") + QString(144, fill);
}

} // namespace

Q_DECLARE_METATYPE(TabCase)

// The lists window driven through its tab strip, tree and buttons, with the item dialog answered
// as a user would, over the sample catalogue.
class ListsWindowTest : public MainWindowTestCase
{
    Q_OBJECT

private slots:
    // Save, Escape and the close button are driven through the window below; here the Cancel button.
    void theItemDialogStartsInItsBoxAndCancelsWhateverWasTyped()
    {
        frmAdd dialog;
        dialog.setTitle(QStringLiteral("Edit Maine"));
        dialog.setItem(QStringLiteral("Maine"));
        whenModalShows([&](QWidget*) {
            auto* box = dialog.findChild<QLineEdit*>(QStringLiteral("txtItem"));
            QCOMPARE(dialog.focusWidget(), box);
            QCOMPARE(box->text(), QStringLiteral("Maine"));
            box->selectAll();
            box->insert(QStringLiteral("Мэн"));
            dialog.findChild<QPushButton*>(QStringLiteral("cmdCancel"))->click();
        });
        dialog.exec();
        QCOMPARE(dialog.Item(), QString());
        QVERIFY(dialog.Cancelled());
        // Its place is kept for the next time.
        QVERIFY(!GetSetting(startUp, QStringLiteral("frmAddWidth")).isEmpty());
    }

    void theButtonsFollowTheSelectionByMouseAndKeyboard()
    {
        open();
        QCOMPARE(tabs()->tabText(0), QStringLiteral("Ca&tegories"));
        QCOMPARE(tabs()->tabText(2), QStringLiteral("Stora&ge Devices"));
        QCOMPARE(enabledButtons(), QStringLiteral("cmdAdd(0)"));
        QCOMPARE(frame("fraNode")->title(), QStringLiteral("Categories"));
        QCOMPARE(button("cmdAdd(1)")->toolTip(), QStringLiteral("Add a subject"));
        QCOMPARE(tree()->topLevelItem(0)->text(0), QStringLiteral("Category"));

        clickNode({});
        QCOMPARE(enabledButtons(), QStringLiteral("cmdAdd(0)"));
        QTest::keyClick(tree(), Qt::Key_Down);
        QCOMPARE(tree()->currentItem()->text(0), QStringLiteral("Animals"));
        QCOMPARE(enabledButtons(), QStringLiteral("cmdEdit(0) cmdDelete(0) cmdAdd(1)"));
        QTest::keyClick(tree(), Qt::Key_Right);
        QTest::keyClick(tree(), Qt::Key_Down);
        QCOMPARE(tree()->currentItem()->text(0), QStringLiteral("Birds"));
        QCOMPARE(enabledButtons(), QStringLiteral("cmdEdit(1) cmdDelete(1)"));
        QTest::keyClick(tree(), Qt::Key_Home);
        QCOMPARE(enabledButtons(), QStringLiteral("cmdAdd(0)"));
        clickNode({"Nature"});
        QCOMPARE(enabledButtons(), QStringLiteral("cmdEdit(0) cmdDelete(0) cmdAdd(1)"));

        // Nothing chosen on one tab stays chosen on the next.
        tabs()->setCurrentIndex(1);
        QCOMPARE(enabledButtons(), QStringLiteral("cmdAdd(0)"));
        QCOMPARE(frame("fraSubNode")->title(), QStringLiteral("Locations"));
        QCOMPARE(button("cmdEdit(0)")->toolTip(), QStringLiteral("Edit this state"));
        QCOMPARE(tree()->topLevelItem(0)->text(0), QStringLiteral("States"));
        tabs()->setCurrentIndex(2);
        QCOMPARE(frame("fraSubNode")->title(), QStringLiteral("DeviceIDs"));
        QCOMPARE(button("cmdDelete(1)")->toolTip(), QStringLiteral("Delete this storage location"));
        QCOMPARE(names(), (QStringList{"Album", "CD-ROM", "Negative Box"}));
    }

    void everyTabAddsRenamesAndDeletesAtBothLevels_data()
    {
        QTest::addColumn<TabCase>("under");
        QTest::newRow("categories") << TabCase{0,
                                               "Category",
                                               "Categories",
                                               "Category",
                                               "Subjects",
                                               "Subject",
                                               "CategoryID",
                                               "Categories",
                                               "Subjects",
                                               "Category",
                                               "Subjects",
                                               R"(Mum's "Garden" \ Patio)",
                                               longName(QChar(0x0436)),
                                               R"(Roses\Red)",
                                               QStringLiteral("Rosen \"Rot\" 日本")};
        QTest::newRow("states") << TabCase{1,
                                           "States",
                                           "States",
                                           "State",
                                           "Locations",
                                           "Location",
                                           "StateID",
                                           "States",
                                           "Locations",
                                           "State",
                                           "Locations",
                                           QStringLiteral("Łódź \\ Pomorze"),
                                           R"(Ohio "OH" \)",
                                           longName(QLatin1Char('x')),
                                           QStringLiteral("Κέρκυρα \\ \"Old\"")};
        QTest::newRow("storage") << TabCase{2,
                                            "Storage Devices",
                                            "StorageDevices",
                                            "StorageDevice",
                                            "StorageLocations",
                                            "StorageLocation",
                                            "StorageDeviceID",
                                            "Storage Devices",
                                            "DeviceIDs",
                                            "Storage Device",
                                            "Storage IDs",
                                            QStringLiteral("箱 \\ \"Shoe\""),
                                            longName(QChar(0x7bb1)),
                                            R"(\\server\share)",
                                            R"(Drawer "2")"};
    }
    void everyTabAddsRenamesAndDeletesAtBothLevels()
    {
        QFETCH(TabCase, under);
        open();
        tabs()->setCurrentIndex(under.tab);
        const auto topCount = [&](const QString& name) {
            return countRows(QStringLiteral("SELECT * FROM %1 WHERE %2 = ?").arg(under.topTable, under.topName),
                             {name});
        };
        const auto childCount = [&](const QString& top, const QString& child) {
            return countRows(QStringLiteral("SELECT * FROM %1 JOIN %2 USING (%3) WHERE %4 = ? AND %5 = ?")
                                 .arg(under.childTable, under.topTable, under.parentId, under.topName, under.childName),
                             {top, child});
        };

        clickNode({});
        QCOMPARE(press("cmdAdd(0)", under.top), QStringLiteral("Add ") + under.topCaption);
        QCOMPARE(topCount(under.top), 1);
        // The new entry is shown selected, ready for its dependent entries.
        QCOMPARE(tree()->currentItem()->text(0), under.top);
        QCOMPARE(press("cmdAdd(1)", under.child), QStringLiteral("Add ") + under.childCaption);
        QCOMPARE(childCount(under.top, under.child), 1);
        QVERIFY(node({under.top})->isExpanded());

        clickNode({under.top, under.child});
        QCOMPARE(press("cmdEdit(1)", under.childRenamed), QStringLiteral("Edit ") + under.child);
        QCOMPARE(m_dialogItem, under.child);
        QCOMPARE(childCount(under.top, under.childRenamed), 1);
        QCOMPARE(childCount(under.top, under.child), 0);

        clickNode({under.top});
        QCOMPARE(press("cmdEdit(0)", under.topRenamed), QStringLiteral("Edit ") + under.top);
        QCOMPARE(m_dialogItem, under.top);
        QCOMPARE(childCount(under.topRenamed, under.childRenamed), 1);
        QCOMPARE(topCount(under.top), 0);
        // The renamed entry is open again, with its dependent entry under it.
        QVERIFY(node({under.topRenamed})->isExpanded());
        QCOMPARE(tree()->currentItem()->text(0), under.topRenamed);
        QVERIFY(node({under.topRenamed, under.childRenamed}));

        // An entry that still has dependent entries stays.
        click("cmdDelete(0)");
        QCOMPARE(lastMessage(), QStringLiteral("You must remove all ") + under.children +
                                    QStringLiteral(" before you can delete this ") + under.kind);
        QCOMPARE(m_folder->messages().shown().back().title, QStringLiteral("Delete Error"));
        QCOMPARE(m_folder->messages().shown().back().icon, MsgIcon::Critical);
        QCOMPARE(topCount(under.topRenamed), 1);

        clickNode({under.topRenamed, under.childRenamed});
        click("cmdDelete(1)");
        QCOMPARE(childCount(under.topRenamed, under.childRenamed), 0);
        QVERIFY(!node({under.topRenamed, under.childRenamed}));
        // The parent is selected again: its own Delete is the next step.
        QCOMPARE(tree()->currentItem()->text(0), under.topRenamed);
        click("cmdDelete(0)");
        QCOMPARE(topCount(under.topRenamed), 0);
        QVERIFY(!node({under.topRenamed}));
        QCOMPARE(enabledButtons(), QStringLiteral("cmdAdd(0)"));
        QCOMPARE(m_folder->messages().shown().size(), std::size_t(1));
    }

    void refusalsAndCancelsChangeNothing()
    {
        open();
        const int categories = countRows(QStringLiteral("SELECT * FROM Categories"));
        clickNode({});
        press("cmdAdd(0)", QStringLiteral("animals"));
        QCOMPARE(lastMessage(),
                 QStringLiteral("There is already an entry with this name - duplicates are not allowed."));
        QCOMPARE(m_folder->messages().shown().back().title, QStringLiteral("Error Adding Entry"));
        QCOMPARE(m_folder->messages().shown().back().icon, MsgIcon::Critical);
        press("cmdAdd(0)", QString());
        cancel("cmdAdd(0)", Qt::Key_Escape);
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM Categories")), categories);

        clickNode({"Nature", "Lighthouses"});
        click("cmdDelete(1)");
        QCOMPARE(lastMessage(),
                 QStringLiteral("You must remove Lighthouses from all Photos before it can be deleted "));
        QCOMPARE(m_folder->messages().shown().back().title, QStringLiteral("Delete Error"));

        // A rename to a name in use shows the engine's words; one emptied or cancelled changes nothing.
        clickNode({"Animals", "Dogs"});
        press("cmdEdit(1)", QStringLiteral("birds"));
        QCOMPARE(lastMessage(), Failure::describe(ErrorNumber::DuplicateValue));
        QCOMPARE(m_folder->messages().shown().back().title, QStringLiteral("Vellaro"));
        QCOMPARE(m_folder->messages().shown().size(), std::size_t(3));
        clickNode({"Animals", "Dogs"});
        press("cmdEdit(1)", QString());
        cancel("cmdEdit(1)", Qt::Key_Escape);
        cancel("cmdEdit(1)", Qt::Key_unknown);
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM Subjects WHERE Subject = 'Dogs'")), 1);
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM Subjects WHERE Subject = ''")), 0);
        // The failed rename left nothing pending: the next command stores only its own change.
        press("cmdEdit(1)", QStringLiteral("Cats"));
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM Subjects WHERE Subject IN ('Cats', 'Dogs', 'Birds')")), 2);
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM Subjects WHERE Subject = 'Cats'")), 1);
        QCOMPARE(m_folder->messages().shown().size(), std::size_t(3));
    }

    void aWindowWhoseListsCannotOpenIsNotOffered()
    {
        gDB->DB().Execute(QStringLiteral("ALTER TABLE StorageDevices RENAME TO Devices"));
        m_main = showMainWindow(*m_folder);
        QVERIFY(!m_main->ShowChild(QStringLiteral("frmLists")));
        QCOMPARE(m_folder->messages().shown().size(), std::size_t(1));
        QVERIFY(!m_main->Child(QStringLiteral("frmLists")));
    }

    void theLastTopLevelEntryStays()
    {
        gDB->DB().Execute(QStringLiteral("DELETE FROM PhotosSubjects"));
        gDB->DB().Execute(QStringLiteral("DELETE FROM Subjects"));
        gDB->DB().Execute(QStringLiteral("DELETE FROM Categories WHERE Category <> 'Travel'"));
        open();
        clickNode({"Travel"});
        click("cmdDelete(0)");
        QCOMPARE(lastMessage(), QStringLiteral("Vellaro requires at least one Category.\rPlease add a new one before "
                                               "deleteing this one."));
        QCOMPARE(names(), QStringList{"Travel"});
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM Categories")), 1);
    }

    void anEntryGoneFromTheCatalogueIsNeverStoodInFor()
    {
        open();
        // The window's categories stand on Nature when Family disappears behind its back.
        clickNode({"Nature", "Lakes"});
        press("cmdEdit(1)", QStringLiteral("Lakes and Ponds"));
        clickNode({"Family"});
        gDB->DB().Execute(QStringLiteral("UPDATE Categories SET Category = 'Kin' WHERE Category = 'Family'"));
        const int subjects = countRows(QStringLiteral("SELECT * FROM Subjects"));
        press("cmdAdd(1)", QStringLiteral("Cousins"));
        QCOMPARE(lastMessage(), QStringLiteral("\"Family\" is no longer in the list."));
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM Subjects")), subjects);
        // The tree shows the catalogue again, and nothing stays selected.
        QVERIFY(names().contains(QStringLiteral("Kin")));
        QCOMPARE(enabledButtons(), QStringLiteral("cmdAdd(0)"));

        clickNode({"Kin", "Birthdays"});
        gDB->DB().Execute(QStringLiteral("UPDATE Subjects SET Subject = 'Parties' WHERE Subject = 'Birthdays'"));
        press("cmdEdit(1)", QStringLiteral("Anniversaries"));
        QCOMPARE(lastMessage(), QStringLiteral("\"Birthdays\" is no longer in the list."));
        clickNode({"Kin", "Weddings"});
        gDB->DB().Execute(QStringLiteral("UPDATE Subjects SET Subject = 'Marriages' WHERE Subject = 'Weddings'"));
        click("cmdDelete(1)");
        QCOMPARE(lastMessage(), QStringLiteral("\"Weddings\" is no longer in the list."));
        QCOMPARE(m_folder->messages().shown().size(), std::size_t(3));
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM Subjects WHERE Subject IN ('Lakes and Ponds', 'Parties', "
                                          "'Marriages')")),
                 3);
        clickNode({"Travel"});
        gDB->DB().Execute(QStringLiteral("UPDATE Categories SET Category = 'Trips' WHERE Category = 'Travel'"));
        press("cmdEdit(0)", QStringLiteral("Journeys"));
        QCOMPARE(lastMessage(), QStringLiteral("\"Travel\" is no longer in the list."));
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM Categories WHERE Category IN ('Trips', 'Nature', 'Kin')")), 3);
    }

    void namesThatJoinAlikeAllShowAndTheTreeSurvivesARebuild()
    {
        open();
        const QStringList before = dump();
        clickNode({});
        press("cmdAdd(0)", QStringLiteral("AB"));
        press("cmdAdd(1)", QStringLiteral("C"));
        clickNode({});
        press("cmdAdd(0)", QStringLiteral("A"));
        press("cmdAdd(1)", QStringLiteral("BC"));
        QVERIFY(node({"AB", "C"}));
        QVERIFY(node({"A", "BC"}));

        // Rebuilt after an add, the tree is the one a fresh window shows, with the parent open.
        clickNode({"Nature"});
        press("cmdAdd(1)", QString());
        press("cmdAdd(1)", QStringLiteral("Rivers"));
        QVERIFY(node({"Nature"})->isExpanded());
        QCOMPARE(tree()->currentItem(), node({"Nature"}));
        QStringList expected = before;
        expected.insert(expected.indexOf(QStringLiteral("Category/Nature/Mountains")) + 1,
                        QStringLiteral("Category/Nature/Rivers"));
        expected.insert(1, QStringLiteral("Category/A"));
        expected.insert(2, QStringLiteral("Category/A/BC"));
        expected.insert(3, QStringLiteral("Category/AB"));
        expected.insert(4, QStringLiteral("Category/AB/C"));
        QCOMPARE(dump(), expected);
        tabs()->setCurrentIndex(1);
        tabs()->setCurrentIndex(0);
        QCOMPARE(dump(), expected);
        QVERIFY(!node({"Nature"})->isExpanded());
    }

    void theMainWindowOpensTheListsWithTheirHelpAndPlace()
    {
        m_main = showMainWindow(*m_folder);
        QVERIFY(m_main->findChild<QAction*>(QStringLiteral("Lists"))->isEnabled());
        m_main->findChild<QAction*>(QStringLiteral("mnuLists"))->trigger();
        QVERIFY(window());
        QCOMPARE(window()->windowTitle(), QStringLiteral("Lists"));

        QTest::keyRelease(tree(), Qt::Key_F1);
        auto* help = m_main->findChild<frmHelp*>(QStringLiteral("frmHelp"));
        QVERIFY(help && help->isVisible());
        QCOMPARE(help->CurrentPage(), QStringLiteral("lists.html"));
        clickNode({});
        whenModalShows([](QWidget* dialog) {
            QTest::keyRelease(dialog->findChild<QLineEdit*>(QStringLiteral("txtItem")), Qt::Key_F1);
            dialog->close();
        });
        click("cmdAdd(0)");
        QCOMPARE(help->CurrentPage(), QStringLiteral("item-dialog.html"));

        // Too small a window snaps back to its least size; its place is stored when it closes.
        QWidget* frame = window()->parentWidget();
        frame->resize(200, 150);
        QVERIFY(window()->width() >= 430 && window()->height() >= 320);
        frame->move(30, 40);
        click("cmdClose");
        QVERIFY(!m_main->Child(QStringLiteral("frmLists")));
        QCOMPARE(GetSetting(startUp, QStringLiteral("frmListsLeft")), QStringLiteral("450"));
        QCOMPARE(GetSetting(startUp, QStringLiteral("frmListsTop")), QStringLiteral("600"));
        m_main->ShowChild(QStringLiteral("frmLists"));
        QCOMPARE(window()->parentWidget()->pos(), QPoint(30, 40));

        // Open at Exit, it opens again at the next start.
        m_main->findChild<QAction*>(QStringLiteral("mnuFileExit"))->trigger();
        QCOMPARE(GetSetting(startUp, QStringLiteral("frmListsShown")), QStringLiteral("True"));
        m_main = makeMainWindow(*m_folder);
        m_main->Load();
        QVERIFY(window());

        // What the lists window adds, the photo editor offers.
        tabs()->setCurrentIndex(1);
        clickNode({});
        press("cmdAdd(0)", QStringLiteral("Oregon"));
        press("cmdAdd(1)", QStringLiteral("Bend"));
        QWidget* editor = m_main->Child(QStringLiteral("frmPhotos"));
        QVERIFY(editor);
        auto* states = editor->findChild<QComboBox*>(QStringLiteral("cboPhotos(0)"));
        states->showPopup();
        states->hidePopup();
        QVERIFY(states->findText(QStringLiteral("Oregon")) >= 0);
        states->setCurrentIndex(states->findText(QStringLiteral("Oregon")));
        auto* locations = editor->findChild<uc2ColCombo*>(QStringLiteral("cboCodedPhoto(0)"))->combo();
        locations->showPopup();
        locations->hidePopup();
        QVERIFY(locations->findText(QStringLiteral("Bend")) >= 0);
    }

private:
    void open()
    {
        m_main = showMainWindow(*m_folder);
        m_main->ShowChild(QStringLiteral("frmLists"));
        QVERIFY(window());
    }

    frmLists* window() const { return qobject_cast<frmLists*>(m_main->Child(QStringLiteral("frmLists"))); }
    QTreeWidget* tree() const { return window()->findChild<QTreeWidget*>(QStringLiteral("TreeView1")); }
    QTabBar* tabs() const { return window()->findChild<QTabBar*>(QStringLiteral("TabStrip1")); }
    QGroupBox* frame(const char* name) const { return window()->findChild<QGroupBox*>(QString::fromLatin1(name)); }
    QPushButton* button(const char* name) const { return window()->findChild<QPushButton*>(QString::fromLatin1(name)); }
    void click(const char* name) const
    {
        QVERIFY2(button(name)->isEnabled(), name);
        button(name)->click();
    }
    QString lastMessage() const { return m_folder->messages().lastText(); }

    // The node at this path of names under the root (the root itself for an empty path), or null.
    QTreeWidgetItem* node(const QStringList& path) const
    {
        QTreeWidgetItem* at = tree()->topLevelItem(0);
        for (const QString& name : path) {
            QTreeWidgetItem* next = nullptr;
            for (int i = 0; at && i < at->childCount() && !next; ++i) {
                if (at->child(i)->text(0) == name)
                    next = at->child(i);
            }
            at = next;
        }
        return at;
    }
    // Clicks the node with the mouse, opening its parent first as a user would.
    void clickNode(const QStringList& path)
    {
        QTreeWidgetItem* item = node(path);
        QVERIFY(item);
        if (item->parent())
            item->parent()->setExpanded(true);
        tree()->scrollToItem(item);
        QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, tree()->visualItemRect(item).center());
        QCOMPARE(tree()->currentItem(), item);
    }
    // The names of the top-level entries.
    QStringList names() const
    {
        QStringList texts;
        for (int i = 0; i < node({})->childCount(); ++i)
            texts << node({})->child(i)->text(0);
        return texts;
    }
    // Every node as its path of texts, in tree order.
    QStringList dump() const
    {
        QStringList paths;
        const std::function<void(QTreeWidgetItem*, const QString&)> walk = [&](QTreeWidgetItem* item,
                                                                               const QString& path) {
            paths << path;
            for (int i = 0; i < item->childCount(); ++i)
                walk(item->child(i), path + u'/' + item->child(i)->text(0));
        };
        walk(node({}), node({})->text(0));
        return paths;
    }
    QString enabledButtons() const
    {
        QStringList on;
        for (const char* name : {"cmdAdd(0)", "cmdEdit(0)", "cmdDelete(0)", "cmdAdd(1)", "cmdEdit(1)", "cmdDelete(1)"})
            if (button(name)->isEnabled())
                on << QString::fromLatin1(name);
        return on.join(u' ');
    }

    // Clicks the button and answers its dialog with the text and Save; returns the dialog's title.
    QString press(const char* name, const QString& text)
    {
        m_dialogTitle.clear();
        whenModalShows([this, text](QWidget* dialog) {
            m_dialogTitle = dialog->windowTitle();
            auto* box = dialog->findChild<QLineEdit*>(QStringLiteral("txtItem"));
            m_dialogItem = box->text();
            box->setText(text);
            dialog->findChild<QPushButton*>(QStringLiteral("cmdSave"))->click();
        });
        click(name);
        return m_dialogTitle;
    }
    // Clicks the button, types into its dialog and leaves it by a key, or by its close button.
    void cancel(const char* name, Qt::Key key)
    {
        whenModalShows([key](QWidget* dialog) {
            auto* box = dialog->findChild<QLineEdit*>(QStringLiteral("txtItem"));
            QTest::keyClicks(box, QStringLiteral("typed"));
            if (key == Qt::Key_unknown)
                dialog->close();
            else
                QTest::keyClick(box, key);
        });
        click(name);
    }

    QString m_dialogTitle;
    QString m_dialogItem;
};

int runListsWindowTest(int argc, char* argv[])
{
    ListsWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ListsWindowTest.moc"

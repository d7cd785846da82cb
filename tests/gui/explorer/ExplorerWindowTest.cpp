#include "core/Settings.h"
#include "data/cDataBase.h"
#include "gui/explorer/frmExplorer.h"
#include "gui/shell/frmHelp.h"
#include "support/CatalogueQueries.h"
#include "support/ModalAnswer.h"
#include "support/MainWindowFixture.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPushButton>
#include <QSplitter>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>

namespace {

const QString startUp = QStringLiteral("StartUp");

void run(const QString& sql, const QVariantList& parameters = {})
{
    gDB->DB().Execute(sql, parameters);
}

// Adds an entry under its parent, with its id given so that ids meet names as the scenario needs.
void addEntry(const char* table, const char* parentField, qint64 parentId, const char* idField, qint64 id,
              const char* nameField, const QString& name)
{
    run(QStringLiteral("INSERT INTO %1 (%2, %3, %4) VALUES (?, ?, ?)")
            .arg(QString::fromLatin1(table), QString::fromLatin1(parentField), QString::fromLatin1(idField),
                 QString::fromLatin1(nameField)),
        {parentId, id, name});
}

} // namespace

// The explorer driven through its tree, list and status bar over the sample catalogue, with
// entries whose names hold quotes and backslashes, and names that join into each other.
class ExplorerWindowTest : public MainWindowTestCase
{
    Q_OBJECT

private:
    void setUp() override
    {

        // Category "AB" number 1 with subject "1", and category "A" number 11 with subject "B".
        run(QStringLiteral("UPDATE Categories SET Category = 'AB' WHERE CategoryID = 1"));
        run(QStringLiteral("INSERT INTO Categories (CategoryID, Category) VALUES (11, 'A')"));
        run(QStringLiteral("INSERT INTO Categories (CategoryID, Category) VALUES (12, 'States')"));
        addEntry("Subjects", "CategoryID", 11, "SubjectID", 101, "Subject", QStringLiteral("B"));
        addEntry("Subjects", "CategoryID", 1, "SubjectID", 102, "Subject", QStringLiteral("1"));
        addEntry("Subjects", "CategoryID", 12, "SubjectID", 103, "Subject", QStringLiteral("Ohio"));
        run(QStringLiteral("INSERT INTO States (StateID, State) VALUES (21, ?)"), {QStringLiteral("Rhode \"Little\"")});
        addEntry("Locations", "StateID", 21, "LocationID", 201, "Location", QStringLiteral("O'Brien\\Point"));
        // Device "AlbumShelf 2" and storage place "Shelf 2" of the device "Album".
        run(QStringLiteral("INSERT INTO StorageDevices (StorageDeviceID, StorageDevice) VALUES (31, 'AlbumShelf 2')"));
        run(QStringLiteral("INSERT INTO StorageLocations (StorageDeviceID, StorageLocationID, StorageLocation) SELECT "
                           "StorageDeviceID, 301, 'Shelf 2' FROM StorageDevices WHERE StorageDevice = 'Album'"));
        run(QStringLiteral("INSERT INTO Photos (PhotoID, Caption, LocationID, FileName) VALUES (8, ?, 201, ?)"),
            {QStringLiteral("First line\r\nsecond"), m_folder->filePath(QStringLiteral("Lighthouse.jpg"))});
        run(QStringLiteral("INSERT INTO Photos (PhotoID, Caption, StorageLocationID) VALUES (9, ?, 301)"),
            {QStringLiteral("lone\nbreak")});
        run(QStringLiteral(
                "INSERT INTO Photos (PhotoID, Caption, StorageLocationID, FileName) VALUES (10, 'x', 301, ?)"),
            {m_folder->filePath(QStringLiteral("Geese.jpg"))});
        run(QStringLiteral("INSERT INTO PhotosSubjects (PhotoID, SubjectID) VALUES (8, 101), (9, 102), (10, 103)"));

        m_main = showMainWindow(*m_folder);
    }

private slots:
    void theTreeListsThePhotosOfEachKindOfNode()
    {
        QVERIFY(m_main->findChild<QAction*>(QStringLiteral("Explorer"))->isEnabled());
        m_main->findChild<QAction*>(QStringLiteral("mnuViewExplorer"))->trigger();
        QVERIFY(window());
        QCOMPARE(window()->windowTitle(), QStringLiteral("Explorer View"));
        QCOMPARE(tree()->topLevelItemCount(), 3);
        QCOMPARE(children(nullptr), QStringList({"Categories", "States", "Storage Devices"}));
        QVERIFY(tree()->topLevelItem(0)->isExpanded());
        QVERIFY(!tree()->topLevelItem(1)->isExpanded());
        QVERIFY(!tree()->topLevelItem(2)->isExpanded());
        QCOMPARE(children(node({"Categories"})), QStringList({"A", "AB", "Family", "Nature", "States", "Travel"}));
        QCOMPARE(children(node({"Categories", "A"})), QStringList({"B"}));
        QCOMPARE(children(node({"Categories", "AB"})), QStringList({"1", "Birds", "Dogs", "Horses"}));
        QCOMPARE(children(node({"States", "Rhode \"Little\""})), QStringList({"O'Brien\\Point"}));
        QCOMPARE(children(node({"Storage Devices", "Album"})),
                 QStringList({"Album 1 - Coast", "Album 2 - Family", "Shelf 2"}));
        QCOMPARE(children(node({"Storage Devices", "AlbumShelf 2"})), QStringList());
        QTest::keyRelease(tree(), Qt::Key_F1);
        auto* help = m_main->findChild<frmHelp*>(QStringLiteral("frmHelp"));
        QVERIFY(help && help->isVisible());
        QCOMPARE(help->CurrentPage(), QStringLiteral("explorer.html"));

        // Each kind of node, the colliding names and the names with quotes included.
        select({"Categories", "A", "B"});
        QCOMPARE(rows(), QStringList({"8 First linesecond"}));
        QCOMPARE(count(), QStringLiteral("Number of Photos= 1"));
        select({"Categories", "AB", "1"});
        QCOMPARE(rows(), QStringList({"9 lone\nbreak"}));
        select({"Categories", "Nature"});
        QCOMPARE(ids(), QStringList({"1", "2", "5", "6"}));
        QCOMPARE(count(), QStringLiteral("Number of Photos= 4"));
        select({"Categories", "States"});
        QCOMPARE(ids(), QStringList({"10"}));
        select({"Categories", "States", "Ohio"});
        QCOMPARE(ids(), QStringList({"10"}));
        select({"States", "Rhode \"Little\""});
        QCOMPARE(ids(), QStringList({"8"}));
        select({"States", "Rhode \"Little\"", "O'Brien\\Point"});
        QCOMPARE(ids(), QStringList({"8"}));
        select({"States", "Maine"});
        QCOMPARE(ids(), QStringList({"1", "6"}));
        select({"States", "Maine", "Portland"});
        QCOMPARE(ids(), QStringList({"6"}));
        select({"Storage Devices", "Album", "Shelf 2"});
        QCOMPARE(ids(), QStringList({"9", "10"}));
        select({"Storage Devices", "Album"});
        QCOMPARE(ids(), QStringList({"1", "3", "9", "10"}));
        select({"Storage Devices", "AlbumShelf 2"});
        QCOMPARE(ids(), QStringList());
        QCOMPARE(count(), QString());

        // A top-level node only counts.
        select({"Categories"});
        QCOMPARE(ids(), QStringList());
        QCOMPARE(count(), QStringLiteral("Number of Photos= %1")
                              .arg(countRows(QStringLiteral("SELECT DISTINCT PhotoID FROM PhotosSubjects"))));
        select({"States"});
        QCOMPARE(count(), QStringLiteral("Number of Photos= 7"));
        select({"Storage Devices"});
        QCOMPARE(count(), QStringLiteral("Number of Photos= 8"));
        QVERIFY(m_folder->messages().shown().empty());

        // The slide show has the listed photos with a file, also after a top-level node.
        QCOMPARE(slideShow(), QStringList({"10"}));
        select({"States"});
        QCOMPARE(slideShow(), QStringList({"8"}));
        select({"Storage Devices", "Album", "Shelf 2"});
        QCOMPARE(slideShow(), QStringList({"10"}));

        // A listing that fails leaves nothing of the node before it.
        run(QStringLiteral("ALTER TABLE Photos RENAME TO PhotosGone"));
        select({"Categories", "Nature"});
        QCOMPARE(ids(), QStringList());
        QCOMPARE(count(), QString());
        QCOMPARE(m_folder->messages().shown().size(), std::size_t(1));
        QCOMPARE(slideShow(), QStringList());
    }

    void aPhotoOpensInTheEditorAndTheHintStops()
    {
        m_main->ShowChild(QStringLiteral("frmExplorer"));
        select({"Categories", "Nature"});
        // The caption does not open its photo; the number does.
        doubleClick(1, 1);
        QVERIFY(!m_main->Child(QStringLiteral("frmPhotos")));
        doubleClick(1, 0);
        QCOMPARE(editorBox("txtPhotoID")->text(), QStringLiteral("2"));

        // An unsaved change is asked about first: No drops it.
        QTest::keyClicks(editorBox("txtComments"), QStringLiteral(" dropped"));
        m_folder->messages().setNextAnswer(MsgAnswer::No);
        doubleClick(3, 0);
        QCOMPARE(lastMessage(), QStringLiteral("Save Changes?"));
        QCOMPARE(editorBox("txtPhotoID")->text(), QStringLiteral("6"));
        QVERIFY(!photoField(2, "Comments").toString().contains(u"dropped"));
        // Yes keeps it when it cannot be saved.
        editorBox("txtPhotoID")->selectAll();
        QTest::keyClicks(editorBox("txtPhotoID"), QStringLiteral("5"));
        m_folder->messages().setNextAnswer(MsgAnswer::Yes);
        doubleClick(0, 0);
        QCOMPARE(lastMessage(), QStringLiteral("A photo with this ID already exists. Enter a different ID number."));
        QCOMPARE(editorBox("txtPhotoID")->text(), QStringLiteral("5"));

        auto* viewport = list()->viewport();
        const auto move = [&](int x) {
            QMouseEvent event(QEvent::MouseMove, QPointF(x, 5), viewport->mapToGlobal(QPointF(x, 5)), Qt::NoButton,
                              Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(viewport, &event);
        };
        const QString hint = QStringLiteral("Double click on a Photo ID to see the photo in the Photos View");
        for (int i = 0; i < 19; ++i)
            move(2);
        QCOMPARE(list()->toolTip(), hint);
        move(list()->columnWidth(0) + 5);
        QCOMPARE(list()->toolTip(), hint);
        move(2);
        QCOMPARE(list()->toolTip(), QString());
        // However long the mouse goes on moving, the hint never comes back.
        int shownAgain = 0;
        for (int i = 0; i < 70000; ++i) {
            move(2);
            shownAgain += list()->toolTip().isEmpty() ? 0 : 1;
        }
        QCOMPARE(shownAgain, 0);
    }

    void refreshKeepsTheOpenEntriesAndTheSplitterKeepsItsLimits()
    {
        SaveSetting(startUp, QStringLiteral("imgSplitter"), QStringLiteral("100"));
        m_main->ShowChild(QStringLiteral("frmExplorer"));
        QCOMPARE(splitter()->sizes().at(0) * 15, 1500);
        node({"States"})->setExpanded(true);
        node({"States", "Maine"})->setExpanded(true);
        node({"Categories"})->setExpanded(false);
        select({"States", "Maine", "Portland"});
        run(QStringLiteral("INSERT INTO Categories (Category) VALUES ('Zoo')"));
        run(QStringLiteral("UPDATE Photos SET LocationID = (SELECT LocationID FROM Locations WHERE Location = "
                           "'Portland') WHERE PhotoID = 1"));
        window()->findChild<QToolButton*>(QStringLiteral("Panels(2)"))->click();
        QVERIFY(node({"Categories", "Zoo"}));
        QVERIFY(!node({"Categories"})->isExpanded());
        QVERIFY(node({"States"})->isExpanded());
        QVERIFY(node({"States", "Maine"})->isExpanded());
        QVERIFY(!node({"States", "California"})->isExpanded());
        QCOMPARE(tree()->currentItem(), node({"States", "Maine", "Portland"}));
        QCOMPARE(ids(), QStringList({"1", "6"}));

        window()->parentWidget()->close();
        QCOMPARE(GetSetting(startUp, QStringLiteral("imgSplitter")), QStringLiteral("1500"));
    }

    // Each listing finds its rows through indexes, before statistics are gathered and after: no
    // subquery runs once per photo, and a node's listing reads no table or index whole.
    void everyQueryFindsItsPhotosThroughIndexes()
    {
        for (const bool analyzed : {false, true}) {
            if (analyzed)
                run(QStringLiteral("ANALYZE"));
            const QStringList queries = frmExplorer::PhotoQueries();
            for (int i = 0; i < queries.size(); ++i) {
                const QString& sql = queries[i];
                // Of each hierarchy: the count, its photos, then the listings of its two levels.
                const bool nodeListing = i % 4 >= 2;
                auto steps = gDB->DB().OpenRecordset(u"EXPLAIN QUERY PLAN " + sql,
                                                     sql.contains(u'?') ? QVariantList{1} : QVariantList{});
                for (; !steps->Eof(); steps->MoveNext()) {
                    const QString step = steps->Value(QStringLiteral("detail")).toString();
                    QVERIFY2(!step.contains(u"CORRELATED"), qPrintable(sql + u": " + step));
                    QVERIFY2(!step.startsWith(u"SCAN") || (!nodeListing && step.contains(u" USING ")),
                             qPrintable(sql + u": " + step));
                }
            }
        }
    }

private:
    QWidget* window() const { return m_main->Child(QStringLiteral("frmExplorer")); }
    QTreeWidget* tree() const { return window()->findChild<QTreeWidget*>(QStringLiteral("TreeView1")); }
    QTreeView* list() const { return window()->findChild<QTreeView*>(QStringLiteral("ListView1")); }
    QSplitter* splitter() const { return window()->findChild<QSplitter*>(QStringLiteral("imgSplitter")); }
    QString count() const { return window()->findChild<QLabel*>(QStringLiteral("Panels(1)"))->text(); }
    QLineEdit* editorBox(const char* name) const
    {
        return m_main->Child(QStringLiteral("frmPhotos"))->findChild<QLineEdit*>(QString::fromLatin1(name));
    }
    QString lastMessage() const
    {
        const auto& shown = m_folder->messages().shown();
        return shown.empty() ? QString() : shown.back().text;
    }

    // The node at this path of texts from the top level, or null.
    QTreeWidgetItem* node(const QStringList& path) const
    {
        QTreeWidgetItem* found = nullptr;
        for (const QString& text : path) {
            const int n = found ? found->childCount() : tree()->topLevelItemCount();
            QTreeWidgetItem* next = nullptr;
            for (int i = 0; i < n && !next; ++i) {
                QTreeWidgetItem* child = found ? found->child(i) : tree()->topLevelItem(i);
                if (child->text(0) == text)
                    next = child;
            }
            if (!next)
                return nullptr;
            found = next;
        }
        return found;
    }
    QStringList children(QTreeWidgetItem* parent) const
    {
        QStringList texts;
        const int n = parent ? parent->childCount() : tree()->topLevelItemCount();
        for (int i = 0; i < n; ++i)
            texts << (parent ? parent->child(i) : tree()->topLevelItem(i))->text(0);
        return texts;
    }
    void select(const QStringList& path) const
    {
        QTreeWidgetItem* target = node(path);
        QVERIFY2(target, qPrintable(path.join(u'/')));
        tree()->scrollToItem(target);
        QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, tree()->visualItemRect(target).center());
        QCOMPARE(tree()->currentItem(), target);
    }
    QStringList rows() const
    {
        QStringList texts;
        const auto* model = list()->model();
        for (int row = 0; row < model->rowCount(); ++row)
            texts << model->index(row, 0).data().toString() + u' ' + model->index(row, 1).data().toString();
        return texts;
    }
    QStringList ids() const
    {
        QStringList texts;
        for (const QString& row : rows())
            texts << row.section(u' ', 0, 0);
        return texts;
    }
    void doubleClick(int row, int column) const
    {
        const QRect cell = list()->visualRect(list()->model()->index(row, column));
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, cell.center());
    }
    // The photo numbers the slide show steps through, none when it does not open.
    QStringList slideShow() const
    {
        QStringList shown;
        whenModalShows([&](QWidget* modal) {
            auto* viewer = qobject_cast<QDialog*>(modal);
            if (!viewer)
                return;
            auto* next = viewer->findChild<QPushButton*>(QStringLiteral("cmdNext"));
            QString title;
            while (title != viewer->windowTitle()) {
                title = viewer->windowTitle();
                shown << title.section(u' ', 0, 0);
                next->click();
            }
            viewer->reject();
        });
        window()->findChild<QToolButton*>(QStringLiteral("Panels(3)"))->click();
        QTest::qWait(0);
        return shown;
    }
};

int runExplorerWindowTest(int argc, char* argv[])
{
    ExplorerWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "ExplorerWindowTest.moc"

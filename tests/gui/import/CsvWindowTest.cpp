#include "data/cDataBase.h"
#include "gui/shell/frmHelp.h"
#include "support/CatalogueQueries.h"
#include "support/Controls.h"
#include "support/FileFaults.h"
#include "support/MainWindowFixture.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>

namespace {

// Acts on the modal window of this name as soon as it shows; windows shown one after another by
// one command are answered in turn this way.
void whenShown(const QString& name, std::function<void(QWidget*)> act, int tries = 200)
{
    QTimer::singleShot(10, [name, act = std::move(act), tries] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->objectName() == name && modal->isVisible()) {
            act(modal);
            return;
        }
        if (tries > 0)
            whenShown(name, act, tries - 1);
        else if (modal)
            modal->close();
    });
}

// Answers the next file dialog with this path.
void answerFile(const QString& path)
{
    whenShown(QStringLiteral("dlgCsvFile"), [path](QWidget* shown) {
        auto* dialog = qobject_cast<QFileDialog*>(shown);
        // Typed into the name box as a user types a whole path; a dialog not answered is closed, so
        // that the test goes on and fails on what was not written.
        auto* name = dialog ? dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr;
        if (!name) {
            shown->close();
            return;
        }
        name->setText(path);
        QMetaObject::invokeMethod(dialog, "accept");
    });
}

QStringList rowsOf(const QWidget* window, const char* view)
{
    const QAbstractItemModel* model = control<QTreeView>(window, view)->model();
    QStringList rows;
    for (int row = 0; row < model->rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < model->columnCount(); ++column)
            cells << model->index(row, column).data().toString();
        rows << cells.join(u'|');
    }
    return rows;
}

QList<QByteArray> linesOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> lines = file.readAll().split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

// CSV files written from the File menu and the explorer's photo list, and read back through the
// import preview, as a user works them.
class CsvWindowTest : public MainWindowTestCase
{
    Q_OBJECT

private:
    void setUp() override { m_main = showMainWindow(*m_folder); }

private slots:
    void photosGoOutThroughTheMenusAndComeBackThroughThePreview()
    {
        QTemporaryDir folder;
        RecordingMessages& messages = m_folder->messages();

        // The photos the explorer lists, from the list's own menu.
        auto* explorer = m_main->ShowChild(QStringLiteral("frmExplorer"));
        QVERIFY(explorer);
        auto* tree = control<QTreeWidget>(explorer, "TreeView1");
        const auto found = tree->findItems(QStringLiteral("Lighthouses"), Qt::MatchExactly | Qt::MatchRecursive);
        QCOMPARE(found.size(), 1);
        tree->setCurrentItem(found.first());
        const QString listed = folder.filePath(QStringLiteral("lighthouses.csv"));
        answerFile(listed);
        messages.clear();
        control<QAction>(explorer, "mnuPhotoListExport")->trigger();
        const QList<QByteArray> lighthouses = linesOf(listed);
        QCOMPARE(lighthouses.size(), 3);
        QVERIFY(lighthouses.at(1).startsWith("1,"));
        QVERIFY(lighthouses.at(2).startsWith("6,Portland Head Light,"));
        QCOMPARE(messages.shown().size(), std::size_t(1));
        QVERIFY(messages.shown().front().text.startsWith(QStringLiteral("2 photos were written to ")));

        // The whole catalogue from the File menu; an existing file is replaced only on Yes.
        const QString whole = folder.filePath(QStringLiteral("all.csv"));
        answerFile(whole);
        m_main->findChild<QAction*>(QStringLiteral("mnuFileExport"))->trigger();
        QCOMPARE(linesOf(whole).size(), 8);
        writeFile(whole, "mine");
        messages.setNextAnswer(MsgAnswer::No);
        answerFile(whole);
        m_main->findChild<QAction*>(QStringLiteral("mnuFileExport"))->trigger();
        QCOMPARE(linesOf(whole), QList<QByteArray>{"mine"});
        QCOMPARE(messages.shown().back().text, QStringLiteral("Replace Existing File?"));

        // An edited file: two new photos, one row whose number is taken and one with a bad date.
        const QString edited = folder.filePath(QStringLiteral("edited.csv"));
        writeFile(edited, "Number,Caption,Date Taken,State,Location,Subjects,Print Label\r\n"
                          "40,Harbour at night,2005-01-02,Maine,Camden,Travel: Harbours,Yes\r\n"
                          "1,Taken,,,,,No\r\n"
                          "41,\"Boats, gulls\",,,camden,Animals: Birds; travel: HARBOURS,No\r\n"
                          "42,Someday,2005-13-01,,,,No\r\n");
        m_main->ShowChild(QStringLiteral("frmPhotos"));
        QStringList refused;
        QStringList created;
        QString summary;
        QString help;
        bool importEnabled = false;
        const auto preview = [&](const char* button) {
            whenShown(QStringLiteral("frmCsvPreview"), [&, button](QWidget* window) {
                refused = rowsOf(window, "lvwRefused");
                created = rowsOf(window, "lvwCreated");
                summary = control<QLabel>(window, "lblSummary")->text();
                importEnabled = control<QPushButton>(window, "cmdImport")->isEnabled();
                QTest::keyRelease(window, Qt::Key_F1);
                const auto* page = m_main->findChild<frmHelp*>(QStringLiteral("frmHelp"));
                help = page && page->isVisible() ? page->CurrentPage() : QString();
                if (page)
                    const_cast<frmHelp*>(page)->close();
                click(window, button);
            });
        };
        answerFile(edited);
        preview("cmdCancel");
        m_main->findChild<QAction*>(QStringLiteral("mnuFileImportCsv"))->trigger();
        QCOMPARE(refused, (QStringList{"3|1|The number 1 is already used by a photo in the catalogue.",
                                       "5|42|The date taken '2005-13-01' is not a real date written YYYY-MM-DD."}));
        QCOMPARE(created, (QStringList{"Location|Camden|Maine", "Subject|Harbours|Travel"}));
        QCOMPARE(summary, QStringLiteral("2 photos will be added."));
        QVERIFY(importEnabled);
        QCOMPARE(help, QStringLiteral("csv.html"));
        // Cancel in the preview writes nothing and closes no window.
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM Photos")), 7);
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM Locations WHERE Location = 'Camden'")), 0);
        QCOMPARE(m_main->Child(QStringLiteral("frmExplorer")), explorer);

        messages.clear();
        answerFile(edited);
        preview("cmdImport");
        m_main->findChild<QAction*>(QStringLiteral("mnuFileImportCsv"))->trigger();
        QCOMPARE(messages.shown().size(), std::size_t(1));
        QCOMPARE(messages.shown().front().text, QStringLiteral("2 photos were added to Vellaro."));
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM Photos")), 9);
        QCOMPARE(photoField(41, "Caption").toString(), QStringLiteral("Boats, gulls"));
        QCOMPARE(linkedSubjects(41), (QStringList{"Birds", "Harbours"}));
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM Photos JOIN Locations USING (LocationID) WHERE Location = "
                                          "'Camden'")),
                 2);
        // The windows open before are open again and show what was added.
        QVERIFY(m_main->Child(QStringLiteral("frmPhotos")));
        explorer = m_main->Child(QStringLiteral("frmExplorer"));
        QVERIFY(explorer);
        QCOMPARE(control<QTreeWidget>(explorer, "TreeView1")
                     ->findItems(QStringLiteral("Camden"), Qt::MatchExactly | Qt::MatchRecursive)
                     .size(),
                 1);

        // The same file again adds nothing: every row's number is in use now, and Import is off.
        answerFile(edited);
        preview("cmdCancel");
        m_main->findChild<QAction*>(QStringLiteral("mnuFileImportCsv"))->trigger();
        QCOMPARE(refused.size(), 4);
        QVERIFY(created.isEmpty());
        QCOMPARE(summary, QStringLiteral("0 photos will be added."));
        QVERIFY(!importEnabled);
    }
};

int runCsvWindowTest(int argc, char* argv[])
{
    CsvWindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "CsvWindowTest.moc"

#include "data/cDataBase.h"
#include "support/ModalAnswer.h"
#include "support/MainWindowFixture.h"
#include "support/Controls.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFile>
#include <QFileDialog>
#include <QMenu>
#include <QPrintPreviewDialog>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

namespace {

void run(const QString& sql, const QVariantList& parameters = {})
{
    gDB->DB().Execute(sql, parameters);
}

// The pages of a PDF as pdftotext lays them out, each as its lines.
QList<QStringList> pdfPages(const QString& pdf)
{
    QProcess reader;
    reader.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!reader.waitForFinished(60000) || reader.exitCode() != 0)
        qFatal("pdftotext (poppler-utils) is needed to read the inventory sheet back");
    QStringList pages = QString::fromUtf8(reader.readAllStandardOutput()).split(u'\f');
    // The text ends with a page break.
    if (!pages.isEmpty() && pages.back().trimmed().isEmpty())
        pages.removeLast();
    QList<QStringList> result;
    for (const QString& page : pages) {
        QStringList lines;
        for (const QString& line : page.split(u'\n'))
            if (!line.trimmed().isEmpty())
                lines << line;
        result << lines;
    }
    return result;
}

// On each page of a PDF, how far the lowest text above the page number ends above it, in points.
QList<double> roomAbovePageNumbers(const QString& pdf)
{
    QProcess reader;
    reader.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    if (!reader.waitForFinished(60000) || reader.exitCode() != 0)
        qFatal("pdftotext (poppler-utils) is needed to read the inventory sheet back");
    static const QRegularExpression tag(QStringLiteral(R"re(<page |<word xMin="[\d.]+" yMin="([\d.]+)" )re"
                                                       R"re(xMax="[\d.]+" yMax="([\d.]+)">([^<]*)</word>)re"));
    QList<QList<std::tuple<double, double, QString>>> pages;
    for (const auto& match : tag.globalMatch(QString::fromUtf8(reader.readAllStandardOutput()))) {
        if (match.captured(0) == u"<page ")
            pages.emplaceBack();
        else if (!pages.isEmpty())
            pages.back().append({match.captured(1).toDouble(), match.captured(2).toDouble(), match.captured(3)});
    }
    QList<double> room;
    for (const auto& words : pages) {
        double footer = 0;
        for (const auto& [top, bottom, text] : words)
            if (text == u"Page")
                footer = std::max(footer, top);
        double lowest = 0;
        for (const auto& [top, bottom, text] : words)
            if (top < footer - 1)
                lowest = std::max(lowest, bottom);
        room << footer - lowest;
    }
    return room;
}

// A caption of this photo: most fit their column; every fifth wraps onto two or three lines, every
// twenty-fifth is far too long for three. Each ends with a word naming its photo.
QString captionOf(int photo)
{
    QString words;
    if (photo % 25 == 0)
        words = QStringLiteral("a very long story of the afternoon ").repeated(12);
    else if (photo % 5 == 0)
        words = QStringLiteral("with the tide going out over the ledges below the keeper's house ");
    return QStringLiteral("Photo %1 %2end%1").arg(photo).arg(words);
}

} // namespace

// The inventory sheet printed from the explorer's tree: the command on storage entries only, the
// sheet saved as a PDF from its preview and read back.
class InventorySheetTest : public MainWindowTestCase
{
    Q_OBJECT

private:
    void setUp() override
    {
        m_folder->addReport();
        // "Shoebox 3" holds photos 2001 to 2150: the odd ones in drawer A, the even ones in drawer B;
        // drawer C is empty. Every third photo was taken at Pemaquid Point on 14 August 2003.
        run(QStringLiteral("INSERT INTO StorageDevices (StorageDeviceID, StorageDevice) VALUES (41, 'Shoebox 3')"));
        run(QStringLiteral("INSERT INTO StorageLocations (StorageDeviceID, StorageLocationID, StorageLocation) VALUES "
                           "(41, 401, 'Drawer A'), (41, 402, 'Drawer B'), (41, 403, 'Drawer C')"));
        Transaction work(gDB->DB());
        for (int photo = 2001; photo <= 2150; ++photo) {
            const bool known = photo % 3 == 0;
            run(QStringLiteral("INSERT INTO Photos (PhotoID, Caption, StorageLocationID, LocationID, DateTaken) "
                               "VALUES (?, ?, ?, (SELECT LocationID FROM Locations WHERE Location = "
                               "'Pemaquid Point' AND ?), ?)"),
                {photo, captionOf(photo), photo % 2 ? 401 : 402, known,
                 known ? QVariant(QStringLiteral("2003-08-14")) : QVariant()});
        }
        work.commit();
        m_main = showMainWindow(*m_folder);
        m_main->ShowChild(QStringLiteral("frmExplorer"));
    }

private slots:
    void aStorageLocationsSheetListsItsPhotosPageByPage()
    {
        // The command is offered on storage entries only.
        select({"Categories", "Nature"});
        QVERIFY(!printCommand()->isEnabled());
        QVERIFY(!panel()->isEnabled());
        QVERIFY(!openMenu(Qt::Key_Menu));
        select({"Storage Devices"});
        QVERIFY(!openMenu(Qt::Key_Menu));
        QVERIFY(!panel()->isEnabled());

        select({"Storage Devices", "Shoebox 3", "Drawer A"});
        QVERIFY(panel()->isEnabled());
        QMenu* menu = openMenu(Qt::Key_Menu);
        QVERIFY(menu);
        QVERIFY(menu->actions().contains(printCommand()));
        QCOMPARE(printCommand()->text(), QStringLiteral("Print &Inventory..."));
        QVERIFY(printCommand()->isEnabled());
        QString title;
        const QString pdf = saveFromPreview([&] { choose(menu, printCommand()); }, &title);
        QCOMPARE(title, QStringLiteral("Vellaro Inventory - Shoebox 3 / Drawer A"));

        const QList<QStringList> pages = pdfPages(pdf);
        QVERIFY(pages.size() >= 2);
        static const QRegularExpression rowStart(QStringLiteral(R"(^\s*(\d{4})\s)"));
        static const QRegularExpression endWord(QStringLiteral(R"(end(\d{4}))"));
        static const QRegularExpression headings(
            QStringLiteral(R"(^\s*Number\s+Caption\s+Date Taken\s+State\s+Location\s*$)"));
        QList<int> numbers;
        QHash<int, int> pageOfRow;
        QHash<int, int> pageOfEnd;
        int elided = 0;
        for (int page = 0; page < pages.size(); ++page) {
            const QStringList& lines = pages[page];
            // Each page: the box named on top, the column headings, the rows, the page number at the foot.
            QCOMPARE(lines.first().trimmed(), QStringLiteral("Storage location: Shoebox 3 / Drawer A"));
            QVERIFY2(headings.match(lines.at(1)).hasMatch(), qPrintable(lines.at(1)));
            QCOMPARE(lines.last().trimmed(), QStringLiteral("Page %1 of %2").arg(page + 1).arg(pages.size()));
            for (const QString& line : lines.mid(2, lines.size() - 3)) {
                const auto row = rowStart.match(line);
                if (row.hasMatch()) {
                    numbers << row.captured(1).toInt();
                    pageOfRow.insert(numbers.back(), page);
                }
                for (const auto& end : endWord.globalMatch(line))
                    pageOfEnd.insert(end.captured(1).toInt(), page);
                elided += int(line.count(QChar(0x2026)));
            }
        }
        QList<int> odd;
        for (int photo = 2001; photo <= 2150; photo += 2)
            odd << photo;
        QCOMPARE(numbers, odd);
        // A wrapped caption ends on its row's page; the three captions too long for their cells are cut.
        for (int photo : odd) {
            if (photo % 25 == 0) {
                QVERIFY(!pageOfEnd.contains(photo));
                continue;
            }
            QVERIFY2(pageOfEnd.value(photo, -1) == pageOfRow.value(photo), qPrintable(QString::number(photo)));
        }
        QCOMPARE(elided, 3);
        // No row runs into the page number below it.
        for (const double room : roomAbovePageNumbers(pdf))
            QVERIFY2(room > 6, qPrintable(QString::number(room)));
        QString row2007;
        for (const QStringList& lines : pages)
            for (const QString& line : lines)
                if (line.trimmed().startsWith(u"2007 "))
                    row2007 = line.simplified();
        QCOMPARE(row2007, QStringLiteral("2007 Photo 2007 end2007 08/14/2003 Maine Pemaquid Point"));
        QVERIFY(m_folder->messages().shown().empty());

        // An empty drawer only says so, opened with Shift+F10.
        select({"Storage Devices", "Shoebox 3", "Drawer C"});
        menu = openMenu(Qt::Key_F10, Qt::ShiftModifier);
        QVERIFY(menu);
        QVERIFY(saveFromPreview([&] { choose(menu, printCommand()); }).isEmpty());
        QCOMPARE(lastMessage(), QStringLiteral("No photos are kept in Shoebox 3 / Drawer C."));

        // Without its layout file the sheet cannot be made.
        QFile::remove(m_folder->filePath(QStringLiteral("Inventory.rpt")));
        select({"Storage Devices", "Shoebox 3", "Drawer A"});
        QVERIFY(saveFromPreview([&] { panel()->click(); }).isEmpty());
        QCOMPARE(lastMessage(), QStringLiteral("Unable to find the report file."));
    }

    void aStorageDevicesSheetHoldsThePhotosOfAllItsLocations()
    {
        // Opened with a right click on the device.
        select({"Categories", "Nature"});
        QTreeWidgetItem* device = node({"Storage Devices", "Shoebox 3"});
        tree()->scrollToItem(device);
        const QPoint at = tree()->visualItemRect(device).center();
        QContextMenuEvent click(QContextMenuEvent::Mouse, at, tree()->viewport()->mapToGlobal(at));
        QApplication::sendEvent(tree()->viewport(), &click);
        QCOMPARE(tree()->currentItem(), device);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);

        QString title;
        const QList<QStringList> pages = pdfPages(saveFromPreview([&] { choose(menu, printCommand()); }, &title));
        QCOMPARE(title, QStringLiteral("Vellaro Inventory - Shoebox 3"));
        QVERIFY(pages.size() >= 4);
        QList<int> numbers;
        static const QRegularExpression rowStart(QStringLiteral(R"(^\s*(\d+)\s)"));
        for (const QStringList& lines : pages) {
            QCOMPARE(lines.first().trimmed(), QStringLiteral("Storage device: Shoebox 3"));
            for (const QString& line : lines.mid(2, lines.size() - 3))
                if (const auto row = rowStart.match(line); row.hasMatch())
                    numbers << row.captured(1).toInt();
        }
        // Both drawers' photos in number order, and none of another box.
        QList<int> all;
        for (int photo = 2001; photo <= 2150; ++photo)
            all << photo;
        QCOMPARE(numbers, all);
        QVERIFY(m_folder->messages().shown().empty());
    }

private:
    QWidget* window() const { return m_main->Child(QStringLiteral("frmExplorer")); }
    QTreeWidget* tree() const { return window()->findChild<QTreeWidget*>(QStringLiteral("TreeView1")); }
    QAction* printCommand() const { return window()->findChild<QAction*>(QStringLiteral("mnuPrintInventory")); }
    QToolButton* panel() const { return window()->findChild<QToolButton*>(QStringLiteral("Panels(4)")); }
    QString lastMessage() const { return m_folder->messages().lastText(); }

    QTreeWidgetItem* node(const QStringList& path) const { return treeNode(tree(), path); }
    void select(const QStringList& path) const
    {
        QTreeWidgetItem* target = node(path);
        QVERIFY2(target, qPrintable(path.join(u'/')));
        tree()->scrollToItem(target);
        QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, tree()->visualItemRect(target).center());
        QCOMPARE(tree()->currentItem(), target);
    }

    // Presses the key in the tree; the menu it opened, if any.
    QMenu* openMenu(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) const
    {
        QTest::keyClick(tree(), key, modifiers);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu && !menu->isVisible())
            menu = nullptr;
        return menu;
    }
    static void choose(QMenu* menu, QAction* action)
    {
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
    }

    // Runs the command, and in the preview it opens saves the sheet as a PDF through the file chooser.
    // The PDF's path, or nothing when no preview opened.
    QString saveFromPreview(const std::function<void()>& command, QString* title = nullptr)
    {
        const QString pdf = m_folder->filePath(QStringLiteral("sheet.pdf"));
        QFile::remove(pdf);
        bool shown = false;
        whenModalShows([&](QWidget* modal) {
            auto* preview = qobject_cast<QPrintPreviewDialog*>(modal);
            if (!preview)
                return;
            shown = true;
            if (title)
                *title = preview->windowTitle();
            whenModalShows([&](QWidget* chooser) {
                if (auto* dialog = qobject_cast<QFileDialog*>(chooser)) {
                    dialog->selectFile(pdf);
                    static_cast<QDialog*>(dialog)->accept();
                }
            });
            preview->findChild<QAction*>(QStringLiteral("actSavePdf"))->trigger();
            preview->reject();
        });
        command();
        QTest::qWait(0);
        if (!shown)
            return {};
        if (!QFile::exists(pdf))
            qWarning("the preview showed but no PDF was saved");
        return pdf;
    }
};

int runInventorySheetTest(int argc, char* argv[])
{
    InventorySheetTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "InventorySheetTest.moc"

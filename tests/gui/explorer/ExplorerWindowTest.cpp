#include "core/Settings.h"
#include "data/cDataBase.h"
#include "gui/explorer/frmExplorer.h"
#include "gui/shell/frmHelp.h"
#include "support/CatalogueQueries.h"
#include "support/ModalAnswer.h"
#include "support/MainWindowFixture.h"
#include "support/Controls.h"

#include <QAction>
#include <QApplication>
#include <QCryptographicHash>
#include <QDialog>
#include <QDir>
#include <QHeaderView>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QSplitter>
#include <QStandardPaths>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QUrl>
#include <QtEndian>

#include <sys/stat.h>

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

// A picture of two colours side by side, written as a picture file of the format its name gives.
void writePicture(const QString& path, QSize size, QColor left, QColor right)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(left);
    for (int y = 0; y < size.height(); ++y)
        for (int x = size.width() / 2; x < size.width(); ++x)
            image.setPixelColor(x, y, right);
    QVERIFY(image.save(path, nullptr, 100));
}

// The name the desktop's thumbnail cache gives a file's thumbnail.
QString thumbnailName(const QString& file)
{
    const QByteArray uri = QUrl::fromLocalFile(file).toEncoded();
    return QString::fromLatin1(QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex()) + u".png";
}

// The text of a PNG file under this key, plain or packed, read from its chunks (Qt's reader cuts
// keys at a colon).
QString pngText(const QString& path, const QByteArray& key)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    for (qsizetype at = 8; at + 8 <= bytes.size();) {
        const auto length = qsizetype(qFromBigEndian<quint32>(bytes.constData() + at));
        const QByteArray chunk = bytes.mid(at + 8, length);
        const QByteArray type = bytes.mid(at + 4, 4);
        if (type == "tEXt" && chunk.startsWith(QByteArray(key).append('\0')))
            return QString::fromLatin1(chunk.mid(key.size() + 1));
        if (type == "zTXt" && chunk.startsWith(QByteArray(key).append('\0').append('\0')))
            return QString::fromLatin1(qUncompress(QByteArray("\0\0\x10\0", 4) + chunk.mid(key.size() + 2)));
        at += length + 12;
    }
    return {};
}

// Identity and age of a file on the disk: both stay when the file is left alone, the first changes
// when another file is renamed over it.
std::pair<quint64, qint64> stamp(const QString& path)
{
    struct stat status = {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return {0, 0};
    return {quint64(status.st_ino), qint64(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec};
}

// The same colour give or take what a lossy file format changes.
bool near(QColor colour, QColor expected)
{
    return std::abs(colour.red() - expected.red()) + std::abs(colour.green() - expected.green()) +
               std::abs(colour.blue() - expected.blue()) <
           30;
}

// The part of a picture that is not clear.
QRect drawn(const QImage& picture)
{
    QRect painted;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (qAlpha(picture.pixel(x, y)) != 0)
                painted |= QRect(x, y, 1, 1);
    return painted;
}

bool privateToOwner(const QString& path)
{
    const auto others =
        QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    const auto permissions = QFile::permissions(path);
    return permissions & QFile::ReadOwner && permissions & QFile::WriteOwner && !(permissions & others);
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

    // The pictures of a node's photos fill in from the desktop's shared thumbnail cache: made once
    // on the worker thread, stored under the names and keys other programs look for, reused by a
    // new window, remade when the file changes; a photo without a readable file shows the placeholder.
    void picturesFillInFromTheSharedThumbnailCache()
    {
        const QString cache = m_folder->cacheFolder();
        QCOMPARE(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation), cache);
        const QString wide = m_folder->filePath(QStringLiteral("wide.jpg"));
        const QString tall = m_folder->filePath(QStringLiteral("tall.png"));
        const QString spaced = m_folder->filePath(QStringLiteral("Ma\u00F1ana 1.png"));
        const QString missing = m_folder->filePath(QStringLiteral("gone.jpg"));
        const QString notPicture = m_folder->filePath(QStringLiteral("notes.jpg"));
        writePicture(wide, {600, 300}, Qt::red, Qt::blue);
        writePicture(tall, {40, 80}, Qt::green, Qt::green);
        writePicture(spaced, {200, 200}, Qt::yellow, Qt::yellow);
        QFile notes(notPicture);
        QVERIFY(notes.open(QIODevice::WriteOnly));
        notes.write("no picture here");
        notes.close();
        addEntry("Subjects", "CategoryID", 11, "SubjectID", 104, "Subject", QStringLiteral("Pictures"));
        const QStringList files = {wide, tall, spaced, missing, notPicture};
        for (int i = 0; i < files.size(); ++i)
            run(QStringLiteral("INSERT INTO Photos (PhotoID, Caption, FileName) VALUES (?, 'p', ?)"),
                {20 + i, files[i]});
        run(QStringLiteral("INSERT INTO Photos (PhotoID, Caption) VALUES (25, 'no file')"));
        run(QStringLiteral("INSERT INTO PhotosSubjects (PhotoID, SubjectID) SELECT PhotoID, 104 FROM Photos WHERE "
                           "PhotoID BETWEEN 20 AND 25"));

        m_main->ShowChild(QStringLiteral("frmExplorer"));
        select({"Categories", "A", "Pictures"});
        QCOMPARE(ids(), QStringList({"20", "21", "22", "23", "24", "25"}));
        QCOMPARE(list()->model()->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Picture"));
        const QImage placeholder = picture(5);
        QVERIFY(!placeholder.isNull());
        waitForPictures(5);
        const auto checkShown = [&](QSize first) {
            const QRect shown = drawn(picture(0));
            QCOMPARE(shown.size(), first);
            QCOMPARE(shown.center(), QPoint(31, 31));
            QVERIFY(near(picture(0).pixelColor(shown.left() + 2, shown.center().y()), Qt::red));
            QVERIFY(near(picture(0).pixelColor(shown.right() - 2, shown.center().y()), Qt::blue));
            QCOMPARE(drawn(picture(1)).size(), QSize(32, 64));
            QCOMPARE(drawn(picture(2)).size(), QSize(64, 64));
            QCOMPARE(picture(3), placeholder);
            QCOMPARE(picture(4), placeholder);
        };
        checkShown({64, 32});
        if (QTest::currentTestFailed())
            return;

        // The cache holds a thumbnail of each picture and nothing else; the unreadable file is noted
        // apart, under this program's name and version.
        const QDir normal(cache + u"/thumbnails/normal");
        QVERIFY(QFileInfo(spaced).absoluteFilePath().contains(u'\u00F1'));
        QVERIFY(QUrl::fromLocalFile(spaced).toEncoded().contains("Ma%C3%B1ana%201.png"));
        QStringList names = {thumbnailName(wide), thumbnailName(tall), thumbnailName(spaced)};
        names.sort();
        QCOMPARE(normal.entryList(QDir::Files | QDir::Hidden, QDir::Name), names);
        const QDir failed(cache + QStringLiteral("/thumbnails/fail/vellaro-%1.%2.%3")
                                      .arg(VELLARO_VERSION_MAJOR)
                                      .arg(VELLARO_VERSION_MINOR)
                                      .arg(VELLARO_VERSION_PATCH));
        QCOMPARE(failed.entryList(QDir::Files | QDir::Hidden), QStringList({thumbnailName(notPicture)}));
        const auto checkStored = [&](const QString& file, QSize size) {
            const QString stored = normal.filePath(thumbnailName(file));
            QImageReader reader(stored);
            QCOMPARE(reader.format(), QByteArray("png"));
            QCOMPARE(reader.read().size(), size);
            QCOMPARE(pngText(stored, "Thumb::URI"), QString::fromLatin1(QUrl::fromLocalFile(file).toEncoded()));
            QCOMPARE(pngText(stored, "Thumb::MTime"),
                     QString::number(QFileInfo(file).lastModified().toSecsSinceEpoch()));
            QVERIFY(privateToOwner(stored));
        };
        checkStored(wide, {128, 64});
        checkStored(tall, {40, 80});
        checkStored(spaced, {128, 128});
        for (const char* folder : {"/thumbnails", "/thumbnails/normal", "/thumbnails/fail"})
            QVERIFY2(privateToOwner(cache + QString::fromLatin1(folder)), folder);
        if (QTest::currentTestFailed())
            return;

        // A new window takes the stored thumbnails as they are.
        QList<std::pair<quint64, qint64>> stamps;
        for (const QString& file : {wide, tall, spaced, notPicture})
            stamps << stamp((file == notPicture ? failed : normal).filePath(thumbnailName(file)));
        window()->parentWidget()->close();
        QTest::qWait(0);
        m_main->ShowChild(QStringLiteral("frmExplorer"));
        select({"Categories", "A", "Pictures"});
        waitForPictures(5);
        checkShown({64, 32});
        for (int i = 0; i < 4; ++i)
            QCOMPARE(stamp((i == 3 ? failed : normal).filePath(thumbnailName(files[i == 3 ? 4 : i]))), stamps[i]);
        QCOMPARE(normal.entryList(QDir::Files | QDir::Hidden).size(), 3);

        // A picture changed on the disk is made again at Refresh and its thumbnail replaced whole.
        writePicture(wide, {300, 600}, Qt::red, Qt::blue);
        QFile changed(wide);
        QVERIFY(changed.open(QIODevice::ReadWrite));
        QVERIFY(changed.setFileTime(QDateTime::currentDateTime().addSecs(-3600), QFileDevice::FileModificationTime));
        changed.close();
        window()->findChild<QToolButton*>(QStringLiteral("Panels(2)"))->click();
        waitForPictures(5);
        checkShown({32, 64});
        checkStored(wide, {64, 128});
        QVERIFY(stamp(normal.filePath(thumbnailName(wide))).first != stamps[0].first);
        QCOMPARE(stamp(normal.filePath(thumbnailName(tall))), stamps[1]);
        QCOMPARE(normal.entryList(QDir::Files | QDir::Hidden).size(), 3);

        // Closing the window while its pictures are being made neither waits for them nor fails.
        window()->findChild<QToolButton*>(QStringLiteral("Panels(2)"))->click();
        for (int row = 0; row < 5; ++row)
            list()->model()->index(row, 2).data(Qt::DecorationRole);
        window()->parentWidget()->close();
        QTest::qWait(50);
        QVERIFY(!window());
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
    QString lastMessage() const { return m_folder->messages().lastText(); }

    QTreeWidgetItem* node(const QStringList& path) const { return treeNode(tree(), path); }
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
    // The picture a row shows.
    QImage picture(int row) const
    {
        return list()->model()->index(row, 2).data(Qt::DecorationRole).value<QPixmap>().toImage();
    }
    // Asks for the picture of every listed row, as the list does for the rows it shows, and waits
    // until the pictures of the photos with a file have come, each updating its own cell alone.
    void waitForPictures(int withFiles) const
    {
        auto* model = list()->model();
        QSignalSpy changed(model, &QAbstractItemModel::dataChanged);
        for (int row = 0; row < model->rowCount(); ++row)
            model->index(row, 2).data(Qt::DecorationRole);
        QTRY_COMPARE_WITH_TIMEOUT(changed.size(), withFiles, 20000);
        QTest::qWait(100);
        QCOMPARE(changed.size(), withFiles);
        QSet<int> rows;
        for (const QList<QVariant>& arguments : changed) {
            const auto first = arguments.at(0).value<QModelIndex>();
            QCOMPARE(arguments.at(1).value<QModelIndex>(), first);
            QCOMPARE(first.column(), 2);
            rows.insert(first.row());
        }
        QCOMPARE(rows.size(), withFiles);
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

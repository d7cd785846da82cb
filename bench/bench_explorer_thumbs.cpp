// The explorer's list of 10,000 photos with picture files: how soon it is shown with its pictures
// still to come, beside the same list without pictures; then how long the pictures on the screen take
// to fill in, with an empty thumbnail cache and with a full one, beside decoding or reading the same
// pictures straight on one thread.

#include "BenchCatalogue.h"
#include "BenchReport.h"

#include "ChildWindows.h"
#include "data/SqliteSupport.h"
#include "data/cDataBase.h"
#include "gui/explorer/ThumbnailCache.h"
#include "gui/shell/mdiMain.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>

#include <sqlite3.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr int listed = 10000;
constexpr int pictureColumn = 2;
const char* const listQuery = "SELECT Photos.PhotoID, Photos.Caption, Photos.FileName FROM Photos INNER JOIN "
                              "PhotosSubjects ON Photos.PhotoID = PhotosSubjects.PhotoID WHERE "
                              "PhotosSubjects.SubjectID = (SELECT SubjectID FROM Subjects WHERE Subject = 'Shown') "
                              "ORDER BY Photos.PhotoID";

// The user's cache folder for the run, so that the user's own thumbnails are never touched.
QTemporaryDir& cacheFolder()
{
    static QTemporaryDir folder;
    return folder;
}

// One photograph-like 4000 x 3000 JPEG under 10,000 names (hard links): every photo has a file of its
// own name, so a thumbnail of its own, while the disk holds one picture.
QString picturesFolder()
{
    static QTemporaryDir folder;
    static const bool made = [] {
        QImage image(4000, 3000, QImage::Format_RGB32);
        image.fill(QColor(70, 110, 160));
        QPainter painter(&image);
        QRandomGenerator random(2026);
        painter.setRenderHint(QPainter::Antialiasing);
        for (int i = 0; i < 2000; ++i) {
            const QPointF centre(random.bounded(4000), random.bounded(3000));
            const double radius = 5 + random.bounded(200);
            QRadialGradient shade(centre, radius);
            shade.setColorAt(0, QColor::fromRgb(random.generate() | 0xFF000000u));
            shade.setColorAt(1, QColor::fromRgb(random.generate() & 0x7FFFFFFFu));
            painter.setBrush(shade);
            painter.setPen(Qt::NoPen);
            painter.drawEllipse(centre, radius, radius * 0.7);
        }
        painter.end();
        // Grain, as a photograph has, which is most of what a decoder works through.
        for (int y = 0; y < image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const int grain = int(random.bounded(9)) - 4;
                const QRgb pixel = line[x];
                line[x] = qRgb(qBound(0, qRed(pixel) + grain, 255), qBound(0, qGreen(pixel) + grain, 255),
                               qBound(0, qBlue(pixel) + grain, 255));
            }
        }
        const QString master = folder.filePath(QStringLiteral("master.jpg"));
        if (!image.save(master, "jpg", 90))
            std::abort();
        for (int id = 1000; id < 1000 + listed; ++id)
            if (::link(QFile::encodeName(master).constData(),
                       QFile::encodeName(folder.filePath(QStringLiteral("IMG_%1.jpg").arg(id))).constData()) != 0)
                std::abort();
        return true;
    }();
    (void)made;
    return folder.path();
}

// The catalogue with the subject "Shown" of the category "Bench" on 10,000 photos, each with its file.
const BenchCatalogue& catalogue()
{
    static const BenchCatalogue instance = [] {
        BenchCatalogue made(listed + 7);
        sqlite3* db = made.openBare();
        registerCatalogueFunctions(db);
        runBare(db, "BEGIN");
        runBare(db, "INSERT INTO Categories (Category) VALUES ('Bench')");
        runBare(db, "INSERT INTO Subjects (CategoryID, Subject) SELECT CategoryID, 'Shown' FROM Categories WHERE "
                    "Category = 'Bench'");
        runBare(db, "INSERT INTO PhotosSubjects (PhotoID, SubjectID) SELECT PhotoID, (SELECT SubjectID FROM Subjects "
                    "WHERE Subject = 'Shown') FROM Photos WHERE PhotoID >= 1000");
        sqlite3_stmt* files = nullptr;
        if (sqlite3_prepare_v2(db,
                               "UPDATE Photos SET FileName = ? || '/IMG_' || PhotoID || '.jpg' WHERE PhotoID >= 1000",
                               -1, &files, nullptr) != SQLITE_OK)
            std::abort();
        const QByteArray folder = picturesFolder().toUtf8();
        sqlite3_bind_text(files, 1, folder.constData(), -1, SQLITE_TRANSIENT);
        if (sqlite3_step(files) != SQLITE_DONE)
            std::abort();
        sqlite3_finalize(files);
        runBare(db, "COMMIT");
        runBare(db, "ANALYZE");
        sqlite3_close(db);
        return made;
    }();
    return instance;
}

QTreeWidgetItem* child(QTreeWidgetItem* parent, const QString& text)
{
    for (int i = 0; i < parent->childCount(); ++i)
        if (parent->child(i)->text(0) == text)
            return parent->child(i);
    std::abort();
}

// The open explorer, with the node of the 10,000 photos and a top-level node to step away to.
struct OpenExplorer
{
    mdiMain main;
    QWidget* window;
    QTreeWidget* tree;
    QTreeView* list;
    QTreeWidgetItem* shown;
    QTreeWidgetItem* away;

    OpenExplorer() : main(QFileInfo(catalogue().path()).absolutePath())
    {
        RegisterChildWindows(main);
        main.show();
        window = main.ShowChild(QStringLiteral("frmExplorer"));
        tree = window->findChild<QTreeWidget*>(QStringLiteral("TreeView1"));
        list = window->findChild<QTreeView*>(QStringLiteral("ListView1"));
        findNodes();
        QApplication::processEvents();
    }

    void findNodes()
    {
        shown = child(child(tree->topLevelItem(0), QStringLiteral("Bench")), QStringLiteral("Shown"));
        away = tree->topLevelItem(2);
    }

    // Steps away to the top-level node and refreshes, which forgets the pictures held in memory.
    void stepAway()
    {
        tree->setCurrentItem(away);
        window->findChild<QToolButton*>(QStringLiteral("Panels(2)"))->click();
        findNodes();
        QApplication::processEvents();
    }

    // The rows the list shows on its screen.
    int rowsOnScreen() const
    {
        const QModelIndex last = list->indexAt(QPoint(1, list->viewport()->height() - 1));
        return last.isValid() ? last.row() + 1 : list->model()->rowCount();
    }
};

// Choosing the node: its 10,000 rows read and the list painted, its pictures only asked for.
void ListWithPictures(benchmark::State& state)
{
    catalogue().openAsProgram();
    {
        OpenExplorer explorer;
        for (auto _ : state) {
            state.PauseTiming();
            explorer.stepAway();
            state.ResumeTiming();
            explorer.tree->setCurrentItem(explorer.shown);
            explorer.list->viewport()->repaint();
        }
        if (explorer.list->model()->rowCount() != listed || explorer.list->model()->columnCount() != 3)
            std::abort();
        state.counters["rows on screen"] = explorer.rowsOnScreen();
    }
    gDB.reset();
}

// Number and caption, as bare as a model gets.
class BareModel final : public QAbstractTableModel
{
public:
    std::vector<std::pair<QString, QString>> rows;
    void reset(std::vector<std::pair<QString, QString>>&& fresh)
    {
        beginResetModel();
        rows = std::move(fresh);
        endResetModel();
    }
    int rowCount(const QModelIndex& = QModelIndex()) const override { return int(rows.size()); }
    int columnCount(const QModelIndex& = QModelIndex()) const override { return 2; }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole)
            return {};
        const auto& row = rows[std::size_t(index.row())];
        return index.column() == 0 ? row.first : row.second;
    }
};

// The same rows read bare with the same query into a bare model behind a view of the list's size.
void BareListWithoutPictures(benchmark::State& state)
{
    sqlite3* db = catalogue().openBare();
    registerCatalogueFunctions(db);
    sqlite3_stmt* rows = nullptr;
    if (sqlite3_prepare_v2(db, listQuery, -1, &rows, nullptr) != SQLITE_OK)
        std::abort();
    BareModel model;
    QTreeView view;
    view.setUniformRowHeights(true);
    view.setModel(&model);
    {
        // The explorer's list, measured in its own window, sets the size.
        catalogue().openAsProgram();
        OpenExplorer explorer;
        view.resize(explorer.list->size());
    }
    gDB.reset();
    view.show();
    for (auto _ : state) {
        state.PauseTiming();
        model.reset({});
        QApplication::processEvents();
        state.ResumeTiming();
        std::vector<std::pair<QString, QString>> read;
        while (sqlite3_step(rows) == SQLITE_ROW)
            read.emplace_back(QString::number(sqlite3_column_int64(rows, 0)),
                              QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(rows, 1))));
        sqlite3_reset(rows);
        model.reset(std::move(read));
        view.viewport()->repaint();
    }
    if (model.rowCount() != listed)
        std::abort();
    sqlite3_finalize(rows);
    sqlite3_close(db);
}

// From choosing the node until every picture on the screen is in, with the thumbnail cache emptied
// first or left full.
void fillIn(benchmark::State& state, bool emptyCache)
{
    catalogue().openAsProgram();
    {
        OpenExplorer explorer;
        int onScreen = 0;
        int arrived = 0;
        for (auto _ : state) {
            state.PauseTiming();
            explorer.stepAway();
            if (emptyCache)
                QDir(cacheFolder().filePath(QStringLiteral("thumbnails"))).removeRecursively();
            arrived = 0;
            const auto connection =
                QObject::connect(explorer.list->model(), &QAbstractItemModel::dataChanged,
                                 [&](const QModelIndex& first) { arrived += first.column() == pictureColumn ? 1 : 0; });
            state.ResumeTiming();
            explorer.tree->setCurrentItem(explorer.shown);
            explorer.list->viewport()->repaint();
            onScreen = explorer.rowsOnScreen();
            while (arrived < onScreen)
                QApplication::processEvents(QEventLoop::WaitForMoreEvents);
            state.PauseTiming();
            QObject::disconnect(connection);
            state.ResumeTiming();
        }
        const QString stored = cacheFolder().filePath(QStringLiteral("thumbnails/normal"));
        if (onScreen < 3 || QDir(stored).entryList(QDir::Files).size() < onScreen)
            std::abort();
        state.counters["pictures"] = onScreen;
    }
    gDB.reset();
}

void PicturesFillIn(benchmark::State& state)
{
    fillIn(state, true);
}

void PicturesFillInFromCache(benchmark::State& state)
{
    fillIn(state, false);
}

// As many pictures of the node as the list shows, decoded straight to the thumbnail size on this
// thread, or read back from the thumbnails the explorer stored.
void straight(benchmark::State& state, bool stored)
{
    int onScreen = 0;
    {
        catalogue().openAsProgram();
        OpenExplorer explorer;
        explorer.tree->setCurrentItem(explorer.shown);
        explorer.list->viewport()->repaint();
        onScreen = explorer.rowsOnScreen();
    }
    gDB.reset();
    const QDir cache(cacheFolder().filePath(QStringLiteral("thumbnails/normal")));
    QStringList files;
    for (int id = 1000; id < 1000 + onScreen; ++id)
        files << QDir(picturesFolder()).filePath(QStringLiteral("IMG_%1.jpg").arg(id));
    if (stored) {
        for (const QString& file : files)
            ThumbnailCache(cacheFolder().path()).Thumbnail(file);
        files = cache.entryList(QDir::Files).mid(0, onScreen);
    }
    if (files.size() != onScreen)
        std::abort();
    for (auto _ : state) {
        for (const QString& file : files) {
            QImageReader reader(stored ? cache.filePath(file) : file);
            if (!stored)
                reader.setScaledSize(reader.size().scaled(128, 128, Qt::KeepAspectRatio));
            const QImage image = reader.read().scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation);
            if (image.isNull())
                std::abort();
        }
    }
}

void BareScaledDecodes(benchmark::State& state)
{
    straight(state, false);
}

void BareStoredReads(benchmark::State& state)
{
    straight(state, true);
}

} // namespace

BENCHMARK(ListWithPictures)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BareListWithoutPictures)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(PicturesFillIn)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BareScaledDecodes)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(PicturesFillInFromCache)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BareStoredReads)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Before any window asks where the cache is.
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cacheFolder().path()));
    QApplication application(argc, argv);
    return runBenchmarks(argc, argv,
                         {{"ListWithPictures", "BareListWithoutPictures", 0, 100},
                          {"PicturesFillIn", "BareScaledDecodes", 0, 0},
                          {"PicturesFillInFromCache", "BareStoredReads", 0, 0}});
}

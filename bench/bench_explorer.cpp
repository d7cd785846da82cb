// The explorer over 100,000 photos and a tree of about 13,000 nodes (500 categories of 20
// subjects, 50 states of 100 locations, 20 devices of 200 storage places): opening the window,
// choosing a subject of 50,000 photos and choosing a top-level node, each beside the bare engine
// doing the same reading into bare widgets.

#include "BenchCatalogue.h"
#include "BenchReport.h"

#include "ChildWindows.h"
#include "data/SqliteSupport.h"
#include "data/cDataBase.h"
#include "gui/shell/mdiMain.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QFileInfo>
#include <QLabel>
#include <QMdiSubWindow>
#include <QTreeView>
#include <QTreeWidget>

#include <sqlite3.h>

#include <cstdio>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

constexpr int photos = 100000;
constexpr int bigSubjectPhotos = 50000;

void prepared(sqlite3* db, const char* sql, sqlite3_stmt** statement)
{
    if (sqlite3_prepare_v2(db, sql, -1, statement, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "%s\n", sqlite3_errmsg(db));
        std::abort();
    }
}

void step(sqlite3_stmt* statement)
{
    if (sqlite3_step(statement) != SQLITE_DONE)
        std::abort();
    sqlite3_reset(statement);
}

// parents rows named prefix + number, each with children rows of its own.
void addLevel(sqlite3* db, const char* parentSql, const char* childSql, const char* prefix, int parents, int each)
{
    sqlite3_stmt* parent = nullptr;
    sqlite3_stmt* child = nullptr;
    prepared(db, parentSql, &parent);
    prepared(db, childSql, &child);
    for (int p = 0; p < parents; ++p) {
        const std::string name = std::string(prefix) + " " + std::to_string(1000 + p);
        sqlite3_bind_text(parent, 1, name.c_str(), -1, SQLITE_TRANSIENT);
        step(parent);
        const sqlite3_int64 id = sqlite3_last_insert_rowid(db);
        for (int c = 0; c < each; ++c) {
            const std::string text = name + "-" + std::to_string(c);
            sqlite3_bind_int64(child, 1, id);
            sqlite3_bind_text(child, 2, text.c_str(), -1, SQLITE_TRANSIENT);
            step(child);
        }
    }
    sqlite3_finalize(parent);
    sqlite3_finalize(child);
}

const BenchCatalogue& catalogue()
{
    static const BenchCatalogue instance = [] {
        BenchCatalogue made(photos);
        sqlite3* db = made.openBare();
        registerCatalogueFunctions(db);
        runBare(db, "BEGIN");
        addLevel(db, "INSERT INTO Categories (Category) VALUES (?)",
                 "INSERT INTO Subjects (CategoryID, Subject) VALUES (?, ?)", "Category", 500, 20);
        addLevel(db, "INSERT INTO States (State) VALUES (?)", "INSERT INTO Locations (StateID, Location) VALUES (?, ?)",
                 "State", 50, 100);
        addLevel(db, "INSERT INTO StorageDevices (StorageDevice) VALUES (?)",
                 "INSERT INTO StorageLocations (StorageDeviceID, StorageLocation) VALUES (?, ?)", "Device", 20, 200);
        // Half the photos show the first subject of the first of the new categories.
        runBare(db, "INSERT INTO PhotosSubjects (PhotoID, SubjectID) SELECT PhotoID, (SELECT SubjectID FROM Subjects "
                    "WHERE Subject = 'Category 1000-0') FROM Photos WHERE PhotoID % 2 = 0");
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

// The window made, its tree read and shown, then closed again.
void ExplorerOpen(benchmark::State& state)
{
    catalogue().openAsProgram();
    {
        mdiMain main(QFileInfo(catalogue().path()).absolutePath());
        RegisterChildWindows(main);
        main.show();
        int nodes = 0;
        for (auto _ : state) {
            QWidget* explorer = main.ShowChild(QStringLiteral("frmExplorer"));
            QApplication::processEvents();
            state.PauseTiming();
            auto* tree = explorer->findChild<QTreeWidget*>(QStringLiteral("TreeView1"));
            nodes = 0;
            for (QTreeWidgetItemIterator it(tree); *it; ++it)
                ++nodes;
            explorer->parentWidget()->close();
            QApplication::processEvents();
            state.ResumeTiming();
        }
        if (nodes < 13000)
            std::abort();
        state.counters["nodes"] = nodes;
    }
    gDB.reset();
}

// The same rows read bare, two queries a level, into a bare tree of the same shape.
void BareTreeRead(benchmark::State& state)
{
    sqlite3* db = catalogue().openBare();
    registerCatalogueFunctions(db);
    const char* levels[][2] = {
        {"SELECT CategoryID, Category FROM Categories ORDER BY Category",
         "SELECT CategoryID, SubjectID, Subject FROM Subjects ORDER BY Subject"},
        {"SELECT StateID, State FROM States ORDER BY State",
         "SELECT StateID, LocationID, Location FROM Locations ORDER BY Location"},
        {"SELECT StorageDeviceID, StorageDevice FROM StorageDevices ORDER BY StorageDevice",
         "SELECT StorageDeviceID, StorageLocationID, StorageLocation FROM StorageLocations ORDER BY StorageLocation"},
    };
    QTreeWidget tree;
    tree.setHeaderHidden(true);
    tree.resize(300, 400);
    tree.show();
    for (auto _ : state) {
        tree.clear();
        for (const auto& level : levels) {
            auto* root = new QTreeWidgetItem(&tree, QStringList{QStringLiteral("Root")});
            std::unordered_map<sqlite3_int64, QTreeWidgetItem*> parents;
            sqlite3_stmt* rows = nullptr;
            prepared(db, level[0], &rows);
            while (sqlite3_step(rows) == SQLITE_ROW)
                parents[sqlite3_column_int64(rows, 0)] = new QTreeWidgetItem(
                    root, QStringList{QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(rows, 1)))});
            sqlite3_finalize(rows);
            prepared(db, level[1], &rows);
            while (sqlite3_step(rows) == SQLITE_ROW)
                new QTreeWidgetItem(
                    parents[sqlite3_column_int64(rows, 0)],
                    QStringList{QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(rows, 2)))});
            sqlite3_finalize(rows);
        }
        tree.topLevelItem(0)->setExpanded(true);
        QApplication::processEvents();
    }
    sqlite3_close(db);
}

// Choosing one node after another in the open explorer; counts what was listed.
void selectNode(benchmark::State& state, const QStringList& path, bool listed)
{
    catalogue().openAsProgram();
    {
        mdiMain main(QFileInfo(catalogue().path()).absolutePath());
        RegisterChildWindows(main);
        main.show();
        QWidget* explorer = main.ShowChild(QStringLiteral("frmExplorer"));
        auto* tree = explorer->findChild<QTreeWidget*>(QStringLiteral("TreeView1"));
        auto* list = explorer->findChild<QTreeView*>(QStringLiteral("ListView1"));
        QTreeWidgetItem* target = tree->topLevelItem(0);
        for (const QString& text : path)
            target = child(target, text);
        QTreeWidgetItem* other = tree->topLevelItem(2);
        for (auto _ : state) {
            state.PauseTiming();
            tree->setCurrentItem(other);
            QApplication::processEvents();
            state.ResumeTiming();
            tree->setCurrentItem(target);
            QApplication::processEvents();
        }
        const QString count = explorer->findChild<QLabel*>(QStringLiteral("Panels(1)"))->text();
        if (listed ? list->model()->rowCount() != bigSubjectPhotos : !count.startsWith(u"Number of Photos= "))
            std::abort();
    }
    gDB.reset();
}

void SelectBigSubject(benchmark::State& state)
{
    selectNode(state, {QStringLiteral("Category 1000"), QStringLiteral("Category 1000-0")}, true);
}

void SelectTopLevelNode(benchmark::State& state)
{
    selectNode(state, {}, false);
}

// Two columns of text, as bare as a model gets.
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

// The subject's photos read bare with the same query and put into a bare model behind a view.
void BareSubjectQueryAndModelFill(benchmark::State& state)
{
    sqlite3* db = catalogue().openBare();
    registerCatalogueFunctions(db);
    sqlite3_stmt* rows = nullptr;
    prepared(db,
             "SELECT Photos.PhotoID, Photos.Caption, Photos.FileName FROM Photos INNER JOIN PhotosSubjects ON "
             "Photos.PhotoID = PhotosSubjects.PhotoID WHERE PhotosSubjects.SubjectID = (SELECT SubjectID FROM Subjects "
             "WHERE Subject = 'Category 1000-0') ORDER BY Photos.PhotoID",
             &rows);
    BareModel model;
    QTreeView view;
    view.setUniformRowHeights(true);
    view.setModel(&model);
    view.resize(500, 400);
    view.show();
    for (auto _ : state) {
        model.reset({});
        std::vector<std::pair<QString, QString>> read;
        while (sqlite3_step(rows) == SQLITE_ROW)
            read.emplace_back(QString::number(sqlite3_column_int64(rows, 0)),
                              QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(rows, 1))));
        sqlite3_reset(rows);
        model.reset(std::move(read));
        QApplication::processEvents();
    }
    if (model.rowCount() != bigSubjectPhotos)
        std::abort();
    sqlite3_finalize(rows);
    sqlite3_close(db);
}

// The count of the photos that have a subject, bare.
void BareTopLevelCount(benchmark::State& state)
{
    sqlite3* db = catalogue().openBare();
    sqlite3_stmt* rows = nullptr;
    prepared(db, "SELECT COUNT(DISTINCT PhotoID) FROM PhotosSubjects", &rows);
    for (auto _ : state) {
        if (sqlite3_step(rows) != SQLITE_ROW)
            std::abort();
        benchmark::DoNotOptimize(sqlite3_column_int64(rows, 0));
        sqlite3_reset(rows);
        QApplication::processEvents();
    }
    sqlite3_finalize(rows);
    sqlite3_close(db);
}

} // namespace

BENCHMARK(ExplorerOpen)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BareTreeRead)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(SelectBigSubject)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BareSubjectQueryAndModelFill)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(SelectTopLevelNode)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BareTopLevelCount)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    return runBenchmarks(argc, argv,
                         {{"ExplorerOpen", "BareTreeRead", 0, 300},
                          {"SelectBigSubject", "BareSubjectQueryAndModelFill", 2.0, 0},
                          {"SelectTopLevelNode", "BareTopLevelCount", 0, 50}});
}

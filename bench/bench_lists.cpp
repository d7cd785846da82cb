// The lists window's tree of 500 categories with 20 subjects each (10,500 nodes), rebuilt after an
// Add, against the bare engine storing a row and reading the same rows into a bare QTreeWidget.

#include "BenchCatalogue.h"
#include "BenchReport.h"

#include "ChildWindows.h"
#include "data/SqliteSupport.h"
#include "data/cDataBase.h"
#include "gui/shell/mdiMain.h"

#include <QApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTabBar>
#include <QTimer>
#include <QTreeWidget>

#include <sqlite3.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int categories = 500;
constexpr int subjectsEach = 20;

const BenchCatalogue& catalogue()
{
    static const BenchCatalogue instance = [] {
        BenchCatalogue made(7);
        sqlite3* db = made.openBare();
        registerCatalogueFunctions(db);
        runBare(db, "BEGIN");
        sqlite3_stmt* category = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO Categories (Category) VALUES (?)", -1, &category, nullptr);
        sqlite3_stmt* subject = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO Subjects (CategoryID, Subject) VALUES (?, ?)", -1, &subject, nullptr);
        for (int c = 0; c < categories; ++c) {
            const std::string name = "Category " + std::to_string(1000 + c);
            sqlite3_bind_text(category, 1, name.c_str(), -1, SQLITE_TRANSIENT);
            if (sqlite3_step(category) != SQLITE_DONE) {
                std::fprintf(stderr, "%s\n", sqlite3_errmsg(db));
                std::abort();
            }
            sqlite3_reset(category);
            const sqlite3_int64 id = sqlite3_last_insert_rowid(db);
            for (int s = 0; s < subjectsEach; ++s) {
                const std::string text = "Subject " + std::to_string(c) + "-" + std::to_string(s);
                sqlite3_bind_int64(subject, 1, id);
                sqlite3_bind_text(subject, 2, text.c_str(), -1, SQLITE_TRANSIENT);
                if (sqlite3_step(subject) != SQLITE_DONE)
                    std::abort();
                sqlite3_reset(subject);
            }
        }
        sqlite3_finalize(category);
        sqlite3_finalize(subject);
        // The delivered categories go, so that the tree holds exactly 500 categories.
        runBare(db, "DELETE FROM PhotosSubjects");
        runBare(db, "DELETE FROM Subjects WHERE CategoryID IN (SELECT CategoryID FROM Categories WHERE Category "
                    "NOT LIKE 'Category %')");
        runBare(db, "DELETE FROM Categories WHERE Category NOT LIKE 'Category %'");
        runBare(db, "COMMIT");
        runBare(db, "ANALYZE");
        sqlite3_close(db);
        return made;
    }();
    return instance;
}

// A click on Add with the root selected, the dialog answered with a new name, the category stored
// and the whole tab rebuilt.
void AddAndRebuild(benchmark::State& state)
{
    catalogue().openAsProgram();
    {
        mdiMain main(QFileInfo(catalogue().path()).absolutePath());
        RegisterChildWindows(main);
        main.show();
        QWidget* lists = main.ShowChild(QStringLiteral("frmLists"));
        auto* tree = lists->findChild<QTreeWidget*>(QStringLiteral("TreeView1"));
        auto* add = lists->findChild<QPushButton*>(QStringLiteral("cmdAdd(0)"));
        // Names stay new across the runs the benchmark library makes of this function.
        static int named = 0;
        const int before = tree->topLevelItem(0)->childCount();
        int added = 0;
        for (auto _ : state) {
            state.PauseTiming();
            tree->setCurrentItem(tree->topLevelItem(0));
            ++added;
            const QString name = QStringLiteral("New %1").arg(++named);
            QTimer::singleShot(0, [name] {
                QWidget* dialog = QApplication::activeModalWidget();
                dialog->findChild<QLineEdit*>(QStringLiteral("txtItem"))->setText(name);
                dialog->findChild<QPushButton*>(QStringLiteral("cmdSave"))->click();
            });
            state.ResumeTiming();
            add->click();
        }
        if (before < categories || tree->topLevelItem(0)->childCount() != before + added)
            std::abort();
        state.counters["nodes"] = double(1 + categories * (1 + subjectsEach));
    }
    gDB.reset();
}

// The tab shown again: the same rebuild as after an Add, without storing anything.
void TabRebuild(benchmark::State& state)
{
    catalogue().openAsProgram();
    {
        mdiMain main(QFileInfo(catalogue().path()).absolutePath());
        RegisterChildWindows(main);
        main.show();
        QWidget* lists = main.ShowChild(QStringLiteral("frmLists"));
        auto* tabs = lists->findChild<QTabBar*>(QStringLiteral("TabStrip1"));
        for (auto _ : state) {
            state.PauseTiming();
            tabs->setCurrentIndex(1);
            state.ResumeTiming();
            tabs->setCurrentIndex(0);
        }
    }
    gDB.reset();
}

// The bare engine reading the same rows, and a bare tree of the same shape filled with them; with
// adding, a category stored first by a bare statement with the program's durability.
void bareTreeFill(benchmark::State& state, bool adding)
{
    sqlite3* db = catalogue().openBare();
    // Names are ordered as the program orders them, without regard to case.
    registerCatalogueFunctions(db);
    sqlite3_stmt* rows = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT Category, Subject FROM Categories LEFT JOIN Subjects USING (CategoryID) "
                       "ORDER BY Category, Subject",
                       -1, &rows, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO Categories (Category) VALUES (?)", -1, &insert, nullptr);
    QTreeWidget tree;
    tree.setHeaderHidden(true);
    tree.resize(400, 300);
    tree.show();
    const QIcon icon = QApplication::style()->standardIcon(QStyle::SP_DirIcon);
    static int named = 0;
    for (auto _ : state) {
        if (adding) {
            const std::string name = "Bare " + std::to_string(++named);
            sqlite3_bind_text(insert, 1, name.c_str(), -1, SQLITE_TRANSIENT);
            if (sqlite3_step(insert) != SQLITE_DONE)
                std::abort();
            sqlite3_reset(insert);
        }
        tree.clear();
        auto* root = new QTreeWidgetItem(&tree, QStringList{QStringLiteral("Category")});
        root->setExpanded(true);
        QTreeWidgetItem* parent = nullptr;
        QString parentName;
        while (sqlite3_step(rows) == SQLITE_ROW) {
            const QString category = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(rows, 0)));
            if (!parent || category != parentName) {
                parent = new QTreeWidgetItem(root, QStringList{category});
                parent->setIcon(0, icon);
                parentName = category;
            }
            if (sqlite3_column_type(rows, 1) == SQLITE_NULL)
                continue;
            auto* child = new QTreeWidgetItem(
                parent, QStringList{QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(rows, 1)))});
            child->setIcon(0, icon);
        }
        sqlite3_reset(rows);
        QApplication::processEvents();
    }
    sqlite3_finalize(insert);
    sqlite3_finalize(rows);
    // The bare categories go again, so that every run starts from the same tree.
    runBare(db, "DELETE FROM Categories WHERE Category LIKE 'Bare %'");
    sqlite3_close(db);
}

void BareQueryAndTreeFill(benchmark::State& state)
{
    bareTreeFill(state, false);
}

void BareAddQueryAndTreeFill(benchmark::State& state)
{
    bareTreeFill(state, true);
}

} // namespace

BENCHMARK(AddAndRebuild)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BareAddQueryAndTreeFill)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(TabRebuild)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BareQueryAndTreeFill)->Unit(benchmark::kMillisecond)->MinTime(2.0);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    // The whole Add against the same work done bare, and the rebuild alone against the bare read and fill.
    return runBenchmarks(
        argc, argv,
        {{"AddAndRebuild", "BareAddQueryAndTreeFill", 2.0, 300}, {"TabRebuild", "BareQueryAndTreeFill", 2.0, 300}});
}

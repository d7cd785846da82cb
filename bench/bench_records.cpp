// The record sets against the bare engine on a catalogue of 100,000 photos: moving through the
// photos, and making the labels of the marked photos.

#include "BenchCatalogue.h"
#include "BenchReport.h"

#include "data/cDataBase.h"
#include "data/cPhotos.h"
#include "labels/cLabels.h"

#include <sqlite3.h>

#include <vector>

namespace {

constexpr int catalogueSize = 100000;

const BenchCatalogue& catalogue()
{
    static const BenchCatalogue instance = [] {
        BenchCatalogue made(catalogueSize);
        // 2,000 photos are marked for labels; five labels each make 10,000 labels.
        sqlite3* db = made.openBare();
        runBare(db, "UPDATE Photos SET NumberofLabels = 5 WHERE PrintLabel = 1");
        sqlite3_close(db);
        return made;
    }();
    return instance;
}

void openGlobalCatalogue()
{
    gDB = std::make_unique<cDataBase>();
    gDB->setDBName(catalogue().path());
    gDB->OpenDB();
}

// One step of the photo editor's record set to the next photo, the photo read into its fields.
void GoNext(benchmark::State& state)
{
    openGlobalCatalogue();
    {
        cPhotos photos;
        photos.GoFirst();
        int position = 1;
        for (auto _ : state) {
            photos.GoNext();
            benchmark::DoNotOptimize(photos.Photo().Caption);
            if (++position == catalogueSize) {
                state.PauseTiming();
                photos.GoFirst();
                position = 1;
                state.ResumeTiming();
            }
        }
    }
    gDB.reset();
}

void readRow(sqlite3_stmt* row)
{
    for (int column = 0; column < sqlite3_column_count(row); ++column)
        benchmark::DoNotOptimize(sqlite3_column_text(row, column));
}

// The bare engine doing a keyset cursor's work: the next row read by its identity.
void GoNextBareByKey(benchmark::State& state)
{
    sqlite3* db = catalogue().openBare();
    std::vector<sqlite3_int64> keys;
    sqlite3_stmt* ids = nullptr;
    sqlite3_prepare_v2(db, "SELECT rowid FROM Photos ORDER BY PhotoID", -1, &ids, nullptr);
    while (sqlite3_step(ids) == SQLITE_ROW)
        keys.push_back(sqlite3_column_int64(ids, 0));
    sqlite3_finalize(ids);
    sqlite3_stmt* fetch = nullptr;
    sqlite3_prepare_v2(db, "SELECT * FROM Photos WHERE rowid = ?", -1, &fetch, nullptr);
    std::size_t next = 0;
    for (auto _ : state) {
        sqlite3_bind_int64(fetch, 1, keys[next]);
        sqlite3_step(fetch);
        readRow(fetch);
        sqlite3_reset(fetch);
        next = (next + 1) % keys.size();
    }
    sqlite3_finalize(fetch);
    sqlite3_close(db);
}

// The cheapest walk the bare engine has: one forward cursor over the ordered table.
void GoNextBareCursor(benchmark::State& state)
{
    sqlite3* db = catalogue().openBare();
    sqlite3_stmt* rows = nullptr;
    sqlite3_prepare_v2(db, "SELECT * FROM Photos ORDER BY PhotoID", -1, &rows, nullptr);
    for (auto _ : state) {
        if (sqlite3_step(rows) != SQLITE_ROW) {
            sqlite3_reset(rows);
            sqlite3_step(rows);
        }
        readRow(rows);
    }
    sqlite3_finalize(rows);
    sqlite3_close(db);
}

// Making 10,000 labels from 2,000 marked photos.
void MakeLabels(benchmark::State& state)
{
    openGlobalCatalogue();
    {
        cLabels labels;
        for (auto _ : state) {
            labels.MakeLabels(0);
            state.PauseTiming();
            labels.DeleteLabels();
            state.ResumeTiming();
        }
    }
    gDB.reset();
}

void MakeLabelsBare(benchmark::State& state)
{
    sqlite3* db = catalogue().openBare();
    for (auto _ : state) {
        runBare(db, "BEGIN");
        sqlite3_stmt* marked = nullptr;
        sqlite3_prepare_v2(db, "SELECT Caption, NumberofLabels FROM Photos WHERE PrintLabel = 1 ORDER BY PhotoID", -1,
                           &marked, nullptr);
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO Labels (Label) VALUES (?)", -1, &insert, nullptr);
        while (sqlite3_step(marked) == SQLITE_ROW) {
            for (int i = 0; i < sqlite3_column_int(marked, 1); ++i) {
                sqlite3_bind_value(insert, 1, sqlite3_column_value(marked, 0));
                sqlite3_step(insert);
                sqlite3_reset(insert);
            }
        }
        sqlite3_finalize(insert);
        sqlite3_finalize(marked);
        runBare(db, "COMMIT");
        state.PauseTiming();
        runBare(db, "DELETE FROM Labels");
        state.ResumeTiming();
    }
    sqlite3_close(db);
}

} // namespace

BENCHMARK(GoNext)->Unit(benchmark::kMicrosecond)->MinTime(1.0);
BENCHMARK(GoNextBareByKey)->Unit(benchmark::kMicrosecond)->MinTime(1.0);
BENCHMARK(GoNextBareCursor)->Unit(benchmark::kMicrosecond)->MinTime(1.0);
BENCHMARK(MakeLabels)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(MakeLabelsBare)->Unit(benchmark::kMillisecond)->Iterations(10);

int main(int argc, char** argv)
{
    return runBenchmarks(argc, argv,
                         {
                             {"GoNext", "GoNextBareByKey", 2.0, 1},
                             {"GoNext", "GoNextBareCursor", 0, 1},
                             {"MakeLabels", "MakeLabelsBare", 2.0, 1000},
                         });
}

// The engine layer against the bare engine on a catalogue of 100,000 photos.

#include "BenchCatalogue.h"
#include "BenchReport.h"

#include "data/Database.h"
#include "data/cDataBase.h"

#include <sqlite3.h>

#include <malloc.h>

namespace {

constexpr int catalogueSize = 100000;
constexpr int addedPhotos = 10000;

const BenchCatalogue& catalogue()
{
    static const BenchCatalogue instance(catalogueSize);
    return instance;
}

std::unique_ptr<cDataBase> openCatalogue()
{
    auto connection = std::make_unique<cDataBase>();
    connection->setDBName(catalogue().path());
    connection->OpenDB();
    return connection;
}

TableQuery photosInOrder()
{
    return TableQuery(QStringLiteral("Photos"), QStringLiteral("PhotoID"));
}

void removeAddedPhotos(sqlite3* db)
{
    runBare(db, "DELETE FROM Photos WHERE PhotoID >= 5000000");
}

// Opening the catalogue and reading its first photo in number order, as the photo editor does: a
// dynaset over every photo.
void OpenAndReadFirst(benchmark::State& state)
{
    for (auto _ : state) {
        auto connection = openCatalogue();
        auto photos = connection->DB().OpenRecordset(photosInOrder(), RecordsetType::Dynaset);
        benchmark::DoNotOptimize(photos->Value(QStringLiteral("Caption")));
    }
}

void OpenAndReadFirstBare(benchmark::State& state)
{
    for (auto _ : state) {
        sqlite3* db = catalogue().openBare();
        sqlite3_stmt* first = nullptr;
        sqlite3_prepare_v2(db, "SELECT * FROM Photos ORDER BY PhotoID LIMIT 1", -1, &first, nullptr);
        sqlite3_step(first);
        benchmark::DoNotOptimize(sqlite3_column_text(first, 1));
        sqlite3_finalize(first);
        sqlite3_close(db);
    }
}

// Adding photos through a dynaset in one transaction.
void AddPhotos(benchmark::State& state)
{
    auto connection = openCatalogue();
    Database& db = connection->DB();
    for (auto _ : state) {
        auto photos = db.OpenRecordset(photosInOrder().where(QStringLiteral("PhotoID < 0")), RecordsetType::Dynaset);
        Transaction work(db);
        for (int i = 0; i < addedPhotos; ++i) {
            photos->AddNew();
            photos->SetValue(QStringLiteral("PhotoID"), 5000000 + i);
            photos->SetValue(QStringLiteral("Caption"), QStringLiteral("Geese over the lake"));
            photos->SetValue(QStringLiteral("LocationID"), 2);
            photos->SetValue(QStringLiteral("PrintLabel"), true);
            photos->SetValue(QStringLiteral("NumberofLabels"), 1);
            photos->Update();
        }
        work.commit();
        state.PauseTiming();
        db.Execute(QStringLiteral("DELETE FROM Photos WHERE PhotoID >= 5000000"));
        state.ResumeTiming();
    }
}

void AddPhotosBare(benchmark::State& state)
{
    sqlite3* db = catalogue().openBare();
    runBare(db, "PRAGMA foreign_keys = ON");
    for (auto _ : state) {
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db,
                           "INSERT INTO Photos (PhotoID, Caption, LocationID, PrintLabel, NumberofLabels) "
                           "VALUES (?, ?, ?, ?, ?)",
                           -1, &insert, nullptr);
        runBare(db, "BEGIN");
        for (int i = 0; i < addedPhotos; ++i) {
            sqlite3_bind_int(insert, 1, 5000000 + i);
            sqlite3_bind_text(insert, 2, "Geese over the lake", -1, SQLITE_STATIC);
            sqlite3_bind_int(insert, 3, 2);
            sqlite3_bind_int(insert, 4, 1);
            sqlite3_bind_int(insert, 5, 1);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
        runBare(db, "COMMIT");
        sqlite3_finalize(insert);
        state.PauseTiming();
        removeAddedPhotos(db);
        state.ResumeTiming();
    }
    sqlite3_close(db);
}

// A dynaset over every photo in number order, with the memory its keyset holds.
void OpenPhotoDynaset(benchmark::State& state)
{
    auto connection = openCatalogue();
    double megabytes = 0;
    for (auto _ : state) {
        const auto before = mallinfo2().uordblks;
        auto photos = connection->DB().OpenRecordset(photosInOrder(), RecordsetType::Dynaset);
        megabytes = double(mallinfo2().uordblks - before) / 1e6;
        benchmark::DoNotOptimize(photos->RecordCount());
    }
    state.counters["MB"] = megabytes;
}

void ReadPhotoIdsBare(benchmark::State& state)
{
    sqlite3* db = catalogue().openBare();
    for (auto _ : state) {
        sqlite3_stmt* ids = nullptr;
        sqlite3_prepare_v2(db, "SELECT rowid FROM Photos ORDER BY PhotoID", -1, &ids, nullptr);
        std::vector<sqlite3_int64> rows;
        while (sqlite3_step(ids) == SQLITE_ROW)
            rows.push_back(sqlite3_column_int64(ids, 0));
        sqlite3_finalize(ids);
        benchmark::DoNotOptimize(rows.size());
    }
    sqlite3_close(db);
}

// A find with wildcards on the caption, from the first photo.
void FindCaption(benchmark::State& state)
{
    auto connection = openCatalogue();
    auto photos = connection->DB().OpenRecordset(photosInOrder(), RecordsetType::Dynaset);
    for (auto _ : state) {
        photos->MoveFirst();
        photos->FindFirst(Criteria::like(QStringLiteral("Caption"), QStringLiteral("*lake*")));
        benchmark::DoNotOptimize(photos->NoMatch());
    }
}

// The same with a digit wildcard, which the engine's LIKE cannot express.
void FindCaptionDigits(benchmark::State& state)
{
    auto connection = openCatalogue();
    auto photos = connection->DB().OpenRecordset(photosInOrder(), RecordsetType::Dynaset);
    for (auto _ : state) {
        photos->MoveFirst();
        photos->FindFirst(Criteria::like(QStringLiteral("Caption"), QStringLiteral("*lake*roll #")));
        benchmark::DoNotOptimize(photos->NoMatch());
    }
}

void scanBare(benchmark::State& state, const char* sql)
{
    sqlite3* db = catalogue().openBare();
    for (auto _ : state) {
        sqlite3_stmt* scan = nullptr;
        sqlite3_prepare_v2(db, sql, -1, &scan, nullptr);
        int found = 0;
        while (sqlite3_step(scan) == SQLITE_ROW)
            ++found;
        sqlite3_finalize(scan);
        benchmark::DoNotOptimize(found);
    }
    sqlite3_close(db);
}

void FindCaptionBare(benchmark::State& state)
{
    scanBare(state, "SELECT rowid FROM Photos WHERE Caption LIKE '%lake%'");
}

void FindCaptionDigitsBare(benchmark::State& state)
{
    scanBare(state, "SELECT rowid FROM Photos WHERE Caption LIKE '%lake%roll _'");
}

} // namespace

BENCHMARK(OpenAndReadFirst)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(OpenAndReadFirstBare)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(AddPhotos)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(AddPhotosBare)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(OpenPhotoDynaset)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(ReadPhotoIdsBare)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(FindCaption)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(FindCaptionBare)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(FindCaptionDigits)->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(FindCaptionDigitsBare)->Unit(benchmark::kMillisecond)->MinTime(1.0);

int main(int argc, char** argv)
{
    return runBenchmarks(argc, argv,
                         {
                             {"OpenAndReadFirst", "OpenAndReadFirstBare", 2.0, 100},
                             {"AddPhotos", "AddPhotosBare", 2.0, 100},
                             {"OpenPhotoDynaset", "ReadPhotoIdsBare", 2.0, 40},
                             {"FindCaption", "FindCaptionBare", 2.0, 70},
                             {"FindCaptionDigits", "FindCaptionDigitsBare", 3.0, 70},
                         });
}

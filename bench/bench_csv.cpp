// Exporting a catalogue of 100,000 photos, each with two subjects, to CSV, against the bare engine
// stepping the same queries without formatting or writing anything.

#include "BenchCatalogue.h"
#include "BenchReport.h"

#include "data/CsvExchange.h"
#include "data/cDataBase.h"

#include <QTemporaryDir>

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int catalogueSize = 100000;

// The catalogue as the program keeps it: with the engine's statistics taken.
const BenchCatalogue& catalogue()
{
    static const BenchCatalogue instance = [] {
        BenchCatalogue made(catalogueSize);
        made.openAsProgram();
        gDB->DB().Execute(QStringLiteral("ANALYZE"));
        gDB.reset();
        return made;
    }();
    return instance;
}

// The whole catalogue written to a file, as File > Export to CSV writes it.
void ExportCsv(benchmark::State& state)
{
    catalogue().openAsProgram();
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Vellaro.csv"));
    for (auto _ : state) {
        const qint64 written = ExportCatalogueCsv(path);
        if (written != catalogueSize) {
            std::fprintf(stderr, "bench: %lld photos written instead of %d\n", written, catalogueSize);
            std::abort();
        }
    }
    gDB.reset();
}

// The bare engine: the photos and their links stepped in number order, every column read as the
// export reads it, nothing formatted or written.
void ExportBare(benchmark::State& state)
{
    sqlite3* db = catalogue().openBare();
    for (auto _ : state) {
        sqlite3_stmt* photos = nullptr;
        sqlite3_prepare_v2(db,
                           "SELECT PhotoID, Caption, LocationID, StorageLocationID, DateTaken, PrintLabel, "
                           "NumberofLabels, FileName, Comments FROM Photos ORDER BY PhotoID",
                           -1, &photos, nullptr);
        sqlite3_stmt* links = nullptr;
        sqlite3_prepare_v2(db, "SELECT PhotoID, SubjectID FROM PhotosSubjects ORDER BY PhotoID, PhotoSubjectID", -1,
                           &links, nullptr);
        qint64 bytes = 0;
        int rows = 0;
        bool haveLink = sqlite3_step(links) == SQLITE_ROW;
        while (sqlite3_step(photos) == SQLITE_ROW) {
            const qint64 number = sqlite3_column_int64(photos, 0);
            for (int column = 1; column < 9; ++column)
                bytes += sqlite3_column_bytes(photos, column);
            while (haveLink && sqlite3_column_int64(links, 0) <= number) {
                bytes += sqlite3_column_int64(links, 1);
                haveLink = sqlite3_step(links) == SQLITE_ROW;
            }
            ++rows;
        }
        sqlite3_finalize(links);
        sqlite3_finalize(photos);
        if (rows != catalogueSize)
            std::abort();
        benchmark::DoNotOptimize(bytes);
    }
    sqlite3_close(db);
}

} // namespace

BENCHMARK(ExportBare)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(ExportCsv)->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char** argv)
{
    return runBenchmarks(argc, argv, {{"ExportCsv", "ExportBare", 0, 2000}});
}

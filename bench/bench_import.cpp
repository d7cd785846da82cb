// The folder import against the bare engine: 10,000 files with two subjects each into a catalogue
// of 100,000 photos, in one unit of work.

#include "BenchCatalogue.h"
#include "BenchReport.h"

#include "data/FolderImport.h"
#include "data/cDataBase.h"

#include <QDate>

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int catalogueSize = 100000;
constexpr int importedFiles = 10000;

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

QStringList files()
{
    QStringList paths;
    for (int i = 0; i < importedFiles; ++i)
        paths
            << QStringLiteral("/home/me/Pictures/Scans/2006/roll %1/IMG_%2.jpg").arg(i / 36).arg(i, 6, 10, QChar(u'0'));
    return paths;
}

ImportValues values()
{
    ImportValues shared;
    shared.Caption = QStringLiteral("Summer holiday at the lake, scanned from the album");
    shared.DateTaken = QDate(2006, 7, 14);
    shared.LocationCode = QStringLiteral("6");
    shared.StorageLocationCode = QStringLiteral("3");
    shared.Comments = QStringLiteral("Scanned at 1200 dpi.");
    shared.PrintLabel = true;
    shared.NumberofLabels = QStringLiteral("1");
    shared.AddedSubjectIds = {QStringLiteral("7"), QStringLiteral("10")};
    return shared;
}

// Takes the imported photos out again (their links with them), outside the timed part.
const char* const removeImported[] = {"DELETE FROM PhotosSubjects WHERE PhotoID >= 200000",
                                      "DELETE FROM Photos WHERE PhotoID >= 200000"};

void importInto(benchmark::State& state, bool dropStatistics)
{
    const QStringList paths = files();
    const ImportValues shared = values();
    catalogue().openAsProgram();
    const Database& db = gDB->DB();
    // The imported photos are numbered from 200,000 on, so that they are easy to take out again.
    db.Execute(QStringLiteral("INSERT INTO Photos (PhotoID) VALUES (199999)"));
    for (auto _ : state) {
        state.PauseTiming();
        if (dropStatistics)
            db.Execute(QStringLiteral("DELETE FROM sqlite_stat1"));
        state.ResumeTiming();
        const ImportResult result = ::ImportFiles(paths, shared);
        state.PauseTiming();
        if (result.Added != importedFiles) {
            std::fprintf(stderr, "bench: %lld photos added instead of %d\n", result.Added, importedFiles);
            std::abort();
        }
        for (const char* sql : removeImported)
            db.Execute(QString::fromLatin1(sql));
        state.ResumeTiming();
    }
    db.Execute(QStringLiteral("DELETE FROM Photos WHERE PhotoID = 199999"));
    db.Execute(QStringLiteral("ANALYZE"));
    gDB.reset();
}

// The import as the program runs it, statistics kept up by its own rule.
void ImportFolder(benchmark::State& state)
{
    importInto(state, false);
}

// The same import into a catalogue without statistics, which the import then takes.
void ImportFolderTakingStatistics(benchmark::State& state)
{
    importInto(state, true);
}

// The bare engine: the same rows through two prepared statements in one transaction.
void ImportBare(benchmark::State& state)
{
    const QStringList paths = files();
    std::vector<QByteArray> names;
    for (const QString& path : paths)
        names.push_back(path.toUtf8());
    const QByteArray caption = values().Caption.toUtf8();
    const QByteArray comments = values().Comments.toUtf8();
    sqlite3* db = catalogue().openBare();
    runBare(db, "PRAGMA foreign_keys = ON");
    for (auto _ : state) {
        runBare(db, "BEGIN");
        sqlite3_stmt* photo = nullptr;
        sqlite3_prepare_v2(db,
                           "INSERT INTO Photos (PhotoID, Caption, LocationID, StorageLocationID, DateTaken, "
                           "PrintLabel, NumberofLabels, FileName, Comments) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)",
                           -1, &photo, nullptr);
        sqlite3_stmt* link = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO PhotosSubjects (PhotoID, SubjectID) VALUES (?, ?)", -1, &link, nullptr);
        for (int i = 0; i < importedFiles; ++i) {
            const int id = 200000 + i;
            sqlite3_bind_int(photo, 1, id);
            sqlite3_bind_text(photo, 2, caption.constData(), int(caption.size()), SQLITE_STATIC);
            sqlite3_bind_int(photo, 3, 6);
            sqlite3_bind_int(photo, 4, 3);
            sqlite3_bind_text(photo, 5, "2006-07-14", -1, SQLITE_STATIC);
            sqlite3_bind_int(photo, 6, 1);
            sqlite3_bind_int(photo, 7, 1);
            sqlite3_bind_text(photo, 8, names[i].constData(), int(names[i].size()), SQLITE_STATIC);
            sqlite3_bind_text(photo, 9, comments.constData(), int(comments.size()), SQLITE_STATIC);
            if (sqlite3_step(photo) != SQLITE_DONE)
                std::abort();
            sqlite3_reset(photo);
            for (const int subject : {7, 10}) {
                sqlite3_bind_int(link, 1, id);
                sqlite3_bind_int(link, 2, subject);
                if (sqlite3_step(link) != SQLITE_DONE)
                    std::abort();
                sqlite3_reset(link);
            }
        }
        sqlite3_finalize(link);
        sqlite3_finalize(photo);
        runBare(db, "COMMIT");
        state.PauseTiming();
        for (const char* sql : removeImported)
            runBare(db, sql);
        state.ResumeTiming();
    }
    sqlite3_close(db);
}

} // namespace

BENCHMARK(ImportBare)->Unit(benchmark::kMillisecond)->Iterations(8);
BENCHMARK(ImportFolder)->Unit(benchmark::kMillisecond)->Iterations(8);
BENCHMARK(ImportFolderTakingStatistics)->Unit(benchmark::kMillisecond)->Iterations(4);

int main(int argc, char** argv)
{
    return runBenchmarks(argc, argv,
                         {
                             {"ImportFolder", "ImportBare", 2.0, 0},
                             {"ImportFolderTakingStatistics", "ImportBare", 0, 0},
                         });
}

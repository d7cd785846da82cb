// The folder import against the bare engine: 10,000 files with two subjects each into a catalogue
// of 100,000 photos, in one unit of work; and the look for files already catalogued before it.

#include "BenchCatalogue.h"
#include "BenchReport.h"

#include "data/FolderImport.h"
#include "data/cDataBase.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>

#include <sys/stat.h>

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

constexpr int checkedFiles = 1000;
constexpr int copiesCatalogued = 100;

// A card of new files of sizes all different, and copies of some of them that the catalogue's photos
// already name; every other photo names a file that is not on this disk.
struct Card
{
    QTemporaryDir folder;
    QStringList files;
    QStringList copies;

    Card()
    {
        QDir(folder.path()).mkdir(QStringLiteral("card"));
        QDir(folder.path()).mkdir(QStringLiteral("catalogued"));
        for (int i = 0; i < checkedFiles; ++i) {
            const QByteArray content(1000 + i, char('a' + i % 26));
            const QString name = QStringLiteral("IMG_%1.jpg").arg(i, 4, 10, QChar(u'0'));
            const QString path = folder.filePath(QStringLiteral("card/") + name);
            QFile file(path);
            if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.flush())
                std::abort();
            file.close();
            files << path;
            if (i % (checkedFiles / copiesCatalogued) == 0) {
                const QString copy = folder.filePath(QStringLiteral("catalogued/") + name);
                if (!QFile::copy(path, copy))
                    std::abort();
                copies << copy;
            }
        }
    }
};

const Card& card()
{
    static const Card instance;
    return instance;
}

// The look for files already catalogued, as the import window runs it before an import of a card
// of 1,000 files into a catalogue of 100,000 photos. The first look, which reads the catalogued
// copies once, is left out.
void CheckDuplicates(benchmark::State& state)
{
    const QStringList& copies = card().copies;
    catalogue().openAsProgram();
    const Database& db = gDB->DB();
    for (int i = 0; i < copies.size(); ++i)
        db.Execute(QStringLiteral("UPDATE Photos SET FileName = ? WHERE PhotoID = ?"), {copies.at(i), 1000 + i});
    FindImportDuplicates(card().files);
    for (auto _ : state) {
        const qsizetype found = qsizetype(FindImportDuplicates(card().files).Duplicates.size());
        if (found != copiesCatalogued) {
            std::fprintf(stderr, "bench: %lld duplicates instead of %d\n", qlonglong(found), copiesCatalogued);
            std::abort();
        }
    }
    db.Execute(QStringLiteral("DELETE FROM PhotoFiles"));
    gDB.reset();
}

// The least any such look does: each new file's path looked up in the file name index and its size
// read from the disk.
void CheckDuplicatesBare(benchmark::State& state)
{
    std::vector<QByteArray> names;
    for (const QString& path : card().files)
        names.push_back(QFile::encodeName(path));
    sqlite3* db = catalogue().openBare();
    sqlite3_stmt* byPath = nullptr;
    sqlite3_prepare_v2(db, "SELECT min(PhotoID) FROM Photos WHERE FileName = ?", -1, &byPath, nullptr);
    for (auto _ : state) {
        qint64 bytes = 0;
        for (const QByteArray& name : names) {
            sqlite3_bind_text(byPath, 1, name.constData(), int(name.size()), SQLITE_STATIC);
            if (sqlite3_step(byPath) != SQLITE_ROW)
                std::abort();
            sqlite3_reset(byPath);
            struct stat info
            {
            };
            if (::stat(name.constData(), &info) == 0)
                bytes += info.st_size;
        }
        benchmark::DoNotOptimize(bytes);
    }
    sqlite3_finalize(byPath);
    sqlite3_close(db);
}

} // namespace

BENCHMARK(ImportBare)->Unit(benchmark::kMillisecond)->Iterations(8);
BENCHMARK(ImportFolder)->Unit(benchmark::kMillisecond)->Iterations(8);
BENCHMARK(ImportFolderTakingStatistics)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK(CheckDuplicatesBare)->Unit(benchmark::kMillisecond)->Iterations(8);
BENCHMARK(CheckDuplicates)->Unit(benchmark::kMillisecond)->Iterations(8);

int main(int argc, char** argv)
{
    return runBenchmarks(argc, argv,
                         {
                             {"ImportFolder", "ImportBare", 2.0, 0},
                             {"ImportFolderTakingStatistics", "ImportBare", 0, 0},
                             {"CheckDuplicates", "CheckDuplicatesBare", 0, 1000},
                         });
}

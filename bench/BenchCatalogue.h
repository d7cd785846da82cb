#pragma once

#include <QString>
#include <QTemporaryDir>

struct sqlite3;

// A catalogue of many photos for benchmarks: the delivered catalogue with photos added until it
// holds the number asked for, made once in a temporary folder.
class BenchCatalogue
{
public:
    explicit BenchCatalogue(int photos);
    QString path() const { return m_folder.filePath(QStringLiteral("Vellaro.mdb")); }
    int photos() const { return m_photos; }

    // A bare engine handle on the catalogue, keyed and tuned as the program's own, for baselines.
    sqlite3* openBare() const;
    // Opens the catalogue as the program does, as gDB, with settings in a temporary store and a
    // message service that ends the run at the first message: a message in a timed run is a fault.
    void openAsProgram() const;

private:
    QTemporaryDir m_folder;
    int m_photos;
};

// Runs one statement on a bare handle; aborts the benchmark on failure.
void runBare(sqlite3* db, const char* sql);

#include "BenchCatalogue.h"

#include "core/Messages.h"
#include "data/cDataBase.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>

namespace {

class SilentMessages final : public MessageService
{
public:
    MsgAnswer show(const QString& text, MsgButtons, MsgIcon, const QString&) override
    {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        std::abort();
    }
    void beep() override {}
    void setBusy(bool) override {}
};

const char* const places[] = {"Lake Itasca",    "Duluth harbour",   "Big Sur coast",
                              "Portland",       "Bar Harbor",       "the Golden Gate",
                              "Pemaquid Point", "grandma's garden", "the lakeshore trail"};
const char* const subjects[] = {"Sunset over", "Morning fog at", "Family picnic by", "Boats near",
                                "Geese above", "Snow on",        "Fishing at",       "Lighthouse beyond"};

} // namespace

void runBare(sqlite3* db, const char* sql)
{
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "bench: %s failed: %s\n", sql, sqlite3_errmsg(db));
        std::abort();
    }
}

BenchCatalogue::BenchCatalogue(int photos) : m_photos(photos)
{
    QFile::copy(QDir(QStringLiteral(VELLARO_DELIVERED_DIR)).filePath(QStringLiteral("Vellaro.mdb")), path());
    QFile(path()).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    sqlite3* db = openBare();
    runBare(db, "BEGIN");
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO Photos (PhotoID, Caption, LocationID, StorageLocationID, DateTaken, PrintLabel, "
                       "NumberofLabels, FileName, Comments) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)",
                       -1, &insert, nullptr);
    for (int id = 1000; id < 1000 + photos - 7; ++id) {
        char caption[160];
        std::snprintf(caption, sizeof caption, "%s %s, roll %d", subjects[id % 8], places[(id / 8) % 9], id / 36);
        char file[80];
        std::snprintf(file, sizeof file, "/home/me/Pictures/%04d/IMG_%06d.jpg", 1990 + id % 30, id);
        char date[16];
        std::snprintf(date, sizeof date, "%04d-%02d-%02d", 1990 + id % 30, 1 + id % 12, 1 + id % 28);
        sqlite3_bind_int(insert, 1, id);
        sqlite3_bind_text(insert, 2, caption, -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(insert, 3, 1 + id % 7);
        sqlite3_bind_int(insert, 4, 1 + id % 5);
        sqlite3_bind_text(insert, 5, date, -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(insert, 6, id % 50 == 0);
        sqlite3_bind_int(insert, 7, 1);
        sqlite3_bind_text(insert, 8, file, -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 9, "Scanned from the original print.", -1, SQLITE_STATIC);
        if (sqlite3_step(insert) != SQLITE_DONE)
            std::abort();
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    runBare(db, "INSERT INTO PhotosSubjects (PhotoID, SubjectID) SELECT PhotoID, 1 + PhotoID % 12 FROM Photos WHERE "
                "PhotoID >= 1000");
    runBare(db, "COMMIT");
    sqlite3_close(db);
}

sqlite3* BenchCatalogue::openBare() const
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path()).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        std::abort();
    const QByteArray password = cDataBase::ConnectString().mid(5).toUtf8();
    sqlite3_key(db, password.constData(), int(password.size()));
    runBare(db, "PRAGMA cipher_page_size = 4096");
    runBare(db, "PRAGMA cache_size = -65536");
    runBare(db, "PRAGMA synchronous = FULL");
    return db;
}

void BenchCatalogue::openAsProgram() const
{
    static QTemporaryDir store;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, store.path());
    SetMessageService(std::make_unique<SilentMessages>());
    gDB = std::make_unique<cDataBase>();
    gDB->setDBName(path());
    gDB->OpenDB();
}

#include "data/cDataBase.h"

#include "core/Failure.h"
#include "data/CatalogueUpgrade.h"
#include "data/SqliteSupport.h"

std::unique_ptr<cDataBase> gDB;

namespace {

// Tables every catalogue holds; a file without them is not a catalogue.
const QStringList catalogueTables{
    QStringLiteral("Photos"),         QStringLiteral("PhotosSubjects"),   QStringLiteral("Subjects"),
    QStringLiteral("Categories"),     QStringLiteral("States"),           QStringLiteral("Locations"),
    QStringLiteral("StorageDevices"), QStringLiteral("StorageLocations"), QStringLiteral("Labels"),
};

bool engineCanEncrypt()
{
    sqlite3* probe = nullptr;
    if (sqlite3_open_v2(":memory:", &probe, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(probe);
        return false;
    }
    sqlite3_stmt* statement = nullptr;
    bool canEncrypt = false;
    // Plain SQLite answers this pragma with no row at all.
    if (sqlite3_prepare_v2(probe, "PRAGMA cipher_version", -1, &statement, nullptr) == SQLITE_OK)
        canEncrypt = sqlite3_step(statement) == SQLITE_ROW;
    sqlite3_finalize(statement);
    sqlite3_close(probe);
    return canEncrypt;
}

void checkIsCatalogue(const Database& database)
{
    auto tables = database.OpenRecordset(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"));
    QStringList present;
    for (; !tables->Eof(); tables->MoveNext())
        present << tables->Value(QStringLiteral("name")).toString();
    for (const QString& table : catalogueTables) {
        if (!present.contains(table, Qt::CaseInsensitive))
            throw Failure(ErrorNumber::CannotOpenFile, {},
                          QStringLiteral("The file is a database, but not a Vellaro catalogue."));
    }
}

} // namespace

cDataBase::cDataBase()
{
    if (!engineCanEncrypt())
        throw Failure(ErrorNumber::EngineUnavailable);
}

cDataBase::~cDataBase() = default;

Database& cDataBase::DB() const
{
    if (!m_database || !m_database->IsOpen())
        throw Failure(ErrorNumber::ObjectNotSet);
    return *m_database;
}

bool cDataBase::OpenDB()
{
    try {
        auto database = Database::OpenDatabase(m_fileName, false, false, ConnectString());
        checkIsCatalogue(*database);
        upgradeCatalogue(*database);
        m_database = std::move(database);
        return true;
    } catch (const Failure& failure) {
        // A damaged page met while the schema is read is a file that cannot be opened.
        const Failure reported = failure.Number() == ErrorNumber::CatalogueDamaged
                                     ? engineFailure(nullptr, SQLITE_NOTADB, EngineOperation::Open)
                                     : failure;
        throw Failure(reported.Number(), QStringLiteral("Database Class::Open"),
                      QStringLiteral(" Error Opening the database.  ") + reported.Description());
    }
}

void cDataBase::CloseDB()
{
    m_database.reset();
}

QString cDataBase::ConnectString()
{
    static constexpr unsigned char scrambled[] = {0x0a, 0x2d, 0x64, 0x79, 0x37};
    QString password;
    for (const unsigned char c : scrambled)
        password += QChar(c ^ 0x5c);
    return QStringLiteral(";PWD=") + password;
}

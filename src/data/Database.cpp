#include "data/Database.h"

#include "data/RecordsetKinds.h"
#include "data/SqliteSupport.h"

#include <QFileInfo>

namespace {

QByteArray passwordOf(const QString& connect)
{
    const QString marker = QStringLiteral("PWD=");
    for (const QString& part : connect.split(u';', Qt::SkipEmptyParts)) {
        if (part.startsWith(marker, Qt::CaseInsensitive))
            return part.mid(marker.size()).toUtf8();
    }
    return {};
}

void runPragma(sqlite3* db, const char* pragma, EngineOperation operation)
{
    const int rc = sqlite3_exec(db, pragma, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw engineFailure(db, rc, operation);
}

// Opens the file, sets the key straight away and proves the key by reading the schema.
std::shared_ptr<Connection> openConnection(const QString& path, int flags, const QString& connect)
{
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw, flags, nullptr);
    auto connection = std::make_shared<Connection>(raw);
    if (rc != SQLITE_OK)
        throw engineFailure(raw, rc, EngineOperation::Open);

    const QByteArray password = passwordOf(connect);
    sqlite3_key(raw, password.constData(), int(password.size()));
    // Catalogues use 4 KiB pages, which the engine must be told of before the first read.
    runPragma(raw, "PRAGMA cipher_page_size = 4096", EngineOperation::Open);
    registerCatalogueFunctions(raw);

    // A short wait: a file held by another program is reported, not waited on.
    sqlite3_busy_timeout(raw, 500);
    runPragma(raw, "SELECT count(*) FROM sqlite_master", EngineOperation::Open);
    runPragma(raw, "PRAGMA foreign_keys = ON", EngineOperation::Open);
    // A large page cache makes whole-table scans (finds, the photo order) several times faster.
    runPragma(raw, "PRAGMA cache_size = -65536", EngineOperation::Open);
    // Every stored change reaches the disk before the call returns: nothing is lost on a crash.
    runPragma(raw, "PRAGMA synchronous = FULL", EngineOperation::Open);
    sqlite3_busy_timeout(raw, 2000);
    return connection;
}

} // namespace

Database::Database(std::shared_ptr<Connection> connection, QString name)
    : m_connection(std::move(connection)), m_name(std::move(name))
{}

Database::~Database()
{
    Close();
}

std::unique_ptr<Database> Database::OpenDatabase(const QString& path, bool exclusive, bool readOnly,
                                                 const QString& connect)
{
    const QFileInfo file(path);
    if (path.isEmpty() || !file.exists())
        throw Failure(ErrorNumber::FileNotFound, {}, QStringLiteral("The file '%1' could not be found.").arg(path));
    if (!file.isFile())
        throw Failure(ErrorNumber::CannotOpenFile, {}, QStringLiteral("'%1' is not a file.").arg(path));

    auto connection = openConnection(path, readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE, connect);
    if (exclusive) {
        sqlite3* raw = connection->handle();
        runPragma(raw, "PRAGMA locking_mode = EXCLUSIVE", EngineOperation::Open);
        runPragma(raw, readOnly ? "BEGIN; SELECT count(*) FROM sqlite_master; COMMIT" : "BEGIN EXCLUSIVE; COMMIT",
                  EngineOperation::Open);
    }
    return std::unique_ptr<Database>(new Database(std::move(connection), path));
}

std::unique_ptr<Database> Database::CreateDatabase(const QString& path, const QString& connect)
{
    if (QFileInfo::exists(path))
        throw Failure(ErrorNumber::CannotOpenFile, {}, QStringLiteral("'%1' already exists.").arg(path));
    auto connection = openConnection(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, connect);
    return std::unique_ptr<Database>(new Database(std::move(connection), path));
}

bool Database::IsOpen() const
{
    return m_connection && m_connection->isOpen();
}

void Database::Close()
{
    if (m_connection)
        m_connection->close();
}

std::unique_ptr<Recordset> Database::OpenRecordset(const TableQuery& query, RecordsetType type) const
{
    if (type == RecordsetType::Dynaset)
        return std::make_unique<Dynaset>(m_connection, query);
    QString sql = QStringLiteral("SELECT %1 FROM %2").arg(query.columns, quotedIdentifier(query.table));
    if (!query.condition.isEmpty())
        sql += u" WHERE " + query.condition;
    if (!query.order.isEmpty())
        sql += u" ORDER BY " + query.order;
    return std::make_unique<Snapshot>(m_connection, sql, query.parameters);
}

std::unique_ptr<Recordset> Database::OpenRecordset(const QString& sql, const QVariantList& parameters) const
{
    return std::make_unique<Snapshot>(m_connection, sql, parameters);
}

void Database::Execute(const QString& sql, const QVariantList& parameters) const
{
    Statement statement(m_connection, sql, EngineOperation::Other);
    statement.bindAll(parameters);
    statement.run();
}

void Database::ExecuteScript(const QString& sql) const
{
    sqlite3* raw = m_connection->handle();
    const int rc = sqlite3_exec(raw, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw engineFailure(raw, rc, EngineOperation::Other);
}

Transaction::Transaction(const Database& database) : m_connection(database.connection())
{
    // Savepoints nest, and outside any transaction one begins a transaction of its own.
    runPragma(m_connection->handle(), "SAVEPOINT vellaro_work", EngineOperation::Other);
}

Transaction::~Transaction()
{
    if (m_open && m_connection->isOpen()) {
        sqlite3* raw = m_connection->handle();
        sqlite3_exec(raw, "ROLLBACK TO vellaro_work; RELEASE vellaro_work", nullptr, nullptr, nullptr);
    }
}

void Transaction::commit()
{
    if (!m_open)
        throw Failure(ErrorNumber::NoTransaction);
    runPragma(m_connection->handle(), "RELEASE vellaro_work", EngineOperation::Other);
    m_open = false;
}

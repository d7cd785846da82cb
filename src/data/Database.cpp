#include "data/Database.h"

#include "data/RecordsetKinds.h"
#include "data/SqliteSupport.h"

#include <QFileInfo>

#include <unistd.h>

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

void runPragma(Connection& connection, const char* pragma, EngineOperation operation)
{
    const int rc = sqlite3_exec(connection.handle(), pragma, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw connection.failure(rc, operation);
}

// A plain SQLite file starts with this header in clear; an encrypted catalogue starts with noise.
bool isPlainDatabase(const QString& path)
{
    static constexpr char header[] = "SQLite format 3";
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return file.read(sizeof header) == QByteArray(header, sizeof header);
}

// The engine opens a file it may not write read-only without a word, and cannot make its journal in
// a folder it may not write: either would only show at the first change.
bool canBeWritten(const QString& path)
{
    const QByteArray file = QFile::encodeName(path);
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    return access(file.constData(), W_OK) == 0 && access(folder.constData(), W_OK | X_OK) == 0;
}

// Opens the file, sets the key straight away and proves the key by reading the schema.
std::shared_ptr<Connection> openConnection(const QString& path, int flags, const QString& connect)
{
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &raw, flags, nullptr);
    auto connection = std::make_shared<Connection>(raw);
    if (rc != SQLITE_OK)
        throw connection->failure(rc, EngineOperation::Open);

    const QByteArray password = passwordOf(connect);
    sqlite3_key(raw, password.constData(), int(password.size()));
    // Catalogues use 4 KiB pages, which the engine must be told of before the first read.
    runPragma(*connection, "PRAGMA cipher_page_size = 4096", EngineOperation::Open);
    registerCatalogueFunctions(raw);

    // A short wait: a file held by another program is reported, not waited on.
    sqlite3_busy_timeout(raw, 500);
    runPragma(*connection, "SELECT count(*) FROM sqlite_master", EngineOperation::Open);
    runPragma(*connection, "PRAGMA foreign_keys = ON", EngineOperation::Open);
    // A large page cache makes whole-table scans (finds, the photo order) several times faster.
    runPragma(*connection, "PRAGMA cache_size = -65536", EngineOperation::Open);
    // Every stored change reaches the disk before the call returns: nothing is lost on a crash.
    runPragma(*connection, "PRAGMA synchronous = FULL", EngineOperation::Open);
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

    if (!passwordOf(connect).isEmpty() && isPlainDatabase(path))
        throw Failure(ErrorNumber::CannotOpenFile, {},
                      QStringLiteral("The file is a database without encryption, not a Vellaro catalogue."));
    if (!readOnly && !canBeWritten(path))
        throw Failure(ErrorNumber::CannotOpenFile, {},
                      QStringLiteral("The catalogue cannot be changed: the file or its folder is read-only."));

    auto connection = openConnection(path, readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE, connect);
    if (!readOnly && sqlite3_db_readonly(connection->handle(), "main") == 1)
        throw Failure(ErrorNumber::CannotOpenFile, {},
                      QStringLiteral("The catalogue cannot be changed: the file or its folder is read-only."));
    if (exclusive) {
        runPragma(*connection, "PRAGMA locking_mode = EXCLUSIVE", EngineOperation::Open);
        runPragma(*connection,
                  readOnly ? "BEGIN; SELECT count(*) FROM sqlite_master; COMMIT" : "BEGIN EXCLUSIVE; COMMIT",
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
    m_connection->checkCanWrite();
    const int rc = sqlite3_exec(m_connection->handle(), sql.toUtf8().constData(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throw m_connection->failure(rc, EngineOperation::Other);
}

Transaction::Transaction(const Database& database) : m_connection(database.connection())
{
    m_outermost = sqlite3_get_autocommit(m_connection->handle()) != 0;
    // Savepoints nest, and outside any transaction one begins a transaction of its own.
    runPragma(*m_connection, "SAVEPOINT vellaro_work", EngineOperation::Other);
    m_connection->workBegun();
}

Transaction::~Transaction()
{
    if (!m_open || !m_connection->isOpen())
        return;
    sqlite3* raw = m_connection->handle();
    // The outermost unit ends with a plain rollback: undoing to the savepoint and then releasing it
    // ends in a commit, which a damaged catalogue must not be given.
    sqlite3_exec(raw, m_outermost ? "ROLLBACK" : "ROLLBACK TO vellaro_work; RELEASE vellaro_work", nullptr, nullptr,
                 nullptr);
    m_connection->workUndone(sqlite3_get_autocommit(raw) != 0);
}

void Transaction::commit()
{
    if (!m_open)
        throw Failure(ErrorNumber::NoTransaction);
    if (m_outermost)
        m_connection->checkCanWrite();
    runPragma(*m_connection, "RELEASE vellaro_work", EngineOperation::Other);
    m_open = false;
    m_connection->workStored();
}

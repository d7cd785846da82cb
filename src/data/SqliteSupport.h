#pragma once

// The engine layer's own plumbing over SQLCipher's C API. Only the engine's .cpp files include this.

#include "core/Failure.h"
#include "data/Recordset.h"

#include <QString>
#include <QVariant>

#include <sqlite3.h>

#include <memory>
#include <vector>

// Name of the case-insensitive text order that the catalogue's name columns are declared with.
inline constexpr char CaseInsensitiveCollation[] = "VNOCASE";
// Name of the SQL function behind wildcard finds: vellaro_like(value, pattern).
inline constexpr char WildcardFunction[] = "vellaro_like";

// What the caller was doing when the engine failed; the same refusal means different things on a
// delete (rows still refer to this one) and on an insert (the row refers to one that is missing).
enum class EngineOperation { Open, Read, Insert, Update, Delete, Other };

// The engine's result code as one of the program's numbered failures.
Failure engineFailure(sqlite3* db, int resultCode, EngineOperation operation);

class Dynaset;

// The open handle, shared by the database and every record set and statement made from it, so that
// closing the database never leaves a statement pointing at freed memory.
class Connection
{
public:
    explicit Connection(sqlite3* handle) : m_handle(handle) {}
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // The open handle; raises 3420 once the database has been closed.
    sqlite3* handle() const;
    bool isOpen() const { return m_handle != nullptr; }
    void close();

    // The engine's result code as a failure. A damaged page read after the open marks the
    // catalogue damaged, so that nothing more is written into it.
    Failure failure(int resultCode, EngineOperation operation);
    bool isDamaged() const { return m_damaged; }
    // Raises 3049 once the catalogue has been found damaged.
    void checkCanWrite() const;

    // Units of work: how deep they are nested now, and what became of the innermost one. Open
    // dynasets hear of it so that rows undone by a rollback leave them.
    int workLevel() const { return m_workLevel; }
    void workBegun() { ++m_workLevel; }
    void workStored();
    void workUndone(bool wholeTransaction);
    void attach(Dynaset* dynaset);
    void detach(Dynaset* dynaset);

private:
    sqlite3* m_handle;
    bool m_damaged = false;
    int m_workLevel = 0;
    std::vector<Dynaset*> m_dynasets;
};

ColumnKind columnKindFromDeclaration(const char* declaredType);

// A value assigned by the program, checked and converted for a column of this kind (13 or 6 on bad input).
QVariant convertForColumn(const QVariant& value, ColumnKind kind);

// The double-quoted form of one of the program's own identifiers.
QString quotedIdentifier(const QString& name);

// A prepared statement; finalised when it ends.
class Statement
{
public:
    Statement(std::shared_ptr<Connection> connection, const QString& sql,
              EngineOperation operation = EngineOperation::Read);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void bind(int index, const QVariant& value);
    void bindAll(const QVariantList& values);
    // Steps once: true while a row is available; raises the mapped failure on error.
    bool step();
    // Makes the statement ready to run again with new values.
    void reset();
    void run();

    int columnCount() const;
    QString columnName(int column) const;
    ColumnKind columnKind(int column) const;
    qint64 int64(int column) const;
    bool isNull(int column) const;
    QVariant value(int column, ColumnKind kind) const;

    sqlite3* db() const { return m_connection->handle(); }

private:
    std::shared_ptr<Connection> m_connection;
    sqlite3_stmt* m_statement = nullptr;
    EngineOperation m_operation;
};

// Registers the text order and the wildcard function on a new connection.
void registerCatalogueFunctions(sqlite3* db);

#pragma once

#include "data/Recordset.h"

#include <QString>
#include <QVariantList>

#include <memory>

class Connection;

// An open, password-protected database file. Foreign keys are enforced and every query binds its
// values; the SQL given here is always the program's own text, never the user's.
class Database
{
public:
    // Opens an existing file. The connect string carries the password as ";PWD=" followed by it.
    // Raises 3024 when the file does not exist and 3051 when it cannot be opened: held by another
    // program, unreadable, not writable though asked for writing, a database without encryption,
    // damaged, or protected with another password. A page found damaged after the open raises 3049,
    // and from then on every write is refused with 3049.
    static std::unique_ptr<Database> OpenDatabase(const QString& path, bool exclusive, bool readOnly,
                                                  const QString& connect);
    // Makes a new, empty file protected with the connect string's password (the build's catalogue tool).
    static std::unique_ptr<Database> CreateDatabase(const QString& path, const QString& connect);

    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const QString& Name() const { return m_name; }
    bool IsOpen() const;
    // Closes the file; record sets still open raise 3420 from then on.
    void Close();

    // A record set over one table: updatable as a dynaset, read-only as a snapshot.
    std::unique_ptr<Recordset> OpenRecordset(const TableQuery& query,
                                             RecordsetType type = RecordsetType::Snapshot) const;
    // A read-only record set of any query.
    std::unique_ptr<Recordset> OpenRecordset(const QString& sql, const QVariantList& parameters = {}) const;

    // Runs one statement of the program's own that returns no rows.
    void Execute(const QString& sql, const QVariantList& parameters = {}) const;
    // Runs several statements separated by ";" (schema scripts of the catalogue tool).
    void ExecuteScript(const QString& sql) const;

    std::shared_ptr<Connection> connection() const { return m_connection; }

private:
    Database(std::shared_ptr<Connection> connection, QString name);

    std::shared_ptr<Connection> m_connection;
    QString m_name;
};

// A unit of work: what it changes is stored by commit() and undone when it ends without one, also
// when a failure passes through it. Units nest; rows that open dynasets added inside a unit that
// was undone leave those dynasets.
class Transaction
{
public:
    explicit Transaction(const Database& database);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // Stores the work; raises 3034 when called a second time and 3049 when the catalogue has been
    // found damaged (the work is then undone when the unit ends).
    void commit();

private:
    std::shared_ptr<Connection> m_connection;
    bool m_open = true;
    bool m_outermost = false;
};

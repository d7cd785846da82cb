#pragma once

#include "data/Criteria.h"

#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>
#include <memory>
#include <vector>

class Connection;

// How a column is read and written, taken from its declared type.
enum class ColumnKind { Int32, Int16, Int64, Boolean, Date, Real, Text, Other };

enum class RecordsetType {
    Dynaset,  // updatable, keyset-driven: the identities of its rows are taken at open and Requery
    Snapshot, // read-only: holds its rows as they were read
};

// A query over one table, the only kind a dynaset can update. Every part is the program's own text;
// values are bound to the "?" placeholders of the condition.
struct TableQuery
{
    explicit TableQuery(QString tableName, QString orderColumn = {})
        : table(std::move(tableName)), order(std::move(orderColumn))
    {}
    // Only the rows that meet the condition.
    TableQuery& where(QString sqlCondition, QVariantList values = {})
    {
        condition = std::move(sqlCondition);
        parameters = std::move(values);
        return *this;
    }
    // Only these columns, as a comma-separated list.
    TableQuery& select(QString columnList)
    {
        columns = std::move(columnList);
        return *this;
    }

    QString table;
    QString order; // one column; text orders ignore case
    QString columns = QStringLiteral("*");
    QString condition;
    QVariantList parameters;
};

// Remembers a row of one record set so that it can be made current again.
struct Bookmark
{
    qint64 key = -1;
    qsizetype hint = -1;
    bool operator==(const Bookmark& other) const { return key == other.key; }
};

// A record set: a current row moved through the rows of a query, its fields read and, for a dynaset,
// written. Positions run from "before the first row" (BOF) to "after the last" (EOF).
class Recordset
{
public:
    virtual ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    RecordsetType Type() const { return m_type; }

    // Moves; each abandons a pending AddNew or Edit. 3021 when there is no row to move to:
    // an empty record set, MoveNext at EOF, MovePrevious at BOF.
    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrevious();

    // EOF and BOF (named so because EOF is a C macro). Both hold for an empty record set.
    bool Eof() const;
    bool Bof() const;

    // The number of rows; exact at all times.
    qsizetype RecordCount() const;
    // The 0-based position of the current row; -1 when there is none.
    qsizetype AbsolutePosition() const;

    // The current row's bookmark (3021 without a current row); setting one makes its row current
    // (3159 when the row is no longer in this record set).
    Bookmark GetBookmark() const;
    void SetBookmark(const Bookmark& bookmark);
    // The bookmark of the row last added or changed through this record set (3021 when none).
    Bookmark LastModified() const;

    // Finds from the first row, the row after the current one, the last row, or the row before the
    // current one. A miss sets NoMatch and leaves the current row where it was.
    // A field that is not a column of this record set raises 3070.
    void FindFirst(const Criteria& criteria);
    void FindNext(const Criteria& criteria);
    void FindLast(const Criteria& criteria);
    void FindPrevious(const Criteria& criteria);
    bool NoMatch() const { return m_noMatch; }

    // Field names, matched without regard to case ("Photos.PhotoID" also names PhotoID).
    QStringList FieldNames() const;
    // A field of the current row, or of the pending new or changed row: Null as an invalid QVariant,
    // whole numbers as qlonglong, yes/no as bool, dates as QDate. 3265 for an unknown field,
    // 3021 without a current row, 3167 when the row has been deleted.
    QVariant Value(const QString& field) const;
    // Assigns a field of the pending row (3020 without AddNew or Edit); Null is allowed. Values are
    // converted to the column's kind: 13 when they cannot be, 6 when a number does not fit.
    void SetValue(const QString& field, const QVariant& value);

    // Changing rows (dynasets only; a snapshot raises 3027).
    void AddNew();
    void Edit();
    // Stores the pending row: 3020 without AddNew or Edit, 3022 for a duplicate unique value,
    // 3201 when it refers to a missing row. After AddNew the row current before it stays current.
    void Update();
    void CancelUpdate();
    // Deletes the current row: 3200 while other rows refer to it. No row is current until the next move.
    void Delete();

    // Runs the query again; the first row becomes current.
    virtual void Requery() = 0;
    // A new record set of this one's rows that also meet the criteria.
    virtual std::unique_ptr<Recordset> OpenFiltered(const Criteria& criteria) const = 0;

protected:
    struct Column
    {
        QString name;
        ColumnKind kind;
    };

    Recordset(RecordsetType type, std::shared_ptr<Connection> connection);

    // What the two kinds of record set provide.
    virtual qsizetype count() const = 0;
    virtual void fetch(qsizetype index) = 0; // fills m_row, or clears m_rowExists
    virtual qint64 keyAt(qsizetype index) const = 0;
    virtual qsizetype indexOfKey(qint64 key, qsizetype hint) const;
    // The rows that meet the criteria, as a test on positions.
    virtual std::function<bool(qsizetype)> matcher(const Criteria& criteria) const = 0;
    // Store the pending row; return its position and key. insertRow's position may shift the current row.
    virtual std::pair<qsizetype, qint64> insertRow() = 0;
    virtual qsizetype updateRow(qsizetype index) = 0;
    virtual void deleteRow(qsizetype index) = 0;

    // Rows at these positions (ascending) are about to leave the record set because the work that
    // added them was undone: the current row, if among them, is treated as deleted, and a current
    // row that stays is read again, since the undone work may have changed it.
    void beforeRowsForgotten(const std::vector<qsizetype>& indexes);

    int columnIndex(const QString& field) const; // -1 when unknown
    int checkedColumn(const QString& field, long errorNumber) const;
    void afterRequery();
    void checkUpdatable() const;
    // Raises 3420 once the database has been closed.
    void checkOpen() const;

    std::shared_ptr<Connection> m_connection;
    std::vector<Column> m_columns;
    std::vector<QVariant> m_row;
    bool m_rowExists = false;
    std::vector<QVariant> m_pending;
    std::vector<bool> m_changed;

private:
    enum class EditMode { None, Adding, Editing };

    void goTo(qsizetype index);
    void refreshRow() const;
    void abandonPending();
    void requireCurrentRow() const;
    void find(const Criteria& criteria, qsizetype start, int direction);

    RecordsetType m_type;
    qsizetype m_position = -1;
    bool m_onDeletedRow = false;
    bool m_rowStale = false;
    bool m_noMatch = false;
    EditMode m_mode = EditMode::None;
    Bookmark m_lastModified;
};

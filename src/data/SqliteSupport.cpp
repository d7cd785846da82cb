#include "data/SqliteSupport.h"

#include "core/Conversions.h"
#include "data/NameOrder.h"
#include "data/RecordsetKinds.h"
#include "data/Wildcard.h"

#include <QDate>

#include <cstring>

Failure engineFailure(sqlite3* db, int resultCode, EngineOperation operation)
{
    using namespace ErrorNumber;
    const int extended = db ? sqlite3_extended_errcode(db) : resultCode;
    switch (resultCode & 0xff) {
    case SQLITE_CONSTRAINT:
        switch (extended) {
        case SQLITE_CONSTRAINT_UNIQUE:
        case SQLITE_CONSTRAINT_PRIMARYKEY:
            return Failure(DuplicateValue);
        case SQLITE_CONSTRAINT_FOREIGNKEY:
            return Failure(operation == EngineOperation::Delete ? RowStillReferenced : RelatedRowRequired);
        case SQLITE_CONSTRAINT_NOTNULL:
            return Failure(RequiredField);
        default:
            break;
        }
        break;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        if (operation == EngineOperation::Open)
            return Failure(CannotOpenFile, {}, QStringLiteral("The catalogue is in use by another program."));
        return Failure(RecordLocked);
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        // The engine cannot tell a wrong password from a damaged page: both read as noise.
        if (operation == EngineOperation::Open)
            return Failure(CannotOpenFile, {},
                           QStringLiteral("The file is damaged, or it is not a Vellaro catalogue protected with "
                                          "Vellaro's password."));
        return Failure(CatalogueDamaged);
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return Failure(CannotOpenFile, {}, QStringLiteral("The file cannot be read."));
    case SQLITE_FULL:
        return Failure(DiskFull);
    case SQLITE_READONLY:
        return Failure(ReadOnly);
    case SQLITE_IOERR:
        return Failure(DiskError);
    default:
        break;
    }
    // Unexpected: keep the engine's short name of the code to help whoever reads the report.
    return Failure(EngineFailure, {},
                   Failure::describe(EngineFailure) +
                       QStringLiteral(" (%1)").arg(QString::fromUtf8(sqlite3_errstr(resultCode))));
}

Connection::~Connection()
{
    close();
}

sqlite3* Connection::handle() const
{
    if (!m_handle)
        throw Failure(ErrorNumber::ObjectClosed);
    return m_handle;
}

void Connection::close()
{
    if (m_handle) {
        // close_v2 waits for statements still held by record sets before it lets go of the file.
        sqlite3_close_v2(m_handle);
        m_handle = nullptr;
    }
}

Failure Connection::failure(int resultCode, EngineOperation operation)
{
    const int primary = resultCode & 0xff;
    if (operation != EngineOperation::Open && (primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT))
        m_damaged = true;
    return engineFailure(m_handle, resultCode, operation);
}

void Connection::checkCanWrite() const
{
    if (m_damaged)
        throw Failure(ErrorNumber::CatalogueDamaged);
}

void Connection::workStored()
{
    for (Dynaset* dynaset : m_dynasets)
        dynaset->workStored(m_workLevel);
    --m_workLevel;
}

void Connection::workUndone(bool wholeTransaction)
{
    // The engine undoes the whole transaction by itself after some failures; every level is gone then.
    const int level = wholeTransaction ? 1 : m_workLevel;
    for (Dynaset* dynaset : m_dynasets)
        dynaset->workUndone(level);
    --m_workLevel;
}

void Connection::attach(Dynaset* dynaset)
{
    m_dynasets.push_back(dynaset);
}

void Connection::detach(Dynaset* dynaset)
{
    std::erase(m_dynasets, dynaset);
}

ColumnKind columnKindFromDeclaration(const char* declaredType)
{
    if (!declaredType)
        return ColumnKind::Other;
    const QByteArray type = QByteArray(declaredType).toUpper();
    if (type.contains("BOOL") || type.contains("YESNO"))
        return ColumnKind::Boolean;
    if (type.contains("DATE") || type.contains("TIME"))
        return ColumnKind::Date;
    if (type.contains("SMALLINT"))
        return ColumnKind::Int16;
    if (type.contains("BIGINT"))
        return ColumnKind::Int64;
    if (type.contains("INT"))
        return ColumnKind::Int32;
    if (type.contains("REAL") || type.contains("FLOA") || type.contains("DOUB"))
        return ColumnKind::Real;
    if (type.contains("CHAR") || type.contains("TEXT") || type.contains("CLOB"))
        return ColumnKind::Text;
    return ColumnKind::Other;
}

namespace {

QDate dateFromText(const QString& text)
{
    QDate date = QDate::fromString(text, Qt::ISODate);
    if (!date.isValid())
        date = QDate::fromString(text, QStringLiteral("MM/dd/yyyy"));
    if (!date.isValid())
        throw Failure(ErrorNumber::TypeMismatch);
    return date;
}

} // namespace

QVariant convertForColumn(const QVariant& value, ColumnKind kind)
{
    if (value.isNull())
        return {};
    switch (kind) {
    case ColumnKind::Int32:
        return qlonglong(toInt32(value));
    case ColumnKind::Int16:
        return qlonglong(toInt16(value));
    case ColumnKind::Int64:
        return qlonglong(toWholeNumber(value, std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max()));
    case ColumnKind::Boolean:
        if (value.typeId() == QMetaType::QString)
            return toBoolean(value.toString());
        return toWholeNumber(value, std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max()) != 0;
    case ColumnKind::Date:
        if (value.typeId() == QMetaType::QDate)
            return value;
        if (value.typeId() == QMetaType::QDateTime)
            return value.toDateTime().date();
        if (value.typeId() == QMetaType::QString)
            return dateFromText(value.toString());
        throw Failure(ErrorNumber::TypeMismatch);
    case ColumnKind::Real: {
        bool ok = false;
        const double number = value.toDouble(&ok);
        if (!ok)
            throw Failure(ErrorNumber::TypeMismatch);
        return number;
    }
    case ColumnKind::Text:
        return toText(value);
    case ColumnKind::Other:
        break;
    }
    return value;
}

QString quotedIdentifier(const QString& name)
{
    QString quoted = name;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

Statement::Statement(std::shared_ptr<Connection> connection, const QString& sql, EngineOperation operation)
    : m_connection(std::move(connection)), m_operation(operation)
{
    const QByteArray text = sql.toUtf8();
    sqlite3* handle = m_connection->handle();
    const int rc = sqlite3_prepare_v2(handle, text.constData(), int(text.size()), &m_statement, nullptr);
    if (rc != SQLITE_OK)
        throw m_connection->failure(rc, operation);
}

Statement::~Statement()
{
    sqlite3_finalize(m_statement);
}

void Statement::bind(int index, const QVariant& value)
{
    int rc = SQLITE_OK;
    if (value.isNull()) {
        rc = sqlite3_bind_null(m_statement, index);
    } else {
        switch (value.typeId()) {
        case QMetaType::Bool:
            rc = sqlite3_bind_int(m_statement, index, value.toBool() ? 1 : 0);
            break;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Long:
        case QMetaType::LongLong:
        case QMetaType::ULong:
        case QMetaType::ULongLong:
            rc = sqlite3_bind_int64(m_statement, index, value.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(m_statement, index, value.toDouble());
            break;
        case QMetaType::QDate: {
            const QByteArray text = value.toDate().toString(Qt::ISODate).toUtf8();
            rc = sqlite3_bind_text(m_statement, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
            break;
        }
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            rc = sqlite3_bind_blob(m_statement, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QByteArray text = value.toString().toUtf8();
            rc = sqlite3_bind_text(m_statement, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
            break;
        }
        }
    }
    if (rc != SQLITE_OK)
        throw engineFailure(db(), rc, m_operation);
}

void Statement::bindAll(const QVariantList& values)
{
    for (int i = 0; i < values.size(); ++i)
        bind(i + 1, values.at(i));
}

bool Statement::step()
{
    // A damaged catalogue is read as far as it can be, but never written.
    if (!sqlite3_stmt_readonly(m_statement))
        m_connection->checkCanWrite();
    const int rc = sqlite3_step(m_statement);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    // The step's error is reported again by reset; take the precise code before resetting.
    Failure failure = m_connection->failure(rc, m_operation);
    sqlite3_reset(m_statement);
    throw failure;
}

void Statement::reset()
{
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
}

void Statement::run()
{
    while (step()) {
    }
}

int Statement::columnCount() const
{
    return sqlite3_column_count(m_statement);
}

QString Statement::columnName(int column) const
{
    return QString::fromUtf8(sqlite3_column_name(m_statement, column));
}

ColumnKind Statement::columnKind(int column) const
{
    return columnKindFromDeclaration(sqlite3_column_decltype(m_statement, column));
}

qint64 Statement::int64(int column) const
{
    return sqlite3_column_int64(m_statement, column);
}

bool Statement::isNull(int column) const
{
    return sqlite3_column_type(m_statement, column) == SQLITE_NULL;
}

QVariant Statement::value(int column, ColumnKind kind) const
{
    switch (sqlite3_column_type(m_statement, column)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER: {
        const qint64 number = sqlite3_column_int64(m_statement, column);
        if (kind == ColumnKind::Boolean)
            return number != 0;
        return qlonglong(number);
    }
    case SQLITE_FLOAT:
        return sqlite3_column_double(m_statement, column);
    case SQLITE_BLOB: {
        const auto* bytes = static_cast<const char*>(sqlite3_column_blob(m_statement, column));
        return QByteArray(bytes, sqlite3_column_bytes(m_statement, column));
    }
    default: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
        const QString string = QString::fromUtf8(text, sqlite3_column_bytes(m_statement, column));
        if (kind == ColumnKind::Date) {
            const QDate date = QDate::fromString(string, Qt::ISODate);
            if (date.isValid())
                return date;
        }
        return string;
    }
    }
}

namespace {

QString textOf(const void* bytes, int size)
{
    return QString::fromUtf8(static_cast<const char*>(bytes), size);
}

int compareWithoutCase(void*, int sizeA, const void* a, int sizeB, const void* b)
{
    return compareNames(textOf(a, sizeA), textOf(b, sizeB));
}

void deletePattern(void* pattern)
{
    delete static_cast<WildcardPattern*>(pattern);
}

// vellaro_like(value, pattern): 1 when the value's text matches the wildcard pattern, 0 otherwise
// (a Null value never matches). The compiled pattern is kept for the rest of the statement.
void wildcardLike(sqlite3_context* context, int, sqlite3_value** arguments)
{
    if (sqlite3_value_type(arguments[0]) == SQLITE_NULL || sqlite3_value_type(arguments[1]) == SQLITE_NULL) {
        sqlite3_result_int(context, 0);
        return;
    }
    const auto* value = reinterpret_cast<const char*>(sqlite3_value_text(arguments[0]));
    const int size = sqlite3_value_bytes(arguments[0]);
    if (const auto* pattern = static_cast<const WildcardPattern*>(sqlite3_get_auxdata(context, 1))) {
        sqlite3_result_int(context, pattern->matchesUtf8(value, size) ? 1 : 0);
        return;
    }
    auto pattern =
        std::make_unique<WildcardPattern>(textOf(sqlite3_value_text(arguments[1]), sqlite3_value_bytes(arguments[1])));
    sqlite3_result_int(context, pattern->matchesUtf8(value, size) ? 1 : 0);
    // The engine owns the compiled pattern from here on and may free it at once.
    sqlite3_set_auxdata(context, 1, pattern.release(), deletePattern);
}

} // namespace

void registerCatalogueFunctions(sqlite3* db)
{
    prepareNameOrder();
    sqlite3_create_collation_v2(db, CaseInsensitiveCollation, SQLITE_UTF8, nullptr, compareWithoutCase, nullptr);
    sqlite3_create_function_v2(db, WildcardFunction, 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, wildcardLike,
                               nullptr, nullptr, nullptr);
}

#include "core/Failure.h"

#include <QHash>

namespace {

const QHash<long, QString>& descriptions()
{
    using namespace ErrorNumber;
    static const QHash<long, QString> table{
        {Overflow, QStringLiteral("Overflow: the number is too large or too small for this value.")},
        {TypeMismatch,
         QStringLiteral("Type mismatch: the value is not a number, date or yes/no of the kind expected here.")},
        {ObjectNotSet, QStringLiteral("The catalogue is not open.")},
        {InvalidUseOfNull, QStringLiteral("A missing value was used where a value is required.")},
        {EngineUnavailable, QStringLiteral("The database engine linked into Vellaro cannot encrypt catalogues.")},
        {EngineFailure, QStringLiteral("The database engine reported an unexpected error.")},
        {UpdateWithoutAddOrEdit, QStringLiteral("There is no new or changed record to store.")},
        {NoCurrentRecord, QStringLiteral("There is no current record.")},
        {DuplicateValue,
         QStringLiteral("The change was not stored because it would repeat a value that must be unique.")},
        {FileNotFound, QStringLiteral("The file could not be found.")},
        {DiskFull, QStringLiteral("There is not enough space on the disk.")},
        {ReadOnly, QStringLiteral("The catalogue or this record set cannot be changed.")},
        {NoTransaction, QStringLiteral("There is no transaction to commit or roll back.")},
        {DiskError, QStringLiteral("The disk reported an error while the catalogue was read or written.")},
        {CatalogueDamaged,
         QStringLiteral("The catalogue Vellaro.mdb is damaged. Nothing more will be stored in it; restore it from a "
                        "backup copy.")},
        {CannotOpenFile, QStringLiteral("The file could not be opened.")},
        {UnknownCriteriaField, QStringLiteral("The search names a field that this record set does not have.")},
        {InvalidBookmark, QStringLiteral("The bookmark does not name a record of this record set.")},
        {RecordDeleted, QStringLiteral("The record has been deleted.")},
        {RecordLocked, QStringLiteral("The record could not be changed because another program holds a lock.")},
        {RowStillReferenced,
         QStringLiteral("The record cannot be deleted or changed because other records still refer to it.")},
        {RelatedRowRequired,
         QStringLiteral("The record cannot be stored because a record it refers to does not exist.")},
        {UnknownField, QStringLiteral("This record set has no field of that name.")},
        {RequiredField, QStringLiteral("A required field was left empty.")},
        {ObjectClosed, QStringLiteral("The catalogue has been closed; this record set can no longer be used.")},
        {ExpressionLibraryMissing, QStringLiteral("The database engine's expression library is missing.")},
        {NoSuchKey, QStringLiteral("There is no item with that key.")},
        {KeyNotUnique, QStringLiteral("An item with that key already exists.")},
    };
    return table;
}

} // namespace

Failure::Failure(long number, QString source) : Failure(number, std::move(source), describe(number)) {}

Failure::Failure(long number, QString source, QString description)
    : m_number(number), m_source(std::move(source)), m_description(std::move(description)),
      m_what(m_description.toUtf8())
{}

Failure Failure::withSource(QString source) const
{
    return Failure(m_number, std::move(source), m_description);
}

const char* Failure::what() const noexcept
{
    return m_what.constData();
}

QString Failure::describe(long number)
{
    const auto& table = descriptions();
    const auto it = table.constFind(number);
    if (it != table.constEnd())
        return *it;
    return QStringLiteral("Unexpected error %1.").arg(number);
}

#include "data/Recordset.h"

#include "core/Failure.h"
#include "data/SqliteSupport.h"

#include <algorithm>

Recordset::Recordset(RecordsetType type, std::shared_ptr<Connection> connection)
    : m_connection(std::move(connection)), m_type(type)
{}

Recordset::~Recordset() = default;

void Recordset::checkOpen() const
{
    m_connection->handle();
}

void Recordset::goTo(qsizetype index)
{
    checkOpen();
    m_onDeletedRow = false;
    m_rowStale = false;
    m_position = index;
    if (index >= 0 && index < count()) {
        fetch(index);
    } else {
        m_rowExists = false;
        m_row.clear();
    }
}

void Recordset::refreshRow() const
{
    // The current row's values are a cache of the table: reading them again changes nothing a
    // caller can see but their truth.
    if (!m_rowStale)
        return;
    auto* self = const_cast<Recordset*>(this);
    self->m_rowStale = false;
    self->goTo(m_position);
}

void Recordset::beforeRowsForgotten(const std::vector<qsizetype>& indexes)
{
    for (const qsizetype index : indexes) {
        if (keyAt(index) == m_lastModified.key)
            m_lastModified = {};
    }
    const auto before = qsizetype(std::lower_bound(indexes.begin(), indexes.end(), m_position) - indexes.begin());
    const bool currentGoes = std::binary_search(indexes.begin(), indexes.end(), m_position);
    if (m_position >= count()) {
        m_position = count() - qsizetype(indexes.size());
    } else if (m_position >= 0) {
        // On a row deleted earlier, the position names the row that followed it, which may go too;
        // the one after that then takes its place.
        m_position -= before;
        if (currentGoes && !m_onDeletedRow) {
            if (m_mode == EditMode::Editing)
                abandonPending();
            m_onDeletedRow = true;
            m_rowExists = false;
            m_row.clear();
        } else if (!m_onDeletedRow) {
            m_rowStale = true;
        }
    }
}

void Recordset::abandonPending()
{
    m_mode = EditMode::None;
    m_pending.clear();
    m_changed.clear();
}

void Recordset::afterRequery()
{
    abandonPending();
    m_noMatch = false;
    goTo(count() > 0 ? 0 : -1);
}

void Recordset::MoveFirst()
{
    abandonPending();
    if (count() == 0)
        throw Failure(ErrorNumber::NoCurrentRecord);
    goTo(0);
}

void Recordset::MoveLast()
{
    abandonPending();
    if (count() == 0)
        throw Failure(ErrorNumber::NoCurrentRecord);
    goTo(count() - 1);
}

void Recordset::MoveNext()
{
    abandonPending();
    // A deleted row's place is taken by the row that followed it.
    if (m_onDeletedRow) {
        goTo(m_position);
        return;
    }
    if (count() == 0 || m_position >= count())
        throw Failure(ErrorNumber::NoCurrentRecord);
    goTo(m_position + 1);
}

void Recordset::MovePrevious()
{
    abandonPending();
    if (m_onDeletedRow) {
        goTo(m_position - 1);
        return;
    }
    if (count() == 0 || m_position < 0)
        throw Failure(ErrorNumber::NoCurrentRecord);
    goTo(m_position - 1);
}

bool Recordset::Eof() const
{
    return !m_onDeletedRow && (count() == 0 || m_position >= count());
}

bool Recordset::Bof() const
{
    return !m_onDeletedRow && (count() == 0 || m_position < 0);
}

qsizetype Recordset::RecordCount() const
{
    return count();
}

qsizetype Recordset::AbsolutePosition() const
{
    if (m_onDeletedRow || m_position < 0 || m_position >= count())
        return -1;
    return m_position;
}

void Recordset::requireCurrentRow() const
{
    if (m_onDeletedRow)
        throw Failure(ErrorNumber::RecordDeleted);
    if (m_position < 0 || m_position >= count())
        throw Failure(ErrorNumber::NoCurrentRecord);
    if (!m_rowExists)
        throw Failure(ErrorNumber::RecordDeleted);
}

Bookmark Recordset::GetBookmark() const
{
    if (m_onDeletedRow || m_position < 0 || m_position >= count())
        throw Failure(ErrorNumber::NoCurrentRecord);
    return {keyAt(m_position), m_position};
}

qsizetype Recordset::indexOfKey(qint64 key, qsizetype hint) const
{
    if (hint >= 0 && hint < count() && keyAt(hint) == key)
        return hint;
    for (qsizetype i = 0; i < count(); ++i) {
        if (keyAt(i) == key)
            return i;
    }
    return -1;
}

void Recordset::SetBookmark(const Bookmark& bookmark)
{
    const qsizetype index = bookmark.key < 0 ? -1 : indexOfKey(bookmark.key, bookmark.hint);
    if (index < 0)
        throw Failure(ErrorNumber::InvalidBookmark);
    abandonPending();
    goTo(index);
}

Bookmark Recordset::LastModified() const
{
    if (m_lastModified.key < 0)
        throw Failure(ErrorNumber::NoCurrentRecord);
    return m_lastModified;
}

void Recordset::find(const Criteria& criteria, qsizetype start, int direction)
{
    abandonPending();
    const auto matches = matcher(criteria);
    for (qsizetype i = start; i >= 0 && i < count(); i += direction) {
        if (matches(i)) {
            m_noMatch = false;
            goTo(i);
            return;
        }
    }
    m_noMatch = true;
}

void Recordset::FindFirst(const Criteria& criteria)
{
    find(criteria, 0, 1);
}

void Recordset::FindLast(const Criteria& criteria)
{
    find(criteria, count() - 1, -1);
}

void Recordset::FindNext(const Criteria& criteria)
{
    find(criteria, m_onDeletedRow ? m_position : m_position + 1, 1);
}

void Recordset::FindPrevious(const Criteria& criteria)
{
    find(criteria, std::min(m_position, count()) - 1, -1);
}

int Recordset::columnIndex(const QString& field) const
{
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        if (m_columns[i].name.compare(field, Qt::CaseInsensitive) == 0)
            return int(i);
    }
    // "Table.Field" names the same column as "Field".
    const qsizetype dot = field.lastIndexOf(u'.');
    if (dot > 0)
        return columnIndex(field.mid(dot + 1));
    return -1;
}

int Recordset::checkedColumn(const QString& field, long errorNumber) const
{
    const int index = columnIndex(field);
    if (index < 0)
        throw Failure(errorNumber, {}, Failure::describe(errorNumber) + QStringLiteral(" (%1)").arg(field));
    return index;
}

QStringList Recordset::FieldNames() const
{
    QStringList names;
    for (const Column& column : m_columns)
        names << column.name;
    return names;
}

QVariant Recordset::Value(const QString& field) const
{
    checkOpen();
    const int column = checkedColumn(field, ErrorNumber::UnknownField);
    if (m_mode != EditMode::None)
        return m_pending[column];
    refreshRow();
    requireCurrentRow();
    return m_row[column];
}

void Recordset::SetValue(const QString& field, const QVariant& value)
{
    const int column = checkedColumn(field, ErrorNumber::UnknownField);
    if (m_mode == EditMode::None)
        throw Failure(ErrorNumber::UpdateWithoutAddOrEdit);
    m_pending[column] = convertForColumn(value, m_columns[column].kind);
    m_changed[column] = true;
}

void Recordset::checkUpdatable() const
{
    checkOpen();
    if (m_type != RecordsetType::Dynaset)
        throw Failure(ErrorNumber::ReadOnly);
}

void Recordset::AddNew()
{
    checkUpdatable();
    abandonPending();
    m_mode = EditMode::Adding;
    m_pending.assign(m_columns.size(), QVariant());
    m_changed.assign(m_columns.size(), false);
}

void Recordset::Edit()
{
    checkUpdatable();
    abandonPending();
    refreshRow();
    requireCurrentRow();
    m_mode = EditMode::Editing;
    m_pending = m_row;
    m_changed.assign(m_columns.size(), false);
}

void Recordset::Update()
{
    checkOpen();
    if (m_mode == EditMode::None)
        throw Failure(ErrorNumber::UpdateWithoutAddOrEdit);
    if (m_mode == EditMode::Adding) {
        const auto [index, key] = insertRow();
        // The row that was current before AddNew stays current, wherever the new row landed.
        if (index <= m_position)
            ++m_position;
        m_lastModified = {key, index};
    } else {
        const qsizetype index = updateRow(m_position);
        m_lastModified = {keyAt(index), index};
        goTo(index);
    }
    abandonPending();
}

void Recordset::CancelUpdate()
{
    if (m_mode == EditMode::None)
        throw Failure(ErrorNumber::UpdateWithoutAddOrEdit);
    abandonPending();
}

void Recordset::Delete()
{
    checkUpdatable();
    abandonPending();
    if (m_onDeletedRow)
        throw Failure(ErrorNumber::RecordDeleted);
    if (m_position < 0 || m_position >= count())
        throw Failure(ErrorNumber::NoCurrentRecord);
    deleteRow(m_position);
    m_onDeletedRow = true;
    m_rowExists = false;
    m_row.clear();
}

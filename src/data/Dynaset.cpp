#include "data/RecordsetKinds.h"

#include "data/NameOrder.h"
#include "data/Wildcard.h"

#include <algorithm>
#include <limits>
#include <unordered_map>

namespace {

// Null sorts before every number, as in the engine's own order.
constexpr qint64 nullNumber = std::numeric_limits<qint64>::min();

QString canonicalTable(const std::shared_ptr<Connection>& connection, const QString& table)
{
    Statement lookup(connection,
                     QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE"));
    lookup.bind(1, table);
    if (!lookup.step())
        throw Failure(ErrorNumber::EngineFailure, {}, QStringLiteral("The catalogue has no table %1.").arg(table));
    return lookup.value(0, ColumnKind::Text).toString();
}

bool isNumberKind(ColumnKind kind)
{
    return kind == ColumnKind::Int32 || kind == ColumnKind::Int16 || kind == ColumnKind::Int64 ||
           kind == ColumnKind::Boolean;
}

} // namespace

Dynaset::Dynaset(std::shared_ptr<Connection> connection, TableQuery query)
    : Recordset(RecordsetType::Dynaset, std::move(connection)), m_query(std::move(query))
{
    m_table = quotedIdentifier(canonicalTable(m_connection, m_query.table));

    // The query's own columns, read one row at a time by the row's identity.
    m_fetch = std::make_unique<Statement>(
        m_connection, QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?").arg(m_query.columns, m_table));
    for (int i = 0; i < m_fetch->columnCount(); ++i)
        m_columns.push_back({m_fetch->columnName(i), m_fetch->columnKind(i)});

    if (!m_query.order.isEmpty()) {
        Statement order(m_connection, QStringLiteral("SELECT %1 FROM %2").arg(m_query.order, m_table));
        m_orderColumn = quotedIdentifier(order.columnName(0));
        m_orderIsNumber = isNumberKind(order.columnKind(0));
        m_sortKeyOf = std::make_unique<Statement>(m_connection, u"SELECT " + m_orderColumn + u" FROM " + m_table +
                                                                    u" WHERE rowid = ?");
    }
    loadKeys();
    afterRequery();
    m_connection->attach(this);
}

Dynaset::~Dynaset()
{
    m_connection->detach(this);
}

void Dynaset::workStored(int level)
{
    // Stored into the enclosing unit, the rows can still be undone with it; stored for good, never.
    for (auto& added : m_addedInWork) {
        if (added.second >= level)
            added.second = level - 1;
    }
    std::erase_if(m_addedInWork, [](const auto& added) { return added.second <= 0; });
}

void Dynaset::workUndone(int level)
{
    std::vector<qint64> undone;
    std::erase_if(m_addedInWork, [&](const auto& added) {
        if (added.second < level)
            return false;
        undone.push_back(added.first);
        return true;
    });
    std::sort(undone.begin(), undone.end());
    std::vector<qsizetype> indexes;
    for (qsizetype i = 0; !undone.empty() && i < count(); ++i) {
        if (std::binary_search(undone.begin(), undone.end(), m_rowids[std::size_t(i)]))
            indexes.push_back(i);
    }
    // Also with no row to forget: the undone work may have changed the current row.
    beforeRowsForgotten(indexes);
    // Removed from the back, so that the indexes still ahead stay true.
    for (auto index = indexes.rbegin(); index != indexes.rend(); ++index)
        removeRow(*index);
}

QString Dynaset::keysetSql(bool withSortKeys) const
{
    QString sql =
        QStringLiteral("SELECT rowid") + (withSortKeys ? u", " + m_orderColumn : QString()) + u" FROM " + m_table;
    if (!m_query.condition.isEmpty())
        sql += u" WHERE (" + m_query.condition + u')';
    if (m_orderColumn.isEmpty())
        sql += u" ORDER BY rowid";
    else if (m_orderIsNumber)
        sql += u" ORDER BY " + m_orderColumn + u", rowid";
    else
        sql += u" ORDER BY " + m_orderColumn + u" COLLATE " + QLatin1String(CaseInsensitiveCollation) + u", rowid";
    return sql;
}

void Dynaset::loadKeys()
{
    Statement keys(m_connection, keysetSql(false));
    keys.bindAll(m_query.parameters);
    m_rowids.clear();
    while (keys.step())
        m_rowids.push_back(keys.int64(0));
    m_sortKeysLoaded = false;
    m_numberKeys.clear();
    m_textKeys.clear();
}

void Dynaset::appendSortKey(SortKey key)
{
    if (m_orderIsNumber)
        m_numberKeys.push_back(key.number);
    else
        m_textKeys.push_back(std::move(key.text));
}

void Dynaset::ensureSortKeys()
{
    if (m_sortKeysLoaded || m_orderColumn.isEmpty())
        return;
    // Usually the table still holds the keyset's rows in the keyset's order and one pass suffices.
    // Rows added, changed or deleted elsewhere since are looked up one by one.
    Statement keys(m_connection, keysetSql(true));
    keys.bindAll(m_query.parameters);
    std::unordered_map<qint64, SortKey> outOfStep;
    std::size_t next = 0;
    while (keys.step()) {
        const qint64 rowid = keys.int64(0);
        if (outOfStep.empty() && next < m_rowids.size() && m_rowids[next] == rowid) {
            appendSortKey(sortKeyAt(keys, 1));
            ++next;
        } else {
            outOfStep.emplace(rowid, sortKeyAt(keys, 1));
        }
    }
    SortKey previous;
    previous.number = nullNumber;
    for (; next < m_rowids.size(); ++next) {
        const auto found = outOfStep.find(m_rowids[next]);
        if (found != outOfStep.end())
            previous = found->second;
        else if (auto key = sortKeyOf(m_rowids[next]))
            previous = std::move(*key);
        // A row deleted elsewhere keeps its neighbour's value, so the order stays searchable.
        appendSortKey(previous);
    }
    m_sortKeysLoaded = true;
}

void Dynaset::Requery()
{
    loadKeys();
    afterRequery();
}

void Dynaset::fetch(qsizetype index)
{
    m_fetch->reset();
    m_fetch->bind(1, keyAt(index));
    m_rowExists = m_fetch->step();
    m_row.resize(m_columns.size());
    for (std::size_t i = 0; i < m_columns.size(); ++i)
        m_row[i] = m_rowExists ? m_fetch->value(int(i), m_columns[i].kind) : QVariant();
    m_fetch->reset();
}

QString Dynaset::conditionSql(const Criteria& criteria, QVariantList& parameters) const
{
    QStringList terms;
    for (const Criteria::Term& term : criteria.terms()) {
        const QString field =
            quotedIdentifier(m_columns[std::size_t(checkedColumn(term.field, ErrorNumber::UnknownCriteriaField))].name);
        switch (term.op) {
        case Criteria::Op::Like:
            // The engine's LIKE is faster than a function of ours; it serves when it means the same,
            // which it cannot for text holding a NUL, where LIKE stops reading.
            if (const auto like = toSqlLikePattern(term.value.toString())) {
                terms << QStringLiteral(
                             "CASE WHEN instr(%2, char(0)) > 0 THEN %1(%2, ?) ELSE %2 LIKE ? ESCAPE '\\' END")
                             .arg(QLatin1String(WildcardFunction), field);
                parameters << term.value << *like;
                continue;
            }
            terms << QStringLiteral("%1(%2, ?)").arg(QLatin1String(WildcardFunction), field);
            break;
        case Criteria::Op::Equal:
            terms << QStringLiteral("%1 = ? COLLATE %2").arg(field, QLatin1String(CaseInsensitiveCollation));
            break;
        case Criteria::Op::NotEqual:
            terms << QStringLiteral("%1 <> ? COLLATE %2").arg(field, QLatin1String(CaseInsensitiveCollation));
            break;
        case Criteria::Op::NumberEqual:
            terms << QStringLiteral("%1 = ?").arg(field);
            break;
        }
        parameters << term.value;
    }
    return terms.join(QStringLiteral(" AND "));
}

std::function<bool(qsizetype)> Dynaset::matcher(const Criteria& criteria) const
{
    // One pass of the engine over the table gives the matching rows; the walk in this record
    // set's own order then needs only a look-up per row.
    QVariantList parameters;
    const QString condition = conditionSql(criteria, parameters);
    Statement matches(m_connection, u"SELECT rowid FROM " + m_table + u" WHERE " + condition);
    matches.bindAll(parameters);
    auto found = std::make_shared<std::vector<qint64>>();
    while (matches.step())
        found->push_back(matches.int64(0));
    std::sort(found->begin(), found->end());
    return [this, found](qsizetype index) { return std::binary_search(found->begin(), found->end(), keyAt(index)); };
}

Dynaset::SortKey Dynaset::sortKeyAt(Statement& statement, int column) const
{
    SortKey key;
    if (m_orderIsNumber) {
        key.number = statement.isNull(column) ? nullNumber : statement.int64(column);
    } else if (!statement.isNull(column)) {
        key.text = statement.value(column, ColumnKind::Text).toString();
        if (key.text.isNull())
            key.text = QStringLiteral("");
    }
    return key;
}

std::optional<Dynaset::SortKey> Dynaset::sortKeyOf(qint64 rowid)
{
    m_sortKeyOf->reset();
    m_sortKeyOf->bind(1, rowid);
    std::optional<SortKey> key;
    if (m_sortKeyOf->step())
        key = sortKeyAt(*m_sortKeyOf, 0);
    m_sortKeyOf->reset();
    return key;
}

int Dynaset::compareWith(qsizetype index, const SortKey& key) const
{
    if (m_orderIsNumber) {
        const qint64 number = m_numberKeys[std::size_t(index)];
        return number < key.number ? -1 : (key.number < number ? 1 : 0);
    }
    const QString& text = m_textKeys[std::size_t(index)];
    if (text.isNull() || key.text.isNull())
        return int(!text.isNull()) - int(!key.text.isNull());
    // The same order as the engine's VNOCASE, so a changed row lands where a requery would put it.
    return compareNames(text, key.text);
}

qsizetype Dynaset::sortedPosition(const SortKey& key, qint64 rowid) const
{
    qsizetype low = 0;
    qsizetype high = count();
    while (low < high) {
        const qsizetype middle = (low + high) / 2;
        const int order = compareWith(middle, key);
        if (order < 0 || (order == 0 && m_rowids[std::size_t(middle)] < rowid))
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

void Dynaset::placeRow(qsizetype index, qint64 rowid, SortKey key)
{
    m_rowids.insert(m_rowids.begin() + index, rowid);
    if (!m_sortKeysLoaded)
        return;
    if (m_orderIsNumber)
        m_numberKeys.insert(m_numberKeys.begin() + index, key.number);
    else
        m_textKeys.insert(m_textKeys.begin() + index, std::move(key.text));
}

void Dynaset::removeRow(qsizetype index)
{
    m_rowids.erase(m_rowids.begin() + index);
    if (!m_sortKeysLoaded)
        return;
    if (m_orderIsNumber)
        m_numberKeys.erase(m_numberKeys.begin() + index);
    else
        m_textKeys.erase(m_textKeys.begin() + index);
}

Statement& Dynaset::cachedStatement(std::map<std::vector<bool>, std::unique_ptr<Statement>>& cache, bool insert)
{
    auto& statement = cache[m_changed];
    if (statement)
        return *statement;
    QStringList names;
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        if (m_changed[i])
            names << quotedIdentifier(m_columns[i].name);
    }
    QString sql;
    if (!insert) {
        sql = u"UPDATE " + m_table + u" SET " + names.join(QStringLiteral(" = ?, ")) + u" = ? WHERE rowid = ?";
    } else if (names.isEmpty()) {
        sql = u"INSERT INTO " + m_table + u" DEFAULT VALUES";
    } else {
        const QStringList marks(names.size(), QStringLiteral("?"));
        sql = u"INSERT INTO " + m_table + u" (" + names.join(u", ") + u") VALUES (" + marks.join(u", ") + u')';
    }
    statement =
        std::make_unique<Statement>(m_connection, sql, insert ? EngineOperation::Insert : EngineOperation::Update);
    return *statement;
}

std::pair<qsizetype, qint64> Dynaset::insertRow()
{
    ensureSortKeys();
    Statement& insert = cachedStatement(m_inserts, true);
    insert.reset();
    int parameter = 0;
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        if (m_changed[i])
            insert.bind(++parameter, m_pending[i]);
    }
    insert.run();
    const qint64 rowid = sqlite3_last_insert_rowid(insert.db());
    insert.reset();
    if (m_connection->workLevel() > 0)
        m_addedInWork.emplace_back(rowid, m_connection->workLevel());

    // A new row takes its place in the order; without an order it comes last.
    if (m_orderColumn.isEmpty()) {
        placeRow(count(), rowid, {});
        return {count() - 1, rowid};
    }
    SortKey key = sortKeyOf(rowid).value_or(SortKey());
    const qsizetype index = sortedPosition(key, rowid);
    placeRow(index, rowid, std::move(key));
    return {index, rowid};
}

qsizetype Dynaset::updateRow(qsizetype index)
{
    if (std::find(m_changed.begin(), m_changed.end(), true) == m_changed.end())
        return index;
    const qint64 rowid = keyAt(index);
    ensureSortKeys();
    Statement& update = cachedStatement(m_updates, false);
    update.reset();
    int parameter = 0;
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        if (m_changed[i])
            update.bind(++parameter, m_pending[i]);
    }
    update.bind(++parameter, rowid);
    update.run();
    const bool updated = sqlite3_changes(update.db()) > 0;
    update.reset();
    if (!updated)
        throw Failure(ErrorNumber::RecordDeleted);

    if (m_orderColumn.isEmpty())
        return index;
    // A changed order value moves the row to its new place, so the order stays true.
    SortKey key = sortKeyOf(rowid).value_or(SortKey());
    removeRow(index);
    const qsizetype newIndex = sortedPosition(key, rowid);
    placeRow(newIndex, rowid, std::move(key));
    return newIndex;
}

void Dynaset::deleteRow(qsizetype index)
{
    if (!m_delete)
        m_delete = std::make_unique<Statement>(m_connection, u"DELETE FROM " + m_table + u" WHERE rowid = ?",
                                               EngineOperation::Delete);
    m_delete->reset();
    m_delete->bind(1, keyAt(index));
    m_delete->run();
    m_delete->reset();
    removeRow(index);
}

std::unique_ptr<Recordset> Dynaset::OpenFiltered(const Criteria& criteria) const
{
    TableQuery filtered = m_query;
    QVariantList parameters;
    const QString condition = conditionSql(criteria, parameters);
    filtered.condition = m_query.condition.isEmpty() ? condition : u'(' + m_query.condition + u") AND " + condition;
    filtered.parameters += parameters;
    return std::make_unique<Dynaset>(m_connection, filtered);
}

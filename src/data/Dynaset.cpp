#include "data/RecordsetKinds.h"

#include <algorithm>

namespace {

// The engine's order: Null first, then numbers, then text (without regard to case when asked).
int compareOrderKeys(const QVariant& a, const QVariant& b, bool text)
{
    if (a.isNull() || b.isNull())
        return int(!a.isNull()) - int(!b.isNull());
    const bool aText = a.typeId() == QMetaType::QString;
    const bool bText = b.typeId() == QMetaType::QString;
    if (aText != bText)
        return aText ? 1 : -1;
    if (aText)
        return QString::compare(a.toString(), b.toString(), text ? Qt::CaseInsensitive : Qt::CaseSensitive);
    const double x = a.toDouble();
    const double y = b.toDouble();
    return x < y ? -1 : (y < x ? 1 : 0);
}

QString canonicalTable(const std::shared_ptr<Connection>& connection, const QString& table)
{
    Statement lookup(connection, QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE"));
    lookup.bind(1, table);
    if (!lookup.step())
        throw Failure(ErrorNumber::EngineFailure, {}, QStringLiteral("The catalogue has no table %1.").arg(table));
    return lookup.value(0, ColumnKind::Text).toString();
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
        m_orderIsText = order.columnKind(0) == ColumnKind::Text;
    }
    loadKeys();
    afterRequery();
}

void Dynaset::loadKeys()
{
    QString sql = QStringLiteral("SELECT rowid") + (m_orderColumn.isEmpty() ? QString() : u", " + m_orderColumn) +
                  u" FROM " + m_table;
    if (!m_query.condition.isEmpty())
        sql += u" WHERE (" + m_query.condition + u')';
    if (m_orderColumn.isEmpty()) {
        sql += u" ORDER BY rowid";
    } else {
        // Text orders ignore case, as the name columns' own order does.
        sql += u" ORDER BY " + m_orderColumn +
               (m_orderIsText ? QStringLiteral(" COLLATE %1").arg(QLatin1String(CaseInsensitiveCollation)) : QString()) +
               u", rowid";
    }
    Statement keys(m_connection, sql);
    keys.bindAll(m_query.parameters);
    m_rowids.clear();
    m_orderKeys.clear();
    const ColumnKind orderKind = m_orderIsText ? ColumnKind::Text : ColumnKind::Other;
    while (keys.step()) {
        m_rowids.push_back(keys.int64(0));
        if (!m_orderColumn.isEmpty())
            m_orderKeys.push_back(keys.value(1, orderKind));
    }
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
        const QString field = quotedIdentifier(m_columns[checkedColumn(term.field, ErrorNumber::UnknownCriteriaField)].name);
        switch (term.op) {
        case Criteria::Op::Like:
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

QVariant Dynaset::orderKeyOf(qint64 rowid) const
{
    Statement key(m_connection, u"SELECT " + m_orderColumn + u" FROM " + m_table + u" WHERE rowid = ?");
    key.bind(1, rowid);
    return key.step() ? key.value(0, m_orderIsText ? ColumnKind::Text : ColumnKind::Other) : QVariant();
}

qsizetype Dynaset::sortedPosition(const QVariant& key, qint64 rowid) const
{
    qsizetype low = 0;
    qsizetype high = count();
    while (low < high) {
        const qsizetype middle = (low + high) / 2;
        const int order = compareOrderKeys(m_orderKeys[std::size_t(middle)], key, m_orderIsText);
        if (order < 0 || (order == 0 && m_rowids[std::size_t(middle)] < rowid))
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

void Dynaset::placeRow(qsizetype index, qint64 rowid, const QVariant& key)
{
    m_rowids.insert(m_rowids.begin() + index, rowid);
    if (!m_orderColumn.isEmpty())
        m_orderKeys.insert(m_orderKeys.begin() + index, key);
}

std::pair<qsizetype, qint64> Dynaset::insertRow()
{
    QStringList names;
    QStringList marks;
    QVariantList values;
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        if (m_changed[i]) {
            names << quotedIdentifier(m_columns[i].name);
            marks << QStringLiteral("?");
            values << m_pending[i];
        }
    }
    QString sql = u"INSERT INTO " + m_table;
    if (names.isEmpty())
        sql += u" DEFAULT VALUES";
    else
        sql += u" (" + names.join(u", ") + u") VALUES (" + marks.join(u", ") + u')';
    Statement insert(m_connection, sql, EngineOperation::Insert);
    insert.bindAll(values);
    insert.run();
    const qint64 rowid = sqlite3_last_insert_rowid(insert.db());

    // A new row takes its place in the order; without an order it comes last.
    if (m_orderColumn.isEmpty()) {
        placeRow(count(), rowid, {});
        return {count() - 1, rowid};
    }
    const QVariant key = orderKeyOf(rowid);
    const qsizetype index = sortedPosition(key, rowid);
    placeRow(index, rowid, key);
    return {index, rowid};
}

qsizetype Dynaset::updateRow(qsizetype index)
{
    QStringList assignments;
    QVariantList values;
    for (std::size_t i = 0; i < m_columns.size(); ++i) {
        if (m_changed[i]) {
            assignments << quotedIdentifier(m_columns[i].name) + u" = ?";
            values << m_pending[i];
        }
    }
    const qint64 rowid = keyAt(index);
    if (assignments.isEmpty())
        return index;
    Statement update(m_connection, u"UPDATE " + m_table + u" SET " + assignments.join(u", ") + u" WHERE rowid = ?",
                     EngineOperation::Update);
    update.bindAll(values);
    update.bind(int(values.size()) + 1, rowid);
    update.run();
    if (sqlite3_changes(update.db()) == 0)
        throw Failure(ErrorNumber::RecordDeleted);

    if (m_orderColumn.isEmpty())
        return index;
    // A changed order value moves the row to its new place, so the order stays true.
    const QVariant key = orderKeyOf(rowid);
    m_rowids.erase(m_rowids.begin() + index);
    m_orderKeys.erase(m_orderKeys.begin() + index);
    const qsizetype newIndex = sortedPosition(key, rowid);
    placeRow(newIndex, rowid, key);
    return newIndex;
}

void Dynaset::deleteRow(qsizetype index)
{
    Statement remove(m_connection, u"DELETE FROM " + m_table + u" WHERE rowid = ?", EngineOperation::Delete);
    remove.bind(1, keyAt(index));
    remove.run();
    m_rowids.erase(m_rowids.begin() + index);
    if (!m_orderColumn.isEmpty())
        m_orderKeys.erase(m_orderKeys.begin() + index);
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

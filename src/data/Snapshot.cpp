#include "data/RecordsetKinds.h"

#include "core/Conversions.h"
#include "data/Wildcard.h"

namespace {

// The same tests the engine applies to a dynaset's finds, on values already read.
class TermTest
{
public:
    TermTest(const Criteria::Term& term, std::size_t column) : m_term(term), m_column(column)
    {
        if (term.op == Criteria::Op::Like)
            m_pattern.emplace(term.value.toString());
    }

    bool operator()(const QVariant& value) const
    {
        if (value.isNull())
            return false;
        switch (m_term.op) {
        case Criteria::Op::Like:
            return m_pattern->matches(toText(value));
        case Criteria::Op::Equal:
            return QString::compare(toText(value), m_term.value.toString(), Qt::CaseInsensitive) == 0;
        case Criteria::Op::NotEqual:
            return QString::compare(toText(value), m_term.value.toString(), Qt::CaseInsensitive) != 0;
        case Criteria::Op::NumberEqual:
            try {
                return toWholeNumber(value, std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max()) ==
                       m_term.value.toLongLong();
            } catch (const Failure& failure) {
                // Text that is no whole number, or one beyond 64 bits, equals no number.
                if (failure.Number() != ErrorNumber::TypeMismatch && failure.Number() != ErrorNumber::Overflow)
                    throw;
                return false;
            }
        }
        return false;
    }

    std::size_t column() const { return m_column; }

private:
    Criteria::Term m_term;
    std::size_t m_column;
    std::optional<WildcardPattern> m_pattern;
};

} // namespace

Snapshot::Snapshot(std::shared_ptr<Connection> connection, QString sql, QVariantList parameters,
                   std::optional<Criteria> filter)
    : Recordset(RecordsetType::Snapshot, std::move(connection)), m_sql(std::move(sql)),
      m_parameters(std::move(parameters)), m_filter(std::move(filter))
{
    load();
    afterRequery();
}

Snapshot::Snapshot(const Snapshot& source, const Criteria& filter)
    : Recordset(RecordsetType::Snapshot, source.m_connection), m_sql(source.m_sql), m_parameters(source.m_parameters),
      m_filter(source.m_filter ? *source.m_filter && filter : filter), m_cells(source.m_cells),
      m_rowCount(source.m_rowCount)
{
    m_columns = source.m_columns;
    keepOnly(matcher(filter));
    afterRequery();
}

void Snapshot::load()
{
    Statement query(m_connection, m_sql);
    query.bindAll(m_parameters);
    m_columns.clear();
    for (int i = 0; i < query.columnCount(); ++i)
        m_columns.push_back({query.columnName(i), query.columnKind(i)});
    m_cells.clear();
    m_rowCount = 0;
    while (query.step()) {
        for (std::size_t i = 0; i < m_columns.size(); ++i)
            m_cells.push_back(query.value(int(i), m_columns[i].kind));
        ++m_rowCount;
    }
    if (m_filter)
        keepOnly(matcher(*m_filter));
}

void Snapshot::keepOnly(const std::function<bool(qsizetype)>& keep)
{
    const std::size_t width = m_columns.size();
    std::vector<QVariant> kept;
    qsizetype rows = 0;
    for (qsizetype row = 0; row < m_rowCount; ++row) {
        if (keep(row)) {
            const auto first = m_cells.begin() + std::ptrdiff_t(std::size_t(row) * width);
            kept.insert(kept.end(), first, first + std::ptrdiff_t(width));
            ++rows;
        }
    }
    m_cells = std::move(kept);
    m_rowCount = rows;
}

const QVariant& Snapshot::cell(qsizetype row, std::size_t column) const
{
    return m_cells[std::size_t(row) * m_columns.size() + column];
}

void Snapshot::Requery()
{
    load();
    afterRequery();
}

void Snapshot::fetch(qsizetype index)
{
    m_row.resize(m_columns.size());
    for (std::size_t i = 0; i < m_columns.size(); ++i)
        m_row[i] = cell(index, i);
    m_rowExists = true;
}

qsizetype Snapshot::indexOfKey(qint64 key, qsizetype) const
{
    return key >= 0 && key < m_rowCount ? qsizetype(key) : -1;
}

std::function<bool(qsizetype)> Snapshot::matcher(const Criteria& criteria) const
{
    auto tests = std::make_shared<std::vector<TermTest>>();
    for (const Criteria::Term& term : criteria.terms())
        tests->emplace_back(term, std::size_t(checkedColumn(term.field, ErrorNumber::UnknownCriteriaField)));
    return [this, tests](qsizetype row) {
        for (const TermTest& test : *tests) {
            if (!test(cell(row, test.column())))
                return false;
        }
        return true;
    };
}

std::unique_ptr<Recordset> Snapshot::OpenFiltered(const Criteria& criteria) const
{
    return std::unique_ptr<Recordset>(new Snapshot(*this, criteria));
}

// A snapshot is read-only: Recordset refuses AddNew, Edit and Delete before these could be reached.
std::pair<qsizetype, qint64> Snapshot::insertRow()
{
    throw Failure(ErrorNumber::ReadOnly);
}

qsizetype Snapshot::updateRow(qsizetype)
{
    throw Failure(ErrorNumber::ReadOnly);
}

void Snapshot::deleteRow(qsizetype)
{
    throw Failure(ErrorNumber::ReadOnly);
}

#pragma once

// The two kinds of record set. Only the engine's .cpp files include this; callers see Recordset.

#include "data/Recordset.h"
#include "data/SqliteSupport.h"

#include <optional>

class Dynaset final : public Recordset
{
public:
    Dynaset(std::shared_ptr<Connection> connection, TableQuery query);

    void Requery() override;
    std::unique_ptr<Recordset> OpenFiltered(const Criteria& criteria) const override;

protected:
    qsizetype count() const override { return qsizetype(m_rowids.size()); }
    void fetch(qsizetype index) override;
    qint64 keyAt(qsizetype index) const override { return m_rowids[std::size_t(index)]; }
    std::function<bool(qsizetype)> matcher(const Criteria& criteria) const override;
    std::pair<qsizetype, qint64> insertRow() override;
    qsizetype updateRow(qsizetype index) override;
    void deleteRow(qsizetype index) override;

private:
    void loadKeys();
    QVariant orderKeyOf(qint64 rowid) const;
    qsizetype sortedPosition(const QVariant& key, qint64 rowid) const;
    void placeRow(qsizetype index, qint64 rowid, const QVariant& key);
    QString conditionSql(const Criteria& criteria, QVariantList& parameters) const;

    TableQuery m_query;
    QString m_table;
    QString m_orderColumn;
    bool m_orderIsText = false;
    std::vector<qint64> m_rowids;
    std::vector<QVariant> m_orderKeys; // beside m_rowids when the query has an order
    std::unique_ptr<Statement> m_fetch;
};

class Snapshot final : public Recordset
{
public:
    Snapshot(std::shared_ptr<Connection> connection, QString sql, QVariantList parameters,
             std::optional<Criteria> filter = std::nullopt);

    void Requery() override;
    std::unique_ptr<Recordset> OpenFiltered(const Criteria& criteria) const override;

protected:
    qsizetype count() const override { return m_rowCount; }
    void fetch(qsizetype index) override;
    qint64 keyAt(qsizetype index) const override { return index; }
    qsizetype indexOfKey(qint64 key, qsizetype hint) const override;
    std::function<bool(qsizetype)> matcher(const Criteria& criteria) const override;
    std::pair<qsizetype, qint64> insertRow() override;
    qsizetype updateRow(qsizetype index) override;
    void deleteRow(qsizetype index) override;

private:
    Snapshot(const Snapshot& source, const Criteria& filter);
    void load();
    void keepOnly(const std::function<bool(qsizetype)>& keep);
    const QVariant& cell(qsizetype row, std::size_t column) const;

    QString m_sql;
    QVariantList m_parameters;
    std::optional<Criteria> m_filter;
    std::vector<QVariant> m_cells; // row after row
    qsizetype m_rowCount = 0;
};

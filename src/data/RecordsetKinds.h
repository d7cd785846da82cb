#pragma once

// The two kinds of record set. Only the engine's .cpp files include this; callers see Recordset.

#include "data/Recordset.h"
#include "data/SqliteSupport.h"

#include <map>
#include <optional>

class Dynaset final : public Recordset
{
public:
    Dynaset(std::shared_ptr<Connection> connection, TableQuery query);
    ~Dynaset() override;

    void Requery() override;
    // The unit of work at this level was stored into the one around it, or undone with every
    // unit inside it; rows this dynaset added in undone units leave it.
    void workStored(int level);
    void workUndone(int level);
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
    // A row's place in the order: a number, or a text compared without regard to case.
    struct SortKey
    {
        qint64 number = 0;
        QString text;
    };

    QString keysetSql(bool withSortKeys) const;
    void loadKeys();
    void ensureSortKeys();
    void appendSortKey(SortKey key);
    SortKey sortKeyAt(Statement& statement, int column) const;
    std::optional<SortKey> sortKeyOf(qint64 rowid);
    int compareWith(qsizetype index, const SortKey& key) const;
    qsizetype sortedPosition(const SortKey& key, qint64 rowid) const;
    void placeRow(qsizetype index, qint64 rowid, SortKey key);
    void removeRow(qsizetype index);
    QString conditionSql(const Criteria& criteria, QVariantList& parameters) const;
    Statement& cachedStatement(std::map<std::vector<bool>, std::unique_ptr<Statement>>& cache, bool insert);

    TableQuery m_query;
    QString m_table;
    QString m_orderColumn;
    bool m_orderIsNumber = false;
    std::vector<qint64> m_rowids;
    // Rows added inside units of work not yet stored for good, with the level of the unit.
    std::vector<std::pair<qint64, int>> m_addedInWork;
    // The order values beside m_rowids, read only once a row must be placed: one of the two vectors,
    // by the order column's kind. Browsing needs nothing but the identities.
    bool m_sortKeysLoaded = false;
    std::vector<qint64> m_numberKeys;
    std::vector<QString> m_textKeys;
    std::unique_ptr<Statement> m_fetch;
    std::unique_ptr<Statement> m_sortKeyOf;
    std::unique_ptr<Statement> m_delete;
    // Prepared inserts and updates, one for each set of assigned columns: bulk adds prepare once.
    std::map<std::vector<bool>, std::unique_ptr<Statement>> m_inserts;
    std::map<std::vector<bool>, std::unique_ptr<Statement>> m_updates;
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

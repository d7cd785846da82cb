#include "data/CatalogueUpgrade.h"

#include "core/Failure.h"
#include "data/Database.h"
#include "data/NameOrder.h"
#include "data/SqliteSupport.h"

#include <QStringList>

#include <algorithm>

namespace {

int catalogueVersion(const Database& database)
{
    return database.OpenRecordset(QStringLiteral("PRAGMA user_version"))->Value(QStringLiteral("user_version")).toInt();
}

// The names of one column that the order of names makes equal, as "a" and "b" pairs.
QStringList clashesIn(const Database& database, const QString& table, const QString& column)
{
    QStringList names;
    auto values = database.OpenRecordset(QStringLiteral("SELECT %1 FROM %2 WHERE %1 IS NOT NULL")
                                             .arg(quotedIdentifier(column), quotedIdentifier(table)));
    for (; !values->Eof(); values->MoveNext())
        names << values->Value(column).toString();
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) { return compareNames(a, b) < 0; });
    QStringList clashes;
    for (qsizetype i = 1; i < names.size(); ++i) {
        if (compareNames(names.at(i - 1), names.at(i)) == 0)
            clashes << QStringLiteral("\"%1\" and \"%2\" in %3").arg(names.at(i - 1), names.at(i), table);
    }
    return clashes;
}

// Every pair of names that a unique index ordered by VNOCASE can no longer tell apart.
QStringList nameClashes(const Database& database)
{
    QStringList clashes;
    auto indexes =
        database.OpenRecordset(QStringLiteral("SELECT name, tbl_name FROM sqlite_master WHERE type = 'index'"));
    for (; !indexes->Eof(); indexes->MoveNext()) {
        const QString table = indexes->Value(QStringLiteral("tbl_name")).toString();
        auto columns =
            database.OpenRecordset(QStringLiteral("PRAGMA index_xinfo(%1)")
                                       .arg(quotedIdentifier(indexes->Value(QStringLiteral("name")).toString())));
        for (; !columns->Eof(); columns->MoveNext()) {
            if (columns->Value(QStringLiteral("key")).toInt() == 1 &&
                columns->Value(QStringLiteral("coll"))
                        .toString()
                        .compare(QLatin1String(CaseInsensitiveCollation), Qt::CaseInsensitive) == 0 &&
                !columns->Value(QStringLiteral("name")).isNull())
                clashes << clashesIn(database, table, columns->Value(QStringLiteral("name")).toString());
        }
    }
    clashes.removeDuplicates();
    return clashes;
}

} // namespace

void upgradeCatalogue(const Database& database)
{
    // Any other version, older or newer, means indexes in an order this program does not use.
    if (catalogueVersion(database) == NameOrderVersion())
        return;
    Transaction work(database);
    try {
        // Indexes hold names in the order of the program that wrote them.
        database.ExecuteScript(QStringLiteral("REINDEX %1; PRAGMA user_version = %2")
                                   .arg(QLatin1String(CaseInsensitiveCollation))
                                   .arg(NameOrderVersion()));
    } catch (const Failure& failure) {
        if (failure.Number() != ErrorNumber::DuplicateValue)
            throw;
        // The transaction is undone on the way out; the catalogue keeps its old indexes.
        throw Failure(ErrorNumber::DuplicateValue, {},
                      QStringLiteral("The catalogue's names cannot be put in the new order, because these names "
                                     "would become the same: %1.")
                          .arg(nameClashes(database).join(QStringLiteral("; "))));
    }
    work.commit();
}

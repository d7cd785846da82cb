#include "data/CatalogueUpgrade.h"

#include "core/Failure.h"
#include "data/Database.h"
#include "data/NameOrder.h"
#include "data/SqliteSupport.h"

#include <QStringList>

#include <algorithm>

namespace {

// The schema level sits above the order of names; three bits keep the version a positive number.
constexpr int LevelShift = 28;
constexpr int NameOrderMask = (1 << LevelShift) - 1;
constexpr int LevelMask = 7;
constexpr int SchemaLevel = 1;

// Level 1: photos found by their file, the index holding their numbers too so that neither a
// look-up nor a pass over every file name reads the photos themselves; and the sizes and content
// hashes of the catalogued files, taken when needed and trusted only while a file keeps its size
// and time of change. An older program that rebuilt the order of names may have written level 0
// over a catalogue that already had them.
const char* const levelOne = R"sql(
CREATE TABLE IF NOT EXISTS PhotoFiles (
    FileName TEXT PRIMARY KEY,
    Size INTEGER NOT NULL,
    MTime INTEGER NOT NULL,
    Hash BLOB
);
CREATE INDEX IF NOT EXISTS PhotosFileName ON Photos (FileName, PhotoID);
)sql";

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

int CatalogueVersion()
{
    return SchemaLevel << LevelShift | (NameOrderVersion() & NameOrderMask);
}

void upgradeCatalogue(const Database& database)
{
    const int stored = catalogueVersion(database);
    // Any other order, older or newer, means indexes in an order this program does not use.
    const bool orderCurrent = (stored & NameOrderMask) == (NameOrderVersion() & NameOrderMask);
    // A newer program's level is kept: what it added is left alone.
    const int level = (stored >> LevelShift) & LevelMask;
    if (orderCurrent && level >= SchemaLevel)
        return;
    Transaction work(database);
    if (!orderCurrent) {
        try {
            // Indexes hold names in the order of the program that wrote them.
            database.ExecuteScript(QStringLiteral("REINDEX %1").arg(QLatin1String(CaseInsensitiveCollation)));
        } catch (const Failure& failure) {
            if (failure.Number() != ErrorNumber::DuplicateValue)
                throw;
            // The transaction is undone on the way out; the catalogue keeps its old indexes.
            throw Failure(ErrorNumber::DuplicateValue, {},
                          QStringLiteral("The catalogue's names cannot be put in the new order, because these names "
                                         "would become the same: %1.")
                              .arg(nameClashes(database).join(QStringLiteral("; "))));
        }
    }
    if (level < 1)
        database.ExecuteScript(QString::fromLatin1(levelOne));
    database.ExecuteScript(QStringLiteral("PRAGMA user_version = %1")
                               .arg(std::max(level, SchemaLevel) << LevelShift | (NameOrderVersion() & NameOrderMask)));
    work.commit();
}

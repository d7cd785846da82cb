#include "data/CatalogueUpgrade.h"

#include "data/Database.h"
#include "data/NameOrder.h"
#include "data/cDataBase.h"
#include "support/Assertions.h"
#include "support/CatalogueTestCase.h"
#include "support/FileFaults.h"

#include <QCryptographicHash>
#include <QTest>

namespace {

// The catalogue file as a program without the upgrade sees it: opened, never upgraded.
std::unique_ptr<Database> openWithoutUpgrade(const QString& path)
{
    return Database::OpenDatabase(path, false, false, cDataBase::ConnectString());
}

// One column of each row, the first unless named.
QStringList column(const Database& db, const QString& sql, const QString& name = {})
{
    QStringList values;
    for (auto rs = db.OpenRecordset(sql); !rs->Eof(); rs->MoveNext())
        values << rs->Value(name.isEmpty() ? rs->FieldNames().first() : name).toString();
    return values;
}

QStringList column(const QString& sql, const QString& name = {})
{
    return column(gDB->DB(), sql, name);
}

QString version(int value)
{
    return QString::number(value);
}

QByteArray fileHash(const QString& path)
{
    return QCryptographicHash::hash(fileBytes(path), QCryptographicHash::Sha256);
}

const QString everyPhoto = QStringLiteral(
    "SELECT quote(PhotoID) || quote(Caption) || quote(LocationID) || quote(StorageLocationID) || quote(DateTaken) || "
    "quote(PrintLabel) || quote(NumberofLabels) || quote(FileName) || quote(Comments) FROM Photos ORDER BY PhotoID");

} // namespace

// The versioned upgrade at open: the file tables come to an older catalogue in one step, whole or
// not at all, and a catalogue already at this program's level, or a newer one, is left alone.
class CatalogueUpgradeTest : public CatalogueTestCase
{
    Q_OBJECT

private slots:
    void anOlderCatalogueGainsTheFileTablesOnceAndWhole()
    {
        const QString path = m_folder->cataloguePath();
        // The delivered catalogue is made at this program's level: opening it twice changes nothing.
        const auto delivered = Database::OpenDatabase(TestProgramFolder::deliveredFolder() + u"/Vellaro.mdb", false,
                                                      true, cDataBase::ConnectString());
        QCOMPARE(column(*delivered, QStringLiteral("PRAGMA user_version")), QStringList{version(CatalogueVersion())});
        gDB->DB().Close();
        const QByteArray current = fileHash(path);
        gDB->OpenDB();
        gDB->OpenDB();
        QCOMPARE(fileHash(path), current);
        const QStringList photos = column(everyPhoto);
        QCOMPARE(photos.size(), 7);

        // A catalogue of a build before the file tables, which also happens to hold a table by the
        // name the new index takes: the upgrade fails part-way and leaves the file as it was.
        gDB->DB().Close();
        openWithoutUpgrade(path)->ExecuteScript(
            QStringLiteral("DROP INDEX PhotosFileName; DROP TABLE PhotoFiles; PRAGMA user_version = %1; "
                           "CREATE TABLE PhotosFileName (Stray TEXT)")
                .arg(NameOrderVersion()));
        QVERIFY(failureOf([] { gDB->OpenDB(); }));
        {
            const auto older = openWithoutUpgrade(path);
            QCOMPARE(column(*older, QStringLiteral("PRAGMA user_version")), QStringList{version(NameOrderVersion())});
            QCOMPARE(column(*older, QStringLiteral("SELECT name FROM sqlite_master WHERE name LIKE 'PhotoFiles%'")),
                     QStringList());
            older->ExecuteScript(QStringLiteral("DROP TABLE PhotosFileName"));
        }

        // Without the stray table it is upgraded: its photos kept, the file index and table added.
        gDB->OpenDB();
        QCOMPARE(column(QStringLiteral("PRAGMA user_version")), QStringList{version(CatalogueVersion())});
        QCOMPARE(column(everyPhoto), photos);
        QCOMPARE(column(QStringLiteral("PRAGMA table_info(PhotoFiles)"), QStringLiteral("name")),
                 (QStringList{"FileName", "Size", "MTime", "Hash"}));
        const QString plan =
            column(QStringLiteral("EXPLAIN QUERY PLAN SELECT min(PhotoID) FROM Photos WHERE FileName = 'x'"),
                   QStringLiteral("detail"))
                .join(u' ');
        QVERIFY2(plan.contains(QStringLiteral("INDEX PhotosFileName")), qPrintable(plan));
        QCOMPARE(column(QStringLiteral("PRAGMA integrity_check")), QStringList{"ok"});
        gDB->DB().Execute(QStringLiteral("INSERT INTO PhotoFiles (FileName, Size, MTime) VALUES ('/p/a.jpg', 5, 1)"));

        // An older build that rebuilt its order of names wrote its own version over the level: the
        // tables it did not know are there already, and keep what they hold.
        gDB->DB().Close();
        openWithoutUpgrade(path)->ExecuteScript(QStringLiteral("PRAGMA user_version = %1").arg(NameOrderVersion()));
        gDB->OpenDB();
        QCOMPARE(column(QStringLiteral("PRAGMA user_version")), QStringList{version(CatalogueVersion())});
        QCOMPARE(column(QStringLiteral("SELECT FileName FROM PhotoFiles")), QStringList{"/p/a.jpg"});

        // A newer program's level stays, also when the names are put in this program's order.
        constexpr int newerLevel = 2 << 28;
        gDB->DB().Close();
        openWithoutUpgrade(path)->ExecuteScript(
            QStringLiteral("PRAGMA user_version = %1").arg(newerLevel | (NameOrderVersion() + 1)));
        gDB->OpenDB();
        QCOMPARE(column(QStringLiteral("PRAGMA user_version")), QStringList{version(newerLevel | NameOrderVersion())});
        gDB->DB().Close();
        const QByteArray newer = fileHash(path);
        gDB->OpenDB();
        QCOMPARE(fileHash(path), newer);
    }
};

int runCatalogueUpgradeTest(int argc, char* argv[])
{
    CatalogueUpgradeTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "CatalogueUpgradeTest.moc"

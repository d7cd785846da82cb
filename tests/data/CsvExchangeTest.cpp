#include "data/CsvExchange.h"

#include "data/cDataBase.h"
#include "support/Assertions.h"
#include "support/CatalogueQueries.h"
#include "support/CatalogueTestCase.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Every photo with every stored field (its type shown by quote()), its places and subjects by name
// and its links in the order made: two catalogues hold the same photos exactly when these agree.
QStringList photosAsStored()
{
    QStringList rows;
    auto photos = gDB->DB().OpenRecordset(QStringLiteral(
        "SELECT quote(PhotoID) || ' ' || quote(Caption) || ' ' || quote(DateTaken) || ' ' || quote(PrintLabel) || ' ' "
        "|| quote(NumberofLabels) || ' ' || quote(FileName) || ' ' || quote(Comments) || ' ' || "
        "quote((SELECT State || '/' || Location FROM Locations JOIN States USING (StateID) WHERE LocationID = "
        "Photos.LocationID)) || ' ' || quote((SELECT StorageDevice || '/' || StorageLocation FROM StorageLocations "
        "JOIN StorageDevices USING (StorageDeviceID) WHERE StorageLocationID = Photos.StorageLocationID)) AS Row, "
        "PhotoID FROM Photos ORDER BY PhotoID"));
    for (; !photos->Eof(); photos->MoveNext()) {
        QString row = photos->Value(QStringLiteral("Row")).toString();
        auto links = gDB->DB().OpenRecordset(
            QStringLiteral("SELECT Category || '/' || Subject AS Name FROM PhotosSubjects JOIN Subjects USING "
                           "(SubjectID) JOIN Categories USING (CategoryID) WHERE PhotoID = ? ORDER BY PhotoSubjectID"),
            {photos->Value(QStringLiteral("PhotoID"))});
        for (; !links->Eof(); links->MoveNext())
            row += u" [" + links->Value(QStringLiteral("Name")).toString() + u']';
        rows << row;
    }
    return rows;
}

// Every entry of the six lists as kind, parent and name.
QStringList entries(const char* usedOnly = nullptr)
{
    const QString used = QString::fromLatin1(usedOnly ? usedOnly : "");
    QStringList names;
    const auto add = [&](const QString& sql) {
        for (auto rows = gDB->DB().OpenRecordset(sql); !rows->Eof(); rows->MoveNext())
            names << rows->Value(QStringLiteral("Entry")).toString();
    };
    add(QStringLiteral("SELECT 'State ' || State AS Entry FROM States") +
        (used.isEmpty() ? QString()
                        : QStringLiteral(" WHERE StateID IN (SELECT StateID FROM Locations JOIN Photos USING "
                                         "(LocationID))")));
    add(QStringLiteral("SELECT 'Location ' || State || '/' || Location AS Entry FROM Locations JOIN States USING "
                       "(StateID)") +
        (used.isEmpty() ? QString() : QStringLiteral(" WHERE LocationID IN (SELECT LocationID FROM Photos)")));
    add(QStringLiteral("SELECT 'Device ' || StorageDevice AS Entry FROM StorageDevices") +
        (used.isEmpty() ? QString()
                        : QStringLiteral(" WHERE StorageDeviceID IN (SELECT StorageDeviceID FROM StorageLocations "
                                         "JOIN Photos USING (StorageLocationID))")));
    add(QStringLiteral("SELECT 'Place ' || StorageDevice || '/' || StorageLocation AS Entry FROM StorageLocations "
                       "JOIN StorageDevices USING (StorageDeviceID)") +
        (used.isEmpty() ? QString()
                        : QStringLiteral(" WHERE StorageLocationID IN (SELECT StorageLocationID FROM Photos)")));
    add(QStringLiteral("SELECT 'Category ' || Category AS Entry FROM Categories") +
        (used.isEmpty() ? QString()
                        : QStringLiteral(" WHERE CategoryID IN (SELECT CategoryID FROM Subjects JOIN PhotosSubjects "
                                         "USING (SubjectID))")));
    add(QStringLiteral("SELECT 'Subject ' || Category || '/' || Subject AS Entry FROM Subjects JOIN Categories "
                       "USING (CategoryID)") +
        (used.isEmpty() ? QString() : QStringLiteral(" WHERE SubjectID IN (SELECT SubjectID FROM PhotosSubjects)")));
    names.sort();
    return names;
}

QStringList usedEntries()
{
    return entries("used");
}

void removePhotosAndEntries()
{
    for (const char* table : {"PhotosSubjects", "Photos", "Subjects", "Categories", "Locations", "States",
                              "StorageLocations", "StorageDevices"})
        gDB->DB().Execute(QStringLiteral("DELETE FROM ") + QString::fromLatin1(table));
}

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeText(const QString& path, const QByteArray& text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        qFatal("cannot write a test file");
}

QList<qint64> plannedNumbers(const CsvImportPlan& plan)
{
    QList<qint64> numbers;
    for (const CsvPhotoRow& row : plan.Photos)
        numbers << row.Number;
    return numbers;
}

QStringList plannedEntries(const CsvImportPlan& plan)
{
    QStringList names;
    for (const CsvNewEntry& entry : plan.NewEntries)
        names << CsvEntryKindName(entry.Kind) + u' ' + entry.Name;
    return names;
}

} // namespace

// Photos written out as CSV and read back in. The sample catalogue holds photos 1 to 7.
class CsvExchangeTest : public CatalogueTestCase
{
    Q_OBJECT

private slots:
    void anExportedCatalogueImportsBackIntoAnEmptyOneUnchanged()
    {
        // Text that needs quoting or escaping, in fields and in names of entries.
        const QString awkward = QStringLiteral("He said \"stop, now\"\r\nthen left; Zoë: 東京 ");
        gDB->DB().Execute(
            QStringLiteral("UPDATE Photos SET Caption = ?, Comments = ?, FileName = ? WHERE PhotoID = 3"),
            {awkward, QStringLiteral("line one\nline two, \"quoted\""), QStringLiteral("/photos/a,b/\"c\".jpg")});
        gDB->DB().Execute(QStringLiteral("INSERT INTO States (State) VALUES (?)"), {QStringLiteral("Île-de-France")});
        gDB->DB().Execute(QStringLiteral("INSERT INTO Locations (StateID, Location) SELECT StateID, ? FROM States "
                                         "WHERE State = ?"),
                          {QStringLiteral("Paris, \"rive gauche\""), QStringLiteral("Île-de-France")});
        gDB->DB().Execute(QStringLiteral("INSERT INTO Categories (Category) VALUES (?)"),
                          {QStringLiteral(" Odd: names; \\ ")});
        gDB->DB().Execute(QStringLiteral("INSERT INTO Subjects (CategoryID, Subject) SELECT CategoryID, ? FROM "
                                         "Categories WHERE Category = ?"),
                          {QStringLiteral("a;b:c\\d"), QStringLiteral(" Odd: names; \\ ")});
        gDB->DB().Execute(QStringLiteral("UPDATE Photos SET LocationID = (SELECT LocationID FROM Locations WHERE "
                                         "Location LIKE 'Paris%') WHERE PhotoID = 7"));
        gDB->DB().Execute(QStringLiteral("INSERT INTO PhotosSubjects (PhotoID, SubjectID) SELECT 3, SubjectID FROM "
                                         "Subjects WHERE Subject = ?"),
                          {QStringLiteral("a;b:c\\d")});
        // A photo linked twice to one subject keeps both links, in their order.
        gDB->DB().Execute(QStringLiteral("INSERT INTO PhotosSubjects (PhotoID, SubjectID) SELECT 3, SubjectID FROM "
                                         "Subjects WHERE Subject = 'Birthdays'"));
        gDB->DB().Execute(QStringLiteral(
            "INSERT INTO Photos (PhotoID, Caption, FileName, Comments, PrintLabel) VALUES (-4, '', '', '', NULL)"));
        const QStringList before = photosAsStored();
        const QStringList used = usedEntries();
        QVERIFY(used.size() < entries().size());

        QTemporaryDir folder;
        const QString whole = folder.filePath(QStringLiteral("all.csv"));
        QCOMPARE(ExportCatalogueCsv(whole), 8);
        const QByteArray text = contentOf(whole);
        QVERIFY(text.startsWith("Number,Caption,Date Taken,State,Location,Storage Device,Storage Place,Subjects,"
                                "Comments,File Name,Print Label,Number of Labels\r\n"));
        QVERIFY(text.contains("\r\n1,\"Pemaquid Point Light at dusk, Maine\",2003-08-14,Maine,Pemaquid Point,Album,"
                              "Album 1 - Coast,Nature: Lighthouses; Nature: Sunsets,"));
        QVERIFY(text.contains("\"He said \"\"stop, now\"\"\r\nthen left; Zoë: 東京 \""));
        QVERIFY(text.contains("\\ Odd\\: names\\; \\\\\\ : a\\;b\\:c\\\\d"));

        // A chosen list of photos in the order given; a number of no photo is left out.
        const QString chosen = folder.filePath(QStringLiteral("chosen.csv"));
        QCOMPARE(ExportPhotosCsv(chosen, {5, 99, 3, 5}), 2);

        removePhotosAndEntries();
        QCOMPARE(plannedNumbers(PlanCsvImport(chosen)), (QList<qint64>{5, 3}));

        const CsvImportPlan plan = PlanCsvImport(whole);
        QCOMPARE(plan.Refused.size(), std::size_t(0));
        QCOMPARE(plannedNumbers(plan), (QList<qint64>{-4, 1, 2, 3, 4, 5, 6, 7}));
        QCOMPARE(int(plan.NewEntries.size()), used.size());
        QCOMPARE(photosAsStored(), QStringList());

        const ImportResult result = ImportCsv(plan);
        QCOMPARE(result.Added, 8);
        QCOMPARE(photosAsStored(), before);
        // Only the entries the photos use come back.
        QCOMPARE(entries(), used);
    }

    void badRowsAreRefusedWithTheirReasonAndOnlyGoodRowsAreStored()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("edited.csv"));
        // Columns in an order of the user's own, one left out; LF line ends as some editors save.
        writeText(path, "\xEF\xBB\xBFnumber,Caption,Date Taken,State,Location,Storage Device,Storage Place,Subjects,"
                        "Print Label,Number of Labels,File Name\n"
                        "1,In use,,,,,,,No,,\n"              // 2
                        "20,Twice A,,,,,,,No,,\n"            // 3
                        "20,Twice B,,,,,,,No,,\n"            // 4
                        "21,Bad date,2004-02-30,,,,,,No,,\n" // 5
                        "22,Too few,,,\n"                    // 6
                        "2x,Not a number,,,,,,,No,,\n"       // 7
                        "23,Odd label,,,,,,,Maybe,,\n"       // 8
                        "24,Many labels,,,,,,,Yes,40000,\n"  // 9
                        "25,New places,1999-12-31,Oregon,Cannon Beach,Negative Box,Box C,"
                        "Nature: Lakes; Coast: Tide Pools,Yes,2,/p/25.jpg\n"                   // 10
                        "26,Known in other capitals,,,portland,,box c,tide pools;BIRDS,no,,\n" // 11
                        "27,Wrong state,,Maine,Duluth,,,,No,,\n"                               // 12
                        "28,Refused row adds nothing,,Texas,Austin,,,Whales,No,,\n"            // 13
                        "\n"                                                                   // 14
                        "29,\"Two\nlines, \"\"quoted\"\"\",,,,,,,No,0,\n"                      // 15-16
                        "30,\"closed\" too soon,,,,,,,No,,\n"                                  // 17
                        "31,Stray \" quote,,,,,,,No,,\n"                                       // 18
                        "32,\"never closed,,,,,,,No,,\n"                                       // 19
                        "33,swallowed by the open quote,,,,,,,No,,\n");
        // A catalogue large enough, and without statistics, gets them with the import.
        gDB->DB().Execute(QStringLiteral("DROP TABLE IF EXISTS sqlite_stat1"));
        gDB->DB().Execute(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1000 UNION ALL SELECT i + 1 FROM n WHERE i < "
                                         "2199) INSERT INTO Photos (PhotoID, Caption) SELECT i, 'filler' FROM n"));
        const QStringList photosBefore = photosAsStored();
        const QStringList entriesBefore = entries();

        const CsvImportPlan plan = PlanCsvImport(path);
        const std::pair<qint64, const char*> expected[] = {{2, "already used"},
                                                           {3, "also given on line 4"},
                                                           {4, "also given on line 3"},
                                                           {5, "'2004-02-30'"},
                                                           {6, "5 fields"},
                                                           {7, "'2x' is not a whole number"},
                                                           {8, "'Maybe'"},
                                                           {9, "'40000'"},
                                                           {12, "belongs to the state 'Minnesota'"},
                                                           {13, "'Whales' is new and needs a category"},
                                                           {17, "closing quote"},
                                                           {18, "quote stands inside"},
                                                           {19, "not closed"}};
        QCOMPARE(plan.Refused.size(), std::size(expected));
        for (std::size_t i = 0; i < std::size(expected); ++i) {
            const CsvRefusedRow& refused = plan.Refused[i];
            QCOMPARE(refused.Line, expected[i].first);
            QVERIFY2(refused.Reason.contains(QString::fromUtf8(expected[i].second)), qPrintable(refused.Reason));
        }
        QCOMPARE(plan.Refused[5].Number, QStringLiteral("2x"));
        QCOMPARE(plannedNumbers(plan), (QList<qint64>{25, 26, 29}));
        QCOMPARE(plannedEntries(plan), (QStringList{"State Oregon", "Location Cannon Beach", "Storage Place Box C",
                                                    "Category Coast", "Subject Tide Pools"}));
        // The preview wrote nothing, and neither does an import cancelled part-way.
        QCOMPARE(photosAsStored(), photosBefore);
        QCOMPARE(entries(), entriesBefore);
        const ImportResult cancelled = ImportCsv(plan, [](qint64, qint64) { return false; });
        QVERIFY(cancelled.Cancelled);
        QCOMPARE(photosAsStored(), photosBefore);
        QCOMPARE(entries(), entriesBefore);

        QList<std::pair<qint64, qint64>> reports;
        const ImportResult result = ImportCsv(plan, [&reports](qint64 done, qint64 total) {
            reports.append({done, total});
            return true;
        });
        QVERIFY(!result.Cancelled);
        QCOMPARE(result.Added, 3);
        QCOMPARE(reports.last(), (std::pair<qint64, qint64>(3, 3)));
        QCOMPARE(countRows(QStringLiteral("SELECT * FROM Photos")), 1210);
        QCOMPARE(countRows(QStringLiteral(
                     "SELECT DISTINCT tbl FROM sqlite_stat1 WHERE tbl = 'Photos' AND stat LIKE '1210 %'")),
                 1);
        QCOMPARE(photosAsStored().mid(7, 3),
                 (QStringList{"25 'New places' '1999-12-31' 1 2 '/p/25.jpg' '' 'Oregon/Cannon Beach' 'Negative "
                              "Box/Box C' [Nature/Lakes] [Coast/Tide Pools]",
                              "26 'Known in other capitals' NULL 0 NULL '' '' 'Maine/Portland' 'Negative Box/Box C' "
                              "[Coast/Tide Pools] [Animals/Birds]",
                              "29 'Two\nlines, \"quoted\"' NULL 0 0 '' '' NULL NULL"}));
        QCOMPARE(entries().size(), entriesBefore.size() + 5);
    }
};

int runCsvExchangeTest(int argc, char* argv[])
{
    CsvExchangeTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "CsvExchangeTest.moc"
